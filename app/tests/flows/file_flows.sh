#!/usr/bin/env bash
# Drives the real program through its files as a user would, under the virtual display, in a
# fresh user folder: opening from the dialog, saving in the file's own encoding, Save As, the
# question before a modified tab closes, the recent files, find and replace, a file changed
# on disk, and the last session after a restart.
# Usage: file_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_documents_setup "$1"
printf 'alpha\r\n' >"$FLOW_DOCS/a.txt"
# UTF-16LE with its mark and an LF line end: "old\n".
printf '\xff\xfeo\0l\0d\0\n\0' >"$FLOW_DOCS/b.txt"
printf 'foo bar foo' >"$FLOW_DOCS/d.txt"
printf 'one\n' >"$FLOW_DOCS/e.txt"
# "Zold\n" and "Zold!\n" in UTF-16LE with the mark.
B_SAVED="fffe5a006f006c0064000a00"
C_REOPENED="fffe5a006f006c00640021000a00"

# Closes the active tab, which holds no changes. $1 names the flow.
close_clean() {
    local caption
    caption="$(flow_caption "$FLOW_WINDOW")"
    flow_key ctrl+w
    flow_until 5 flow_not_caption "^$(flow_regex "$caption")\$" || flow_fail "$1: Ctrl+W keeps '$caption'"
}

# File > Recent Files, then the submenu's first entry (the last session when there is one,
# else the newest recent file).
open_first_recent() { flow_menu Down Up Up Right Return; }

flow_start_main "start"

# 1. The lone clean untitled tab gives way to the opened file: Ctrl+Tab finds no other tab.
if flow_open_from_dialog a.txt "flow 1"; then
    flow_key ctrl+Tab
    flow_until 2 flow_not_caption "$(flow_caption_of a.txt)" && flow_fail "flow 1: a second tab '$(flow_caption "$FLOW_WINDOW")'"
fi

# 2. A UTF-16 file with LF lines keeps its mark and line ends; Save As writes the same bytes
# under the new name and the caption follows.
if flow_open_from_dialog b.txt "flow 2"; then
    flow_type "Z"
    flow_key ctrl+s
    flow_until 10 flow_hex_is "$FLOW_DOCS/b.txt" "$B_SAVED" || flow_fail "flow 2: b.txt saved as $(flow_hex "$FLOW_DOCS/b.txt")"
    flow_key ctrl+shift+s
    if flow_wait_window '^Save As$' 15 >/dev/null; then
        flow_key Home shift+End
        flow_type "$FLOW_DIR\\c.txt"
        flow_key Return
        flow_wait_gone '^Save As$' 10 || flow_fail "flow 2: the Save As dialog stays"
        flow_until 10 flow_hex_is "$FLOW_DOCS/c.txt" "$B_SAVED" || flow_fail "flow 2: c.txt holds $(flow_hex "$FLOW_DOCS/c.txt")"
        flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of c.txt)" 10 || flow_fail "flow 2: caption '$(flow_caption "$FLOW_WINDOW")' after Save As"
    else
        flow_fail "flow 2: Ctrl+Shift+S shows no Save As dialog"
    fi
fi

# 3. Closing a modified tab asks; Escape keeps tab and edit (a second close asks again); N
# closes without saving. The edit is taken back by hand, so the text stays "Zold" with the
# caret at its end, modified.
if flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of c.txt)" 1; then
    flow_key End
    flow_type "typed"
    flow_key BackSpace BackSpace BackSpace BackSpace BackSpace
    flow_key ctrl+w
    if flow_wait_window '^Closing modified file\.\.\.$' 10 >/dev/null; then
        flow_key Escape
        flow_wait_gone '^Closing modified file' 5 || flow_fail "flow 3: Escape leaves the question open"
        flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of c.txt)" 2 || flow_fail "flow 3: Escape closed the tab"
        flow_key ctrl+w
        if flow_wait_window '^Closing modified file\.\.\.$' 10 >/dev/null; then
            flow_key n
            flow_wait_gone '^Closing modified file' 5 || flow_fail "flow 3: N leaves the question open"
            flow_until 5 flow_not_caption "$(flow_caption_of c.txt)" || flow_fail "flow 3: N kept the tab"
        else
            flow_fail "flow 3: the edit was lost after Escape (no question the second time)"
        fi
    else
        flow_fail "flow 3: Ctrl+W on a modified tab asks nothing"
    fi
    [ "$(flow_hex "$FLOW_DOCS/c.txt")" = "$B_SAVED" ] || flow_fail "flow 3: c.txt changed to $(flow_hex "$FLOW_DOCS/c.txt")"
fi

# 4. File > Recent Files > c.txt (the one file closed so far) opens it with the caret where
# it was: at the end of "Zold".
open_first_recent
if flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of c.txt)" 15; then
    flow_type "!"
    flow_key ctrl+s
    flow_until 10 flow_hex_is "$FLOW_DOCS/c.txt" "$C_REOPENED" || flow_fail "flow 4: c.txt holds $(flow_hex "$FLOW_DOCS/c.txt")"
    close_clean "flow 4"
else
    flow_fail "flow 4: Recent Files did not reopen c.txt (caption '$(flow_caption "$FLOW_WINDOW")')"
fi

