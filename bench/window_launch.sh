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
log=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number_file" >/dev/null 2>&1 &
xvfb=$!
trap 'kill ${XEV_PID:-} $xvfb 2>/dev/null || true; rm -f "$number_file" "$log"' EXIT
for _ in $(seq 100); do [[ -s "$number_file" ]] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$number_file")

# One connection watches the screen for windows being mapped; polling with a
# new client each time would flood the server and perturb what it measures.
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
sleep 0.3

# Starts a program, waits until its window is mapped, then lets it settle
# and reads its resident memory. Prints "milliseconds kilobytes".
measure() {
  local program=$1 start pid visible rss line
  while read -r -t 0.2 line <&"${XEV[0]}"; do :; done # forget earlier events
  start=$(date +%s%N)
  "$program" >/dev/null 2>>"$log" &
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
for _ in $(seq "$rounds"); do
  read -r ms kb < <(measure "$ours"); ours_ms+=("$ms"); ours_kb+=("$kb")
  read -r ms kb < <(measure "$bare"); bare_ms+=("$ms"); bare_kb+=("$kb")
done
om=$(printf '%s\n' "${ours_ms[@]}" | median); bm=$(printf '%s\n' "${bare_ms[@]}" | median)
ok=$(printf '%s\n' "${ours_kb[@]}" | median); bk=$(printf '%s\n' "${bare_kb[@]}" | median)
printf '%-22s %10s %10s %8s %8s\n' "median of $rounds" iitcalc "bare Qt" ratio target
printf '%-22s %7s ms %7s ms %7.2fx %8s\n' "launch to visible" "$om" "$bm" "$(echo "$om $bm" | awk '{print $1 / $2}')" "<1.15x"
printf '%-22s %7s KB %7s KB %7.2fx %8s\n' "resident memory" "$ok" "$bk" "$(echo "$ok $bk" | awk '{print $1 / $2}')" "<1.15x"
