#!/usr/bin/env bash
# Drives the real program as a user would, under the virtual display: a first start with
# its one untitled tab, a second start that hands over its file, a modified document that
# asks once before the program ends, and a window moved, closed with Alt+F4 and found again
# where it was. Usage: user_flows.sh <corvel.exe> <window_driver.exe>. Needs DISPLAY, Wine
# and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
DRIVER="$2"
printf 'bee\r\n' >"$FLOW_DOCS/b.txt"
TITLE_END="$(flow_regex " - $FLOW_TITLE")\$"

# Every document has an editor window of its own inside the main window, which goes with its
# tab: at the first start, one.
tab_count() { wine "$DRIVER" count "$FLOW_TITLE" CorvelEditor 2>/dev/null | tr -d '\r'; }
tabs_are() { [ "$(tab_count)" = "$1" ]; }
clipboard_is() { [ "$(wine "$DRIVER" clipboard 2>/dev/null | tr -d '\r')" = "$1" ]; }
log_has() { flow_utf16 "$FLOW_USER/debug.log" | grep -q -- "$1"; }
caption_changed() { [ "$(flow_caption "$1")" != "$2" ]; }
log_ends_with() { flow_utf16 "$FLOW_USER/debug.log" | grep -v '^$' | tail -1 | grep -q -- "$1"; }
PROMPT='^Closing modified file\.\.\.$'

# 1. A fresh user folder: one untitled tab, the caption ends with the product and version;
# the log greets.
flow_start
FIRST=$FLOW_PID
WINDOW="$(flow_wait_window "^Untitled$TITLE_END" 90)" || flow_fail "flow 1: no main window with an untitled tab"
if [ -n "${WINDOW:-}" ]; then
    flow_until 10 tabs_are 1 || flow_fail "flow 1: $(tab_count) document tabs, not one"
    flow_shot flow1-first-start
fi
# The log is written by a thread of its own, a moment later.
flow_until 10 log_has "What a beautiful day today!" || flow_fail "flow 1: no greeting in debug.log"

# 2. A second start hands its file over and ends with 0 within 10 s; the file takes the
# untitled tab's place.
DOCS_WIN="$(flow_winpath "$FLOW_DOCS")"
flow_start "$DOCS_WIN/b.txt"
SECOND=$FLOW_PID
flow_wait_exit "$SECOND" 10
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 2: second start ended with $CODE"
kill -0 "$FIRST" 2>/dev/null || flow_fail "flow 2: the first instance ended"
if [ -n "${WINDOW:-}" ]; then
    flow_wait_caption "$WINDOW" "^$(flow_regex "b.txt - $DOCS_WIN\\")$TITLE_END" 10 ||
        flow_fail "flow 2: caption '$(flow_caption "$WINDOW")'"
    flow_shot flow2-handed-over
    # The untitled tab's editor went with it (it once stayed, hidden, beside the file's).
    flow_until 10 tabs_are 1 || flow_fail "flow 2: $(tab_count) editor windows after the hand-over, not one"
    # One tab: the next tab is the same one.
    flow_focus "$WINDOW"
    flow_key ctrl+Tab
    flow_until 2 caption_changed "$WINDOW" "$(flow_caption "$WINDOW")" &&
        flow_fail "flow 2: a second tab '$(flow_caption "$WINDOW")'"
fi

# 3. Typed text makes the document modified: Alt+F4 asks once, Escape keeps the program and
# the text, Alt+F4 and N end it without saving.
if [ -n "${WINDOW:-}" ]; then
    flow_focus "$WINDOW"
    # The document's editor has the focus: the text goes in at its start.
    flow_key ctrl+Home
    flow_type abc
    flow_key alt+F4
    flow_wait_window "$PROMPT" 10 >/dev/null || flow_fail "flow 3: no 'Closing modified file...' after Alt+F4"
    flow_shot flow3-prompt
    [ "$(flow_windows "$PROMPT" | wc -l)" -le 1 ] || flow_fail "flow 3: more than one prompt"
    flow_key Escape
    flow_wait_gone "$PROMPT" 5 || flow_fail "flow 3: Escape did not close the prompt"
    # One close request asks once: no second prompt follows the first.
    ! flow_wait_window "$PROMPT" 2 >/dev/null || flow_fail "flow 3: a second prompt after Escape"
    kill -0 "$FIRST" 2>/dev/null || flow_fail "flow 3: Escape ended the program"
    flow_focus "$WINDOW"
    flow_key ctrl+a ctrl+c
    flow_until 5 clipboard_is abcbee || flow_fail "flow 3: the text after Escape is not 'abcbee'"
    flow_key alt+F4
    flow_wait_window "$PROMPT" 10 >/dev/null || flow_fail "flow 3: no prompt after the second Alt+F4"
    flow_key n
fi
flow_wait_exit "$FIRST" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 3: Alt+F4 and N ended the program with $CODE"
log_ends_with "Good bye..." || flow_fail "flow 3: debug.log does not end with Good bye..."
flow_hex_is "$FLOW_DOCS/b.txt" 6265650d0a || flow_fail "flow 3: b.txt changed although N discarded the text"

# 4. Sidebar shown, moved and resized, closed with Alt+F4, started again: the same place
# and size, the sidebar still shown.
flow_start
THIRD=$FLOW_PID
WINDOW="$(flow_wait_window "$TITLE_END" 90)" || flow_fail "flow 4: no main window"
if [ -n "${WINDOW:-}" ]; then
    flow_focus "$WINDOW"
    flow_key ctrl+F9
    xdotool windowmove "$WINDOW" 100 120
    xdotool windowsize "$WINDOW" 640 400
    flow_until 5 bash -c "xdotool getwindowgeometry '$WINDOW' | tr -s ' ' | tr '\n' ' ' | grep -q 'Geometry: 640x400'"
    flow_key alt+F4
fi
flow_wait_exit "$THIRD" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 4: Alt+F4 ended the program with $CODE"
flow_utf16 "$FLOW_USER/config/session.cvConfig" | grep -q "main_window" || flow_fail "flow 4: no placement in session.cvConfig"
flow_utf16 "$FLOW_USER/config/session.cvConfig" | grep -A3 "app.sidebar.left" | grep -q "visible : true" ||
    flow_fail "flow 4: the sidebar is not saved as shown"
flow_start
FOURTH=$FLOW_PID
WINDOW="$(flow_wait_window "$TITLE_END" 90)" || flow_fail "flow 4: no main window after the restart"
if [ -n "${WINDOW:-}" ]; then
    placed() {
        xdotool getwindowgeometry "$WINDOW" | tr -s ' ' | tr '\n' ' ' | grep -q "Position: 100,120.*Geometry: 640x400"
    }
    flow_until 5 placed || flow_fail "flow 4: restored as $(xdotool getwindowgeometry "$WINDOW" | tr -s ' ' | tr '\n' ' ')"
    flow_shot flow4-restored
    flow_focus "$WINDOW"
    flow_key alt+F4
fi
flow_wait_exit "$FOURTH" 20 || flow_fail "flow 4: the restarted program did not end cleanly"

[ "$FLOW_FAILED" = 0 ] && echo "user flows passed"
exit "$FLOW_FAILED"
