#!/usr/bin/env bash
# The real kesta on a virtual screen, driven with the mouse and the keyboard:
#   the splash leads to sign-in, a student signs in by keyboard, a teacher signs in and
#   leaves through "Выход", and a working folder without Kesta.db ends start-up with the
#   error on standard error and a non-zero exit.
# Usage: signin.sh COURSE_DIR SCREENSHOT_DIR
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$0" "$@"
fi

course=$(realpath "$1")
shots=$2
mkdir -p "$shots"
work=$(mktemp -d)
. "$(dirname "$0")/lib.sh"
trap cleanup EXIT

# A fresh copy of the course, so that the staged one stays as built.
cp -r "$course" "$work/course"

echo "splash, then a student signs in by keyboard"
start_kesta "$work/course"
open_signin
import -window root "$shots/signin.png"
sign_in student student
wait_window '^Окно студента: Добро пожаловать, student$' >/dev/null || fail "the student window did not open"
settle
import -window root "$shots/student.png"
stop_kesta

echo "a teacher signs in and leaves through Выход"
start_kesta "$work/course"
open_signin
sign_in teacher teacher
teacher=$(wait_window '^Окно преподавателя$') || fail "the teacher window did not open"
settle
import -window root "$shots/teacher.png"
# "Выход" is the last item of the menu bar: sweep the bar from its right end until a
# click ends the program.
client_geometry "$teacher"
for x in $(seq $((WIDTH - 10)) -15 5); do
  xdotool mousemove $((X + x)) $((Y + 10)) click 1
  settle
  kill -0 "$pid" 2>/dev/null || break
done
status=$(wait_exit) || fail "Выход did not end the program"
[ "$status" = 0 ] || fail "Выход ended the program with status $status"

echo "no Kesta.db in the working folder: error and a non-zero exit"
mkdir "$work/empty"
cp "$work/course/kesta" "$work/empty/"
cp "$work/course/Kesta.db" "$work/course/Kesta.db.keep"
(cd "$work/empty" && KESTA_PROBE_FILE="$work/probe.txt" exec ./kesta) 2>"$work/stderr" &
pid=$!
box=$(wait_window '^kesta$') || fail "no error box"
grep -q 'Kesta.db' "$work/stderr" || fail "standard error does not name Kesta.db: $(cat "$work/stderr")"
settle
import -window root "$shots/no-database.png"
xdotool windowfocus --sync "$box"
xdotool key Return
status=$(wait_exit) || fail "the program did not end after the error"
[ "$status" != 0 ] || fail "the program ended with status 0 without a database"
grep 'Kesta.db' "$work/stderr"
echo "PASS"
