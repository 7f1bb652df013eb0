#!/usr/bin/env bash
# Checks that iitcalc-cli writes the same bytes as it did at an earlier
# commit, for a batch of every kind of field text, in several locales. Not a
# test of the suite: it builds the earlier program (once) and takes a while.
#   bench/batch_identical.sh [LINES] [COMMIT] [windows]
# LINES defaults to 1000000, COMMIT to 19aff19 (before the faster numbers);
# "windows" compares the Windows programs under Wine (build the windows
# preset first), in the prefix's own regional settings. SEED=N draws
# another batch.
set -euo pipefail
cd "$(dirname "$0")/.."
lines=${1:-1000000} commit=${2:-19aff19} target=${3:-linux}
scratch=build/batch-identical
mkdir -p "$scratch"
old=$(bench/cli_at_commit.sh "$commit" "$scratch/$commit" "$target")
if [[ $target == windows ]]; then
  new=build/windows/cli/iitcalc-cli.exe
  run=(cmake/wine-run build/windows/wine)
  locales=(C)
else
  cmake --preset release >/dev/null
  cmake --build --preset release --target iitcalc-cli >/dev/null
  new=build/release/cli/iitcalc-cli
  run=()
  locales=(C.UTF-8 de_DE.UTF-8 zh_CN.UTF-8)
fi
[[ -x $new ]] || { echo "no $new: build it first" >&2; exit 2; }

mawk -v lines="$lines" -v kind=mixed -v seed="${SEED:-1}" -f bench/batch_input.awk >"$scratch/in"
echo "$lines lines, $(wc -c <"$scratch/in") bytes; $old against $new"
failed=0
for locale in "${locales[@]}"; do
  for program in old new; do
    status=0
    LC_ALL=$locale ${run[@]+"${run[@]}"} "${!program}" <"$scratch/in" >"$scratch/$program.out" 2>"$scratch/$program.err" ||
      status=$?
    echo "$status" >"$scratch/$program.status"
  done
  if cmp -s "$scratch/old.out" "$scratch/new.out" && cmp -s "$scratch/old.err" "$scratch/new.err" &&
    cmp -s "$scratch/old.status" "$scratch/new.status"; then
    echo "$locale: identical, $(wc -l <"$scratch/new.out") lines, status $(cat "$scratch/new.status")"
  else
    echo "$locale: DIFFERENT"
    cmp "$scratch/old.out" "$scratch/new.out" || true
    diff <(head -c 2000000 "$scratch/old.out") <(head -c 2000000 "$scratch/new.out") | head -10 || true
    failed=1
  fi
done
exit $failed
