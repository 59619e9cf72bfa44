#!/usr/bin/env bash
# Drives snippets in the real program as a user would, under the virtual display, in a fresh
# user folder: a shipped C snippet expanded from its tab word, its fields filled in and
# walked with Tab, saved and undone; a snippet made in the bundle editor and saved, then
# expanded on a line between others; Tab after a word that is no tab word; Ctrl+Space with
# two snippets that fit, where the chooser offers both; a snippet run from the Bundles menu;
# and a user snippet changed on disk and reloaded. Every saved file is compared byte for byte.
# Usage: snippet_flows.sh <corvel.exe>. Needs DISPLAY, Wine and xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_documents_setup "$1"

# A user snippet in the shipped C bundle, where the bundle editor saves one made there.
EDITOR_TITLE="^Bundle editor\$"
C_BUNDLE="$FLOW_USER/bundles/c.30b76297-c119-4a3a-ba7a-042bffbbe4a5.cvBundle"
mkdir -p "$C_BUNDLE/snippets"
USER_SNIPPET="$C_BUNDLE/snippets/loop.0c4f7a3e-5d21-4b8e-9a6f-2e3d4c5b6a71.cvSnippet"
cat >"$USER_SNIPPET" <<'EOF'
{
	title: "Loop"
	content: "for (${1:i} = 0; $1 < ${2:n}; $1++) { $0 }"
	scope: "source.c"
	shortcut: ""
	tab_trigger: "forw"
}
EOF
# A bundle of the user's own with two snippets for plain text.
PAIRS="$FLOW_USER/bundles/pairs.7e1d2c3b-4a59-4f68-8b7c-9d0e1f2a3b4c.cvBundle"
mkdir -p "$PAIRS/snippets"
printf '{ title: "Pairs" }' >"$PAIRS/info.7e1d2c3b-4a59-4f68-8b7c-9d0e1f2a3b4c.cvInfo"
cat >"$PAIRS/snippets/beta.5b6c7d8e-9f01-4a2b-8c3d-4e5f6a7b8c9d.cvSnippet" <<'EOF'
{ title: "Beta pair", content: "beta[$1]$0", scope: "text.plain", tab_trigger: "bp", shortcut: "Ctrl+Shift+F7" }
EOF
cat >"$PAIRS/snippets/alpha.1a2b3c4d-5e6f-4a7b-9c8d-0e1f2a3b4c5d.cvSnippet" <<'EOF'
{ title: "Alpha pair", content: "alpha($1)$0", scope: "text.plain", tab_trigger: "ap" }
EOF

# A C function whose body line holds one tab, and a file for the user snippet: line 2
# empty, line 3 a comment.
printf 'void f(void)\n{\n\t\n}\n' >"$FLOW_DOCS/one.c"
printf 'int x;\n\n/* A comment */\n' >"$FLOW_DOCS/two.c"
printf 'int x;\nxfor\n' >"$FLOW_DOCS/three.c"
printf 'start\n' >"$FLOW_DOCS/four.txt"
printf 'int y;\n' >"$FLOW_DOCS/five.c"


# Ctrl+S, then waits until file $1 holds $2 (the text with \n line ends); $3 names the flow.
save_and_expect() {
    local stamp
    stamp="$(stat -c %y "$1")"
    flow_key ctrl+s
    flow_until 10 flow_changed_since "$1" "$stamp" || { flow_fail "$3: Ctrl+S did not write $(basename "$1")"; return 1; }
    flow_until 5 flow_hex_is "$1" "$(printf '%b' "$2" | od -An -v -tx1 | tr -d ' \n')" && return 0
    flow_fail "$3: $(basename "$1") holds '$(od -An -c "$1" | tr -s ' ')' instead of '$2'"
    return 1
}

# The windows of the program that carry no caption: menus and choosers.
popups() {
    local id
    for id in $(xdotool search --onlyvisible --classname "^$FLOW_CLASS$" 2>/dev/null); do
        [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] && echo "$id"
    done
}
has_popup() { [ -n "$(popups)" ]; }
no_popup() { [ -z "$(popups)" ]; }

flow_start_main "start" one.c
flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of one.c)" 15 || flow_fail "start: caption '$(flow_caption "$FLOW_WINDOW")'"

# The bundles load after the window shows: the snippets are there once Ctrl+Space in the C
# document offers them. Escape closes the chooser and changes nothing.
snippets_offered() {
    flow_key ctrl+space
    flow_until 2 has_popup || return 1
    flow_key Escape
    flow_until 5 no_popup
}
OFFERED=0
for attempt in $(seq 1 15); do
    snippets_offered && { OFFERED=1; break; }
done
[ "$OFFERED" = 1 ] || flow_fail "start: Ctrl+Space in a C document never offered a snippet"

