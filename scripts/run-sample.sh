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

winpath() { local p=$1; echo "Z:${p//\//\\}"; }
setup=$root/$(ls "$out"/*.exe | head -n 1)
trace=$root/$out/trace.txt
temp=$root/$out/temp
mkdir -p "$temp"
echo "run-sample: running $(basename "$setup") /s /l=<trace> under Wine"
start=$(date +%s.%N)
set +e
output=$(/usr/lib/wine/wine64 dist/x64/kaviro-launch.exe --env "TEMP=$(winpath "$temp")" --env "TMP=$(winpath "$temp")" \
  -- "$(winpath "$setup")" /s "/l=$(winpath "$trace")")
set -e
end=$(date +%s.%N)
code=$(sed -n 's/.*kaviro-launch: exit \([0-9]*\).*/\1/p' <<<"$output")

echo "--- trace ---"
if [[ -f $trace ]]; then iconv -f UTF-16LE -t UTF-8 "$trace"; else echo "(no trace written)"; fi
echo "--- what the script recorded ($out/temp/tidewater-setup-result.txt) ---"
cat "$temp/tidewater-setup-result.txt" 2>/dev/null || echo "(no result file)"
echo "--- installed under Program Files ---"
find "$prefix/drive_c/Program Files" -path '*Tidewater*' -type f 2>/dev/null || true
printf -- '--- exit code: %s (%.2f s) ---\n' "${code:-unknown}" "$(awk "BEGIN{print $end - $start}")"
scripts/wine-prefix.sh stop "$prefix"
[[ ${code:-1} == 0 ]]
