#!/usr/bin/env bash
# The Windows packages from a build tree: the zip's contents, and the
# installer under Wine, as a user without administrator rights, in a prefix
# of its own: run silently, and page by page on a virtual display as a user
# clicks through it, it installs the programs, the Start-menu shortcut and
# the uninstaller and registers itself with its publisher; its finish page
# starts the window and nothing else; the uninstaller takes all of it away
# again.
#   windows_installer_test.sh BUILD_DIR [PREFIX]
# PREFIX defaults to BUILD_DIR/wine-installer. Without a window in the
# build, the shortcut is checked with a stand-in for iitcalc.exe.
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${2:-$build/wine-installer}
scratch=$(mktemp -d)
xvfb=
trap '[[ -n $xvfb ]] && kill "$xvfb" 2>/dev/null; rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}
run() { "$source_dir/cmake/wine-run" "$prefix" "$@"; }
unixPath() { run winepath -u "$1" | tr -d '\r'; }

# processes: "PID COMMAND-LINE" for each process running in the prefix, Wine's
# own server aside.
processes() {
  local dir pid
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$prefix" || continue
    [[ $(cat "$dir/comm" 2>/dev/null) == wineserver* ]] && continue
    echo "$pid $({ tr '\0' ' ' <"$dir/cmdline"; } 2>/dev/null)"
  done
}
# Waits for every program in the prefix to end but Wine's own, which stay as
# long as the server (the uninstaller goes on in a copy of itself after the
# one started has returned).
settle() {
  local _
  for _ in $(seq 240); do
    processes | grep -viq '^[0-9]* [a-z]:\\windows\\' || return 0
    sleep 0.5
  done
  fail "programs in the prefix did not end: $(processes | grep -vi '^[0-9]* [a-z]:\\windows\\')"
}

cmake --build "$build" --target windows_packages >"$scratch/packaging.log" 2>&1 || {
  cat "$scratch/packaging.log"
  exit 1
}
zip=$(ls "$build"/packages/iitcalc-*-windows-x64.zip)
setup=$(ls "$build"/packages/iitcalc-*-windows-x64-setup.exe)
name=$(basename "$zip" .zip)

echo "== the zip"
listing=$(cmake -E tar tf "$zip" | sort)
grep -qx "$name/iitcalc.exe" <<<"$listing" && have_window=true || have_window=false
expected="$name/iitcalc-cli.exe"$'\n'"$name/使用说明.txt"
$have_window && expected="$name/iitcalc-cli.exe"$'\n'"$name/iitcalc.exe"$'\n'"$name/使用说明.txt"
[[ $listing == "$expected" ]] || fail "zip holds: $listing"
(cd "$scratch" && cmake -E tar xf "$zip")
readme=$scratch/$name/使用说明.txt
[[ $(head -c 3 "$readme" | od -An -tx1 | tr -d ' ') == efbbbf ]] || fail "使用说明.txt has no UTF-8 byte-order mark"
[[ $(grep -c $'\r$' "$readme") == $(wc -l <"$readme") ]] || fail "使用说明.txt has lines without CRLF"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "使用说明.txt is not UTF-8"
grep -q "@" "$readme" && fail "使用说明.txt has an unreplaced placeholder"

# A display of its own for the installer's pages; Wine's desktop program
# stays on it as long as the server.
startDisplay() {
  local _ number=$scratch/display
  timeout 900 Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$number" </dev/null >"$scratch/xvfb.log" 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [[ -s $number ]] && break; sleep 0.1; done
  [[ -s $number ]] || { cat "$scratch/xvfb.log"; return 1; }
  export DISPLAY=:$(head -1 "$number")
}

