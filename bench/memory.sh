#!/usr/bin/env bash
# Resident memory of the real program on the demo course, beside a bare Qt widget program
# measured in the same run: with the splash shown, with the student window open before any
# page, and with a theory page shown (the program and the browser engine's helper processes
# together). Figures in MB; RSS counts every page a process has in memory, PSS shares the
# libraries among the processes that map them.
# Usage: memory.sh COURSE_DIR BARE_WIDGET_PROGRAM
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$@"
fi

course=$(realpath "$1")
bare=$(realpath "$2")
work=$(mktemp -d)
shots=$work/shots
mkdir -p "$shots"
. "$(dirname "$0")/../tests/e2e/lib.sh"
trap cleanup EXIT
cp -r "$course" "$work/course"

# The kilobytes of a process and its descendants: "rss pss".
memory_of() {
  local root=$1 pids total_rss=0 total_pss=0
  pids="$root $(pgrep -P "$root" || true)"
  for child in $(pgrep -P "$root" || true); do pids="$pids $(pgrep -P "$child" || true)"; done
  for p in $pids; do
    [ -r "/proc/$p/smaps_rollup" ] || continue
    total_rss=$((total_rss + $(awk '/^Rss:/ { print $2 }' "/proc/$p/smaps_rollup")))
    total_pss=$((total_pss + $(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup")))
  done
  echo "$total_rss $total_pss"
}
mb() { echo $(( ($1 + 512) / 1024 )); }

(cd "$work/course" && exec "$bare") &
barepid=$!
sleep 2
read -r bare_rss bare_pss <<<"$(memory_of "$barepid")"
kill "$barepid"

start_kesta "$work/course"
for _ in $(seq 100); do
  xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break
  sleep 0.1
done
sleep 2
read -r splash_rss splash_pss <<<"$(memory_of "$pid")"

open_signin
sign_in student student
student=$(wait_window '^Окно студента: Добро пожаловать, student$') || fail "no student window"
sleep 2
read -r window_rss window_pss <<<"$(memory_of "$pid")"

click_in "$student" 30 10  # "Упражнения"
sleep 1
click_in "$student" 60 30  # the first topic
sleep 6
read -r page_rss page_pss <<<"$(memory_of "$pid")"
helpers=$(( $(pgrep -P "$pid" | wc -l) ))
# Each process of the program with its part of the figure.
details=""
for p in $pid $(pgrep -P "$pid" || true) $(for c in $(pgrep -P "$pid" || true); do pgrep -P "$c" || true; done); do
  [ -r "/proc/$p/smaps_rollup" ] || continue
  kind=$(tr '\0' ' ' < "/proc/$p/cmdline" | grep -o -- '--type=[a-z-]*' | head -n 1 || true)
  details+=$(printf '  %-28s %6s MB RSS %6s MB PSS' "${kind:-kesta}" \
    "$(mb "$(awk '/^Rss:/ { print $2 }' "/proc/$p/smaps_rollup")")" \
    "$(mb "$(awk '/^Pss:/ { print $2 }' "/proc/$p/smaps_rollup")")")$'\n'
done
import -window root "$shots/page.png"

printf '%-40s %8s %8s %10s\n' "" "RSS MB" "PSS MB" "x bare RSS"
printf '%-40s %8s %8s\n' "bare Qt widget program" "$(mb "$bare_rss")" "$(mb "$bare_pss")"
printf '%-40s %8s %8s %10s\n' "kesta, splash shown" "$(mb "$splash_rss")" "$(mb "$splash_pss")" \
  "$(awk -v a="$splash_rss" -v b="$bare_rss" 'BEGIN { printf "%.2f", a / b }')"
printf '%-40s %8s %8s %10s\n' "kesta, student window before any page" "$(mb "$window_rss")" \
  "$(mb "$window_pss")" "$(awk -v a="$window_rss" -v b="$bare_rss" 'BEGIN { printf "%.2f", a / b }')"
printf '%-40s %8s %8s\n' "kesta and helpers, theory page shown" "$(mb "$page_rss")" "$(mb "$page_pss")"
echo "helper processes of the browser engine: $helpers"
printf '%s' "$details"
