#!/usr/bin/env bash
# Set-up and clean-up of an end-to-end test run (CTest fixture wine_prefix):
#   e2e-fixture.sh setup DIR     fresh Wine prefix in DIR/wineprefix and an Xvfb
#                                server whose display number goes to DIR/display
#   e2e-fixture.sh cleanup DIR   stops that prefix's wineserver and that Xvfb
set -euo pipefail
action=$1 dir=$2
root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$dir"

stop_xvfb() {
  if [[ -f $dir/xvfb.pid ]]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid" "$dir/display"
  fi
}

case $action in
  setup)
    stop_xvfb
    "$root/scripts/wine-prefix.sh" create "$dir/wineprefix"
    rm -rf "$dir/work" "$dir/output"
    # Xvfb picks a free display and writes its number to fd 3. It runs in its
    # own session with no inherited pipes, so CTest does not wait for it.
    rm -f "$dir/display"
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" </dev/null >/dev/null 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 100); do [[ -s $dir/display ]] && break; sleep 0.1; done
    [[ -s $dir/display ]] || { echo "e2e-fixture: Xvfb did not start" >&2; exit 1; }
    echo "e2e-fixture: prefix $dir/wineprefix, display :$(cat "$dir/display")"
    ;;
  cleanup)
    "$root/scripts/wine-prefix.sh" stop "$dir/wineprefix"
    stop_xvfb
    ;;
  *) echo "e2e-fixture.sh: setup|cleanup DIR" >&2; exit 2 ;;
esac
