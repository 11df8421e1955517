#!/usr/bin/env bash
# Runs every test: native unit tests, end-to-end tests of the Windows build
# under Wine, and short bounded fuzz runs. Installs what it needs first.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/setup-machine.sh
scripts/build.sh host x64 x86

jobs=${KAVIRO_TEST_JOBS:-2}
# Tests labelled "slow" (the file over 4 GiB: about a minute the first time,
# its archive is kept in the build folder) run too; KAVIRO_SKIP_SLOW_TESTS=1
# leaves them out.
skip=()
[[ ${KAVIRO_SKIP_SLOW_TESTS:-0} == 1 ]] && skip=(-LE slow)
ctest --test-dir build/host --output-on-failure --no-tests=error -j "$jobs" "${skip[@]}"

scripts/build.sh fuzz
ctest --test-dir build/fuzz --output-on-failure --no-tests=ignore
