#!/usr/bin/env bash
# ctest's emulator: runs one Windows program of ours under the project's Wine prefix.
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
exec wine "$@"
