#!/usr/bin/env bash
# A payroll batch through iitcalc-cli beside mawk working out the same table
# and beside cat, in one run; prints nanoseconds a line and the ratios.
#   bench/batch_bench.sh [LINES] [ROUNDS] [EARLIER_COMMIT]
# LINES defaults to 1000000 and ROUNDS to 5; the least time of the rounds
# counts, the programs taking turns. With EARLIER_COMMIT the program as it
# was then runs beside today's (built once, see bench/cli_at_commit.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000} rounds=${2:-5} earlier=${3:-}
scratch=build/batch-bench
mkdir -p "$scratch"
cmake --preset release >/dev/null
cmake --build --preset release --target iitcalc-cli >/dev/null
cli=build/release/cli/iitcalc-cli
mawk -v lines="$lines" -v kind=payroll -f bench/batch_input.awk >"$scratch/in"

# The same table in awk: the five fields, 15 significant digits.
cat >"$scratch/table.awk" <<'AWK'
BEGIN { FS = OFS = "\t" }
{
  threshold = NF >= 3 ? $3 : 3500
  t = ($1 - $2) - threshold
  if (t > 80000) tax = t * 0.45 - 13505
  else if (t > 55000) tax = t * 0.35 - 5505
  else if (t > 35000) tax = t * 0.3 - 2755
  else if (t > 9000) tax = t * 0.25 - 1005
  else if (t > 4500) tax = t * 0.2 - 555
  else if (t > 1500) tax = t * 0.1 - 105
  else if (t > 0) tax = t * 0.03
  else tax = 0
  printf "%s\t%s\t%s\t%.15g\t%.15g\n", $1, $2, threshold, t, tax
}
AWK

names=(cat mawk iitcalc-cli)
commands=("cat" "mawk -f $scratch/table.awk" "$cli")
if [[ -n $earlier ]]; then
  names+=("iitcalc-cli@$earlier")
  commands+=("$(bench/cli_at_commit.sh "$earlier" "build/batch-identical/$earlier")")
fi
declare -A best
for _ in $(seq "$rounds"); do
  for i in "${!names[@]}"; do
    start=$(date +%s%N)
    LC_ALL=C ${commands[$i]} <"$scratch/in" >/dev/null || [[ $? == 1 ]]
    elapsed=$(($(date +%s%N) - start))
    [[ -z ${best[$i]:-} || $elapsed -lt ${best[$i]} ]] && best[$i]=$elapsed
  done
done

# Resident memory of a whole run, from the kernel's own count (GNU time).
peak="?"
[[ -x /usr/bin/time ]] && peak=$( { /usr/bin/time -f %M "$cli" <"$scratch/in" >/dev/null; } 2>&1 | tail -n 1)
echo "$lines lines ($(wc -c <"$scratch/in") bytes), least of $rounds rounds"
for i in "${!names[@]}"; do echo "${names[$i]} ${best[$i]}"; done | mawk -v lines="$lines" -v peak="$peak" '
  { name[NR] = $1; ns[NR] = $2 }
  END {
    printf "%-26s %10s %12s %10s %10s\n", "program", "ms", "ns a line", "÷ mawk", "÷ cat"
    for (i = 1; i <= NR; i++)
      printf "%-26s %10.0f %12.1f %9.2fx %9.1fx\n", name[i], ns[i] / 1e6, ns[i] / lines, ns[i] / ns[2], ns[i] / ns[1]
    ratio = ns[3] / ns[2]
    printf "iitcalc-cli beside mawk: %.2fx (target 0.30x or less: %s); peak resident memory %s KB\n", ratio,
      ratio <= 0.30 ? "met" : "MISSED", peak
  }'
