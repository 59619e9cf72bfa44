#!/usr/bin/env bash
# Drives projects in the real program as a user would, under the virtual display: a new
# project, a folder dropped on its tree from another program, new files and folders made,
# renamed and deleted from the tree, and a project file handed over by a second start.
# Usage: project_flows.sh <corvel.exe> <flow_tree_driver.exe> <flow_drag_files.exe>.
# Needs DISPLAY, Wine and xdotool. The tree's texts are read from outside by the driver.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"

TREE_DRIVER="$2"
DRAG_DRIVER="$3"
flow_setup "$1"

# R is dropped on the new project; X belongs to the project file of the second start.
R="$FLOW_WORK/R"
mkdir -p "$R" "$FLOW_WORK/X"
printf 'one\r\n' >"$R/one.txt"
printf 'inside\r\n' >"$FLOW_WORK/X/inside.txt"
printf "{ root : { vdir : 'x' content : [ { dir : '.\\\\X' } ] } }" >"$FLOW_WORK/x.cvProject"
MAIN_TITLE="Corvel 0.9.4"

tree() { wine "$TREE_DRIVER" "$1" "$MAIN_TITLE" "${@:2}" 2>/dev/null | tr -d '\r'; }
# Whether some entry of the shown trees has exactly this text.
tree_has() { tree list | sed 's/^ *//' | grep -qxF -- "$1"; }
tree_lacks() { ! tree_has "$1"; }
# Clicks the entry with this text, which selects it and gives the tree the focus.
tree_click() {
    local point
    tree select "$1" >/dev/null
    point="$(tree point "$1")" || return 1
    # shellcheck disable=SC2086
    xdotool mousemove $point click 1
    sleep 0.5
}
# A settings or project file as text, whichever encoding it was written in.
text_of() {
    if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then flow_utf16 "$1"; else tr -d '\r' <"$1"; fi
}

flow_start
FIRST=$FLOW_PID
WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 30)" || {
    flow_fail "no main window"
    exit 1
}
flow_focus "$WINDOW"

# 1. Project > New Project: an empty title is refused; "Demo" makes the project and its tab.
# The fourth menu's first entry; menu letters choose nothing in the program's own menus.
flow_menu Right Right Right Down Return
flow_wait_window "^New project\$" 10 >/dev/null || flow_fail "flow 1: no New project dialog"
flow_key ctrl+a BackSpace Return
sleep 1
[ -n "$(flow_windows "^New project\$")" ] || flow_fail "flow 1: an empty title closed the dialog"
flow_type "Demo"
flow_key Return
flow_wait_gone "^New project\$" 5 || flow_fail "flow 1: the dialog stayed open for Demo"
# The project's tab is shown: its tree (empty for now) is there to read.
flow_until 10 tree list >/dev/null || flow_fail "flow 1: no project tree shown"
flow_shot project-new

# 2. R dragged from another program onto the tree's empty space joins the project; R's
# files show, and a file made in R outside shows within 5 s.
(cd "$FLOW_WORK" && exec wine "$DRAG_DRIVER" "$(flow_winpath "$R")") >"$FLOW_WORK/drag.out" &
DRAGGER=$!
FLOW_PIDS+=("$DRAGGER")
# The drag source is a program of its own: its windows carry its own class.
FLOW_CLASS='flow_drag_files\.exe' flow_wait_window "^Corvel flow drag source\$" 20 >/dev/null ||
    flow_fail "flow 2: no drag source"
TARGET="$(tree space)"
xdotool mousemove 60 60 mousedown 1
sleep 0.5
# shellcheck disable=SC2086
set -- $TARGET
for step in 1 2 3 4 5; do
    xdotool mousemove $((60 + ($1 - 60) * step / 5)) $((60 + ($2 - 60) * step / 5))
    sleep 0.2
done
xdotool mouseup 1
flow_wait_exit "$DRAGGER" 10 || flow_fail "flow 2: the drop was refused ($(cat "$FLOW_WORK/drag.out"))"
flow_until 10 tree_has R || flow_fail "flow 2: R is not in the tree"
flow_until 10 tree_has one.txt || flow_fail "flow 2: R's file one.txt is not in the tree"
printf 'later\r\n' >"$R/outside.txt"
flow_until 5 tree_has outside.txt || flow_fail "flow 2: a file made in R did not show within 5 s"

