#!/usr/bin/env bash
# The Windows packages from a build tree: the zip's contents, and the
# installer under Wine, as a user without administrator rights, in a prefix
# of its own: run silently, and page by page on a virtual display as a user
# clicks through it, it installs the programs, the Start-menu shortcut and
# the uninstaller and registers itself with its publisher; its finish page
# starts the window and nothing else, and puts iitcalc-cli on the user's
# PATH only when asked; while a program runs from the folder the uninstaller
# removes nothing (silently: with a failing status; on its pages: until the
# user has closed it and pressed Retry); then it takes all of it away again,
# the user's PATH back as it was.
#   windows_installer_test.sh BUILD_DIR [PREFIX]
# PREFIX defaults to BUILD_DIR/wine-installer. Without a window in the
# build, the shortcut is checked with a stand-in for iitcalc.exe.
set -uo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
prefix=${2:-$build/wine-installer}
scratch=$(mktemp -d)
# shellcheck source=scripts/lib/x11.sh
source "$source_dir/scripts/lib/x11.sh"
trap 'stopXvfb; rm -rf "$scratch"' EXIT
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
# one started has returned), and the one started by startProgram.
others() { processes | grep -vi '^[0-9]* [a-z]:[\]windows[\]' | grep -vi "${running_name:-^$}"; }
settle() {
  local _
  for _ in $(seq 240); do
    [[ -z $(others) ]] && return 0
    sleep 0.5
  done
  fail "programs in the prefix did not end: $(others)"
}

