#!/usr/bin/env bash
# What a new user meets in the real window, under the virtual display: Chinese and an emoji
# drawn with a face that has them, a rectangle typed over after Alt+drag, the tab of a
# modified document, and a project that is still there after a restart.
# Usage: ui_flows.sh <corvel.exe> <window_driver.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
DRIVER="$2"
TITLE_END="$(flow_regex " - $FLOW_TITLE")\$"
DOCS_WIN="$(flow_winpath "$FLOW_DOCS")"

# "left top right bottom" of the first shown window of class $1 inside the main window.
rect_of() { wine "$DRIVER" rect "$FLOW_TITLE" "$1" 2>/dev/null | tr -d '\r'; }
editor_rect() { rect_of CorvelEditor; }
has_editor() { [ -n "$(editor_rect)" ]; }
has_list() { [ -n "$(rect_of afControlLister)" ]; }

# An xwd picture's layout: where its pixels start and how many bytes a row takes.
shot_layout() {
    local header colours
    header=$(od -An -tu4 --endian=big -N4 "$1" | tr -d ' ')
    colours=$(od -An -tu4 --endian=big -j76 -N4 "$1" | tr -d ' ')
    echo "$((header + colours * 12)) $(od -An -tu4 --endian=big -j48 -N4 "$1" | tr -d ' ')"
}
# The picture rows (y, from the window's top) in which two pictures of one window differ,
# counting only pixels at x >= $3 (the caret blinks at the left of the text).
shot_rows() {
    local start line
    read -r start line <<<"$(shot_layout "$1")"
    cmp -l "$1" "$2" 2>/dev/null |
        awk -v start="$start" -v line="$line" -v from="${3:-0}" \
            '{ at = $1 - 1 - start; if (at >= 0 && (at % line) / 4 >= from) print int(at / line) }' |
        sort -nu
}
# rows_between <a> <b> <from y> <to y> [from x]: how many of those rows lie in [from, to).
rows_between() { shot_rows "$1" "$2" "${5:-0}" | awk -v from="$3" -v to="$4" '$1 >= from && $1 < to' | wc -l; }
# Pixels of picture $1 in the box x [$2, $4), y [$3, $5) that are not white.
ink_in() {
    local start line y
    read -r start line <<<"$(shot_layout "$1")"
    for y in $(seq "$3" $(($5 - 1))); do
        od -An -v -tx4 -j $((start + y * line + $2 * 4)) -N $((($4 - $2) * 4)) "$1"
    done | tr ' ' '\n' | grep -v '^$' | grep -cv '^..ffffff$'
}
# The window's top left on the screen.
window_left() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*\),.*/\1/p'; }
window_top() { xdotool getwindowgeometry "$1" | sed -n 's/.*Position: [0-9-]*,\([0-9-]*\).*/\1/p'; }

# settled_shot <window> <file> <reference> <from y> <to y> [from x]: pictures of the window
# into the file until one differs from the reference in those rows and the next agrees with
# it there (the program has painted and stopped); false after about 10 s. A reference of "-"
# asks only for two pictures in a row that agree.
settled_shot() {
    local previous="$FLOW_WORK/settling.xwd" i
    rm -f "$previous"
    for i in $(seq 1 40); do
        flow_window_shot "$1" "$2"
        if { [ "$3" = - ] || [ "$(rows_between "$3" "$2" "$4" "$5" "${6:-0}")" -gt 0 ]; } && [ -f "$previous" ] &&
            [ "$(rows_between "$previous" "$2" "$4" "$5" "${6:-0}")" = 0 ]; then
            rm -f "$previous"
            return 0
        fi
        cp "$2" "$previous"
        sleep 0.25
    done
    rm -f "$previous"
    return 1
}
# For flow_until: whether a new picture of window $1 agrees with picture $2 in rows [$3, $4).
shot_agrees() {
    flow_window_shot "$1" "$FLOW_WORK/now.xwd"
    [ "$(rows_between "$2" "$FLOW_WORK/now.xwd" "$3" "$4")" = 0 ]
}
# For flow_until: whether a new picture of window $1 differs from picture $2 in rows [$3, $4) at x >= $5.
shot_differs() {
    flow_window_shot "$1" "$FLOW_WORK/now.xwd"
    [ "$(rows_between "$2" "$FLOW_WORK/now.xwd" "$3" "$4" "$5")" -gt 0 ]
}

