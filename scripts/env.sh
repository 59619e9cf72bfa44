# Shared by the project's scripts: where the cache, the Wine prefix and the build live.
CORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CORVEL_CACHE="${CORVEL_CACHE:-$HOME/.cache/corvel}"
CORVEL_BUILD="${CORVEL_BUILD:-$CORVEL_ROOT/build}"
# The target Windows: i686, or x86_64 on a machine that runs 64-bit code only (some virtual
# machines refuse every 32-bit program, Wine's own included). setup.sh finds out and records it.
CORVEL_ARCH="$(cat "$CORVEL_CACHE/arch" 2>/dev/null || echo i686)"
CORVEL_DEPS_DIR="$CORVEL_CACHE/deps-$CORVEL_ARCH"
if [ "$CORVEL_ARCH" = x86_64 ]; then
    export WINEPREFIX="${CORVEL_WINEPREFIX:-$CORVEL_CACHE/wineprefix-x86_64}"
    CORVEL_TOOLCHAIN="$CORVEL_ROOT/cmake/toolchain-mingw64.cmake"
    # 64-bit Wine under the usual command names, whatever 32-bit Wine is installed beside it.
    export PATH="$CORVEL_ROOT/scripts/wine64:$PATH"
    export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
else
    export WINEPREFIX="${CORVEL_WINEPREFIX:-$CORVEL_CACHE/wineprefix}"
    CORVEL_TOOLCHAIN="$CORVEL_ROOT/cmake/toolchain-mingw32.cmake"
fi
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

corvel_configure_and_build() {
    # A build made for the other target is configured anew.
    if [ -f "$CORVEL_BUILD/CMakeCache.txt" ] &&
        ! grep -q "^CMAKE_TOOLCHAIN_FILE:[A-Z]*=$CORVEL_TOOLCHAIN\$" "$CORVEL_BUILD/CMakeCache.txt"; then
        rm -rf "$CORVEL_BUILD"
    fi
    if [ ! -f "$CORVEL_BUILD/build.ninja" ]; then
        cmake -S "$CORVEL_ROOT" -B "$CORVEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$CORVEL_TOOLCHAIN" \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$CORVEL_ROOT/scripts/wine-run.sh" \
            -DCORVEL_DEPS="$CORVEL_DEPS_DIR" >/dev/null
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
