#!/usr/bin/env bash
# Drives the real program through closing and saving documents whose text was emptied, under
# the virtual display, in a fresh user folder: Ctrl+W on an untitled document typed and
# deleted again (by BackSpace, Select All and Delete, or undo), the question before a file that was edited back or emptied closes, and a
# save into a folder deleted meanwhile.
# Usage: shell_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_documents_setup "$1"
: >"$FLOW_DOCS/empty.txt"
printf 'alpha\r\n' >"$FLOW_DOCS/a.txt"
mkdir -p "$FLOW_DOCS/gone"
printf 'kept\r\n' >"$FLOW_DOCS/gone/g.txt"

QUESTION='^Closing modified file\.\.\.$'

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

flow_start_main "start"
flow_wait_caption "$FLOW_WINDOW" "$FLOW_UNTITLED" 10 || flow_fail "start: caption '$(flow_caption "$FLOW_WINDOW")'"

# Whether the program ended within $1 seconds; a crash on closing a document ends it at once.
ended_within() { flow_until "$1" flow_ended "$FLOW_PID"; }

# Ctrl+W on an untitled document whose text was typed and then taken away again by keys $1:
# it closes without a question (nothing of it would be lost) and the program goes on. $2
# names the flow.
close_emptied_untitled() {
    flow_wait_caption "$FLOW_WINDOW" "$FLOW_UNTITLED" 10 || flow_fail "$2: caption '$(flow_caption "$FLOW_WINDOW")'"
    flow_type "abc"
    flow_key $1
    flow_key ctrl+w
    flow_wait_window "$QUESTION" 2 >/dev/null && { flow_fail "$2: an emptied untitled document asks"; flow_key n; }
    flow_until 5 flow_not_caption "$FLOW_UNTITLED" || flow_fail "$2: Ctrl+W kept the untitled tab"
    if ended_within 2; then
        flow_fail "$2: the program ended on Ctrl+W"
        exit 1
    fi
}

# 1. The start-up untitled document and new ones, emptied by BackSpace, by Select All and
# Delete, and by undoing the typing, each close unasked; each time the last tab goes, Ctrl+N
# makes a new one that takes text. A typed untitled document that is not empty asks: N
# drops it, and the program goes on.
close_emptied_untitled "BackSpace BackSpace BackSpace" "flow 1 (BackSpace)"
flow_shot shell_flow1_closed
for way in "ctrl+a Delete" "ctrl+z ctrl+z ctrl+z"; do
    flow_focus "$FLOW_WINDOW"
    flow_key ctrl+n
    close_emptied_untitled "$way" "flow 1 ($way)"
done
flow_focus "$FLOW_WINDOW"
flow_key ctrl+n
flow_wait_caption "$FLOW_WINDOW" "$FLOW_UNTITLED" 10 || flow_fail "flow 1: Ctrl+N shows '$(flow_caption "$FLOW_WINDOW")'"
flow_type "abc"
close_asked n "flow 1 (kept text)" flow1_question
flow_until 5 flow_not_caption "$FLOW_UNTITLED" || flow_fail "flow 1: N kept the untitled tab"
ended_within 2 && { flow_fail "flow 1: the program ended on discarding an untitled document"; exit 1; }

# 2. An empty file typed into and deleted again is modified: Ctrl+W asks, N closes it and
# leaves the file empty.
if flow_open_from_dialog empty.txt "flow 2"; then
    flow_type "abc"
    flow_key BackSpace BackSpace BackSpace
    close_asked n "flow 2" flow2_question
    flow_until 5 flow_not_caption "$(flow_caption_of empty.txt "")" || flow_fail "flow 2: N kept the tab"
    ended_within 2 && { flow_fail "flow 2: the program ended closing the file"; exit 1; }
    [ -s "$FLOW_DOCS/empty.txt" ] && flow_fail "flow 2: empty.txt holds $(flow_hex "$FLOW_DOCS/empty.txt")"
fi

# 3. A file whose whole text was deleted is modified, not clean: Ctrl+W asks, Escape keeps
# the tab, Y saves the empty text and closes it.
if flow_open_from_dialog a.txt "flow 3"; then
    flow_key ctrl+a Delete
    close_asked Escape "flow 3" flow3_question
    flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of a.txt "")" 2 || flow_fail "flow 3: Escape closed the tab"
    close_asked y "flow 3" flow3_question_again
    flow_until 10 flow_hex_is "$FLOW_DOCS/a.txt" "" || flow_fail "flow 3: a.txt holds $(flow_hex "$FLOW_DOCS/a.txt")"
    flow_until 5 flow_not_caption "$(flow_caption_of a.txt "")" || flow_fail "flow 3: Y kept the tab"
    ended_within 2 && { flow_fail "flow 3: the program ended closing the saved file"; exit 1; }
fi

# 4. Saving into a folder deleted meanwhile fails with the error box and does not bring the
# folder back; the document stays modified, so Ctrl+W still asks.
if flow_open_from_dialog 'gone\g.txt' "flow 4"; then
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
