#!/usr/bin/env bash
# The skin's window frames on the real kesta, driven with the mouse: dragging a caption moves
# the window, dragging an edge sizes it, pressing close and sliding off before the release
# leaves the window, a click on close closes it as its window's rules say, and a double
# click on the caption maximises and restores. With WM=openbox a window manager runs as
# well; without, the program moves and sizes its windows itself.
# Usage: frame.sh COURSE_DIR SCREENSHOT_DIR
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$0" "$@"
fi

course=$(realpath "$1")
shots=$2
mkdir -p "$shots"
work=$(mktemp -d)
. "$(dirname "$0")/lib.sh"
wm=
trap 'cleanup; [ -n "$wm" ] && kill "$wm" 2>/dev/null || true' EXIT
if [ -n "${WM:-}" ]; then
  "$WM" >/dev/null 2>&1 &
  wm=$!
  # The window manager is ready once it has taken over the root window.
  await sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || fail "$WM did not start"
fi
cp -r "$course" "$work/course"

# The window's frame rectangle on the screen: x y width height.
frame_of() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# Presses at a point of the screen, moves in steps to another and lets go there.
drag() {
  local x1=$1 y1=$2 x2=$3 y2=$4
  xdotool mousemove "$x1" "$y1" mousedown 1
  settle
  for step in 1 2 3 4 5; do
    xdotool mousemove $((x1 + (x2 - x1) * step / 5)) $((y1 + (y2 - y1) * step / 5))
    settle
  done
  xdotool mouseup 1
  settle
}

start_kesta "$work/course"
open_signin
signin=$(wait_window '^Авторизация$') || fail "no sign-in window"
import -window root "$shots/signin.png"

echo "dragging the caption moves the window"
read -r x y w h <<<"$(frame_of "$signin")"
drag $((x + 120)) $((y + 12)) $((x + 220)) $((y + 92))
# A window manager takes the move over from the first step past the click distance.
near() { [ $(($1 - $2)) -le $3 ] && [ $(($2 - $1)) -le $3 ]; }
moved() {
  read -r x2 y2 _ _ <<<"$(frame_of "$signin")"
  near $((x2 - x)) 100 20 && near $((y2 - y)) 80 16
}
await moved || fail "the window moved by $((x2 - x)),$((y2 - y)) instead of 100,80"

echo "pressing close, sliding off and letting go leaves the window"
close_x=$((x2 + w - 4 - 13))  # the close button, right in the title bar
close_y=$((y2 + 13))
xdotool mousemove "$close_x" "$close_y" mousedown 1
settle
xdotool mousemove $((close_x - 150)) $((close_y + 60))
settle
xdotool mouseup 1
settle
kill -0 "$pid" 2>/dev/null || fail "the program ended"
xdotool search --onlyvisible --name '^Авторизация$' >/dev/null || fail "the sign-in window went"

echo "a sizeable window: dragging an edge sizes it, a double click maximises and restores"
sign_in student student
student=$(wait_window '^Окно студента: Добро пожаловать, student$') || fail "no student window"
settle
read -r x y w h <<<"$(frame_of "$student")"
drag $((x + w - 2)) $((y + h / 2)) $((x + w - 302)) $((y + h / 2))
sized() {
  read -r _ _ w2 _ <<<"$(frame_of "$student")"
  near "$w2" $((w - 300)) 60
}
await sized || fail "the window is $w2 wide instead of $((w - 300))"
drag $((x + 200)) $((y + 12)) $((x + 260)) $((y + 52))
moved_sized() {
  read -r x3 y3 w3 h3 <<<"$(frame_of "$student")"
  near "$x3" $((x + 60)) 12 && near "$y3" $((y + 40)) 8
}
await moved_sized || fail "the sized window did not move"
import -window root "$shots/student-moved.png"
xdotool mousemove $((x3 + 200)) $((y3 + 12)) click --repeat 2 --delay 80 1
settle
maximised() {
  read -r xm ym wm_ hm <<<"$(frame_of "$student")"
  [ "$wm_" -ge 1280 ] && [ "$hm" -ge 790 ]
}
await maximised || fail "a double click did not maximise ($wm_ x $hm)"
import -window root "$shots/student-maximised.png"
xdotool mousemove $((xm + 300)) $((ym + 12)) click --repeat 2 --delay 80 1
settle
restored() {
  read -r _ _ w4 h4 <<<"$(frame_of "$student")"
  [ "$w4" -eq "$w3" ] && [ "$h4" -eq "$h3" ]
}
await restored || fail "a second double click did not restore"

echo "a click on close closes the student window, and sign-in comes back"
read -r x y w h <<<"$(frame_of "$student")"
xdotool mousemove $((x + w - 4 - 13)) $((y + 13)) click 1
settle
await sh -c "! xdotool search --onlyvisible --name '^Окно студента' >/dev/null" ||
  fail "the student window stayed"
wait_window '^Авторизация$' >/dev/null || fail "sign-in did not come back"
echo "PASS"
