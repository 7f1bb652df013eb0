# shellcheck shell=bash
# Shared by the launch benchmarks: source it once DISPLAY names a running X
# server. compareLaunches alternates two programs, ROUNDS times each, and
# prints the medians of launch-to-visible and resident memory and their
# ratios.
#   LAUNCHER=(wine)   run the programs through this (empty: directly)
#   compareLaunches OURS BARE ROUNDS "OURS LABEL" "BARE LABEL" TARGET

# One connection watches the screen for windows being mapped; polling with a
# new client each time would flood the server and perturb what it measures.
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
sleep 0.3
LAUNCHER=(${LAUNCHER[@]+"${LAUNCHER[@]}"})

# Starts a program, waits until its window is mapped, then lets it settle
# and reads its resident memory. Prints "milliseconds kilobytes".
measure() {
  local program=$1 start pid visible rss line
  while read -r -t 0.2 line <&"${XEV[0]}"; do :; done # forget earlier events
  start=$(date +%s%N)
  ${LAUNCHER[@]+"${LAUNCHER[@]}"} "$program" >/dev/null 2>&1 &
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

compareLaunches() {
  local ours=$1 bare=$2 rounds=$3 oursLabel=$4 bareLabel=$5 target=$6 ms kb
  local ours_ms=() ours_kb=() bare_ms=() bare_kb=()
  measure "$ours" >/dev/null # warm the caches once
  measure "$bare" >/dev/null
  for _ in $(seq "$rounds"); do
    read -r ms kb < <(measure "$ours"); ours_ms+=("$ms"); ours_kb+=("$kb")
    read -r ms kb < <(measure "$bare"); bare_ms+=("$ms"); bare_kb+=("$kb")
  done
  local om bm ok bk
  om=$(printf '%s\n' "${ours_ms[@]}" | median); bm=$(printf '%s\n' "${bare_ms[@]}" | median)
  ok=$(printf '%s\n' "${ours_kb[@]}" | median); bk=$(printf '%s\n' "${bare_kb[@]}" | median)
  printf '%-22s %11s %11s %8s %8s\n' "median of $rounds" "$oursLabel" "$bareLabel" ratio target
  printf '%-22s %8s ms %8s ms %7.2fx %8s\n' "launch to visible" "$om" "$bm" "$(echo "$om $bm" | awk '{print $1 / $2}')" "$target"
  printf '%-22s %8s KB %8s KB %7.2fx %8s\n' "resident memory" "$ok" "$bk" "$(echo "$ok $bk" | awk '{print $1 / $2}')" "$target"
}
