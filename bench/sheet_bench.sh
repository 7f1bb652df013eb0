#!/usr/bin/env bash
# A payroll sheet of a million rows (name, staff number, pay as a
# spreadsheet formats it, insurance; CR LF) through iitcalc-cli --csv, beside
# Miller working out the same table and beside the tab batch on the same
# amounts, in one run; prints seconds, ratios and peak resident memory.
#   bench/sheet_bench.sh [ROWS] [ROUNDS]
# ROWS defaults to 1000000, ROUNDS to 3; the least time of the rounds counts,
# the programs taking turns. Needs Debian's miller and GNU time.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000} rounds=${2:-3}
scratch=build/sheet-bench
mkdir -p "$scratch"
cmake --preset release >/dev/null
cmake --build --preset release --target iitcalc-cli >/dev/null
cli=build/release/cli/iitcalc-cli

mawk -v rows="$rows" 'BEGIN {
  srand(1)
  printf "姓名,工号,应发工资,五险一金\r\n"
  for (i = 0; i < rows; i++) {
    pay = int(rand() * 9000000 + 300000) / 100
    insurance = int(pay * (8 + rand() * 4)) / 100
    whole = int(pay); grouped = whole >= 1000 ? sprintf("%d,%03d", int(whole / 1000), whole % 1000) : whole
    printf "员工%d,%06d,\"%s.%02d\",%.2f\r\n", i, i, grouped, int(pay * 100 + 0.5) % 100, insurance
  }
}' >"$scratch/sheet.csv"
iconv -f UTF-8 -t GB18030 "$scratch/sheet.csv" >"$scratch/sheet-gb18030.csv"
mawk -F, 'NR > 1 { gsub(/"/, ""); printf "%s%s\t%s\n", $3, $4, $5 }' "$scratch/sheet.csv" >"$scratch/batch.tsv"

# The same table in Miller's language, the grouping taken out first.
cat >"$scratch/table.mlr" <<'MLR'
pay = float(gsub($应发工资, ",", ""));
t = (pay - float($五险一金)) - 3500;
if (t > 80000) { tax = t * 0.45 - 13505 }
elif (t > 55000) { tax = t * 0.35 - 5505 }
elif (t > 35000) { tax = t * 0.3 - 2755 }
elif (t > 9000) { tax = t * 0.25 - 1005 }
elif (t > 4500) { tax = t * 0.2 - 555 }
elif (t > 1500) { tax = t * 0.1 - 105 }
elif (t > 0) { tax = t * 0.03 }
else { tax = 0 }
$税基 = fmtnum(t, "%.15lg");
$应缴税额 = fmtnum(tax, "%.15lg");
MLR

names=(miller sheet sheet-gb18030 tab-batch)
inputs=("$scratch/sheet.csv" "$scratch/sheet.csv" "$scratch/sheet-gb18030.csv" "$scratch/batch.tsv")
commands=("mlr --icsv --ocsv put -f $scratch/table.mlr" "$cli --csv" "$cli --csv" "$cli")
declare -A best peak
for _ in $(seq "$rounds"); do
  for i in "${!names[@]}"; do
    start=$(date +%s%N)
    LC_ALL=zh_CN.UTF-8 ${commands[$i]} <"${inputs[$i]}" >/dev/null || [[ $? == 1 ]]
    elapsed=$(($(date +%s%N) - start))
    [[ -z ${best[$i]:-} || $elapsed -lt ${best[$i]} ]] && best[$i]=$elapsed
  done
done
for i in "${!names[@]}"; do
  # shellcheck disable=SC2086 # the command and its arguments
  peak[$i]=$( { LC_ALL=zh_CN.UTF-8 /usr/bin/time -f %M ${commands[$i]} <"${inputs[$i]}" >/dev/null; } 2>&1 | tail -n 1)
done

echo "$rows rows ($(wc -c <"$scratch/sheet.csv") bytes), least of $rounds rounds"
for i in "${!names[@]}"; do echo "${names[$i]} ${best[$i]} ${peak[$i]}"; done | mawk -v rows="$rows" '
  { name[NR] = $1; ns[NR] = $2; kb[NR] = $3 }
  END {
    printf "%-15s %9s %11s %9s %12s %9s\n", "program", "s", "ns a row", "÷ miller", "÷ tab batch", "peak MB"
    for (i = 1; i <= NR; i++)
      printf "%-15s %9.2f %11.0f %8.3fx %11.2fx %9.1f\n", name[i], ns[i] / 1e9, ns[i] / rows, ns[i] / ns[1],
        ns[i] / ns[4], kb[i] / 1024
    printf "sheet beside Miller %.3fx (target 0.1x or less: %s), beside the tab batch %.2fx (target 1.5x: %s), " \
      "%.1f MB resident (target 8: %s)\n", ns[2] / ns[1], ns[2] / ns[1] <= 0.1 ? "met" : "MISSED", ns[2] / ns[4],
      ns[2] / ns[4] <= 1.5 ? "met" : "MISSED", kb[2] / 1024, kb[2] <= 8192 ? "met" : "MISSED"
  }'
