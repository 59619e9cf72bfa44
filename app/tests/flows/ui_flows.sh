#!/usr/bin/env bash
# What a new user meets in the real window, under the virtual display: Chinese and an emoji
# drawn with a face that has them, a rectangle typed over after Alt+drag, the tab of a
# modified document, and a project that is still there after a restart.
# Usage: ui_flows.sh <corvel.exe> <window_driver.exe> <tree_driver.exe>. Needs DISPLAY, Wine
# and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
DRIVER="$2"
TREE_DRIVER="$3"
TITLE_END="$(flow_regex " - $FLOW_TITLE")\$"
DOCS_WIN="$(flow_winpath "$FLOW_DOCS")"

# "left top right bottom" of the first shown window of class $1 inside the main window.
rect_of() { wine "$DRIVER" rect "$FLOW_TITLE" "$1" 2>/dev/null | tr -d '\r'; }
editor_rect() { rect_of CorvelEditor; }
has_editor() { [ -n "$(editor_rect)" ]; }
editors_are() { [ "$(wine "$DRIVER" count "$FLOW_TITLE" CorvelEditor 2>/dev/null | tr -d '\r')" = "$1" ]; }
tree_has() { wine "$TREE_DRIVER" list "$FLOW_TITLE" 2>/dev/null | tr -d '\r' | sed 's/^ *//' | grep -qxF -- "$1"; }

# The picture rows (y, from the window's top) in which two pictures of one window differ.
shot_rows() {
    local header bytes colours
    header=$(od -An -tu4 --endian=big -N4 "$1" | tr -d ' ')
    bytes=$(od -An -tu4 --endian=big -j48 -N4 "$1" | tr -d ' ')
    colours=$(od -An -tu4 --endian=big -j76 -N4 "$1" | tr -d ' ')
    cmp -l "$1" "$2" 2>/dev/null |
        awk -v start=$((header + colours * 12)) -v line="$bytes" '{ at = $1 - 1 - start; if (at >= 0) print int(at / line) }' |
        sort -nu
}
# How many of those rows lie in [from, to).
rows_between() { shot_rows "$1" "$2" | awk -v from="$3" -v to="$4" '$1 >= from && $1 < to' | wc -l; }
# The window's top on the screen.
window_top() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: [0-9-]*,\([0-9-]*\).*/\1/p'; }

# Opens a file through a second start, which hands it to the running program.
hand_over() {
    flow_start "$DOCS_WIN\\$1"
    flow_wait_exit "$FLOW_PID" 10 >/dev/null
}

flow_start
FIRST=$FLOW_PID
WINDOW="$(flow_wait_window "^Untitled$TITLE_END" 30)" || {
    flow_fail "no main window"
    exit 1
}

# 1. A UTF-8 line of Latin, Greek, Chinese and an emoji: the Chinese and the emoji are not
# the box of a character that no face has. The same file is shown once with them and once
# with as many characters of no face (U+0378, unassigned): the pictures must differ.
if [ -z "$(fc-list ':charset=4e2d' family 2>/dev/null)" ]; then
    echo "flow 1 skipped: no installed face has Chinese characters"
else
    printf 'Latin \xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac \xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97 \xf0\x9f\x98\x80\xf0\x9f\x98\x80\r\n' >"$FLOW_DOCS/mixed.txt"
    cp "$FLOW_DOCS/mixed.txt" "$FLOW_WORK/mixed-real.txt"
    printf 'Latin \xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac \xcd\xb8\xcd\xb8\xcd\xb8 \xcd\xb8\xcd\xb8\r\n' >"$FLOW_WORK/mixed-boxes.txt"
    hand_over mixed.txt
    flow_wait_caption "$WINDOW" "^mixed\.txt - " 10 || flow_fail "flow 1: mixed.txt did not open"
    flow_until 10 has_editor || flow_fail "flow 1: no editor shown"
    sleep 1
    flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui1-mixed.xwd"
    flow_focus "$WINDOW"
    flow_key ctrl+w
    flow_wait_caption "$WINDOW" "^Untitled$TITLE_END" 10 || true
    cp "$FLOW_WORK/mixed-boxes.txt" "$FLOW_DOCS/mixed.txt"
    hand_over mixed.txt
    flow_wait_caption "$WINDOW" "^mixed\.txt - " 10 || flow_fail "flow 1: mixed.txt did not open again"
    sleep 1
    flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui1-boxes.xwd"
    read -r _ EDITOR_TOP _ EDITOR_BOTTOM <<<"$(editor_rect)"
    TOP=$(($(window_top "$WINDOW")))
    # The first text row: the Chinese and the emoji differ from the boxes in it.
    CHANGED=$(rows_between "$FLOW_SHOTS/ui1-mixed.xwd" "$FLOW_SHOTS/ui1-boxes.xwd" $((EDITOR_TOP - TOP)) $((EDITOR_BOTTOM - TOP)))
    [ "$CHANGED" -ge 6 ] || flow_fail "flow 1: the Chinese and the emoji look like boxes ($CHANGED rows differ)"
    flow_focus "$WINDOW"
    flow_key ctrl+w
fi

