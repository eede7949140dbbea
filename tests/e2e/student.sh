#!/usr/bin/env bash
# A student's whole job on the real kesta: sign in, open "Упражнения", click a topic and
# see its page in the pane, launch "Тестирование", answer 22 positions, press "Сдать";
# the course database then holds the result with the grade the window shows, and the
# answer records.
# Usage: student.sh STAGED_COURSE_DIR COURSE_BUILDER COURSE_SOURCE SCHEMA SCREENSHOT_DIR
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24 -noreset" "$0" "$@"
fi

shots=$5
mkdir -p "$shots"
work=$(mktemp -d)
. "$(dirname "$0")/lib.sh"
trap cleanup EXIT
build_test_course "$1" "$2" "$3" "$4"


start_kesta "$work/course"
open_signin
sign_in student student
student=$(wait_window '^Окно студента: Добро пожаловать, student$') || fail "the student window did not open"
settle

echo "before any page: no browser engine and no graphics driver in the program"
for library in libQt6WebEngineCore libLLVM swrast_dri libGLX_mesa; do
  ! grep -q "$library" "/proc/$pid/maps" || fail "$library is loaded before any page is shown"
done

echo "Упражнения, then a topic page in the pane"
click_in "$student" 30 10  # the first item of the menu bar
click_in "$student" 24 32  # the first node of the tree
# The browser engine starts with the first list; wait for the topic page's blue banner.
client_geometry "$student"
colour=
for _ in $(seq 60); do
  sleep 0.5
  import -window root "$shots/student-topic.png"
  colour=$(pixel "$shots/student-topic.png" $((X + 700)) $((Y + 100)))
  [ "$colour" = "#1565C0" ] && break
done
[ "$colour" = "#1565C0" ] || fail "the pane does not show the topic page (pixel $colour)"
# The page is drawn in software: still no graphics driver, and no GPU process.
for library in libLLVM swrast_dri; do
  ! grep -q "$library" "/proc/$pid/maps" || fail "$library is loaded for the page"
done
! pgrep -f -- '--type=gpu-process' >/dev/null || fail "the browser engine runs a GPU process"

echo "Тестирование: sweep the menu bar until the test window opens"
testwin=
for x in $(seq 100 20 1000); do
  click_in "$student" "$x" 10
  testwin=$(xdotool search --onlyvisible --name '^Тестирование: Итоговое$' 2>/dev/null | head -n 1 || true)
  [ -n "$testwin" ] && break
  xdotool key Escape
done
[ -n "$testwin" ] || fail "the test window did not open"
settle

echo "answer positions 1 to 22 with A, then Сдать"
for position in $(seq 1 22); do
  row=$(( (position - 1) / 20 ))
  column=$(( (position - 1) % 20 ))
  click_in "$testwin" $((8 + 8 + 24 * column + 12)) $((5 + 16 + 32 * row + 12))
  click_in "$testwin" $((8 + 16 + 8 + 10)) $((5 + 370 + 24))
done
import -window root "$shots/test-answered.png"
click_in "$testwin" $((8 + 416 + 36)) $((5 + 370 + 24))
import -window root "$shots/test-handed-in.png"

echo "the answer analysis shows the 40 answers with their correct answers"
click_in "$testwin" $((700 - 30)) 12 2>/dev/null || true
xdotool key Escape
click_menu "$student" 7  # "Результаты тестирования"
xdotool key Down Down Return
settle
wait_window '^Анализ тестирования$' >/dev/null || fail "the answer analysis did not open"
analysis=$(probe | awk '/^window / { inside = ($2 == "Form12") } inside')
rows=$(printf '%s\n' "$analysis" | awk '$1 == "table" { print $3; exit }')
case "$rows" in 40x*) ;; *) fail "the answer analysis shows '$rows' rows, not 40" ;; esac
# Every record shows the key's answer, an option code in a cell of its own, the 18
# unanswered ones too.
keyed=$(printf '%s\n' "$analysis" | awk -F'|' '
  /^  table / { tables++; next }
  tables == 1 && /^    / { for (i = 1; i <= NF; ++i) if ($i ~ /^[A-E]$/) n++; if (n >= 1) k++; n = 0 }
  END { print k + 0 }')
[ "$keyed" = 40 ] || fail "the answer analysis shows the correct answer in $keyed of 40 rows"
printf '%s\n' "$analysis" >"$shots/analysis.txt"
settle
import -window root "$shots/analysis.png"
stop_kesta

grade=$(query "SELECT \"Оценка\" || '|' || \"Количество вопросов\" || '|' || \"Логин_студента\" FROM result;")
[ "$grade" = "D+|40|student" ] || fail "the result row is '$grade', not D+ for 22 of 40"
records=$(query "SELECT count(*) || '|' || sum(CASE WHEN \"Ответ_студента\" = 'A' THEN 1 ELSE 0 END) FROM proverka;")
[ "$records" = "40|22" ] || fail "the answer records are '$records', not 40 rows with 22 answers"
echo "PASS"
