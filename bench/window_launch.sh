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

# shellcheck source=scripts/lib/x11.sh
source scripts/lib/x11.sh
trap 'kill ${XEV_PID:-} 2>/dev/null || true; stopXvfb' EXIT
startXvfb 1280x800 /dev/null

# shellcheck source=bench/launch_common.sh
source bench/launch_common.sh
compareLaunches "$ours" "$bare" "$rounds" iitcalc "bare Qt" "<=1.05x"