# 2. Alt+drag over five equal lines selects a rectangle; "QQ" typed over it and Ctrl+S: every
# row of the rectangle holds both Q, and Delete works at once (the menu bar did not take the
# keys).
printf 'abcdefghijklmnopqrstuvwxyz\r\n%.0s' 1 2 3 4 5 >"$FLOW_DOCS/rect.txt"
hand_over rect.txt
flow_wait_caption "$WINDOW" "^rect\.txt - " 10 || flow_fail "flow 2: rect.txt did not open"
flow_until 10 has_editor || flow_fail "flow 2: no editor shown"
read -r LEFT TOP _ _ <<<"$(editor_rect)"
flow_focus "$WINDOW"
if [ -n "${LEFT:-}" ]; then
    # Past the gutter, inside the text of the first row, down to the third or fourth row.
    xdotool mousemove $((LEFT + 110)) $((TOP + 6))
    xdotool keydown alt
    sleep 0.2
    xdotool mousedown 1
    xdotool mousemove $((LEFT + 125)) $((TOP + 30))
    sleep 0.2
    xdotool mousemove $((LEFT + 140)) $((TOP + 56))
    sleep 0.2
    xdotool mouseup 1
    sleep 0.2
    xdotool keyup alt
    sleep 0.5
    flow_shot ui2-rectangle
    flow_type QQ
    flow_key ctrl+s
    rect_saved() { grep -q Q "$FLOW_DOCS/rect.txt"; }
    flow_until 10 rect_saved || flow_fail "flow 2: Ctrl+S did not save rect.txt"
    ROWS=$(flow_text "$FLOW_DOCS/rect.txt" | grep -c Q)
    PAIRS=$(flow_text "$FLOW_DOCS/rect.txt" | grep -c QQ)
    [ "$ROWS" -ge 2 ] && [ "$ROWS" = "$PAIRS" ] ||
        flow_fail "flow 2: rows after QQ: $(flow_text "$FLOW_DOCS/rect.txt" | tr '\n' '|')"
    [ "$(flow_text "$FLOW_DOCS/rect.txt" | wc -l)" = 5 ] || flow_fail "flow 2: rect.txt lost or gained lines"
fi
flow_focus "$WINDOW"
flow_key ctrl+w

# 3. Typing into a saved file marks its tab; Ctrl+S takes the mark away again. The tab row
# lies between the menu bar and the editor.
printf 'saved\r\n' >"$FLOW_DOCS/saved.txt"
hand_over saved.txt
flow_wait_caption "$WINDOW" "^saved\.txt - " 10 || flow_fail "flow 3: saved.txt did not open"
flow_until 10 has_editor || flow_fail "flow 3: no editor shown"
read -r _ EDITOR_TOP _ _ <<<"$(editor_rect)"
TOP=$(($(window_top "$WINDOW")))
TAB_ROWS_END=$((EDITOR_TOP - TOP))
sleep 1
flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui3-saved.xwd"
flow_focus "$WINDOW"
flow_type x
sleep 1
flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui3-modified.xwd"
CHANGED=$(rows_between "$FLOW_SHOTS/ui3-saved.xwd" "$FLOW_SHOTS/ui3-modified.xwd" 0 "$TAB_ROWS_END")
[ "$CHANGED" -gt 0 ] || flow_fail "flow 3: the tab does not show that saved.txt was modified"
flow_key ctrl+s
flow_until 10 flow_text_is "$FLOW_DOCS/saved.txt" xsaved || flow_fail "flow 3: Ctrl+S did not save"
sleep 1
flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui3-saved-again.xwd"
CHANGED=$(rows_between "$FLOW_SHOTS/ui3-saved.xwd" "$FLOW_SHOTS/ui3-saved-again.xwd" 0 "$TAB_ROWS_END")
[ "$CHANGED" = 0 ] || flow_fail "flow 3: after Ctrl+S the tab still looks modified ($CHANGED rows)"

# 4. Project > New Project "Demo", Alt+F4, start again: "All projects" lists Demo, which
# opens its tree when chosen.
flow_focus "$WINDOW"
flow_menu Right Right Right Down Return
flow_wait_window "^New project\$" 10 >/dev/null || flow_fail "flow 4: no New project dialog"
flow_key ctrl+a
flow_type "Demo"
flow_key Return
flow_wait_gone "^New project\$" 5 || flow_fail "flow 4: the dialog stayed open"
flow_until 10 tree_has Demo || flow_fail "flow 4: no tree of Demo"
flow_focus "$WINDOW"
flow_key alt+F4
flow_wait_exit "$FIRST" 20 || flow_fail "flow 4: Alt+F4 did not end the program"
flow_start
SECOND=$FLOW_PID
WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 30)" || flow_fail "flow 4: no main window after the restart"
if [ -n "${WINDOW:-}" ]; then
    flow_focus "$WINDOW"
    # The sidebar with "All projects" active; its first row is Demo's.
    LIST="$(rect_of afControlLister)"
    if [ -z "$LIST" ]; then
        flow_key ctrl+F9
        flow_until 5 bash -c "[ -n \"\$(wine '$DRIVER' rect '$FLOW_TITLE' afControlLister 2>/dev/null)\" ]"
        LIST="$(rect_of afControlLister)"
    fi
    flow_shot ui4-restarted
    read -r LEFT TOP _ _ <<<"$LIST"
    if [ -n "${LEFT:-}" ]; then
        xdotool mousemove $((LEFT + 30)) $((TOP + 10)) click --repeat 2 --delay 80 1
        flow_until 10 tree_has Demo || flow_fail "flow 4: All projects does not list Demo after the restart"
    else
        flow_fail "flow 4: no All projects list"
    fi
    flow_focus "$WINDOW"
    flow_key alt+F4
    flow_wait_exit "$SECOND" 20 || flow_fail "flow 4: the restarted program did not end"
fi

[ "$FLOW_FAILED" = 0 ] && echo "ui flows passed"
exit "$FLOW_FAILED"
