#!/usr/bin/env bash
# Measures the sample setup's silent run under Wine: from process start to
# the trace line "</Kaviro>" (the trace file's last write), next to
# "wine64 cmd /c exit" in the same prefix, and prints both medians and their
# ratio. Needs the host and x64 builds (scripts/build.sh host x64).
#   scripts/startup-timing.sh [runs]      default 9 runs of each
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
work=$root/build/startup-timing
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64

[[ -d $WINEPREFIX ]] || "$root/scripts/wine-prefix.sh" create "$WINEPREFIX"
rm -rf "$work/sample"
"$root/dist/host/kaviro-build" "$root/sample" --out "$work/sample" >/dev/null
setup=$(cd "$work/sample" && ls *.exe | head -1)
cd "$work/sample"

now() { date +%s%N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# One run of each first: the prefix's server and caches warm up.
$wine cmd /c exit
$wine "$setup" /s /l=trace.txt

setup_times=() cmd_times=()
for _ in $(seq "$runs"); do
  rm -f trace.txt
  start=$(now)
  $wine "$setup" /s /l=trace.txt
  end=$(date -r trace.txt +%s%N)
  tail_line=$(iconv -f UTF-16LE -t UTF-8 trace.txt | tail -1 | tr -d '\r')
  [[ $tail_line == "</Kaviro>" ]] || { echo "startup-timing: trace does not end with </Kaviro>" >&2; exit 1; }
  setup_times+=($(( (end - start) / 1000000 )))
  start=$(now)
  $wine cmd /c exit
  end=$(now)
  cmd_times+=($(( (end - start) / 1000000 )))
done
"$root/scripts/wine-prefix.sh" stop "$WINEPREFIX"

setup_ms=$(printf '%s\n' "${setup_times[@]}" | median)
cmd_ms=$(printf '%s\n' "${cmd_times[@]}" | median)
echo "sample silent run, start to </Kaviro>: ${setup_ms} ms (median of $runs)"
echo "wine64 cmd /c exit:                    ${cmd_ms} ms (median of $runs)"
awk -v a="$setup_ms" -v b="$cmd_ms" 'BEGIN {printf "ratio: %.2f\n", a / b}'