# startProgram DIR NAME: starts an installed program as a user would (a
# console program waiting for its input) and waits until it runs;
# stopProgram ends it.
running='' running_name=''
startProgram() {
  local _
  running_name="[\\/]$2"
  (sleep 600 | run "$1/$2" >/dev/null 2>&1) &
  running=$!
  for _ in $(seq 120); do
    # All of the list read (no -q), so that pipefail sees grep's own status.
    processes | grep -i "$running_name" >/dev/null && return 0
    sleep 0.5
  done
  fail "$2 did not start"
}
stopProgram() {
  local pid
  for pid in $(processes | grep -i "$running_name" | cut -d' ' -f1); do kill "$pid" 2>/dev/null; done
  pkill -P "$running" 2>/dev/null
  wait "$running" 2>/dev/null
  running='' running_name=''
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

# throughPages SETUP.exe WITH_WINDOW FOLDER: installs as a user does, with
# 安装 on the folder page and 完成 on the finish page, its boxes as they come
# but for the one that puts iitcalc-cli on PATH, ticked with its Alt+A, and
# checks what 完成 started from the installed FOLDER (Windows path): the
# window alone where there is one, and never the read-me.
throughPages() {
  local setup=$1 with_window=$2 folder=${3,,}\\
  local before installer window pid line name round ticked='' _
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
      # The finish page follows the files: its box for PATH is ticked there,
      # by its Alt+A, and on no other page.
      if [[ -z $ticked && -e $dir/uninstall.exe ]]; then
        sleep 3
        xdotool key alt+a
        ticked=1
        sleep 0.5
      fi
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
  for round in $(seq 60); do
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

  # What an earlier run that stopped half-way left behind; a PATH of the
  # user's own.
  rm -rf "$dir" "$shortcut"
  run reg delete "$key" /f >/dev/null 2>&1
  run reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\keep;%USERPROFILE%\bin' /f >/dev/null ||
    fail "could not set the user's PATH"
  local path_before
  path_before=$(userPath)

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
  # Run in place, so that whoever runs it learns how it ended.
  grep -qF '"QuietUninstallString"="\"'"${folder//\\/\\\\}"'\\uninstall.exe\" /S _?='"${folder//\\/\\\\}"'"' <<<"$registered" ||
    fail "no QuietUninstallString in place: $registered"
  local path_expected=$path_before
  [[ $how == pages ]] && path_expected="$path_before;$folder"
  [[ $(userPath) == "$path_expected" ]] || fail "PATH after installing $how: '$(userPath)', not '$path_expected'"

  # With a program running from the folder: everything stays.
  local program=iitcalc-cli.exe
  $with_window && program=iitcalc.exe
  startProgram "$dir" "$program"
  run "$dir/uninstall.exe" /S "_?=$folder" && fail "the quiet uninstaller reported success with $program running"
  settle
  unchanged "the quiet uninstaller with $program running"
  run "$dir/uninstall.exe" /S # NSIS's own copy of it returns 0 at once, whatever follows
  settle
  unchanged "the uninstaller's /S with $program running"

  if [[ $how == pages ]]; then
    throughUninstallPages "$dir" "$program"
  else
    stopProgram
    settle
    run "$dir/uninstall.exe" /S "_?=$folder" || fail "the quiet uninstaller failed"
  fi
  settle
  [[ ! -e $dir ]] || fail "left behind: $(ls -A "$dir")"
  [[ ! -e $shortcut ]] || fail "the shortcut is left behind"
  run reg query "$key" >/dev/null 2>&1 && fail "the uninstall entry is left behind"
  [[ $(userPath) == "$path_before" ]] || fail "PATH after uninstalling: '$(userPath)', not '$path_before'"
}

# The user's own PATH, its type and its text as stored.
userPath() { run reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | sed -n 's/^ *Path *//p'; }

# unchanged WHEN: the installed files, the shortcut and the uninstall entry
# are all still there.
unchanged() {
  local file
  for file in "${installed[@]}"; do
    [[ -f $dir/$file ]] || fail "$1 removed $file"
  done
  ! $with_window || [[ -f $shortcut ]] || fail "$1 removed the shortcut"
  run reg query "$key" >/dev/null 2>&1 || fail "$1 removed the uninstall entry"
}

# throughUninstallPages DIR PROGRAM: uninstalls as a user does while PROGRAM
# runs: the question comes before anything is removed, and once the program
# is closed Retry goes on, and Enter through the pages removes everything.
throughUninstallPages() {
  local dir=$1 program=$2 box _
  "$source_dir/cmake/wine-run" "$prefix" "$dir/uninstall.exe" </dev/null >"$scratch/uninstall.log" 2>&1
  box=$(timeout 60 xdotool search --sync --name '个人所得税计算器 卸载' | head -1)
  # A question, not the uninstaller's first page under the same title.
  if [[ -z $box || $(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p') -ge 400 ]]; then
    fail "the uninstaller did not ask to close $program"
  else
    sleep 3
    unchanged "the uninstaller asking to close $program"
  fi
  stopProgram
  for _ in $(seq 90); do
    box=$(xdotool search --name '个人所得税计算器 卸载' | head -1)
    [[ -n $box ]] || break
    timeout 10 xdotool windowfocus --sync "$box" 2>/dev/null
    xdotool key Return
    sleep 1
  done
  [[ -z $box ]] || fail "the uninstaller's pages did not come to an end"
}

run || exit 1
# A display of its own for the installer's pages, before any Wine program
# shows a window: Wine's desktop stays on the display the first one had, as
# long as the server.
startXvfb 1280x800 "$scratch/xvfb.log" 900 || exit 1

echo "== the installer"
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

# Last, as they change the prefix's regional settings to Chinese.
echo "== the read-me's commands"
# None that PowerShell refuses or re-encodes: a program in the current folder
# with .\, a redirection inside cmd /c. Each runs as printed in the unpacked
# folder, in Command Prompt (Wine has no PowerShell) as a Chinese Windows
# reads a line typed there: in code page 936.
commands=$(sed -n 's/^ \{4\}\(\.\\iitcalc-cli\|cmd \/c\) /\1 /p' "$readme" | tr -d '\r')
grep -qx '\.\\iitcalc-cli 10000 1000' <<<"$commands" || fail "no .\\iitcalc-cli 10000 1000 in 使用说明.txt: $commands"
grep -q '^cmd /c ".*<.*>.*"$' <<<"$commands" || fail "no redirection inside cmd /c in 使用说明.txt: $commands"
grep -E '^ {4}[^ ]*iitcalc-cli' "$readme" | grep -Ev '^ {4}(\.\\iitcalc-cli|cmd /c ")' &&
  fail "a command PowerShell would not run as printed"
printf '10000\t1000\n20000\t2000\t5000\n' >"$scratch/$name/工资.txt"
while read -r command; do
  printf '@%s\r\n' "$command" | iconv -f UTF-8 -t GBK >"$scratch/$name/typed.bat"
  shown=$(cd "$scratch/$name" && LC_ALL=zh_CN.UTF-8 run cmd /c typed.bat 2>&1 | tr -d '\r')
  case $command in
    *10000\ 1000) [[ $shown == $'税基\t5500\n应缴税额\t545' ]] || fail "$command gave: $shown" ;;
    *税额.txt*) [[ $(cat "$scratch/$name/税额.txt" 2>/dev/null) == $'10000\t1000\t3500\t5500\t545\n20000\t2000\t5000\t13000\t2245' ]] ||
      fail "$command wrote: $(cat "$scratch/$name/税额.txt" 2>&1), showing: $shown" ;;
  esac
done <<<"$commands"

if [[ $failures -gt 0 ]]; then
  echo "$failures failed"
  exit 1
fi
echo "windows installer ok"