# 6. Find shows "Find" and F3 moves to the next match; Ctrl+H shows "Find & Replace", whose
# "Replace all" changes every match.
if flow_open_from_dialog d.txt "flow 6"; then
    flow_key ctrl+f
    if flow_wait_window '^Find$' 10 >/dev/null; then
        flow_key ctrl+a
        flow_type "foo"
        flow_key F3
        flow_shot file_flow6_find
        flow_key Escape
        flow_wait_gone '^Find$' 5 || flow_fail "flow 6: Escape leaves the Find dialog"
    else
        flow_fail "flow 6: Ctrl+F shows no Find dialog"
    fi
    flow_key ctrl+h
    if flow_wait_window '^Find & Replace$' 10 >/dev/null; then
        flow_key ctrl+a
        flow_type "foo"
        flow_key alt+r ctrl+a
        flow_type "baz"
        flow_key alt+a Escape
        flow_wait_gone '^Find & Replace$' 5 || flow_fail "flow 6: Escape leaves the Find & Replace dialog"
        flow_key ctrl+s
        flow_until 10 flow_text_is "$FLOW_DOCS/d.txt" "baz bar baz" || flow_fail "flow 6: d.txt holds '$(flow_text "$FLOW_DOCS/d.txt")'"
    else
        flow_fail "flow 6: Ctrl+H shows no Find & Replace dialog"
    fi
    close_clean "flow 6"
fi

# 7. A file changed on disk shows its bar over the editor (painted, so seen by the window's
# picture changing); "&Ignore" hides it and keeps the text. Changed again while edited,
# "&Reload" asks first and Y reads the file anew, the edit gone.
if flow_open_from_dialog e.txt "flow 7"; then
    QUIET="$FLOW_WORK/flow7-quiet.xwd"
    flow_window_shot "$FLOW_WINDOW" "$QUIET"
    printf 'two\n' >>"$FLOW_DOCS/e.txt"
    if flow_wait_picture "$FLOW_WINDOW" "$QUIET" more 5000 15; then
        flow_shot file_flow7_bar
        flow_key alt+i
        flow_wait_picture "$FLOW_WINDOW" "$QUIET" less 2000 5 || flow_fail "flow 7: Ignore leaves the bar (or changed the text)"
        flow_type "q"
        # Without the bar, Alt+R reloads nothing and asks nothing.
        flow_key alt+r
        flow_wait_window '^Reloading modified file\.\.\.$' 2 >/dev/null && flow_fail "flow 7: the bar stayed after Ignore"
        printf 'three\n' >>"$FLOW_DOCS/e.txt"
        ASKED=""
        for _ in $(seq 1 15); do
            flow_key alt+r
            if flow_wait_window '^Reloading modified file\.\.\.$' 1 >/dev/null; then
                ASKED=1
                break
            fi
        done
        if [ -n "$ASKED" ]; then
            flow_key y
            flow_wait_gone '^Reloading modified file' 5 || flow_fail "flow 7: Y leaves the question open"
            # The file holds the expected text already: wait for the save to replace it.
            BEFORE="$(stat -c %y "$FLOW_DOCS/e.txt")"
            flow_key ctrl+s
            flow_until 10 flow_changed_since "$FLOW_DOCS/e.txt" "$BEFORE" || flow_fail "flow 7: Ctrl+S wrote nothing"
            flow_text_is "$FLOW_DOCS/e.txt" "$(printf 'one\ntwo\nthree')" || flow_fail "flow 7: e.txt holds '$(flow_text "$FLOW_DOCS/e.txt")'"
        else
            flow_fail "flow 7: no bar (or no question from Reload) after the second change"
        fi
    else
        flow_fail "flow 7: no bar after the file changed on disk"
    fi
    close_clean "flow 7"
fi

# 5. a.txt (open since flow 1) and b.txt open at the exit: the next start shows one
# untitled tab, and File > Recent Files > "Open Last Session (2)" opens both, carets at the
# start.
if flow_open_from_dialog b.txt "flow 5"; then
    flow_key alt+F4
    flow_wait_exit "$FLOW_PID" 20
    CODE=$?
    [ "$CODE" = 0 ] || flow_fail "flow 5: Alt+F4 ended the program with $CODE"
    flow_start_main "flow 5"
    flow_wait_caption "$FLOW_WINDOW" "$FLOW_UNTITLED" 10 || flow_fail "flow 5: the restart shows '$(flow_caption "$FLOW_WINDOW")'"
    flow_shot file_flow5_session_button
    open_first_recent
    if flow_until 15 flow_not_caption "$FLOW_UNTITLED"; then
        SEEN="$(flow_caption "$FLOW_WINDOW")"
        for _ in 1 2; do
            SHOWN="$(flow_caption "$FLOW_WINDOW")"
            flow_key ctrl+Tab
            flow_until 3 flow_not_caption "^$(flow_regex "$SHOWN")\$"
            SEEN="$SEEN|$(flow_caption "$FLOW_WINDOW")"
        done
        for name in a.txt b.txt; do
            echo "$SEEN" | tr '|' '\n' | grep -Eiq "$(flow_caption_of "$name")" || flow_fail "flow 5: $name not open after the last session ($SEEN)"
        done
        # The caret at the start of a.txt: "1" goes first.
        for _ in 1 2 3; do
            flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of a.txt)" 1 && break
            flow_key ctrl+Tab
        done
        if flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of a.txt)" 1; then
            flow_type "1"
            flow_key ctrl+s
            flow_until 10 flow_text_is "$FLOW_DOCS/a.txt" "1alpha" || flow_fail "flow 5: a.txt holds '$(flow_text "$FLOW_DOCS/a.txt")'"
        fi
    else
        flow_fail "flow 5: Open Last Session opened nothing"
    fi
fi

flow_key alt+F4
flow_wait_exit "$FLOW_PID" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "Alt+F4 ended the program with $CODE"

[ "$FLOW_FAILED" = 0 ] && echo "file flows passed"
exit "$FLOW_FAILED"
