#!/usr/bin/env bash
# The Windows programs as shipped: each one file that needs only Windows' own
# DLLs, with the right subsystem, the icon in every size (the smallest drawn
# for their pixels), the version information in Chinese with the company and
# the copyright, and the application manifest.
#   windows_executable_test.sh VERSION PROGRAM.exe...
set -uo pipefail
version=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}

# DLLs every Windows has. A MinGW runtime (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll) or anything else would have to ship beside the program.
system_dlls='^(kernel32|user32|gdi32|shell32|comctl32|comdlg32|advapi32|ole32|oleaut32|uxtheme|dwmapi|shcore|shlwapi|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+)\.dll$'

for program in "$@"; do
  name=$(basename "$program")
  headers=$(x86_64-w64-mingw32-objdump -p "$program") || { fail "$name: not a PE file"; continue; }

  while read -r dll; do
    [[ ${dll,,} =~ $system_dlls ]] || fail "$name imports $dll"
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

  case $name in
    iitcalc-cli.exe) subsystem='(Windows CUI)' ;;
    *) subsystem='(Windows GUI)' ;;
  esac
  grep -q "^Subsystem.*$subsystem" <<<"$headers" || fail "$name: subsystem is not $subsystem"

  wrestool -x --type=14 --name=1 "$program" >"$scratch/icon.ico" 2>/dev/null
  sizes=$(icotool -l "$scratch/icon.ico" 2>/dev/null | sed -n 's/.*--width=\([0-9]*\).*/\1/p' | sort -n | tr '\n' ' ')
  [[ $sizes == "16 20 24 32 40 48 64 96 128 256 " ]] || fail "$name: icon 1 has sizes '$sizes'"
  # The small sizes drawn for their pixels: each pixel wholly one of a few
  # colours or wholly transparent, where a scaled-down picture blurs its
  # edges into dozens of half-tones.
  for size in 16 24 32; do
    icotool -x --width="$size" --height="$size" -o "$scratch/icon-$size.png" "$scratch/icon.ico" 2>/dev/null
    pixels=$(convert "$scratch/icon-$size.png" -depth 8 txt:- 2>/dev/null | sed -n 's/.* #\([0-9A-F]\{8\}\) .*/\1/p')
    colours=$(grep -v '00$' <<<"$pixels" | sort -u | wc -l)
    blended=$(grep -vc -e '00$' -e 'FF$' <<<"$pixels")
    [[ -n $pixels && $colours -le 6 && $blended -eq 0 ]] ||
      fail "$name: the ${size}x$size icon is not drawn for its size ($colours colours, $blended half-transparent pixels)"
  done

  # The version texts are UTF-16; a missing code page would garble them.
  strings=$(wrestool -x --raw --type=16 "$program" | iconv -c -f UTF-16LE -t UTF-8 | tr '\0' '\n')
  grep -q "个人所得税计算器" <<<"$strings" || fail "$name: no product name 个人所得税计算器 in the version information"
  grep -q "$version" <<<"$strings" || fail "$name: version $version missing from the version information"
  # Explorer's properties show the company and the copyright.
  value() { grep -v "^$" <<<"$strings" | grep -A1 "$1\$" | sed -n 2p; }
  [[ $(value CompanyName) == "iitcalc 开发组" ]] || fail "$name: company '$(value CompanyName)', not iitcalc 开发组"
  [[ $(value LegalCopyright) == "© "[0-9][0-9][0-9][0-9]" iitcalc 开发组" ]] ||
    fail "$name: copyright '$(value LegalCopyright)'"

  manifest=$(wrestool -x --raw --type=24 --name=1 "$program")
  for setting in 'PerMonitorV2' '<activeCodePage[^>]*>UTF-8<' 'Microsoft.Windows.Common-Controls" version="6' 'level="asInvoker"'; do
    grep -q "$setting" <<<"$manifest" || fail "$name: the manifest lacks $setting"
  done
  # Windows refuses to start a program whose manifest does not parse.
  xmllint --noout - <<<"$manifest" || fail "$name: the manifest is not well-formed XML"
done

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "windows executables ok"
