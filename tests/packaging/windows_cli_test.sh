#!/usr/bin/env bash
# iitcalc-cli.exe under Wine as Windows users meet it: arguments typed in
# Chinese, the same UTF-8 bytes as on Linux in pipes and files (CRLF batches
# included), Chinese text on the console, and the separators of the user's
# regional settings.
#   windows_cli_test.sh PROGRAM.exe EMULATOR...
# EMULATOR is the command that runs a Windows program (cmake/wine-run PREFIX).
# The regional settings of the emulator's prefix are changed while this runs
# and reset to the locale's own at the end.
set -uo pipefail
program=$1
shift
emulator=("$@")
scratch=$(mktemp -d)
failures=0

international='HKCU\Control Panel\International'
resetRegionalSettings() {
  for value in sDecimal sThousand sGrouping; do
    "${emulator[@]}" reg delete "$international" /v "$value" /f >/dev/null 2>&1
  done
}
trap 'resetRegionalSettings; rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}

# expect NAME STATUS OUT ERR [ARGUMENT...]: runs the program with stdin from
# $scratch/in and compares status, standard output and standard error bytes.
expect() {
  local name=$1 status=$2 out=$3 err=$4
  shift 4
  "${emulator[@]}" "$program" "$@" <"$scratch/in" >"$scratch/out" 2>"$scratch/err"
  local actual=$?
  printf '%s' "$out" >"$scratch/expected_out"
  printf '%s' "$err" >"$scratch/expected_err"
  [[ $actual == "$status" ]] || fail "$name: status $actual, expected $status"
  cmp -s "$scratch/out" "$scratch/expected_out" || fail "$name: output $(od -c "$scratch/out" | head -5)"
  cmp -s "$scratch/err" "$scratch/expected_err" || fail "$name: errors $(cat "$scratch/err")"
}