# 1. A shipped C snippet: "for" and Tab at the end of the tab-indented line expand the for
# loop with the line's indentation on every line and its first field selected; "k" rewrites
# the field and its two mirrors, Tab selects the second field, "len" replaces it, Shift+Tab
# goes back to the first, "j" replaces it, Tab and Tab leave the snippet at its end, where a
# further Tab is a plain Tab again. Ctrl+S writes exactly that.
# The file with the loop's fields and the body line's text after its indentation, in the
# escapes save_and_expect takes.
loop_text() { echo "void f(void)\\n{\\n\\tfor ($1 = 0; $1 < $2; $1++) {\\n\\t\\t${3:-}\\n\\t}\\n}\\n"; }
flow_key ctrl+Home Down Down End
flow_type "for"
flow_key Tab
flow_type "k"
flow_shot snippet_flow1_mirrors
# Saved in the middle of the snippet: the mirrors follow the field at once.
save_and_expect "$FLOW_DOCS/one.c" "$(loop_text k count)" "flow 1 (mirrors)"
flow_key Tab
flow_type "len"
flow_key shift+Tab
flow_type "j"
flow_key Tab Tab Tab
flow_shot snippet_flow1_done
save_and_expect "$FLOW_DOCS/one.c" "$(loop_text j len '\t')" "flow 1"
# The plain Tab, each field's edit and the insertion are undone one step each, the last
# back to the line with its tab word; redo brings everything back.
STEPS=("$(loop_text j len)" "$(loop_text k len)" "$(loop_text k count)" "$(loop_text i count)"
       'void f(void)\n{\n\tfor\n}\n')
for step in 0 1 2 3 4; do
    flow_key ctrl+z
    save_and_expect "$FLOW_DOCS/one.c" "${STEPS[$step]}" "flow 1 (undo $((step + 1)))"
done
flow_key ctrl+y ctrl+y ctrl+y ctrl+y ctrl+y
save_and_expect "$FLOW_DOCS/one.c" "$(loop_text j len '\t')" "flow 1 (redo)"

# 2. A snippet made in the bundle editor: F4; Ctrl+N; the title "For loop", the kind snippet
# and the first bundle (C) in the new-entry dialog; in the form (its fields clicked, at their
# place in the editor's first size) the content, the scope source.c and the tab word forx;
# Ctrl+S writes it; F4 hides the editor. Then "forx" and Tab on the empty line 2 put the
# snippet there; the line break and the comment below keep every character.
made_snippet() { ls "$C_BUNDLE"/snippets/for_loop.*.cvSnippet 2>/dev/null | head -1; }
made_saved() { local f; f="$(made_snippet)"; [ -n "$f" ] && flow_utf16 "$f" | grep -q 'tab_trigger: "forx"'; }
if flow_open_from_dialog two.c "flow 2"; then
    flow_key F4
    EDITOR="$(flow_wait_window "$EDITOR_TITLE" 10)" || flow_fail "flow 2: F4 showed no bundle editor"
    if [ -n "${EDITOR:-}" ]; then
        flow_focus "$EDITOR"
        sleep 1
        flow_key ctrl+n
        if flow_wait_window "^New item\$" 10 >/dev/null; then
            flow_type "For loop"
            # No kind is chosen at first: Down twice takes the bundle kind, then snippets.
            flow_key alt+s
            sleep 0.5
            flow_key Down Down
            sleep 0.5
            flow_key alt+b
            sleep 0.5
            flow_key Down
            flow_wait_window "^New snippet\$" 5 >/dev/null || flow_fail "flow 2: the dialog's kind is not snippet"
            flow_key Return
            flow_wait_gone "^New snippet\$" 10 || flow_fail "flow 2: the new-entry dialog stays"
            sleep 1
            xdotool mousemove --window "$EDITOR" 590 200 click 1
            sleep 0.5
            flow_type 'for (${1:i} = 0; $1 < ${2:n}; $1++) { $0 }'
            xdotool mousemove --window "$EDITOR" 575 332 click 1
            sleep 0.5
            flow_type "source.c"
            xdotool mousemove --window "$EDITOR" 575 380 click 1
            sleep 0.5
            flow_type "forx"
            flow_window_shot "$EDITOR" "$FLOW_SHOTS/snippet_flow2_form.xwd"
            flow_key ctrl+s
            flow_until 10 made_saved || flow_fail "flow 2: Ctrl+S wrote no snippet with the tab word forx"
        else
            flow_fail "flow 2: Ctrl+N in the bundle editor showed no new-entry dialog"
        fi
        flow_key F4
        flow_wait_gone "$EDITOR_TITLE" 10 || flow_fail "flow 2: F4 did not hide the bundle editor"
    fi
    # Without a window manager the keyboard focus leaves with a hidden window.
    flow_focus "$FLOW_WINDOW"
    flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of two.c)" 5 || flow_fail "flow 2: caption '$(flow_caption "$FLOW_WINDOW")'"
    flow_key ctrl+Home Down
    flow_type "forx"
    flow_key Tab
    flow_shot snippet_flow2
    save_and_expect "$FLOW_DOCS/two.c" 'int x;\nfor (i = 0; i < n; i++) {  }\n/* A comment */\n' "flow 2"
