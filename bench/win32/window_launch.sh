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

export WINEPREFIX=$PWD/$build/wine
export WINEDEBUG=-all
cmake/wine-run "$WINEPREFIX"

number_file=$(mktemp)
reg=$(mktemp --suffix=.reg)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${XEV_PID:-} 2>/dev/null || true; wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -f "$number_file" "$reg"' EXIT
for _ in $(seq 100); do [[ -s "$number_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$number_file")

# 宋体 as the tests draw it, and each program's windows straight on the X
# screen, where their mapping can be watched.
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"宋体"="WenQuanYi Micro Hei Mono"\r\n"SimSun"="WenQuanYi Micro Hei Mono"\r\n'
} | iconv -f UTF-8 -t UTF-16 >"$reg"
wineserver -p
wine regedit /S "$reg"

LAUNCHER=(wine)
source bench/launch_common.sh
compareLaunches "$ours" "$bare" "$rounds" iitcalc.exe "bare Win32" "<1.10x"
