# shellcheck shell=bash
# Registry settings for the scripts, tests and benchmarks that show the
# Windows window under Wine. Source it from bash.

wine_lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# regFile FILE: writes the registry sections read from standard input (UTF-8,
# CR LF line ends) to FILE as regedit reads it: UTF-16 after its header line.
regFile() {
  { printf 'Windows Registry Editor Version 5.00\r\n\r\n'; cat; } | iconv -f UTF-8 -t UTF-16 >"$1"
}

# songtiReplacements: the registry section that has Wine draw 宋体 as the
# program's other backends do on a system without it: each name a Windows
# program may ask for it by is replaced by the first of the core's stand-ins
# (kSongtiStandIns in forms/controls.h, read from there) that Wine finds
# installed -- Wine goes down a REG_MULTI_SZ list in order.
songtiReplacements() {
  local header=$wine_lib_dir/../../forms/controls.h families hex name
  mapfile -t families < <(awk '/kSongtiStandIns[ =]*\{/ { on = 1 } on { print } on && /};/ { exit }' "$header" |
    grep -o '"[^"]*"' | tr -d '"')
  if [[ ${#families[@]} -eq 0 ]]; then
    echo "no stand-ins for 宋体 found in $header" >&2
    return 1
  fi
  # REG_MULTI_SZ as regedit writes it: UTF-16LE bytes, each name ended by a
  # NUL and the list by one more.
  hex=$({ printf '%s\0' "${families[@]}"; printf '\0'; } | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
    tr -s ' \n' ',,' | sed 's/^,//; s/,$//')
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for name in 宋体 SimSun 新宋体 NSimSun; do
    printf '"%s"=hex(7):%s\r\n' "$name" "$hex"
  done
}
