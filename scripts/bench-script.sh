#!/usr/bin/env bash
# The script benchmark natively and under Wine (64-bit build), side by side.
#   scripts/bench-script.sh [iterations]     default 1000000 loop iterations
# Builds the two benchmark programs if needed; the Wine run uses a private
# prefix under build/bench-prefix, stopped again at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
iterations=${1:-1000000}
jobs=${KAVIRO_JOBS:-2}

"$root/scripts/build.sh" host x64 >/dev/null
cmake --build build/host --target script_benchmark -j "$jobs" >/dev/null
cmake --build build/x64 --target script_benchmark -j "$jobs" >/dev/null

prefix=$root/build/bench-prefix
[[ -d $prefix ]] || "$root/scripts/wine-prefix.sh" create "$prefix"
trap '"$root/scripts/wine-prefix.sh" stop "$prefix"' EXIT

echo "== native (build/host/bench/script_benchmark $iterations)"
build/host/bench/script_benchmark "$iterations"
echo "== Wine 64-bit (build/x64/bench/script_benchmark.exe $iterations)"
WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
  /usr/lib/wine/wine64 build/x64/bench/script_benchmark.exe "$iterations" | tr -d '\r'
