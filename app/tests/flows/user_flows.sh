#!/usr/bin/env bash
# Drives the real program as a user would, under the virtual display: a first start, a
# second start that hands over its file, and a window moved, closed with Alt+F4 and found
# again where it was. Usage: user_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
TITLE="$FLOW_TITLE"
printf 'bee\r\n' >"$FLOW_DOCS/b.txt"

greeted() { flow_utf16 "$FLOW_USER/debug.log" | grep -q "What a beautiful day today!"; }

# 1. A fresh user folder: the caption ends with the product and version; the log greets.
flow_start
FIRST=$FLOW_PID
WINDOW="$(flow_wait_window "$(flow_regex "$TITLE")\$" 30)" || flow_fail "flow 1: no main window"
if [ -n "${WINDOW:-}" ]; then
    NAME="$(flow_caption "$WINDOW")"
    case "$NAME" in *"$TITLE") ;; *) flow_fail "flow 1: caption '$NAME'" ;; esac
fi
# The log is written by a thread of its own, a moment later.
flow_until 10 greeted || flow_fail "flow 1: no greeting in debug.log"

# 2. A second start hands its file over and ends with 0 within 10 s.
flow_start b.txt
SECOND=$FLOW_PID
flow_wait_exit "$SECOND" 10
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 2: second start ended with $CODE"
kill -0 "$FIRST" 2>/dev/null || flow_fail "flow 2: the first instance ended"

# 4. Sidebar shown, moved and resized, closed with Alt+F4, started again: the same place
# and size, the sidebar still shown.
if [ -n "${WINDOW:-}" ]; then
    xdotool key --window "$WINDOW" ctrl+F9 2>/dev/null
    xdotool windowmove "$WINDOW" 100 120
    xdotool windowsize "$WINDOW" 640 400
    sleep 1
    xdotool key --window "$WINDOW" alt+F4 2>/dev/null
fi
flow_wait_exit "$FIRST" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 4: Alt+F4 ended the program with $CODE"
flow_utf16 "$FLOW_USER/debug.log" | grep -v '^$' | tail -1 | grep -q "Good bye..." || flow_fail "flow 3: debug.log does not end with Good bye..."
flow_utf16 "$FLOW_USER/config/session.cvConfig" | grep -q "main_window" || flow_fail "flow 4: no placement in session.cvConfig"
flow_utf16 "$FLOW_USER/config/session.cvConfig" | grep -A3 "app.sidebar.left" | grep -q "visible : true" ||
    flow_fail "flow 4: the sidebar is not saved as shown"
flow_start
THIRD=$FLOW_PID
WINDOW="$(flow_wait_window "$(flow_regex "$TITLE")\$" 30)" || flow_fail "flow 4: no main window after the restart"
if [ -n "${WINDOW:-}" ]; then
    sleep 1
    GEOMETRY="$(xdotool getwindowgeometry "$WINDOW" | tr -s ' ' | tr '\n' ' ')"
    case "$GEOMETRY" in *"Position: 100,120"*"Geometry: 640x400"*) ;; *) flow_fail "flow 4: restored as $GEOMETRY" ;; esac
    xdotool key --window "$WINDOW" alt+F4 2>/dev/null
fi
flow_wait_exit "$THIRD" 20 || flow_fail "flow 4: the restarted program did not end cleanly"

[ "$FLOW_FAILED" = 0 ] && echo "user flows passed"
exit "$FLOW_FAILED"
