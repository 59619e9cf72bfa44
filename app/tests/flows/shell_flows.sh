#!/usr/bin/env bash
# Drives the real program through closing and saving documents whose text was emptied, under
# the virtual display, in a fresh user folder: Ctrl+W on an untitled document typed and
# deleted again, the question before a file that was edited back or emptied closes, and a
# save into a folder deleted meanwhile.
# Usage: shell_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
# The start-up update check meets a closed port at once instead of looking for a host.
export CORVEL_UPDATE_SERVER="127.0.0.1:9"

DIR="$(flow_winpath "$FLOW_DOCS")"
[ -n "$DIR" ] || { echo "FAILED: winepath gave nothing for $FLOW_DOCS"; exit 1; }
: >"$FLOW_DOCS/empty.txt"
printf 'alpha\r\n' >"$FLOW_DOCS/a.txt"
mkdir -p "$FLOW_DOCS/gone"
printf 'kept\r\n' >"$FLOW_DOCS/gone/g.txt"

caption_of() { echo "^$(flow_regex "$1 - $DIR\\$2 - $FLOW_TITLE")\$"; }
UNTITLED="^$(flow_regex "Untitled - $FLOW_TITLE")\$"
QUESTION='^Closing modified file\.\.\.$'

not_caption() { ! flow_caption "$WINDOW" | grep -Eiq -- "$1"; }
alive() { kill -0 "$FLOW_PID" 2>/dev/null && flow_has_window "$(flow_regex "$FLOW_TITLE")\$"; }

# Opens <dir>\$1 from the open dialog; true once the caption names it. $2 names the flow.
open_from_dialog() {
    # With the last tab closed nothing in the window holds the keyboard focus.
    flow_focus "$WINDOW"
    flow_key ctrl+o
    if ! flow_wait_window '^Open$' 15 >/dev/null; then
        flow_fail "$2: Ctrl+O shows no Open dialog"
        return 1
    fi
    flow_key Home shift+End
    flow_type "$DIR\\$1"
    flow_key Return
    flow_wait_gone '^Open$' 10 || flow_fail "$2: the Open dialog stays"
    local folder="${1%\\*}\\"
    [ "$folder" = "$1\\" ] && folder=""
    flow_wait_caption "$WINDOW" "$(caption_of "${1##*\\}" "$folder")" 15 && return 0
    flow_fail "$2: caption '$(flow_caption "$WINDOW")' after opening $1"
    return 1
}

# Ctrl+W on the shown tab, which must ask: answers with key $1. $2 names the flow.
close_asked() {
    flow_key ctrl+w
    if ! flow_wait_window "$QUESTION" 10 >/dev/null; then
        flow_fail "$2: Ctrl+W closed a modified document without asking"
        return 1
    fi
    flow_shot "shell_$3"
    flow_key "$1"
    flow_wait_gone "$QUESTION" 5 || flow_fail "$2: the question stays after $1"
}

flow_start
WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 60)" || { flow_fail "start: no main window"; exit 1; }
flow_focus "$WINDOW" || flow_fail "start: the main window takes no keyboard focus"
flow_wait_caption "$WINDOW" "$UNTITLED" 10 || flow_fail "start: caption '$(flow_caption "$WINDOW")'"

# 1. The start-up untitled document, typed and deleted again, closes on Ctrl+W without a
# question (nothing of it would be lost) and the program goes on: a new document takes text.
flow_type "abc"
flow_key BackSpace BackSpace BackSpace
flow_key ctrl+w
flow_wait_window "$QUESTION" 2 >/dev/null && { flow_fail "flow 1: an emptied untitled document asks"; flow_key n; }
flow_until 5 not_caption "$UNTITLED" || flow_fail "flow 1: Ctrl+W kept the untitled tab"
sleep 2
if alive; then
    flow_shot shell_flow1_closed
    flow_key ctrl+n
    flow_wait_caption "$WINDOW" "$UNTITLED" 10 || flow_fail "flow 1: Ctrl+N after the close shows '$(flow_caption "$WINDOW")'"
    flow_type "x"
    flow_key BackSpace ctrl+w
    flow_wait_window "$QUESTION" 2 >/dev/null && { flow_fail "flow 1: the second emptied document asks"; flow_key n; }
    sleep 2
    alive || { flow_fail "flow 1: the program ended closing a second emptied untitled document"; exit 1; }
else
    flow_fail "flow 1: the program ended on Ctrl+W (an emptied untitled document)"
    exit 1
fi

# 2. An empty file typed into and deleted again is modified: Ctrl+W asks, N closes it and
# leaves the file empty.
if open_from_dialog empty.txt "flow 2"; then
    flow_type "abc"
    flow_key BackSpace BackSpace BackSpace
    close_asked n "flow 2" flow2_question
    flow_until 5 not_caption "$(caption_of empty.txt "")" || flow_fail "flow 2: N kept the tab"
    sleep 1
    alive || { flow_fail "flow 2: the program ended closing the file"; exit 1; }
    [ -s "$FLOW_DOCS/empty.txt" ] && flow_fail "flow 2: empty.txt holds $(flow_hex "$FLOW_DOCS/empty.txt")"
fi

# 3. A file whose whole text was deleted is modified, not clean: Ctrl+W asks, Escape keeps
# the tab, Y saves the empty text and closes it.
if open_from_dialog a.txt "flow 3"; then
    flow_key ctrl+a Delete
    close_asked Escape "flow 3" flow3_question
    flow_wait_caption "$WINDOW" "$(caption_of a.txt "")" 2 || flow_fail "flow 3: Escape closed the tab"
    close_asked y "flow 3" flow3_question_again
    flow_until 10 flow_hex_is "$FLOW_DOCS/a.txt" "" || flow_fail "flow 3: a.txt holds $(flow_hex "$FLOW_DOCS/a.txt")"
    flow_until 5 not_caption "$(caption_of a.txt "")" || flow_fail "flow 3: Y kept the tab"
fi

# 4. Saving into a folder deleted meanwhile fails with the error box and does not bring the
# folder back; the document stays modified, so Ctrl+W still asks.
if open_from_dialog 'gone\g.txt' "flow 4"; then
    flow_type "new "
    rm -rf "$FLOW_DOCS/gone"
    flow_key ctrl+s
    if flow_wait_window '^Error$' 10 >/dev/null; then
        flow_shot shell_flow4_error
        flow_key Return
        flow_wait_gone '^Error$' 5 || flow_fail "flow 4: the error box stays"
    else
        flow_fail "flow 4: a save into a deleted folder shows no error box"
    fi
    [ -e "$FLOW_DOCS/gone" ] && flow_fail "flow 4: the save brought the deleted folder back"
    close_asked n "flow 4" flow4_question
    [ -e "$FLOW_DOCS/gone" ] && flow_fail "flow 4: closing brought the deleted folder back"
fi

flow_key alt+F4
flow_wait_exit "$FLOW_PID" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "Alt+F4 ended the program with $CODE"

[ "$FLOW_FAILED" = 0 ] && echo "shell flows passed"
exit "$FLOW_FAILED"
