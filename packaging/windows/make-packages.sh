#!/usr/bin/env bash
# Makes the Windows zip and installer from built programs:
#   make-packages.sh VERSION ICON OUTPUT_DIR PROGRAM.exe...
# gives OUTPUT_DIR/iitcalc-VERSION-windows-x64.zip (a folder of that name with
# the programs and 使用说明.txt) and OUTPUT_DIR/iitcalc-VERSION-windows-x64-setup.exe.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$1 icon=$2 out=$3
shift 3

name=iitcalc-$version-windows-x64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name-setup.exe"
mkdir -p "$stage"
with_window=false
for program in "$@"; do
  cp "$program" "$stage/"
  [[ $(basename "$program") == iitcalc.exe ]] && with_window=true
done
[[ -e $stage/iitcalc-cli.exe ]] || { echo "make-packages.sh: iitcalc-cli.exe is missing" >&2; exit 1; }

# Notepad reads it as UTF-8 by its byte-order mark; CRLF line ends.
if $with_window; then window='s/^@window ?//'; else window='/^@window/d'; fi
{
  printf '\xEF\xBB\xBF'
  sed -E -e "$window" -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$here/readme.zh_CN.txt"
} > "$stage/使用说明.txt"

# libarchive marks the Chinese file name as UTF-8 in the zip, so Windows'
# own unzipping shows it correctly (Info-ZIP's zip leaves it unmarked).
files=()
for file in "$stage"/*; do files+=("$name/$(basename "$file")"); done
(cd "$out" && cmake -E tar cf "$name.zip" --format=zip --mtime="2000-01-01 00:00:00 UTC" -- "${files[@]}")

defines=(-DVERSION="$version" -DSTAGE="$stage" -DICON="$icon" -DOUTFILE="$out/$name-setup.exe")
$with_window && defines+=(-DWITH_WINDOW)
makensis -V2 -NOCD -INPUTCHARSET UTF8 "${defines[@]}" "$here/iitcalc.nsi"

echo "$out/$name.zip"
echo "$out/$name-setup.exe"
