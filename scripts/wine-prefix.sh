#!/usr/bin/env bash
# Creates (create) or stops (stop) the private Wine prefix of a test run.
#   scripts/wine-prefix.sh create DIR   fresh prefix in DIR
#   scripts/wine-prefix.sh stop DIR     ends that prefix's wineserver only
set -euo pipefail
action=$1 prefix=$2
export WINEPREFIX=$prefix WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
case $action in
  create)
    if [[ -d $prefix ]]; then WINEPREFIX=$prefix wineserver -k 2>/dev/null || true; rm -rf "$prefix"; fi
    mkdir -p "$(dirname "$prefix")"
    # No display is needed to boot the prefix; keep wineboot from looking for one.
    DISPLAY= wineboot -i >/dev/null 2>&1
    wineserver -w
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "wine-prefix.sh: create|stop DIR" >&2; exit 2 ;;
esac
