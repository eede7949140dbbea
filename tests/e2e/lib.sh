# Helpers for driving the real kesta on a virtual screen with xdotool.
# The caller sets: work (a temporary folder), shots (where screenshots go).

pid=
export QT_QPA_PLATFORM=xcb

fail() {
  echo "FAIL: $*" >&2
  if [ -s "$work/stderr" ]; then
    echo "--- the program's standard error:" >&2
    tail -n 30 "$work/stderr" >&2
  fi
  exit 1
}

cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  stop_course_server
  rm -rf "$work"
}

# With KESTA_STORE=server the flows run on a class server: a PostgreSQL server of the test's
# own (initdb and pg_ctl, on a Unix socket in a temporary folder) holds the course, copied
# there with kesta-admin ($KESTA_ADMIN), and the course folder names it in Kesta.server.
server=
pgdir=
pgbin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
as_postgres() {
  if [ "$(id -u)" = 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}
start_course_server() {
  pgdir=$(mktemp -d)
  [ "$(id -u)" = 0 ] && chown postgres: "$pgdir"
  as_postgres "$pgbin/initdb" -D "$pgdir/data" -U kesta -A trust -E UTF8 --no-locale --no-sync \
    >/dev/null || fail "initdb failed"
  as_postgres "$pgbin/pg_ctl" -D "$pgdir/data" -l "$pgdir/log" -w start \
    -o "-k $pgdir -c listen_addresses='' -p 5432" >/dev/null || fail "the server did not start"
  server="host=$pgdir port=5432 user=kesta dbname=postgres"
}
stop_course_server() {
  [ -n "$pgdir" ] || return 0
  as_postgres "$pgbin/pg_ctl" -D "$pgdir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$pgdir"
  pgdir=
}

# Waits for a visible window whose title matches, and prints its id.
wait_window() {
  local pattern=$1 id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits until the program ends and prints its exit status.
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

# Starts kesta in a folder, that folder being the working folder. It describes its windows
# on request (see probe).
start_kesta() {
  (cd "$1" && KESTA_PROBE_FILE="$work/probe.txt" exec ./kesta) 2>"$work/stderr" &
  pid=$!
}

# Asks the running program to describe its windows and waits for the answer, which comes
# from its event loop after everything queued before the question (input, showing,
# painting). Answers false when the program is gone.
ask_program() {
  rm -f "$work/probe.txt"
  touch "$work/probe.txt.request"
  for _ in $(seq 300); do
    [ -f "$work/probe.txt" ] && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  fail "the program did not answer within 15 s"
}

# Prints what the running program's visible windows show: their trees, tables and labels.
probe() {
  ask_program || fail "the program did not describe its windows"
  cat "$work/probe.txt"
}

# Waits until the program has dealt with what it was sent so far; a program that has ended
# has nothing left to deal with.
settle() { ask_program || true; }

# Waits, up to 15 s, until a command succeeds.
await() {
  for _ in $(seq 150); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

# Waits until a query's rows, joined by ";", read as expected, and prints what it read last.
await_query() {
  local sql=$1 expected=$2 seen=
  for _ in $(seq 75); do
    seen=$(query "$sql" | tr '\n' ';')
    [ "$seen" = "$expected" ] && break
    sleep 0.2
  done
  echo "$seen"
}

# The native window of one of the program's windows, by its name, as the program tells it.
window_id() {
  probe | awk -v name="$1" '$1 == "window" && $2 == name { print $3; exit }'
}

# Waits until a part of a window (see probe_part) reads as expected, its lines joined by ";",
# and prints what it read last.
await_probe() {
  local window=$1 part=$2 expected=$3 seen=
  for _ in $(seq 30); do
    seen=$(probe | probe_part "$window" "$part" | tr '\n' ';')
    [ "$seen" = "$expected" ] && break
    sleep 0.2
  done
  echo "$seen"
}

# Prints the lines of one tree or table of a probe (read from standard input): the lines
# indented under "  KIND NAME" in the window whose name is given.
probe_part() {
  awk -v window="$1" -v part="$2" '
    /^window / { inside = ($2 == window); next }
    inside && /^  [a-z]/ { taking = (substr($0, 3) ~ ("^" part "( |$)")); next }
    inside && taking { print substr($0, 5) }'
}

stop_kesta() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=
}

# Waits for the splash of the running program and clicks it; sign-in must follow.
open_signin() {
  local splash=
  # Start-up may take long on a loaded machine; what counts is that the splash comes.
  for _ in $(seq 300); do
    splash=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)
    [ -n "$splash" ] && break
    sleep 0.1
  done
  [ -n "$splash" ] || fail "the splash did not appear"
  settle
  import -window root "$shots/splash.png"
  eval "$(xdotool getwindowgeometry --shell "$splash")"
  xdotool mousemove $((X + 40)) $((Y + 460)) click 1
  wait_window '^Авторизация$' >/dev/null || fail "a click on the splash did not bring Авторизация"
  settle
}

# Types a login and a password into the sign-in window and presses "Вход" by keyboard.
sign_in() {
  xdotool type --delay 30 "$1"
  xdotool key Tab
  xdotool type --delay 30 "$2"
  xdotool key Tab Return
}

# Sets X, Y, WIDTH and HEIGHT to the client area of a window on the screen: the window's
# geometry less the frame the skin draws inside it (the program tells where its client area
# lies).
client_geometry() {
  local window=$1 line
  eval "$(xdotool getwindowgeometry --shell "$window")"
  line=$(probe | awk -v id="$window" '$1 == "window" && $3 == id { print $4, $5, $6, $7 }')
  if [ -n "$line" ]; then
    set -- $line
    X=$((X + $1))
    Y=$((Y + $2))
    WIDTH=$3
    HEIGHT=$4
  fi
}

# Clicks at a point given relative to the top left corner of a window's client area.
click_in() {
  local window=$1 dx=$2 dy=$3
  client_geometry "$window"
  xdotool mousemove $((X + dx)) $((Y + dy)) click 1
  settle
}

# The colour of one pixel of a screenshot, as #RRGGBB.
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' | head -n 1
}

