#!/usr/bin/env bash
# The real kesta on a virtual screen, driven with the mouse and the keyboard:
#   the splash leads to sign-in, a student signs in by keyboard, a teacher signs in and
#   leaves through "Выход", and a working folder without Kesta.db ends start-up with the
#   error on standard error and a non-zero exit.
# Usage: signin.sh COURSE_DIR SCREENSHOT_DIR
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

course=$(realpath "$1")
shots=$2
mkdir -p "$shots"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=xcb

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits for a visible window whose title matches, and prints its id.
wait_window() {
  local pattern=$1 id
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until the process ends and prints its exit status.
wait_exit() {
  local status
  for _ in $(seq 100); do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid" && status=0 || status=$?
      pid=
      echo "$status"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

start_kesta() {
  (cd "$1" && exec ./kesta) 2>"$work/stderr" &
  pid=$!
}

# Waits for the splash of the running program and clicks it; sign-in must follow.
open_signin() {
  local splash=
  for _ in $(seq 100); do
    splash=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
    [ -n "$splash" ] && break
    sleep 0.1
  done
  [ -n "$splash" ] || fail "the splash did not appear"
  sleep 0.3
  import -window root "$shots/1-splash.png"
  eval "$(xdotool getwindowgeometry --shell "$splash")"
  xdotool mousemove $((X + 40)) $((Y + 460)) click 1
  wait_window '^Авторизация$' >/dev/null || fail "a click on the splash did not bring Авторизация"
  sleep 0.3
  import -window root "$shots/2-signin.png"
}

# A fresh copy of the course, so that the staged one stays as built.
cp -r "$course" "$work/course"

echo "splash, then a student signs in by keyboard"
start_kesta "$work/course"
open_signin
xdotool type --delay 30 "student"
xdotool key Tab
xdotool type --delay 30 "student"
xdotool key Tab Return
wait_window '^Окно студента: Добро пожаловать, student$' >/dev/null || fail "the student window did not open"
sleep 0.3
import -window root "$shots/3-student.png"
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=

echo "a teacher signs in and leaves through Выход"
start_kesta "$work/course"
open_signin
xdotool type --delay 30 "teacher"
xdotool key Tab
xdotool type --delay 30 "teacher"
xdotool key Tab Return
teacher=$(wait_window '^Окно преподавателя$') || fail "the teacher window did not open"
sleep 0.3
import -window root "$shots/4-teacher.png"
# "Выход" is the last item of the menu bar: sweep the bar from its right end until a
# click ends the program.
eval "$(xdotool getwindowgeometry --shell "$teacher")"
for x in $(seq $((WIDTH - 10)) -15 5); do
  xdotool mousemove $((X + x)) $((Y + 10)) click 1
  sleep 0.05
  kill -0 "$pid" 2>/dev/null || break
done
status=$(wait_exit) || fail "Выход did not end the program"
[ "$status" = 0 ] || fail "Выход ended the program with status $status"

echo "no Kesta.db in the working folder: error and a non-zero exit"
mkdir "$work/empty"
cp "$work/course/kesta" "$work/empty/"
cp "$work/course/Kesta.db" "$work/course/Kesta.db.keep"
(cd "$work/empty" && exec ./kesta) 2>"$work/stderr" &
pid=$!
box=$(wait_window '^kesta$') || fail "no error box"
grep -q 'Kesta.db' "$work/stderr" || fail "standard error does not name Kesta.db: $(cat "$work/stderr")"
sleep 0.3
import -window root "$shots/5-no-database.png"
xdotool windowfocus --sync "$box"
xdotool key Return
status=$(wait_exit) || fail "the program did not end after the error"
[ "$status" != 0 ] || fail "the program ended with status 0 without a database"
grep 'Kesta.db' "$work/stderr"
echo "PASS"
