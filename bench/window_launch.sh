#!/usr/bin/env bash
# Launch-to-visible time and resident memory of iitcalc beside the bare Qt
# window with the same controls, alternating runs under one Xvfb, and the
# ratios of the medians.
#   bench/window_launch.sh [ROUNDS]      (default 15; build the bench preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-15}
ours=build/bench/window/iitcalc
bare=build/bench/bench/bare_window
[[ -x $ours && -x $bare ]] || { cmake --preset bench >/dev/null && cmake --build --preset bench >/dev/null; }

number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${XEV_PID:-} $xvfb 2>/dev/null || true; rm -f "$number_file"' EXIT
for _ in $(seq 100); do [[ -s "$number_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$number_file")

source bench/launch_common.sh
compareLaunches "$ours" "$bare" "$rounds" iitcalc "bare Qt" "<=1.05x"