# 3. On R: Ctrl+N "new.txt", Ctrl+Shift+N "dir": on disk and in the tree.
flow_focus "$WINDOW"
tree_click R || flow_fail "flow 3: R cannot be clicked"
flow_key ctrl+n
flow_wait_window "^Create a new file\$" 10 >/dev/null || flow_fail "flow 3: no Create a new file dialog"
flow_type "new.txt"
flow_key Return
flow_until 5 test -f "$R/new.txt" || flow_fail "flow 3: new.txt is not on disk"
flow_until 5 tree_has new.txt || flow_fail "flow 3: new.txt is not in the tree"
# Under the bare display the tree does not get the focus back when a dialog closes.
tree_click R || flow_fail "flow 3: R cannot be clicked again"
flow_key ctrl+shift+n
flow_wait_window "^Create a new folder\$" 10 >/dev/null || flow_fail "flow 3: no Create a new folder dialog"
flow_type "dir"
flow_key Return
flow_until 5 test -d "$R/dir" || flow_fail "flow 3: dir is not on disk"
flow_until 5 tree_has dir || flow_fail "flow 3: dir is not in the tree"

# The tree with its context menu, as a person sees it.
POINT="$(tree point new.txt)" && {
    # shellcheck disable=SC2086
    xdotool mousemove $POINT click 3
    sleep 1
    flow_shot project-menu
    flow_key Escape
    sleep 0.5
}

# 4. F2 on new.txt: "..\x.txt" is refused, "b.txt" renames it on disk.
tree_click new.txt || flow_fail "flow 4: new.txt cannot be clicked"
flow_key F2
flow_wait_window "^Renaming a file\$" 10 >/dev/null || flow_fail "flow 4: no Renaming a file dialog"
flow_key ctrl+a
flow_type '..\x.txt'
flow_key Return
sleep 1
[ -n "$(flow_windows "^Renaming a file\$")" ] || flow_fail "flow 4: ..\\x.txt closed the dialog"
[ -e "$FLOW_WORK/x.txt" ] && flow_fail "flow 4: ..\\x.txt was made outside R"
flow_key ctrl+a
flow_type "b.txt"
flow_key Return
flow_until 5 test -f "$R/b.txt" || flow_fail "flow 4: b.txt is not on disk"
[ -e "$R/new.txt" ] && flow_fail "flow 4: new.txt is still on disk"
flow_until 5 tree_has b.txt || flow_fail "flow 4: b.txt is not in the tree"

# 5. Del on b.txt asks "Deleting item(s)..."; Escape keeps it; Del, Y deletes it.
tree_click b.txt || flow_fail "flow 5: b.txt cannot be clicked"
flow_key Delete
flow_wait_window "^Deleting item\(s\)\.\.\.\$" 10 >/dev/null || flow_fail "flow 5: no Deleting item(s)... box"
flow_key Escape
flow_wait_gone "^Deleting item\(s\)\.\.\.\$" 5 || flow_fail "flow 5: Escape left the box open"
[ -f "$R/b.txt" ] || flow_fail "flow 5: Escape deleted b.txt"
tree_click b.txt || flow_fail "flow 5: b.txt cannot be clicked again"
flow_key Delete
flow_wait_window "^Deleting item\(s\)\.\.\.\$" 10 >/dev/null || flow_fail "flow 5: no second Deleting item(s)... box"
flow_key y
flow_until 5 test ! -e "$R/b.txt" || flow_fail "flow 5: Y kept b.txt"
flow_until 5 tree_lacks b.txt || flow_fail "flow 5: b.txt stayed in the tree"

# 6. A second start with -p hands the project file over and ends with 0; x's tree shows.
flow_start -p "$(flow_winpath "$FLOW_WORK/x.cvProject")"
SECOND=$FLOW_PID
flow_wait_exit "$SECOND" 15
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 6: the second start ended with $CODE"
flow_until 10 tree_has inside.txt || flow_fail "flow 6: x's tree does not show"
flow_shot project-x
flow_focus "$WINDOW"
flow_key alt+F4
flow_wait_exit "$FIRST" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "flow 6: Alt+F4 ended the program with $CODE"
LIST="$FLOW_USER/config/projects.cvConfig"
if [ -f "$LIST" ]; then
    text_of "$LIST" | grep -qi "demo\.cvProject" || flow_fail "flow 6: projects.cvConfig lacks the Demo project"
    text_of "$LIST" | grep -qi "x\.cvProject" || flow_fail "flow 6: projects.cvConfig lacks x.cvProject"
else
    flow_fail "flow 6: no projects.cvConfig"
fi
DEMO="$(find "$FLOW_USER/projects" -iname 'demo.cvProject' 2>/dev/null | head -1)"
if [ -n "$DEMO" ]; then
    text_of "$DEMO" | grep -F "$(basename "$FLOW_WORK")" | grep -q 'R' || flow_fail "flow 6: Demo.cvProject does not hold R"
else
    flow_fail "flow 6: no Demo.cvProject in the user folder"
fi

[ "$FLOW_FAILED" = 0 ] && echo "project flows passed"
exit "$FLOW_FAILED"
