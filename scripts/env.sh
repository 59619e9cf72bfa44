# Shared by the project's scripts: where the cache, the Wine prefix and the build live.
CORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CORVEL_CACHE="${CORVEL_CACHE:-$HOME/.cache/corvel}"
CORVEL_BUILD="${CORVEL_BUILD:-$CORVEL_ROOT/build}"
export WINEPREFIX="${CORVEL_WINEPREFIX:-$CORVEL_CACHE/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

corvel_configure_and_build() {
    if [ ! -f "$CORVEL_BUILD/build.ninja" ]; then
        cmake -S "$CORVEL_ROOT" -B "$CORVEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$CORVEL_ROOT/cmake/toolchain-mingw32.cmake" \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$CORVEL_ROOT/scripts/wine-run.sh" \
            -DCORVEL_DEPS="$CORVEL_CACHE/deps-i686" >/dev/null
    fi
    cmake --build "$CORVEL_BUILD" -j "$(nproc)"
}

# Starts a virtual display when there is none; sets CORVEL_XVFB_PID when it did.
corvel_ensure_display() {
    CORVEL_XVFB_PID=""
    if [ -n "${DISPLAY:-}" ]; then return; fi
    local n
    for n in $(seq 90 120); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then break; fi
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    CORVEL_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && return
        sleep 0.1
    done
    echo "Xvfb did not start on :$n" >&2
    return 1
}
