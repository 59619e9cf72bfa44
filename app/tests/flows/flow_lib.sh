# Shared by the user-flow scripts (source it): a program folder with a fresh user folder,
# starting and ending corvel.exe, finding its windows and typing into them under the
# virtual display. Needs DISPLAY, Wine and xdotool.
#
# On a display without a window manager the X keyboard focus follows the pointer, and Wine
# never takes it itself: keys typed with XTEST go to whatever lies under the pointer, or
# nowhere. flow_focus gives the main window the X focus; from then on keys reach the
# window the program made active, its dialogs and boxes included. Focus the main window
# only: when a focused window is destroyed, the focus falls back to the root.

FLOW_FAILED=0
FLOW_PIDS=()
FLOW_TITLE="Corvel 0.9.4 RC unstable"
FLOW_CLASS="${FLOW_CLASS:-corvel\.exe}"

flow_fail() { echo "FAILED: $*"; FLOW_FAILED=1; }

# Ends every program the script started that still runs, and removes the work folder.
flow_cleanup() {
    local pid
    for pid in "${FLOW_PIDS[@]}"; do
        { kill -9 "$pid" && wait "$pid"; } 2>/dev/null
    done
    [ -n "${FLOW_WORK:-}" ] && rm -rf "$FLOW_WORK"
}

# For flow_until: whether file $1 was written since its time stamp was $2.
flow_changed_since() { [ "$(stat -c %y "$1" 2>/dev/null)" != "$2" ]; }

# For flow_until: whether file $1 holds the bytes $2 (hex) or the text $2.
flow_hex_is() { [ "$(flow_hex "$1")" = "$2" ]; }
flow_text_is() { [ "$(flow_text "$1")" = "$2" ]; }

# flow_setup <corvel.exe>: the program in a folder of its own with an empty user folder
# beside it (FLOW_USER) and a folder for documents (FLOW_DOCS, the current folder of every
# start). Screenshots go to FLOW_SHOTS, beside the program, so they outlive the run.
flow_setup() {
    FLOW_PROGRAM="$1"
    FLOW_WORK="$(mktemp -d)"
    trap flow_cleanup EXIT
    FLOW_USER="$FLOW_WORK/user"
    FLOW_DOCS="$FLOW_WORK/docs"
    FLOW_SHOTS="${FLOW_SHOTS:-$(dirname "$FLOW_PROGRAM")/flow-shots}"
    mkdir -p "$FLOW_WORK/program/config" "$FLOW_USER" "$FLOW_DOCS" "$FLOW_SHOTS"
    ln "$FLOW_PROGRAM" "$FLOW_WORK/program/corvel.exe" 2>/dev/null || cp "$FLOW_PROGRAM" "$FLOW_WORK/program/corvel.exe"
    # The shipped bundles sit beside the program. The link is absolute: one relative to the
    # folder a script was started in points nowhere from the work folder, and the program
    # would start without a bundle (no grammar, no snippet) and say nothing.
    local shipped
    shipped="$(cd "$(dirname "$FLOW_PROGRAM")" && pwd)/bundles"
    [ -d "$shipped" ] && ln -s "$shipped" "$FLOW_WORK/program/bundles"
    local user
    user="$(flow_winpath "$FLOW_USER" | tr '\\' '/')"
    printf "{ version : '0 9 4 0' app.startup : { user_dir : '%s' } }" "$user" >"$FLOW_WORK/program/config/startup.cvConfig"
}

# The Windows form of a path on this machine ("Z:\tmp\...").
flow_winpath() { winepath -w "$1" 2>/dev/null; }

# A UTF-16 file as UTF-8 text without CRs (the program's settings and log).
flow_utf16() { iconv -f utf-16 -t utf-8 "$1" 2>/dev/null | tr -d '\r'; }

# A file's text without a UTF-8 mark and CRs.
flow_text() { sed '1s/^\xef\xbb\xbf//' "$1" 2>/dev/null | tr -d '\r'; }

# A file's bytes as hex, for comparing with what a flow expects.
flow_hex() { od -An -v -tx1 "$1" 2>/dev/null | tr -d ' \n'; }

# flow_start [arguments...]: starts corvel.exe in FLOW_DOCS; its process id in FLOW_PID.
flow_start() {
    (cd "$FLOW_DOCS" && exec wine "$FLOW_WORK/program/corvel.exe" "$@") &
    FLOW_PID=$!
    FLOW_PIDS+=("$FLOW_PID")
}

# flow_until <seconds> <command...>: runs the command every quarter second until it
# succeeds or the time is up.
flow_until() {
    local seconds="$1" i
    shift
    for i in $(seq 1 $((seconds * 4))); do
        "$@" && return 0
        sleep 0.25
    done
    "$@"
}

# The program's windows shown now whose caption matches the extended regular expression $1.
flow_windows() {
    local id
    for id in $(xdotool search --onlyvisible --classname "^$FLOW_CLASS$" 2>/dev/null); do
        xdotool getwindowname "$id" 2>/dev/null | grep -Eq -- "$1" && echo "$id"
    done
}

# For flow_until: whether such windows are shown, or none.
flow_has_window() { [ -n "$(flow_windows "$1")" ]; }
flow_no_window() { [ -z "$(flow_windows "$1")" ]; }

# flow_wait_window <caption regex> <seconds>: prints the first such window's id.
flow_wait_window() { flow_until "$2" flow_has_window "$1" && flow_windows "$1" | head -1; }

# flow_wait_gone <caption regex> <seconds>: true once no shown window has such a caption.
flow_wait_gone() { flow_until "$2" flow_no_window "$1"; }

