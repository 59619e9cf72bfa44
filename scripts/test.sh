#!/usr/bin/env bash
# Sets up, builds and runs every test program, ending with ctest's summary.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

corvel_setup
corvel_configure_and_build

corvel_ensure_display
# One Wine server for the whole run: each program start then costs far less.
wineserver -p 120
# Wine's own service processes start with the first program and inherit its output;
# started here, they cannot hold ctest's pipes open after a test program has ended.
wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "${CORVEL_XVFB_PID:-}" ]; then kill "$CORVEL_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

cd "$CORVEL_BUILD"
# A program that hangs on the shared virtual display is stopped and run once more, but never
# silently: the run ends by naming every program that needed its second try.
rc=0
ctest --output-on-failure -j "$(nproc)" --repeat until-pass:2 "$@" || rc=$?
repeated="$(sed -n 's/^[0-9]*\/[0-9]* Test: //p' Testing/Temporary/LastTest.log 2>/dev/null | sort | uniq -d)"
if [ -n "$repeated" ]; then
    echo "Needed a second try: $(echo $repeated)"
else
    echo "No test program needed a second try."
fi
exit $rc
