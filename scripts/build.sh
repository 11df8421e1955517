#!/usr/bin/env bash
# Builds the three trees: native (portable core, builder, tests), Windows x64
# (the build the tests run under Wine) and Windows x86 (the shipped engine).
# Artifacts land in dist/host, dist/x64 and dist/x86.
#   scripts/build.sh            all three
#   scripts/build.sh host x64   only those
#   scripts/build.sh fuzz       the clang libFuzzer tree (build/fuzz)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

targets=("$@")
((${#targets[@]})) || targets=(host x64 x86)
jobs=${KAVIRO_JOBS:-$(nproc)}

configure() { # dir, extra args...
  local dir=$1; shift
  if [[ ! -f $dir/build.ninja ]]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  fi
}

for target in "${targets[@]}"; do
  case $target in
    host) configure build/host ;;
    x64)  configure build/x64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake ;;
    x86)  configure build/x86 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw32.cmake ;;
    fuzz) configure build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKAVIRO_FUZZ=ON -DKAVIRO_BENCH=OFF ;;
    *) echo "build.sh: unknown target $target" >&2; exit 2 ;;
  esac
  echo "build.sh: building $target"
  cmake --build "build/$target" -j "$jobs"
done
