#!/usr/bin/env bash
# Creates (create) or stops (stop) the private Wine prefix of a test run.
#   scripts/wine-prefix.sh create DIR   fresh prefix in DIR
#   scripts/wine-prefix.sh stop DIR     ends that prefix's wineserver only
set -euo pipefail
action=$1 prefix=$2
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The 64-bit loader and its server directly: the wrapper commands on PATH come
# with the "wine" package, which machines with only wine64 do not have.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[[ -x $wineserver ]] || wineserver=$(command -v wineserver)
case $action in
  create)
    if [[ -d $prefix ]]; then WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true; rm -rf "$prefix"; fi
    mkdir -p "$(dirname "$prefix")"
    # No display is needed to boot the prefix; keep wineboot from looking for one.
    DISPLAY= "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
    ;;
  stop)
    "$wineserver" -k 2>/dev/null || true
    ;;
  *) echo "wine-prefix.sh: create|stop DIR" >&2; exit 2 ;;
esac