# flow_wait_exit <pid> <seconds>: the process's exit code, or 255 when it still runs.
flow_wait_exit() {
    flow_until "$2" flow_ended "$1" || return 255
    wait "$1"
}
flow_ended() { ! kill -0 "$1" 2>/dev/null; }

# The caption of window $1.
flow_caption() { xdotool getwindowname "$1" 2>/dev/null; }

# flow_wait_caption <window> <caption regex> <seconds>: true once the caption matches, in
# any case (paths keep the case they were typed in).
flow_wait_caption() { flow_until "$3" flow_caption_matches "$1" "$2"; }
flow_caption_matches() { flow_caption "$1" | grep -Eiq -- "$2"; }

# Gives window $1 (the main window) the keyboard focus.
flow_focus() { timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null; }

# Types text into whatever has the focus; flow_key presses keys ("ctrl+s", "Return", ...).
flow_type() { xdotool type --delay 40 -- "$1"; }
flow_key() { xdotool key --delay 80 -- "$@"; }

# flow_menu <keys...>: enters the main window's menu bar with Alt alone, its first menu
# chosen, then presses the keys: Left/Right between menus (Left from the first goes to the
# window's system menu, Left again to the last menu), Down opens one and walks it
# (Up from the first entry wraps to the last), Right opens a submenu, Return runs the entry.
# The program draws its menus itself, so their underlined letters choose nothing.
flow_menu() { flow_key alt "$@"; }

# A screenshot of the whole display: FLOW_SHOTS/<name>.xwd.
flow_shot() { xwd -root -silent -display "$DISPLAY" -out "$FLOW_SHOTS/$1.xwd" 2>/dev/null; }

# flow_window_shot <window> <file>: the window's picture as it is on the display.
flow_window_shot() { xwd -id "$1" -silent -display "$DISPLAY" -out "$2" 2>/dev/null; }

# How many bytes of two pictures of the same window differ (a blinking caret: a few dozen;
# a strip across the window: tens of thousands).
flow_shot_difference() { cmp -l "$1" "$2" 2>/dev/null | wc -l; }

# flow_wait_picture <window> <reference> more|less <bytes> <seconds>: waits until the window's
# picture differs from the reference by more (or less) than the bytes; for what the program
# paints without a window of its own.
flow_wait_picture() { flow_until "$5" flow_picture_differs "$1" "$2" "$3" "$4"; }
flow_picture_differs() {
    local now="$FLOW_WORK/picture-now.xwd" difference
    flow_window_shot "$1" "$now"
    difference="$(flow_shot_difference "$2" "$now")"
    if [ "$3" = more ]; then [ "$difference" -gt "$4" ]; else [ "$difference" -lt "$4" ]; fi
}

# Escapes a text for use inside an extended regular expression.
flow_regex() { printf '%s' "$1" | sed 's/[][\.*^$?+(){}|/]/\\&/g'; }

# --- Flows on documents ---------------------------------------------------------------------
# What the flows that open, edit and close documents share: their folder in Windows form
# (FLOW_DIR), the captions of the main window, its start and the open dialog.

# flow_documents_setup <corvel.exe>: flow_setup, then FLOW_DIR and FLOW_UNTITLED.
flow_documents_setup() {
    flow_setup "$1"
    # The start-up update check meets a closed port at once instead of looking for a host.
    export CORVEL_UPDATE_SERVER="127.0.0.1:9"
    FLOW_DIR="$(flow_winpath "$FLOW_DOCS")"
    [ -n "$FLOW_DIR" ] || { echo "FAILED: winepath gave nothing for $FLOW_DOCS"; exit 1; }
    FLOW_UNTITLED="^$(flow_regex "Untitled - $FLOW_TITLE")\$"
}

# flow_caption_of <name> [<subfolder>\]: the main window's caption while the document
# FLOW_DOCS[\subfolder]\name is shown: "<name> - <folder>\ - Corvel ...".
flow_caption_of() { echo "^$(flow_regex "$1 - $FLOW_DIR\\${2:-} - $FLOW_TITLE")\$"; }

# Whether the main window's caption no longer matches $1.
flow_not_caption() { ! flow_caption "$FLOW_WINDOW" | grep -Eiq -- "$1"; }

# flow_start_main <flow name> [arguments...]: starts the program and gives its main window
# (FLOW_WINDOW) the keyboard focus; a program without a main window ends the script.
flow_start_main() {
    local name="$1"
    shift
    flow_start "$@"
    FLOW_WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 60)" || { flow_fail "$name: no main window"; exit 1; }
    flow_focus "$FLOW_WINDOW" || flow_fail "$name: the main window takes no keyboard focus"
}

# flow_open_from_dialog <path> <flow name>: opens FLOW_DIR\path (which may name a subfolder,
# "sub\file.txt") from the open dialog; true once the caption names it.
flow_open_from_dialog() {
    # With the last tab closed nothing in the window holds the keyboard focus.
    flow_focus "$FLOW_WINDOW"
    flow_key ctrl+o
    if ! flow_wait_window '^Open$' 15 >/dev/null; then
        flow_fail "$2: Ctrl+O shows no Open dialog"
        return 1
    fi
    # The field may hold the current document's name: replace it.
    flow_key Home shift+End
    flow_type "$FLOW_DIR\\$1"
    flow_key Return
    flow_wait_gone '^Open$' 10 || flow_fail "$2: the Open dialog stays"
    local folder="${1%\\*}\\"
    [ "$folder" = "$1\\" ] && folder=""
    flow_wait_caption "$FLOW_WINDOW" "$(flow_caption_of "${1##*\\}" "$folder")" 15 && return 0
    flow_fail "$2: caption '$(flow_caption "$FLOW_WINDOW")' after opening $1"
    return 1
}