# Prints the items of a window's menu bar, left to right, each as its rectangle in the
# window (x y width height) and its caption, as the program tells them.
menu_items() {
  local window=$1
  probe | awk -v id="$window" '
    $1 == "window" { inside = ($3 == id); next }
    inside && $1 == "menubar" { taking = 1; next }
    inside && /^  [a-z]/ { taking = 0; next }
    inside && taking { print substr($0, 5) }'
}

# Clicks the n-th item (from 1) of a window's menu bar.
click_menu() {
  local window=$1 n=$2 item
  item=$(menu_items "$window" | sed -n "${n}p")
  [ -n "$item" ] || fail "the menu bar has no item $n"
  set -- $item
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1 + $3 / 2)) $((Y + $2 + $4 / 2)) click 1
  settle
}

# Builds the small course of the end-to-end tests (tests/e2e/course) into $work/course, with
# the program and its title pictures from the staged demo course.
build_test_course() {
  local staged=$1 builder=$2 source=$3 schema=$4
  mkdir "$work/src"
  cp -r "$source"/. "$work/src/"
  cp "$schema" "$work/src/schema.sql"
  "$builder" "$work/src" "$work/course" >/dev/null
  cp "$staged/kesta" "$staged/titl.bmp" "$work/course/"
  cp "$staged/Data/titl1.bmp" "$work/course/Data/"
  # The course's skin, so that every flow runs in the windows a user sees.
  cp -r "$staged/Skins" "$work/course/"
  if [ "${KESTA_STORE:-file}" = server ]; then
    start_course_server
    "$KESTA_ADMIN" upload "$server" "$work/course/Kesta.db" 2>/dev/null || fail "the upload failed"
    rm "$work/course/Kesta.db"
    # With KESTA_SEAT_ROLE the program connects as a seat would: under a login role of its
    # own, a member of that course role; the checks keep the owner's connection.
    if [ -n "${KESTA_SEAT_ROLE:-}" ]; then
      psql "$server" -qtA -c "CREATE ROLE seat LOGIN IN ROLE $KESTA_SEAT_ROLE" >/dev/null ||
        fail "the seat's role was not made"
      echo "$server user=seat" >"$work/course/Kesta.server"
    else
      echo "$server" >"$work/course/Kesta.server"
    fi
  fi
}

# Runs SQL on the test course's database, file or server, and prints the result rows. The
# SQL is what both understand; "@key" stands for the column of the rows' stored order.
query() {
  if [ -n "$server" ]; then
    psql "$server" -qtA -c "${1//@key/kesta_key}"
  else
    printf "PRAGMA key = 'Ломтеривка';\n%s\n" "${1//@key/rowid}" | sqlcipher "$work/course/Kesta.db"
  fi
}
