#!/usr/bin/env bash
# Drives Help > Check for Updates... of the real program against a loopback update server,
# under the virtual display: an update found, no update, a server that is not there, and a
# server that never answers, which must not hold up the exit.
# Usage: update_flows.sh <corvel.exe> <flow_update_server.exe>. Needs DISPLAY, Wine, xdotool.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/flow_lib.sh"
flow_setup "$1"
SERVER_PROGRAM="$2"
# The check must reach the loopback server itself.
unset http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

UPDATE='{"url_download": "http://127.0.0.1/get", "url_notes": "http://127.0.0.1/notes", "version": "9.9.9", "build": "20990101-1", "branch": "stable"}'

# start_server answer|silent [reply]: the loopback server; its port in SERVER_PORT.
start_server() {
    local out="$FLOW_WORK/server-$1.out"
    : >"$out"
    FLOW_UPDATE_REPLY="${2:-}" wine "$SERVER_PROGRAM" "$1" >"$out" 2>/dev/null &
    SERVER_PID=$!
    FLOW_PIDS+=("$SERVER_PID")
    SERVER_OUT="$out"
    flow_until 30 grep -Eq '^[0-9]+' "$out" || return 1
    SERVER_PORT="$(grep -Eo '^[0-9]+' "$out" | head -1)"
}

stop_server() { { kill -9 "$SERVER_PID" && wait "$SERVER_PID"; } 2>/dev/null; }

# The main window of a program started against server $1; empty when none came.
start_program() {
    CORVEL_UPDATE_SERVER="$1" flow_start
    WINDOW="$(flow_wait_window "$(flow_regex "$FLOW_TITLE")\$" 60)" || WINDOW=""
    [ -n "$WINDOW" ] && flow_focus "$WINDOW"
}

# Help > Check for Updates...; waits for the window's page titled $1.
check_for_updates() {
    flow_menu Left Left Down Down Return
    flow_wait_window "^$(flow_regex "$1")\$" 30 >/dev/null
}

# Closes the update window (titled $1) and then the program; $2 names the case.
close_all() {
    flow_key Escape
    if ! flow_wait_gone "^$(flow_regex "$1")\$" 5; then
        flow_key alt+c
        flow_wait_gone "^$(flow_regex "$1")\$" 5 || flow_fail "$2: the update window does not close"
    fi
    flow_key alt+F4
    flow_wait_exit "$FLOW_PID" 20
    local code=$?
    [ "$code" = 0 ] || flow_fail "$2: Alt+F4 ended the program with $code"
}

log_has() { flow_utf16 "$FLOW_USER/debug.log" | grep -q -- "$1"; }

# 1. An update on the server: the window says so (the status strip's notice is in the shot).
if start_server answer "$UPDATE"; then
    start_program "127.0.0.1:$SERVER_PORT"
    if [ -n "$WINDOW" ]; then
        if check_for_updates "Update has been found!"; then
            flow_shot update_flow_found
        else
            flow_fail "update: no 'Update has been found!' window"
        fi
        close_all "Update has been found!" "update"
        log_has "UpdateChecker:" && flow_fail "update: an error was logged"
    else
        flow_fail "update: no main window"
    fi
    stop_server
else
    flow_fail "update: the loopback server did not start"
fi

# 2. "{}": up to date.
if start_server answer '{}'; then
    start_program "127.0.0.1:$SERVER_PORT"
    if [ -n "$WINDOW" ]; then
        check_for_updates "Corvel is up to date!" || flow_fail "up to date: no 'Corvel is up to date!' window"
        close_all "Corvel is up to date!" "up to date"
    else
        flow_fail "up to date: no main window"
    fi
    stop_server
else
    flow_fail "up to date: the loopback server did not start"
fi

# 3. Nobody at the port (a server's port, the server gone): the error page and a log line.
if start_server answer '{}'; then
    DEAD="$SERVER_PORT"
    stop_server
    rm -f "$FLOW_USER/debug.log"
    start_program "127.0.0.1:$DEAD"
    if [ -n "$WINDOW" ]; then
        check_for_updates "Error!" || flow_fail "dead port: no 'Error!' window"
        flow_until 10 log_has "UpdateChecker: " || flow_fail "dead port: no 'UpdateChecker: ' line in debug.log"
        close_all "Error!" "dead port"
    else
        flow_fail "dead port: no main window"
    fi
else
    flow_fail "dead port: the loopback server did not start"
fi

# 4. A server that takes the start-up check and never answers: Alt+F4 still ends the
# program at once (the check's own time-out is 20 s).
if start_server silent; then
    start_program "127.0.0.1:$SERVER_PORT"
    if [ -n "$WINDOW" ]; then
        flow_until 30 grep -q '^requested' "$SERVER_OUT" || flow_fail "silent: the start-up check never came"
        flow_key alt+F4
        flow_wait_exit "$FLOW_PID" 8
        CODE=$?
        [ "$CODE" = 0 ] || flow_fail "silent: the exit waited for the server or failed ($CODE)"
    else
        flow_fail "silent: no main window"
    fi
    stop_server
else
    flow_fail "silent: the loopback server did not start"
fi

[ "$FLOW_FAILED" = 0 ] && echo "update flows passed"
exit "$FLOW_FAILED"
