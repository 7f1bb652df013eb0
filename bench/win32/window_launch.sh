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

# One connection watches the screen for windows being mapped.
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
sleep 0.3

# Starts a program, waits until its window is mapped, then lets it settle
# and reads its resident memory. Prints "milliseconds kilobytes".
measure() {
  local program=$1 start pid visible rss line
  while read -r -t 0.2 line <&"${XEV[0]}"; do :; done # forget earlier events
  start=$(date +%s%N)
  wine "$program" >/dev/null 2>&1 &
  pid=$!
  while read -r line <&"${XEV[0]}"; do [[ $line == MapNotify* ]] && break; done
  visible=$(date +%s%N)
  sleep 0.5
  rss=$(awk '/^VmRSS/ {print $2}' /proc/$pid/status)
  kill $pid
  wait $pid 2>/dev/null || true
  echo $(((visible - start) / 1000000)) "$rss"
}

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

ours_ms=() ours_kb=() bare_ms=() bare_kb=()
measure "$ours" >/dev/null # warm the caches once
measure "$bare" >/dev/null
for _ in $(seq "$rounds"); do
  read -r ms kb < <(measure "$ours"); ours_ms+=("$ms"); ours_kb+=("$kb")
  read -r ms kb < <(measure "$bare"); bare_ms+=("$ms"); bare_kb+=("$kb")
done
om=$(printf '%s\n' "${ours_ms[@]}" | median); bm=$(printf '%s\n' "${bare_ms[@]}" | median)
ok=$(printf '%s\n' "${ours_kb[@]}" | median); bk=$(printf '%s\n' "${bare_kb[@]}" | median)
printf '%-22s %10s %10s %8s %8s\n' "median of $rounds" iitcalc.exe "bare Win32" ratio target
printf '%-22s %7s ms %7s ms %7.2fx %8s\n' "launch to visible" "$om" "$bm" "$(echo "$om $bm" | awk '{print $1 / $2}')" "<1.10x"
printf '%-22s %7s KB %7s KB %7.2fx %8s\n' "resident memory" "$ok" "$bk" "$(echo "$ok $bk" | awk '{print $1 / $2}')" "<1.10x"
