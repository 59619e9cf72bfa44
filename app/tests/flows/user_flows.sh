#!/usr/bin/env bash
# Drives the real program as a user would, under the virtual display: a first start, a
# second start that hands over its file, and a window moved, closed with Alt+F4 and found
# again where it was. Usage: user_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail

PROGRAM="$1"
TITLE="Corvel 0.9.4 RC unstable"
WORK="$(mktemp -d)"
FAILED=0
trap 'rm -rf "$WORK"' EXIT

fail() { echo "FAILED: $*"; FAILED=1; }

# The program in a folder of its own, its user folder beside it.
mkdir -p "$WORK/program/config" "$WORK/user" "$WORK/docs"
ln "$PROGRAM" "$WORK/program/corvel.exe" 2>/dev/null || cp "$PROGRAM" "$WORK/program/corvel.exe"
USER_DIR="$(winepath -w "$WORK/user" 2>/dev/null | tr '\\' '/')"
printf "{ version : '0 9 4 0' app.startup : { user_dir : '%s' } }" "$USER_DIR" > "$WORK/program/config/startup.cvConfig"
printf 'bee\r\n' > "$WORK/docs/b.txt"

utf16() { iconv -f utf-16 -t utf-8 "$1" 2>/dev/null | tr -d '\r'; }

# Waits up to $2 seconds for a window named $1; prints its id.
wait_window() {
    local i id
    for i in $(seq 1 $(($2 * 4))); do
        id="$(xdotool search --name "$1" 2>/dev/null | head -1)"
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        sleep 0.25
    done
    return 1
}

# Waits up to $2 seconds for process $1 to end; its exit code, or 255 when it did not.
wait_exit() {
    local i
    for i in $(seq 1 $(($2 * 4))); do
        if ! kill -0 "$1" 2>/dev/null; then wait "$1"; return $?; fi
        sleep 0.25
    done
    return 255
}

start() { (cd "$WORK/docs" && exec wine "$WORK/program/corvel.exe" "$@") & }

# 1. A fresh user folder: the caption ends with the product and version; the log greets.
start
FIRST=$!
WINDOW="$(wait_window "$TITLE\$" 30)" || fail "flow 1: no main window"
if [ -n "${WINDOW:-}" ]; then
    NAME="$(xdotool getwindowname "$WINDOW")"
    case "$NAME" in *"$TITLE") ;; *) fail "flow 1: caption '$NAME'" ;; esac
fi
# The log is written by a thread of its own, a moment later.
for _ in $(seq 1 40); do
    utf16 "$WORK/user/debug.log" | grep -q "What a beautiful day today!" && break
    sleep 0.25
done
utf16 "$WORK/user/debug.log" | grep -q "What a beautiful day today!" || fail "flow 1: no greeting in debug.log"

# 2. A second start hands its file over and ends with 0 within 10 s.
start b.txt
SECOND=$!
wait_exit "$SECOND" 10
CODE=$?
[ "$CODE" = 0 ] || fail "flow 2: second start ended with $CODE"
kill -0 "$FIRST" 2>/dev/null || fail "flow 2: the first instance ended"

# 4. Sidebar shown, moved and resized, closed with Alt+F4, started again: the same place
# and size, the sidebar still shown.
if [ -n "${WINDOW:-}" ]; then
    xdotool key --window "$WINDOW" ctrl+F9 2>/dev/null
    xdotool windowmove "$WINDOW" 100 120
    xdotool windowsize "$WINDOW" 640 400
    sleep 1
    xdotool key --window "$WINDOW" alt+F4 2>/dev/null
fi
wait_exit "$FIRST" 20
CODE=$?
[ "$CODE" = 0 ] || fail "flow 4: Alt+F4 ended the program with $CODE"
utf16 "$WORK/user/debug.log" | grep -v '^$' | tail -1 | grep -q "Good bye..." || fail "flow 3: debug.log does not end with Good bye..."
utf16 "$WORK/user/config/session.cvConfig" | grep -q "main_window" || fail "flow 4: no placement in session.cvConfig"
utf16 "$WORK/user/config/session.cvConfig" | grep -A3 "app.sidebar.left" | grep -q "visible : true" ||
    fail "flow 4: the sidebar is not saved as shown"
start
THIRD=$!
WINDOW="$(wait_window "$TITLE\$" 30)" || fail "flow 4: no main window after the restart"
if [ -n "${WINDOW:-}" ]; then
    sleep 1
    GEOMETRY="$(xdotool getwindowgeometry "$WINDOW" | tr -s ' ' | tr '\n' ' ')"
    case "$GEOMETRY" in *"Position: 100,120"*"Geometry: 640x400"*) ;; *) fail "flow 4: restored as $GEOMETRY" ;; esac
    xdotool key --window "$WINDOW" alt+F4 2>/dev/null
fi
wait_exit "$THIRD" 20 || fail "flow 4: the restarted program did not end cleanly"

[ "$FAILED" = 0 ] && echo "user flows passed"
exit "$FAILED"
