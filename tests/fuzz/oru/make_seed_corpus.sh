#!/usr/bin/env bash
# Makes the archive fuzzer's seed corpus with 7zz: small archives with each
# supported coder, solid and not, encrypted with the fuzzer's password.
set -euo pipefail
corpus=$1
rm -rf "$corpus" && mkdir -p "$corpus"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/sub" "$work/tree/empty"
printf 'setup engine archive folder %.0s' $(seq 1 200) > "$work/tree/a.txt"
head -c 3000 /dev/urandom > "$work/tree/sub/b.bin"
printf '\xe8\x10\x00\x00\x00\x90\xe9\x00\x01\x00\x00%.0s' $(seq 1 100) > "$work/tree/c.exe"
: > "$work/tree/sub/empty.txt"
n=0
for switches in "-m0=LZMA2" "-m0=LZMA -ms=off" "-m0=LZMA -mhc=off" "-m0=Copy" "-mf=BCJ -m0=LZMA" \
                "-mf=BCJ2" "-mf=ARM64" "-mf=Delta:2 -m0=LZMA2" "-ppassword -m0=LZMA2" "-ppassword -mhe=on"; do
  n=$((n + 1))
  (cd "$work/tree" && 7zz a -t7z -bd -bso0 -bsp0 "$corpus/seed$n.7z" $switches -- * >/dev/null)
done
