#!/usr/bin/env bash
# Where the accessibility bus (AT-SPI) says the window and its controls are,
# at a scale factor, on an X server: the window where X has it, as large as
# X has it, and each control around the point where a click reaches it, the
# bus finding that control at that point, and a text box's characters inside
# it -- in the screen's pixels, which magnifiers and screen readers place the
# pointer by. Starts its own session
# bus (and with it the accessibility bus) and X server.
#   atspi_positions_test.sh IITCALC IITCALC-PLACES SCALE
set -uo pipefail
if [[ -z ${IITCALC_ATSPI_INSIDE:-} ]]; then
  # shellcheck source=scripts/lib/x11.sh
  source "$(dirname "$0")/../../scripts/lib/x11.sh"
  runtime=$(mktemp -d)
  trap 'stopXvfb; rm -rf "$runtime"' EXIT
  startXvfb 1920x1200 "$runtime/xvfb.log" 120 || exit 1
  # A runtime folder of its own keeps the accessibility bus's socket apart
  # from any other session's.
  IITCALC_ATSPI_INSIDE=1 XDG_RUNTIME_DIR=$runtime timeout 120 \
    dbus-run-session -- "$0" "$@" 2>&1 | grep -v '^dbus-daemon\|^SpiRegistry'
  exit "${PIPESTATUS[0]}"
fi

program=$1 places=$2 scale=$3
failures=0
fail() {
  echo "FAIL $1"
  failures=$((failures + 1))
}

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >/dev/null 2>&1 &
app=$!
trap 'kill "$app" 2>/dev/null' EXIT

window=$(timeout 30 xdotool search --sync --name '^个人所得税计算器$' | head -1)
[[ -n $window ]] || { echo "FAIL the window did not show"; exit 1; }
geometry=$(xdotool getwindowgeometry --shell "$window")
at() { sed -n "s/^$1=//p" <<<"$geometry"; }
window_x=$(at X) window_y=$(at Y) window_width=$(at WIDTH) window_height=$(at HEIGHT)

bus=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress |
  sed -n "s/^('\(.*\)',)$/\1/p")
call() {
  local path=$1
  shift
  gdbus call --address "$bus" --dest "$app_bus" --object-path "$path" --method "$@"
}
# Object paths as gdbus prints them (the type named before the first only).
objects() { grep -o "'/org/a11y/atspi/[^']*'" | tr -d "'"; }
children() { call "$1" org.a11y.atspi.Accessible.GetChildren | objects; }
name() { call "$1" org.freedesktop.DBus.Properties.Get org.a11y.atspi.Accessible Name | sed -n "s/^(<'\(.*\)'>,)$/\1/p"; }
role() { call "$1" org.a11y.atspi.Accessible.GetRoleName | sed -n "s/^('\(.*\)',)$/\1/p"; }
# x y width height, in the screen's pixels.
extents() { call "$1" org.a11y.atspi.Component.GetExtents 0 | tr -d '(),' | tr -s ' '; }

# The program on the registry's list, once it has registered.
app_bus=
for _ in $(seq 50); do
  app_bus=$(gdbus call --address "$bus" --dest org.a11y.atspi.Registry --object-path /org/a11y/atspi/accessible/root \
    --method org.a11y.atspi.Accessible.GetChildren 2>/dev/null | grep -o "(':[0-9.]*'" | head -1 | cut -d"'" -f2)
  [[ -n $app_bus ]] && break
  sleep 0.2
done
[[ -n $app_bus ]] || { echo "FAIL the program is not on the accessibility bus"; exit 1; }

# Every object under the program's, by name and role.
declare -A paths=()
mapfile -t queue < <(children /org/a11y/atspi/accessible/root)
top=${queue[0]}
while [[ ${#queue[@]} -gt 0 ]]; do
  path=${queue[0]}
  queue=("${queue[@]:1}")
  paths[$(name "$path")/$(role "$path")]=$path
  mapfile -t -O "${#queue[@]}" queue < <(children "$path")
done

[[ $(name "$top") == 个人所得税计算器 ]] || fail "the first window is '$(name "$top")'"
[[ -n ${IITCALC_ATSPI_LIST:-} ]] && for each in "${!paths[@]}"; do echo "$each $(extents "${paths[$each]}")"; done
[[ $(extents "$top") == "$window_x $window_y $window_width $window_height" ]] ||
  fail "the window is at $(extents "$top") on the bus, at $window_x $window_y $window_width $window_height on the screen"

# Each control's name and role on the bus beside its object name.
declare -A spoken=([主页]="www.example.com/link" [计算按钮]="计算/push button" [清空按钮]="清空/push button"
  [个人收入]="个人收入/text" [个税起征点]="个税起征点/text" [应缴税额]="应缴税额/text" [滚动条]="滚动页面/scroll bar")
while read -r control x y; do
  [[ -n ${spoken[$control]:-} ]] || continue
  path=${paths[${spoken[$control]}]:-}
  [[ -n $path ]] || { fail "no ${spoken[$control]} on the bus"; continue; }
  ((x += window_x, y += window_y))
  read -r left top_ width height <<<"$(extents "$path")"
  ((x >= left && x < left + width && y >= top_ && y < top_ + height)) ||
    fail "$control: the bus has it at $left $top_ $width $height, where the point $x $y that reaches it lies outside"
  # What the bus finds there, from the window down.
  found=$(call "$top" org.a11y.atspi.Component.GetAccessibleAtPoint "$x" "$y" 0 | objects)
  [[ $found == "$path" ]] || fail "$control: at $x $y the bus finds $found${found:+ ($(name "$found" 2>/dev/null))}, not it"
done < <("$places" "$scale")

# The threshold's first digit, where a magnifier following the caret looks.
box=${paths[个税起征点/text]:-}
if [[ -n $box ]]; then
  read -r left top_ width height <<<"$(extents "$box")"
  read -r x y w h <<<"$(call "$box" org.a11y.atspi.Text.GetCharacterExtents 0 0 | tr -d '(),' | tr -s ' ')"
  ((w > 0 && x >= left && x + w <= left + width && y >= top_ && y + h <= top_ + height)) ||
    fail "the threshold's first character is at $x $y $w $h on the bus, outside its box at $left $top_ $width $height"
fi

if [[ $failures -gt 0 ]]; then
  echo "$failures failed at ${scale}x"
  exit 1
fi
echo "accessibility positions ok at ${scale}x"
