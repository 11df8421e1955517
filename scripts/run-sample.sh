#!/usr/bin/env bash
# Builds everything, builds the sample setup from sample/ and runs it silently
# under Wine in a private prefix; then prints the trace, what the setup left
# behind and its exit code.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup-machine.sh
scripts/build.sh host x64 x86

out=build/sample
rm -rf "$out"
dist/host/kaviro-build sample --out "$out" --engine dist/x64/engine.exe --oru dist/x64/oru.lib

prefix=$root/build/sample-prefix
[[ -f $prefix/system.reg ]] || scripts/wine-prefix.sh create "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

setup=$(ls "$out"/*.exe | head -n 1)
trace=$root/$out/trace.txt
echo "run-sample: running $(basename "$setup") /s /l=<trace> under Wine"
set +e
output=$(/usr/lib/wine/wine64 dist/x64/kaviro-launch.exe -- "Z:${setup//\//\\}" /s "/l=Z:${trace//\//\\}")
set -e
code=$(sed -n 's/.*kaviro-launch: exit \([0-9]*\).*/\1/p' <<<"$output")

echo "--- trace ---"
if [[ -f $trace ]]; then iconv -f UTF-16LE -t UTF-8 "$trace"; else echo "(no trace written)"; fi
echo "--- installed ---"
find "$prefix/drive_c/Program Files" -path '*Kaviro Sample*' -type f 2>/dev/null || true
echo "--- exit code: ${code:-unknown} ---"
scripts/wine-prefix.sh stop "$prefix"
[[ ${code:-1} == 0 ]]
