#!/usr/bin/env bash
# A teacher and a student working one course on the real kesta: the teacher adds a section
# and a topic in it through the dialog and a question in the test bank; the student sees the
# new topic, takes the test and looks at the results; the teacher's review then shows them,
# and the question statistics count the hand-in.
# Usage: teacher.sh STAGED_COURSE_DIR COURSE_BUILDER COURSE_SOURCE SCHEMA SCREENSHOT_DIR
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


# Typed texts are Latin: xdotool types other scripts by remapping keys, which can lose
# characters on a busy machine.
# Fills the new-topic dialog by keyboard: title, section, page file, presentation, "Добавить".
add_topic() {
  wait_window '^Добавление новой темы$' >/dev/null || fail "the new-topic dialog did not open"
  settle
  xdotool type --delay 20 "$1"
  xdotool key Tab
  [ -n "$2" ] && xdotool type --delay 20 "$2"
  xdotool key Tab
  xdotool type --delay 20 "$3"
  xdotool key Tab Tab Return
  settle
}

echo "the teacher adds a section and a topic in it"
start_kesta "$work/course"
open_signin
sign_in teacher teacher
teacher=$(wait_window '^Окно преподавателя$') || fail "the teacher window did not open"
settle
click_menu "$teacher" 1  # "Упражнения"
client_geometry "$teacher"
add_button_y=$((HEIGHT - 58 + 16 + 12))
click_in "$teacher" $((32 + 85)) "$add_button_y"  # "Добавить"
add_topic "Network security" "" "security.htm"
click_in "$teacher" $((32 + 85)) "$add_button_y"
add_topic "Firewalls" "network" "firewalls.htm"
import -window root "$shots/teacher-topics.png"
rows=$(await_query "SELECT \"Абсолютный номер\" || '/' || \"Индекс\" || '/' || \"Название темы\" FROM teoria ORDER BY @key;" \
  "0/0/Введение;1/0/Модели;2/1/Модель OSI;3/0/Network security;4/3/Firewalls;")
[ "$rows" = "0/0/Введение;1/0/Модели;2/1/Модель OSI;3/0/Network security;4/3/Firewalls;" ] ||
  fail "the topic table is '$rows'"

echo "the teacher adds a question to the bank"
click_menu "$teacher" 8  # "База тестов"
bank=$(wait_window '^База тестов$') || fail "the test bank editor did not open"
settle
client_geometry "$bank"
bank_buttons_y=$((HEIGHT - 51 + 16 + 12))
click_in "$bank" $((480 + 50)) "$bank_buttons_y"  # "Добавить"
click_in "$bank" 400 120                            # into the question box
xdotool type --delay 10 "What does a firewall do?"
xdotool key Return
xdotool type --delay 10 "A) Encrypts the disk"
xdotool key Return
xdotool type --delay 10 "B) Hands out addresses"
xdotool key Return
xdotool type --delay 10 "C) Filters traffic"
xdotool key Return
xdotool type --delay 10 "D) Prints documents"
xdotool key Return
xdotool type --delay 10 "E) Keeps passwords"
click_in "$bank" $((12 + 8 + 2 * 175 + 12)) $((258 + 34))  # option "C"
click_in "$bank" $((704 + 50)) "$bank_buttons_y"           # "Сохранить"
import -window root "$shots/teacher-bank.png"
question=$(await_query "SELECT count(*) || '|' || max(\"Правильный_ответ\") FROM test WHERE \"Вопрос\" LIKE 'What does%';" "1|C;")
question=${question%;}
[ "$question" = "1|C" ] || fail "the new question is stored as '$question'"
click_menu "$teacher" 9  # "Выход"
status=$(wait_exit) || fail "Выход did not end the program"

echo "the student sees the new topic, takes the test and looks at the results"
start_kesta "$work/course"
open_signin
sign_in student student
student=$(wait_window '^Окно студента: Добро пожаловать, student$') || fail "the student window did not open"
settle
click_menu "$student" 1
expected="Введение;Модели;  Модель OSI;Network security;  Firewalls;"
tree=$(await_probe Form4 "tree sTreeView1" "$expected")
[ "$tree" = "$expected" ] || fail "the student's tree shows '$tree'"
# Starting the browser engine gives the window a new native window: the program tells which.
student=$(window_id Form4)
[ -n "$student" ] || fail "the student window is gone"
import -window root "$shots/student-tree.png"
click_menu "$student" 6  # "Тестирование"
testwin=$(wait_window '^Тестирование: Итоговое$') || fail "the test window did not open"
settle
for position in 1 2 3; do
  click_in "$testwin" $((8 + 8 + 24 * (position - 1) + 12)) $((5 + 16 + 12))
  click_in "$testwin" $((8 + 16 + 8 + 10)) $((5 + 370 + 24))
done
click_in "$testwin" $((8 + 416 + 36)) $((5 + 370 + 24))  # "Сдать"
import -window root "$shots/student-test.png"
click_menu "$student" 7  # "Результаты тестирования"
# "Просмотр результатов", the first item of the menu that opens under it.
set -- $(menu_items "$student" | sed -n 7p)
eval "$(xdotool getwindowgeometry --shell "$student")"
xdotool mousemove $((X + $1 + $3 / 2)) $((Y + $2 + $4 + 12)) click 1
wait_window '^Просмотр результатов$' >/dev/null || fail "the result view did not open"
settle
import -window root "$shots/student-results.png"
stop_kesta

echo "the teacher's review shows the student's result"
start_kesta "$work/course"
open_signin
sign_in teacher teacher
teacher=$(wait_window '^Окно преподавателя$') || fail "the teacher window did not open"
settle
click_menu "$teacher" 6  # "Результаты тестирования"
wait_window '^Результаты тестирования$' >/dev/null || fail "the teacher's review did not open"
settle
import -window root "$shots/teacher-review.png"
expected="student|$(date +%d.%m.%Y)|40|F|Итоговый;"
review=$(await_probe Form11 "table DBGrid1" "$expected")
[ "$review" = "$expected" ] || fail "the teacher's review shows '$review'"

echo "the question statistics count the student's hand-in"
review=$(wait_window '^Результаты тестирования$')
click_in "$review" $((480 + 85)) $((8 + 12))  # "Закрыть", which uncovers the teacher window
click_menu "$teacher" 7  # "Статистика вопросов"
wait_window '^Статистика вопросов$' >/dev/null || fail "the question statistics did not open"
counted=
for _ in $(seq 30); do
  counted=$(probe | awk '/^window / { inside = ($2 == "Form13") } inside && /label sLabel4/')
  case "$counted" in *"Сдач: 1, ответов: 40."*) break ;; esac
  sleep 0.2
done
case "$counted" in *"Сдач: 1, ответов: 40."*) ;; *) fail "the statistics show '$counted'" ;; esac
settle
import -window root "$shots/teacher-statistics.png"
stop_kesta
stored=$(query "SELECT count(*) || '|' || max(\"Логин_студента\") FROM result;")
[ "$stored" = "1|student" ] || fail "the result journal holds '$stored'"
echo "PASS"