fi

# 3. Tab after a word that is no tab word ("for" ends it, but inside the word "xfor") gains
# one indentation and changes nothing else.
if flow_open_from_dialog three.c "flow 3"; then
    flow_key ctrl+End Up End
    flow_key Tab
    save_and_expect "$FLOW_DOCS/three.c" 'int x;\nxfor\t\n' "flow 3"
fi

# 4. Ctrl+Space in plain text: the chooser offers the two snippets that fit, by title, and
# no other (Down past the second stays on it); Enter takes the first.
if flow_open_from_dialog four.txt "flow 4"; then
    flow_key ctrl+End
    flow_key ctrl+space
    if flow_until 10 has_popup; then
        sleep 1
        flow_window_shot "$(popups | head -1)" "$FLOW_SHOTS/snippet_flow4_chooser.xwd"
        flow_key Return
        flow_until 5 no_popup || flow_fail "flow 4: Enter left the chooser open"
        save_and_expect "$FLOW_DOCS/four.txt" 'start\nalpha()' "flow 4"
        # Out of the first snippet's field, to the end of the line.
        flow_key Escape End
        flow_key ctrl+space
        if flow_until 10 has_popup; then
            flow_key Down Down Down Return
            flow_until 5 no_popup || flow_fail "flow 4: Enter left the second chooser open"
            save_and_expect "$FLOW_DOCS/four.txt" 'start\nalpha()beta[]' "flow 4 (second row)"
        else
            flow_fail "flow 4: the second Ctrl+Space showed no chooser"
        fi
    else
        flow_fail "flow 4: Ctrl+Space showed no chooser"
    fi
fi

# 5. The Bundles menu lists each bundle's snippets under the bundle's title (bundles by
# title: C, C++, Jasmine, JSON, Markdown, Pairs, ...; their snippets by title) and runs the
# one chosen in the active document; the shortcut of one runs it.
if flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of four.txt)" 1; then
    flow_key Escape End
    flow_menu Left Left Left Down Down Down Down Down Down Down Down Right
    if flow_until 5 has_popup; then
        sleep 1
        for popup in $(popups); do
            flow_window_shot "$popup" "$FLOW_SHOTS/snippet_flow5_menu_$popup.xwd"
        done
        flow_key Down Return
        flow_until 5 no_popup || flow_fail "flow 5: the menu stays open"
        save_and_expect "$FLOW_DOCS/four.txt" 'start\nalpha()beta[]beta[]' "flow 5"
        # A snippet's shortcut runs it too.
        flow_key Escape End ctrl+shift+F7
        save_and_expect "$FLOW_DOCS/four.txt" 'start\nalpha()beta[]beta[]beta[]' "flow 5 (shortcut)"
    else
        flow_fail "flow 5: the Bundles menu did not open"
    fi
fi

# 6. A user snippet changed on disk (its tab word forw becomes fory, its body a block) and
# the bundles reloaded (Bundles > Reload Bundles): the new tab word expands in a document
# opened before, and the old one is a plain Tab.
if flow_open_from_dialog five.c "flow 6"; then
    sed -i 's/"forw"/"fory"/; s/{ \$0 }/{\\n\\t$0\\n}/' "$USER_SNIPPET"
    flow_menu Left Left Left Down Down Return
    sleep 1
    OFFERED=0
    for attempt in $(seq 1 15); do
        snippets_offered && { OFFERED=1; break; }
    done
    [ "$OFFERED" = 1 ] || flow_fail "flow 6: Ctrl+Space offered no snippet after the reload"
    flow_key ctrl+End
    flow_type "forw"
    flow_key Tab Return
    flow_type "fory"
    flow_key Tab
    flow_shot snippet_flow6
    save_and_expect "$FLOW_DOCS/five.c" 'int y;\nforw\t\nfor (i = 0; i < n; i++) {\n\t\n}' "flow 6"
fi

xdotool key --window "$FLOW_WINDOW" alt+F4 2>/dev/null
flow_wait_exit "$FLOW_PID" 20
CODE=$?
[ "$CODE" = 0 ] || flow_fail "the program ended with $CODE"

[ "$FLOW_FAILED" = 0 ] && echo "snippet flows passed"
exit "$FLOW_FAILED"
