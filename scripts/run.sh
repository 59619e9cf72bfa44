#!/usr/bin/env bash
# Sets up, builds and starts Corvel with the given files. Without a display it runs
# under a virtual one and saves a screenshot.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

corvel_setup
corvel_configure_and_build >/dev/null

if [ -n "${DISPLAY:-}" ]; then
    exec wine "$CORVEL_BUILD/app/corvel.exe" "$@"
fi

corvel_ensure_display
trap 'kill "$CORVEL_XVFB_PID" 2>/dev/null || true' EXIT
wine "$CORVEL_BUILD/app/corvel.exe" "$@" &
APP=$!
# The picture is taken once the main window shows (a first start on a busy machine takes a
# while), and a moment later, when it has painted.
for _ in $(seq 1 480); do
    kill -0 "$APP" 2>/dev/null || break
    if xdotool search --onlyvisible --classname '^corvel\.exe$' >/dev/null 2>&1; then
        sleep 2
        break
    fi
    sleep 0.25
done
SHOT="$CORVEL_BUILD/screenshot.xwd"
xwd -root -silent -display "$DISPLAY" > "$SHOT" 2>/dev/null || true
if command -v convert >/dev/null && [ -s "$SHOT" ]; then
    convert "$SHOT" "$CORVEL_BUILD/screenshot.png" 2>/dev/null && SHOT="$CORVEL_BUILD/screenshot.png"
fi
echo "No display: Corvel ran under Xvfb; screenshot saved to $SHOT"
if kill -0 "$APP" 2>/dev/null; then
    kill "$APP" 2>/dev/null || true
    exit 0
fi
wait "$APP"