# regionalSettings DECIMAL THOUSAND GROUPING: what a user sets under Region
# in Control Panel. Wine's reg now and then exits with a failure and no
# message while the processes of the tests before this one are still ending
# (seen twice in fresh CI runs); setting a value again is harmless, so each
# gets a few tries before the test counts it as failed.
regionalSettings() {
  local value setting
  for setting in "sDecimal=$1" "sThousand=$2" "sGrouping=$3"; do
    value=${setting#*=}
    for _ in 1 2 3 4 5; do
      "${emulator[@]}" reg add "$international" /v "${setting%%=*}" /d "$value" /f >/dev/null 2>"$scratch/reg" &&
        continue 2
      sleep 1
    done
    fail "could not set ${setting%%=*}: $(cat "$scratch/reg")"
  done
}

: >"$scratch/in"
mismatch=$'iitcalc-cli: 运行时错误 13：类型不匹配\n'

echo "== single calculations, arguments as typed"
regionalSettings . , '3;0'
expect example 0 $'税基\t5500\n应缴税额\t545\n' '' 10000 1000
# Full-width digits from a Chinese input method survive only if the
# arguments arrive as UTF-16; through a code page they become '?'.
expect full_width_digits 0 $'税基\t5500\n应缴税额\t545\n' '' １００００ １０００ ３５００
expect chinese_after_the_number 0 $'税基\t3500\n应缴税额\t245\n' '' 8000元 1000
expect empty_threshold 13 '' "$mismatch" 10000 1000 ''
expect overflow 6 '' $'iitcalc-cli: 运行时错误 6：溢出\n' 1E308 -1E308
expect negative_is_a_value 0 $'税基\t-3700\n应缴税额\t0\n' '' -200 0

echo "== batch: CRLF in, the Linux bytes out"
# Input in text mode would stop at the Ctrl+Z (0x1A) of the fourth line.
printf '10000\t1000\r\n10000\t1000\t4000\r\n8000元\t0\r\n1\x1a\t0\r\n\r\n1E308\t-1E308\r\n1\t2\t3\t4\r\n5000.01\t0' >"$scratch/in"
batch=$'10000\t1000\t3500\t5500\t545\n'
batch+=$'10000\t1000\t4000\t5000\t445\n'
batch+=$'8000元\t0\t3500\t4500\t345\n'
batch+=$'1\x1a\t0\t3500\t-3499\t0\n'
batch+=$'\n'
batch+=$'1E308\t-1E308\t3500\t运行时错误 6：溢出\t\n'
batch+=$'1\t2\t3\t字段过多：每行至多三个字段\t\n'
batch+=$'5000.01\t0\t3500\t1500.01\t45.001\n'
expect crlf_batch_to_a_file 1 "$batch" 'iitcalc-cli: 2 行的个人收入或五险一金之和只读了开头（第 3、4 行），如“12,345.67”读作 12；带千位分隔符的金额请用 --csv 读入'$'\n'
"${emulator[@]}" "$program" <"$scratch/in" 2>/dev/null | cat >"$scratch/piped"
printf '%s' "$batch" | cmp -s - "$scratch/piped" || fail "crlf_batch_through_a_pipe: $(od -c "$scratch/piped" | head -5)"

# A file saved as "Unicode" (UTF-16 with its byte-order mark) with CR-only
# line ends: one row per record, in UTF-8.
{ printf '\xff\xfe'; printf '１００００\t1000\r20000\t2000\r' | iconv -f UTF-8 -t UTF-16LE; } >"$scratch/in"
expect utf16_with_bare_carriage_returns 0 $'１００００\t1000\t3500\t5500\t545\n20000\t2000\t3500\t14500\t2620\n' ''

# Enough lines to fill many buffers, each the same.
for _ in $(seq 20000); do printf '10000\t1000\r\n'; done >"$scratch/in"
"${emulator[@]}" "$program" <"$scratch/in" >"$scratch/out"
for _ in $(seq 20000); do printf '10000\t1000\t3500\t5500\t545\n'; done | cmp -s - "$scratch/out" ||
  fail "long_batch: $(wc -c <"$scratch/out") bytes out"
: >"$scratch/in"

echo "== payroll sheets"
regionalSettings . , '3;0'
# 姓名,工号,应发工资,五险一金 and a row, as Excel on Chinese Windows saves them.
printf '\xd0\xd5\xc3\xfb,\xb9\xa4\xba\xc5,\xd3\xa6\xb7\xa2\xb9\xa4\xd7\xca,\xce\xe5\xcf\xd5\xd2\xbb\xbd\xf0\r\n'\
'\xd5\xc5\xc8\xfd,001,"12,345.67",1234.5\r\n' >"$scratch/in"
sheet=$'\xef\xbb\xbf姓名,工号,应发工资,五险一金,税基,应缴税额,出错原因\r\n张三,001,"12,345.67",1234.5,7611.17,967.234,\r\n'
expect gb18030_sheet 0 "$sheet" '' --csv
# Dropped on the program: the result beside the sheet, under a new name.
cp "$scratch/in" "$scratch/工资表.csv"
: >"$scratch/in"
# shellcheck disable=SC1111 # the program's own quotation marks
expect sheet_by_name 0 '' "iitcalc-cli: 已写入“$scratch/工资表-个税.csv”：计算 1 行"$'\n' "$scratch/工资表.csv"
printf '%s' "$sheet" | cmp -s - "$scratch/工资表-个税.csv" || fail "sheet_by_name: $(od -c "$scratch/工资表-个税.csv" | head -3)"
# shellcheck disable=SC1111
expect sheet_never_overwritten 0 '' "iitcalc-cli: 已写入“$scratch/工资表-个税 (2).csv”：计算 1 行"$'\n' "$scratch/工资表.csv"

echo "== the console"
# Wine's console on a terminal: Chinese comes out right only if it was
# written as UTF-16. The console expands tabs, adds CRs and moves the cursor
# over blanks; compare the text with blanks squeezed.
squeezed() { sed -E 's/\x1b\[[0-9]*C/ /g; s/\x1b\[[0-9;?]*[A-Za-z]//g; s/\r//g; s/[ \t]+/ /g; s/ $//'; }
# onConsole [ARGUMENT...]: the program's output and errors as shown on a
# terminal, with its input from $scratch/in, or from the terminal when
# fromTerminal is set.
onConsole() {
  local command
  command=$(printf '%q ' "${emulator[@]}" "$program" "$@")
  [[ -n ${fromTerminal:-} ]] || command+=" < $(printf '%q' "$scratch/in")"
  LANG=C.UTF-8 timeout 120 script -qec "$command" /dev/null </dev/null | squeezed
}
shown=$(onConsole 10000 1000)
[[ $shown == "$(printf '税基\t5500\n应缴税额\t545' | squeezed)" ]] || fail "console_output: $shown"
shown=$(onConsole 10000 1000 x)
[[ $shown == "$(printf '%s' "${mismatch%$'\n'}" | squeezed)" ]] || fail "console_errors: $shown"
# No arguments at a terminal: wrong usage, not a wait for a batch.
shown=$(fromTerminal=1 onConsole)
[[ $shown == iitcalc-cli:\ 缺少参数*iitcalc-cli\ --help* ]] || fail "console_input_is_no_batch: $shown"
# Many reads from the pipe behind the console: sequences split between two
# of them must not turn into U+FFFD. (Wine's console shows characters beyond
# the BMP as two U+FFFD whatever the program does, so none here.)
for _ in $(seq 400); do printf '１００００\t０\tｘ\r\n'; done >"$scratch/in"
shown=$(onConsole)
expected=$(for _ in $(seq 400); do printf '１００００\t０\tｘ\t运行时错误 13：类型不匹配\t\n'; done | squeezed)
[[ $shown == "$expected" ]] || fail "console_long_batch: $(diff <(echo "$expected") <(echo "$shown") | head -5)"
: >"$scratch/in"

echo "== separators from the regional settings"
regionalSettings . , '3;0'
expect threes_throughout 0 $'税基\t-991000\n应缴税额\t0\n' '' 10000 1000 1,000,000
expect misplaced_grouping 13 '' "$mismatch" 10000 1000 35,00
regionalSettings , . '3;0'
expect comma_decimal_grouped 0 $'税基\t5500\n应缴税额\t545\n' '' 10000 1000 3.500
expect comma_decimal_written 0 $'税基\t5499,5\n应缴税额\t544,9\n' '' 10000 1000 3500,5
expect point_is_not_decimal_here 13 '' "$mismatch" 10000 1000 3500.5
regionalSettings . , '3;2;0'
expect three_then_twos 0 $'税基\t-91000\n应缴税额\t0\n' '' 10000 1000 1,00,000
expect threes_where_twos_belong 13 '' "$mismatch" 10000 1000 100,000
regionalSettings . , 3
expect one_group_then_none 0 $'税基\t-991000\n应缴税额\t0\n' '' 10000 1000 1000,000
expect no_second_group 13 '' "$mismatch" 10000 1000 1,000,000
regionalSettings . , 0
expect no_grouping 13 '' "$mismatch" 10000 1000 3,500
regionalSettings , , '3;0'
expect same_character_is_decimal 0 $'税基\t8996,5\n应缴税额\t1244,3\n' '' 10000 1000 3,5
regionalSettings , $'\xc2\xa0' '3;0'
expect no_break_space_groups 0 $'税基\t5500\n应缴税额\t545\n' '' 10000 1000 $'3\xc2\xa0500'

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "windows cli ok"