# throughPages SETUP.exe WITH_WINDOW FOLDER: installs as a user does, with
# 安装 on the folder page and 完成 on the finish page, its boxes as they come,
# and checks what 完成 started from the installed FOLDER (Windows path): the
# window alone where there is one, and never the read-me.
throughPages() {
  local setup=$1 with_window=$2 folder=${3,,}\\
  local before installer window pid line name round _
  # Text files open in Notepad, as on Windows; a new prefix opens them in
  # nothing.
  run reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null || fail "could not register .txt"
  before=$(processes | cut -d' ' -f1)
  "$source_dir/cmake/wine-run" "$prefix" "$setup" </dev/null >"$scratch/pages.log" 2>&1 &
  installer=$!
  if window=$(timeout 60 xdotool search --sync --name '安装' | head -1) && [[ -n $window ]]; then
    timeout 10 xdotool windowfocus --sync "$window"
    # Enter presses each page's default button; while files are copied there
    # is none.
    for _ in $(seq 90); do
      kill -0 "$installer" 2>/dev/null || break
      xdotool key Return
      sleep 1
    done
  fi
  if kill -0 "$installer" 2>/dev/null; then
    fail "the installer's pages did not come to an end: $(cat "$scratch/pages.log")"
    kill "$installer"
  fi
  wait "$installer" || fail "the installer failed: $(cat "$scratch/pages.log")"

  # What 完成 starts exists before the installer ends; it may take a moment
  # to show its command line.
  local -A started=()
  local expected='' pids=()
  $with_window && expected=iitcalc.exe
  for round in $(seq 20); do
    while read -r pid line; do
      grep -qxF "$pid" <<<"$before" && continue
      line=${line,,}
      [[ $line == *"$folder"* ]] || continue
      name=${line##*"$folder"}
      name=${name%%[\" ]*}
      [[ -n ${started[$name]:-} ]] || pids+=("$pid")
      started[$name]=1
    done < <(processes)
    [[ $round -ge 4 && ${!started[*]} == "$expected" ]] && break
    sleep 0.5
  done
  [[ ${!started[*]} == "$expected" ]] || fail "完成 started '${!started[*]}', not '$expected'"
  [[ ${#pids[@]} -eq 0 ]] || kill "${pids[@]}" 2>/dev/null
  settle
}

# install_and_uninstall SETUP.exe WITH_WINDOW [pages]: silently, or through
# the installer's pages.
install_and_uninstall() {
  local setup=$1 with_window=$2 how=${3:-silently}
  local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\iitcalc'
  local folder dir menu shortcut
  folder=$(run cmd /c 'echo %LOCALAPPDATA%\Programs\iitcalc' | tr -d '\r')
  dir=$(unixPath "$folder")
  menu=$(unixPath "$(run cmd /c 'echo %APPDATA%\Microsoft\Windows\Start Menu\Programs' | tr -d '\r')")
  shortcut="$menu/个人所得税计算器.lnk"
  local installed=(iitcalc-cli.exe 使用说明.txt uninstall.exe)
  $with_window && installed+=(iitcalc.exe)

  # What an earlier run that stopped half-way left behind.
  rm -rf "$dir" "$shortcut"
  run reg delete "$key" /f >/dev/null 2>&1

  if [[ $how == pages ]]; then
    throughPages "$setup" "$with_window" "$folder"
  else
    run "$setup" /S || fail "the installer failed"
    settle
  fi
  for file in "${installed[@]}"; do
    [[ -f $dir/$file ]] || fail "not installed: $file"
  done
  if $with_window; then
    [[ -f $shortcut ]] || fail "no Start-menu shortcut 个人所得税计算器"
    iconv -c -f UTF-16LE -t UTF-8 <"$shortcut" | grep -q 'iitcalc\.exe' || grep -aq 'iitcalc\.exe' "$shortcut" ||
      fail "the shortcut does not lead to iitcalc.exe"
  else
    [[ ! -e $shortcut ]] || fail "a shortcut without a window to open"
  fi
  [[ $(run "$dir/iitcalc-cli.exe" 10000 1000) == $'税基\t5500\n应缴税额\t545' ]] || fail "the installed iitcalc-cli.exe does not calculate"
  run reg export "$key" "$(run winepath -w "$scratch/key.reg" | tr -d '\r')" /y >/dev/null 2>&1
  local registered
  registered=$(iconv -f UTF-16LE -t UTF-8 "$scratch/key.reg" 2>/dev/null | tr -d '\r')
  grep -q '"DisplayName"="个人所得税计算器"' <<<"$registered" || fail "not registered for uninstalling: $registered"
  grep -q '"Publisher"="iitcalc 开发组"' <<<"$registered" || fail "no Publisher iitcalc 开发组: $registered"
  grep -q '"UninstallString"=.*uninstall\.exe' <<<"$registered" || fail "no UninstallString: $registered"

  run "$dir/uninstall.exe" /S || fail "the uninstaller failed"
  settle
  [[ ! -e $dir ]] || fail "left behind: $(ls -A "$dir")"
  [[ ! -e $shortcut ]] || fail "the shortcut is left behind"
  run reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left behind"
}

echo "== the installer"
run || exit 1
startDisplay || exit 1
install_and_uninstall "$setup" "$have_window" pages
install_and_uninstall "$setup" "$have_window"

if ! $have_window; then
  echo "== the installer with a window (a stand-in for iitcalc.exe)"
  cp "$build/cli/iitcalc-cli.exe" "$scratch/iitcalc-cli.exe"
  cp "$build/cli/iitcalc-cli.exe" "$scratch/iitcalc.exe"
  version=${name#iitcalc-}
  version=${version%-windows-x64}
  "$source_dir/packaging/windows/make-packages.sh" "$version" "$build/packaging/windows/iitcalc.ico" "$scratch/out" \
    "$scratch/iitcalc-cli.exe" "$scratch/iitcalc.exe" >/dev/null || fail "no installer with a window"
  install_and_uninstall "$scratch/out/$name-setup.exe" true
fi

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "windows installer ok"
