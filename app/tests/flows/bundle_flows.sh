#!/usr/bin/env bash
# Drives the bundle editor as a user would, under the virtual display: F4 shows and hides
# it; a snippet is opened from "All items", retitled and saved with Ctrl+S; Ctrl+N makes a
# snippet "Flow" beside it and Ctrl+S writes it; Ctrl+W closes saved tabs without a
# question; the exit asks about an entry left modified. Usage: bundle_flows.sh <corvel.exe>.
# Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
EDITOR_TITLE="^Bundle editor\$"

# A bundle of the user's own with one snippet: sorted first among the bundles, so that
# "All items" starts with it.
BUNDLE_DIR="$FLOW_USER/bundles/aaa.0b7e4f2a-6c1d-4e8a-9f3b-5a2c7d8e9f01.cvBundle"
SNIPPET_FILE="$BUNDLE_DIR/snippets/table.6d2e1f0a-3b4c-4d5e-8f6a-7b8c9d0e1f2a.cvSnippet"
mkdir -p "$BUNDLE_DIR/snippets"
printf '{ title: "Aaa Flows" }' >"$BUNDLE_DIR/info.0b7e4f2a-6c1d-4e8a-9f3b-5a2c7d8e9f01.cvInfo"
printf "{ title: 'Table', scope: 'text.html', content: 'a\$1b' }" >"$SNIPPET_FILE"

utf16_starts_with_mark() { [ "$(flow_hex "$1" | cut -c1-4)" = "fffe" ]; }
holds_text() { flow_utf16 "$1" | grep -q -- "$2"; }
flow_file() { ls "$BUNDLE_DIR"/snippets/flow.*.cvSnippet 2>/dev/null | head -1; }
flow_written() { local f; f="$(flow_file)"; [ -n "$f" ] && utf16_starts_with_mark "$f" && holds_text "$f" "Flow"; }

flow_start
PROGRAM=$FLOW_PID
MAIN="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 90)" || flow_fail "no main window"
if [ -z "${MAIN:-}" ]; then exit 1; fi
flow_focus "$MAIN"

# show_editor: F4 from the main window until the bundle editor shows (a key pressed while
# the program is still starting may be lost); its window id in EDITOR.
show_editor() {
    local attempt
    for attempt in 1 2 3; do
        # Without a window manager the keyboard focus leaves with a hidden window: the main
        # window gets it back first.
        flow_focus "$MAIN"
        flow_key F4
        EDITOR="$(flow_wait_window "$EDITOR_TITLE" 10)" || continue
        # Its keys go to it from now on (it is hidden, never destroyed, while the flows run).
        flow_focus "$EDITOR"
        return 0
    done
    return 1
}

# 1. F4 shows "Bundle editor" with "All items" (the bundles are listed once loaded); F4
# hides it again, and shows it once more.
EDITOR=""
show_editor || flow_fail "flow 1: F4 showed no bundle editor"
if [ -n "${EDITOR:-}" ]; then
    sleep 2
    flow_shot bundle_editor
    flow_key F4
    flow_wait_gone "$EDITOR_TITLE" 10 || flow_fail "flow 1: F4 did not hide the bundle editor"
    show_editor || flow_fail "flow 1: F4 did not show it again"
fi

# 2. The snippet opened from "All items" (a click into the tree's empty part gives it the
# focus; Home, Right and Down reach the first bundle's snippet; Return opens it), its
# title changed in the form and saved with Ctrl+S: the user file starts FF FE and holds
# the new title.
if [ -n "${EDITOR:-}" ]; then
    xdotool mousemove --window "$EDITOR" 128 520 click 1
    flow_key Home Right Down
    sleep 1
    # A double click on the snippet's row, the one under its bundle's (below the tool bar
    # and the list's tab).
    xdotool mousemove --window "$EDITOR" 68 62 click --repeat 2 --delay 80 1
    sleep 2
    flow_shot snippet_open
    flow_key ctrl+a
    flow_type "Grid"
    flow_key ctrl+s
    flow_until 10 holds_text "$SNIPPET_FILE" "Grid" || flow_fail "flow 2: Ctrl+S did not write the new title"
    utf16_starts_with_mark "$SNIPPET_FILE" || flow_fail "flow 2: the saved file does not start with FF FE"

    # 3. Ctrl+N with the snippet active: the dialog comes preset with its kind and bundle;
    # the title "Flow" and Enter open its tab, Ctrl+S writes its file.
    flow_key ctrl+n
    flow_wait_window "^New snippet\$" 10 >/dev/null || flow_fail "flow 3: Ctrl+N showed no new-entry dialog"
    flow_type "Flow"
    flow_key Return
    flow_wait_gone "^New snippet\$" 10 || flow_fail "flow 3: the dialog stayed open"
    sleep 1
    flow_key ctrl+s
    flow_until 10 flow_written || flow_fail "flow 3: Ctrl+S wrote no file for the new snippet"

    # Ctrl+W closes both saved tabs without a question.
    flow_key ctrl+w
    sleep 1
    flow_key ctrl+w
    sleep 1
    flow_no_window "^Closing modified" || flow_fail "flow 2: Ctrl+W asked about a saved entry"
    flow_shot tabs_closed
fi

# 5. The exit asks about an entry edited in the bundle editor: "Flow" opened again (its row
# comes right under its bundle's) and retitled; F4 hides the editor (Alt+F4 closes the
# active window); Alt+F4 on the main window shows the question with the editor; Escape
# cancels it and the program goes on; F4 hides the editor again, and the second time N
# discards the edit and the program ends, the file as saved.
exit_program() {
    flow_focus "$MAIN"
    xdotool key --window "$MAIN" alt+F4 2>/dev/null
}
if [ -n "${EDITOR:-}" ]; then
    xdotool mousemove --window "$EDITOR" 68 62 click --repeat 2 --delay 80 1
    sleep 2
    flow_key ctrl+a
    flow_type "Exit"
    sleep 1
    flow_key F4
    flow_wait_gone "$EDITOR_TITLE" 10 || flow_fail "flow 5: F4 did not hide the bundle editor"
    exit_program
    flow_wait_window "^Closing modified snippet\.\.\.\$" 20 >/dev/null || flow_fail "flow 5: the exit asked nothing"
    flow_shot exit_question
    flow_key Escape
    flow_wait_gone "^Closing modified" 10 || flow_fail "flow 5: Escape did not close the question"
    sleep 2
    flow_ended "$PROGRAM" && flow_fail "flow 5: the program ended although the question was cancelled"
    # The question showed the bundle editor with the entry's tab: it is the active window
    # again, hidden before the next Alt+F4.
    flow_wait_window "$EDITOR_TITLE" 5 >/dev/null || flow_fail "flow 5: the question did not show the bundle editor"
    flow_key F4
    flow_wait_gone "$EDITOR_TITLE" 10 || flow_fail "flow 5: F4 did not hide the bundle editor after the question"
    exit_program
    flow_wait_window "^Closing modified snippet\.\.\.\$" 20 >/dev/null || flow_fail "flow 5: the second exit asked nothing"
    flow_key n
else
    exit_program
fi
flow_wait_exit "$PROGRAM" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "the program ended with $CODE"
holds_text "$(flow_file)" "Exit" && flow_fail "flow 5: the discarded title reached the file"

[ "$FLOW_FAILED" = 0 ] && echo "bundle flows passed"
exit "$FLOW_FAILED"