# For flow_until: whether the caption of window $1 does not match $2.
caption_lacks() { ! flow_caption_matches "$1" "$2"; }

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
flow_until 10 has_editor || flow_fail "no editor shown"
# Where the editor's text lies in pictures of the window: its rows, and the columns past the
# gutter and the first characters, where the caret of a newly opened file does not blink.
read -r EDITOR_LEFT EDITOR_TOP _ EDITOR_BOTTOM <<<"$(editor_rect)"
TEXT_TOP=$((EDITOR_TOP - $(window_top "$WINDOW")))
TEXT_BOTTOM=$((EDITOR_BOTTOM - $(window_top "$WINDOW")))
TEXT_FROM=$((EDITOR_LEFT - $(window_left "$WINDOW") + 60))
# The tab row lies between the menu bar and the editor.
TAB_ROWS_END=$TEXT_TOP
settled_shot "$WINDOW" "$FLOW_SHOTS/ui0-untitled.xwd" - "$TEXT_TOP" "$TEXT_BOTTOM" || flow_fail "the window did not settle"

# 1. A UTF-8 line of Latin, Greek, Chinese and an emoji: the Chinese and the emoji are not
# the box of a character that no face has. The same file is shown once with as many
# characters of no face (U+0378, unassigned) and once with them: the pictures must differ.
if [ -z "$(fc-list ':charset=4e2d' family 2>/dev/null)" ] || [ -z "$(fc-list ':charset=1f600' family 2>/dev/null)" ]; then
    echo "flow 1 skipped: no installed face has Chinese characters or the emoji"
else
    printf 'Latin \xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac \xcd\xb8\xcd\xb8\xcd\xb8 \xcd\xb8\xcd\xb8\r\n' >"$FLOW_DOCS/mixed.txt"
    hand_over mixed.txt
    flow_wait_caption "$WINDOW" "^mixed\.txt - " 10 || flow_fail "flow 1: mixed.txt did not open"
    settled_shot "$WINDOW" "$FLOW_SHOTS/ui1-boxes.xwd" "$FLOW_SHOTS/ui0-untitled.xwd" "$TEXT_TOP" "$TEXT_BOTTOM" "$TEXT_FROM" ||
        flow_fail "flow 1: the line of boxes was not drawn"
    flow_focus "$WINDOW"
    flow_key ctrl+w
    flow_until 10 caption_lacks "$WINDOW" "^mixed\.txt - " || flow_fail "flow 1: mixed.txt did not close"
    printf 'Latin \xce\x95\xce\xbb\xce\xbb\xce\xb7\xce\xbd\xce\xb9\xce\xba\xce\xac \xe4\xb8\xad\xe6\x96\x87\xe5\xad\x97 \xf0\x9f\x98\x80\xf0\x9f\x98\x80\r\n' >"$FLOW_DOCS/mixed.txt"
    hand_over mixed.txt
    flow_wait_caption "$WINDOW" "^mixed\.txt - " 10 || flow_fail "flow 1: mixed.txt did not open again"
    # Drawn at all, then different from the boxes in at least a few rows of the text row.
    settled_shot "$WINDOW" "$FLOW_SHOTS/ui1-mixed.xwd" "$FLOW_SHOTS/ui0-untitled.xwd" "$TEXT_TOP" "$TEXT_BOTTOM" "$TEXT_FROM" ||
        flow_fail "flow 1: the mixed line was not drawn"
    CHANGED=$(rows_between "$FLOW_SHOTS/ui1-boxes.xwd" "$FLOW_SHOTS/ui1-mixed.xwd" "$TEXT_TOP" "$TEXT_BOTTOM" "$TEXT_FROM")
    [ "$CHANGED" -ge 6 ] || flow_fail "flow 1: the Chinese and the emoji look like boxes ($CHANGED rows differ)"
    flow_focus "$WINDOW"
    flow_key ctrl+w
    flow_until 10 caption_lacks "$WINDOW" "^mixed\.txt - " || flow_fail "flow 1: mixed.txt did not close again"
