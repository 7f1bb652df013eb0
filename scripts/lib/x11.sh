# shellcheck shell=bash
# A virtual X display, and a user's clicks on the window shown there, for the
# scripts, tests and benchmarks that start the window. Source it from bash.

# startXvfb SIZE LOG [SECONDS]: starts Xvfb with a SIZE (WIDTHxHEIGHT) screen
# on a display number it picks itself, so that servers started side by side
# never race for one, waits until it takes connections and exports DISPLAY;
# xvfb_pid is its process. Its output goes to LOG. With SECONDS it runs in a
# session of its own and ends by itself after that long, so that a run
# killed before its clean-up still loses it. Fails, showing LOG, if no
# display is up within ten seconds.
startXvfb() {
  local size=$1 log=$2 lifetime=${3:-} _
  local server=(Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp)
  [[ -z $lifetime ]] || server=(setsid timeout "$lifetime" "${server[@]}")
  xvfb_number=$(mktemp) || return 1
  # Xvfb writes the display's number there once it is ready.
  "${server[@]}" 3>"$xvfb_number" </dev/null >"$log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $xvfb_number ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [[ ! -s $xvfb_number ]]; then
    echo "Xvfb did not start" >&2
    [[ ! -f $log ]] || cat "$log" >&2
    stopXvfb
    return 1
  fi
  DISPLAY=:$(head -1 "$xvfb_number")
  export DISPLAY
  rm -f "$xvfb_number"
  xvfb_number=''
}

# stopXvfb: ends the server startXvfb started, if any; safe in an EXIT trap.
stopXvfb() {
  [[ -z ${xvfb_pid:-} ]] || kill "$xvfb_pid" 2>/dev/null || true
  [[ -z ${xvfb_number:-} ]] || rm -f "$xvfb_number"
  xvfb_pid='' xvfb_number=''
}

# typeTheExample PLACES SCALE LEFT TOP: what a user does for the example in
# the window whose client area starts at LEFT TOP on the screen: 10000 into
# 个人收入, 1000 into 五险一金之和, then 计算. PLACES is the program's
# iitcalc-places, so that the clicks land where the program's own layout puts
# each control at SCALE, inside the panel's frame (2 pixels on Qt and Win32).
typeTheExample() {
  local places=$1 scale=$2 left=$3 top=$4 centres step name text at x y
  centres=$("$places" "$scale" 2) || return 1
  for step in 个人收入=10000 五险一金之和=1000 计算按钮=; do
    name=${step%%=*} text=${step#*=}
    at=$(awk -v name="$name" -v x="$left" -v y="$top" '$1 == name { print x + $2, y + $3; found = 1 }
      END { if (!found) { print "no control " name > "/dev/stderr"; exit 1 } }' <<<"$centres") || return 1
    read -r x y <<<"$at"
    if [[ -n $text ]]; then
      xdotool mousemove "$x" "$y" click 1 type --delay 20 "$text"
    else
      xdotool mousemove "$x" "$y" click 1
    fi
  done
}
