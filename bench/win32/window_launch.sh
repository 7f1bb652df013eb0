#!/usr/bin/env bash
# Launch-to-visible time and resident memory of iitcalc.exe beside the bare
# Win32 window with the same controls (bench/win32/bare_window.cpp), both
# under Wine on one Xvfb, alternating runs, and the ratios of the medians.
#   bench/win32/window_launch.sh [ROUNDS]      (default 15)
# Builds what it needs in build/windows-bench (Release, cross) and keeps a
# Wine prefix there; the Wine server stays up between runs, so each figure
# is the program's own start, not Wine's.
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds=${1:-15}
build=build/windows-bench
ours=$build/window/iitcalc.exe
bare=$build/bench/win32/bare_window.exe
if [[ ! -x $ours || ! -x $bare ]]; then
  cmake --preset windows -B "$build" -DIITCALC_GUI=ON -DIITCALC_BENCH=ON -DIITCALC_TESTS=OFF >/dev/null
fi
cmake --build "$build" --target iitcalc bare_window >/dev/null

# shellcheck source=scripts/lib/x11.sh
source scripts/lib/x11.sh
# shellcheck source=scripts/lib/wine.sh
source scripts/lib/wine.sh

export WINEPREFIX=$PWD/$build/wine
export WINEDEBUG=-all
cmake/wine-run "$WINEPREFIX"

reg=$(mktemp --suffix=.reg)
trap 'kill ${XEV_PID:-} 2>/dev/null || true; wineserver -k 2>/dev/null || true; stopXvfb; rm -f "$reg"' EXIT
startXvfb 1280x800 /dev/null

# 宋体 as the tests draw it, and each program's windows straight on the X
# screen, where their mapping can be watched.
songtiReplacements | regFile "$reg"
wineserver -p
wine regedit /S "$reg"

LAUNCHER=(wine)
# shellcheck source=bench/launch_common.sh
source bench/launch_common.sh
compareLaunches "$ours" "$bare" "$rounds" iitcalc.exe "bare Win32" "<1.10x"