fi

# 2. Alt+drag over five equal lines selects a rectangle; "QQ" typed over it and Ctrl+S: every
# row of the rectangle holds both Q (the Alt did not leave the menu bar active to eat a key).
printf 'abcdefghijklmnopqrstuvwxyz\r\n%.0s' 1 2 3 4 5 >"$FLOW_DOCS/rect.txt"
hand_over rect.txt
flow_wait_caption "$WINDOW" "^rect\.txt - " 10 || flow_fail "flow 2: rect.txt did not open"
settled_shot "$WINDOW" "$FLOW_SHOTS/ui2-before.xwd" "$FLOW_SHOTS/ui0-untitled.xwd" "$TEXT_TOP" "$TEXT_BOTTOM" "$TEXT_FROM" ||
    flow_fail "flow 2: rect.txt was not drawn"
flow_focus "$WINDOW"
# Past the gutter, inside the text of the first row, down to the third or fourth row. The
# short pauses pace the events as a hand would; nothing waits on them.
xdotool mousemove $((EDITOR_LEFT + 110)) $((EDITOR_TOP + 6))
xdotool keydown alt
sleep 0.2
xdotool mousedown 1
xdotool mousemove $((EDITOR_LEFT + 125)) $((EDITOR_TOP + 30))
sleep 0.2
xdotool mousemove $((EDITOR_LEFT + 140)) $((EDITOR_TOP + 56))
sleep 0.2
xdotool mouseup 1
sleep 0.2
xdotool keyup alt
flow_until 5 shot_differs "$WINDOW" "$FLOW_SHOTS/ui2-before.xwd" "$TEXT_TOP" "$TEXT_BOTTOM" "$TEXT_FROM" ||
    flow_fail "flow 2: Alt+drag selected nothing"
cp "$FLOW_WORK/now.xwd" "$FLOW_SHOTS/ui2-rectangle.xwd"
flow_type QQ
flow_key ctrl+s
rect_saved() { grep -q Q "$FLOW_DOCS/rect.txt"; }
flow_until 10 rect_saved || flow_fail "flow 2: Ctrl+S did not save rect.txt"
ROWS=$(flow_text "$FLOW_DOCS/rect.txt" | grep -c Q)
PAIRS=$(flow_text "$FLOW_DOCS/rect.txt" | grep -c QQ)
[ "$ROWS" -ge 2 ] && [ "$ROWS" = "$PAIRS" ] ||
    flow_fail "flow 2: rows after QQ: $(flow_text "$FLOW_DOCS/rect.txt" | tr '\n' '|')"
[ "$(flow_text "$FLOW_DOCS/rect.txt" | wc -l)" = 5 ] || flow_fail "flow 2: rect.txt lost or gained lines"
flow_focus "$WINDOW"
flow_key ctrl+w
flow_until 10 caption_lacks "$WINDOW" "^rect\.txt - " || flow_fail "flow 2: rect.txt did not close"

# 3. Typing into a saved file marks its tab; Ctrl+S takes the mark away again.
printf 'saved\r\n' >"$FLOW_DOCS/saved.txt"
hand_over saved.txt
flow_wait_caption "$WINDOW" "^saved\.txt - " 10 || flow_fail "flow 3: saved.txt did not open"
settled_shot "$WINDOW" "$FLOW_SHOTS/ui3-saved.xwd" "$FLOW_SHOTS/ui0-untitled.xwd" 0 "$TAB_ROWS_END" ||
    flow_fail "flow 3: the tab of saved.txt was not drawn"
flow_focus "$WINDOW"
flow_type x
settled_shot "$WINDOW" "$FLOW_SHOTS/ui3-modified.xwd" "$FLOW_SHOTS/ui3-saved.xwd" 0 "$TAB_ROWS_END" ||
    flow_fail "flow 3: the tab does not show that saved.txt was modified"
