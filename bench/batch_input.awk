# Batch files for the batch benchmark and the before-and-after check.
#   mawk -v lines=N -v kind=payroll|mixed [-v seed=S] -f bench/batch_input.awk
# payroll: incomes and insurance sums as a payroll system exports them, a
# fifth of the lines with a threshold of their own.
# mixed: every kind of field text the readings meet: integers, decimals,
# exponents, full-width forms, junk, literals beyond the double range,
# &H and &O, grouping, blanks, malformed UTF-8, missing and extra fields.
# Never a bare CR or a byte-order mark, whose handling changed on purpose.
BEGIN {
  srand(seed == "" ? 1 : seed)
  if (kind == "payroll") {
    for (i = 0; i < lines; i++) {
      income = int(rand() * 9000000 + 300000) / 100
      insurance = int(income * (8 + rand() * 4)) / 100
      if (rand() < 0.2)
        printf "%.2f\t%.2f\t5000\n", income, insurance
      else
        printf "%.2f\t%.2f\n", income, insurance
    }
    exit
  }
  n = split("abc|元|3500元|1,000|3,500|1.2.3|&H1F|&hff|&O17|&o778|&H|& H 10|１２３４５|＆Ｈ１Ｆ|－５００|１，０００|" \
            "３，５００．５|1E400|-1E400|1E-400|1E308|-1E308|1E309|4.9406564584124654E-324|9007199254740993|" \
            "123456789012345678901234567890|0.000000000000000000000000000001|1 000|- 1 0|  12 |.5|5.|.E3|1.E3|" \
            "+5|--5|2.5e-3|1e+|7E|NaN|inf|0x10|\377|1\377|\357\274|\300\265|３５００\343\200\200|\343\200\200|" \
            " |3.500,5|3500,5|35,00|1,000,000.5|1,00,000|3500.5| 3500 |１，２３４，５６７|1E-5|5E-5|" \
            "0.00009999999999999999|999999999999999.9|1234567890123456|", token, "|")
  for (i = 0; i < lines; i++) {
    fields = rand() < 0.05 ? int(rand() * 5) : (rand() < 0.6 ? 2 : 3)
    line = ""
    for (f = 0; f < fields; f++)
      line = line (f ? "\t" : "") field(f)
    print line
  }
}

function field(f,   r, t) {
  r = rand()
  if (f == 2 && r < 0.5) return rand() < 0.5 ? "3500" : int(rand() * 10000)
  if (r < 0.2) return int(rand() * 200000)
  if (r < 0.4) return sprintf("%.*f", int(rand() * 7), rand() * 100000)
  if (r < 0.5) return sprintf("%.*e", int(rand() * 16), (rand() - 0.3) * 10 ^ int(rand() * 40 - 20))
  if (r < 0.55) return (rand() < 0.5 ? "-" : "") int(rand() * 1000000)
  if (r < 0.6) return token[int(rand() * n) + 1] token[int(rand() * n) + 1]
  return token[int(rand() * n) + 1]
}