flow_key ctrl+s
flow_until 10 flow_text_is "$FLOW_DOCS/saved.txt" xsaved || flow_fail "flow 3: Ctrl+S did not save"
flow_until 10 shot_agrees "$WINDOW" "$FLOW_SHOTS/ui3-saved.xwd" 0 "$TAB_ROWS_END" ||
    flow_fail "flow 3: after Ctrl+S the tab still looks modified"
cp "$FLOW_WORK/now.xwd" "$FLOW_SHOTS/ui3-saved-again.xwd"

# 4. Project > New Project "Demo", Alt+F4, start again: Demo's tab is back, "All projects"
# lists Demo, and the right button on its row opens the list's menu, whose Rename names Demo.
flow_focus "$WINDOW"
flow_menu Right Right Right Down Return
flow_wait_window "^New project\$" 10 >/dev/null || flow_fail "flow 4: no New project dialog"
flow_key ctrl+a
flow_type "Demo"
flow_key Return
flow_wait_gone "^New project\$" 5 || flow_fail "flow 4: the dialog stayed open"
flow_focus "$WINDOW"
flow_key alt+F4
flow_wait_exit "$FIRST" 20 || flow_fail "flow 4: Alt+F4 did not end the program"
flow_utf16 "$FLOW_USER/config/projects.cvConfig" | grep -q "title : 'Demo'" ||
    flow_fail "flow 4: the known projects do not hold Demo"
flow_start
SECOND=$FLOW_PID
WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 30)" || flow_fail "flow 4: no main window after the restart"
if [ -n "${WINDOW:-}" ]; then
    flow_focus "$WINDOW"
    flow_until 10 has_editor || flow_fail "flow 4: no editor shown after the restart"
    # Demo's tab comes back active as it was at the exit, its tree shown in the sidebar.
    has_tree() { [ -n "$(rect_of SysTreeView32)" ]; }
    flow_until 10 has_tree || flow_fail "flow 4: the tab of Demo did not come back"
    # "All projects" is the sidebar's first tab, level with the document tabs.
    read -r _ EDITOR_TOP _ _ <<<"$(editor_rect)"
    xdotool mousemove $(($(window_left "$WINDOW") + 40)) $((EDITOR_TOP - 8)) click 1
    flow_until 5 has_list
    read -r LEFT TOP _ _ <<<"$(rect_of afControlLister)"
    if [ -n "${LEFT:-}" ]; then
        # The row's title is drawn: dark pixels where it stands, not an empty list.
        ROW_LEFT=$((LEFT - $(window_left "$WINDOW") + 20))
        ROW_TOP=$((TOP - $(window_top "$WINDOW") + 3))
        row_drawn() {
            flow_window_shot "$WINDOW" "$FLOW_SHOTS/ui4-restarted.xwd"
            [ "$(ink_in "$FLOW_SHOTS/ui4-restarted.xwd" "$ROW_LEFT" "$ROW_TOP" $((ROW_LEFT + 60)) $((ROW_TOP + 14)))" -gt 10 ]
        }
        flow_until 10 row_drawn || flow_fail "flow 4: All projects shows no row after the restart"
        xdotool mousemove $((LEFT + 30)) $((TOP + 10)) click 3
        flow_key Down Down Return
        if flow_wait_window "^Rename project\$" 10 >/dev/null; then
            flow_key ctrl+c
            clipboard_is_demo() { [ "$(wine "$DRIVER" clipboard 2>/dev/null | tr -d '\r')" = Demo ]; }
            flow_until 5 clipboard_is_demo || flow_fail "flow 4: the row renamed is not Demo"
            flow_key Escape
            flow_wait_gone "^Rename project\$" 5 || flow_fail "flow 4: the rename dialog stayed open"
        else
            flow_fail "flow 4: the row's menu is not the project list's (no Rename)"
            flow_key Escape
        fi
    else
        flow_fail "flow 4: no All projects list"
    fi
    flow_focus "$WINDOW"
    flow_key alt+F4
    flow_wait_exit "$SECOND" 20 || flow_fail "flow 4: the restarted program did not end"
fi

[ "$FLOW_FAILED" = 0 ] && echo "ui flows passed"
exit "$FLOW_FAILED"
