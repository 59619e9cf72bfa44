# Shared by the project's scripts: where the cache, the Wine prefix and the build live.
CORVEL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CORVEL_CACHE="${CORVEL_CACHE:-$HOME/.cache/corvel}"
CORVEL_BUILD="${CORVEL_BUILD:-$CORVEL_ROOT/build}"
# The target Windows: i686, or x86_64 on a machine that runs 64-bit code only (some virtual
# machines refuse every 32-bit program, Wine's own included). setup.sh finds out and records it;
# until it has, nothing here may be taken as the machine's answer, so the choice is a function
# that corvel_setup runs again once the record exists.
corvel_select_target() {
    CORVEL_ARCH="$(cat "$CORVEL_CACHE/arch" 2>/dev/null || echo i686)"
    CORVEL_DEPS_DIR="$CORVEL_CACHE/deps-$CORVEL_ARCH"
    if [ "$CORVEL_ARCH" = x86_64 ]; then
        export WINEPREFIX="${CORVEL_WINEPREFIX:-$CORVEL_CACHE/wineprefix-x86_64}"
        CORVEL_TOOLCHAIN="$CORVEL_ROOT/cmake/toolchain-mingw64.cmake"
        # 64-bit Wine under the usual command names, whatever 32-bit Wine is installed beside it.
        case ":$PATH:" in
            *":$CORVEL_ROOT/scripts/wine64:"*) ;;
            *) export PATH="$CORVEL_ROOT/scripts/wine64:$PATH" ;;
        esac
        export WINELOADER=/usr/lib/wine/wine64 WINESERVER=/usr/lib/wine/wineserver64
    else
        export WINEPREFIX="${CORVEL_WINEPREFIX:-$CORVEL_CACHE/wineprefix}"
        CORVEL_TOOLCHAIN="$CORVEL_ROOT/cmake/toolchain-mingw32.cmake"
    fi
}
corvel_select_target

# Sets the machine up (packages, dependencies, Wine prefix) and then takes the target it found.
corvel_setup() {
    bash "$CORVEL_ROOT/scripts/setup.sh"
    corvel_select_target
}

# Wine maps file names through the Unix locale: under the C locale a name such as "Ünï.txt"
# cannot be made or opened. Without a UTF-8 locale in the environment, take C.UTF-8, which
# every Debian system has.
corvel_locale_is_utf8() {
    local loc="${LC_ALL:-${LC_CTYPE:-${LANG:-}}}"
    case "$loc" in
        *[Uu][Tt][Ff]-8* | *[Uu][Tt][Ff]8*) return 0 ;;
        *) return 1 ;;
    esac
}
if ! corvel_locale_is_utf8; then
    export LC_ALL=C.UTF-8
fi

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="

# The build tree is made anew when it was configured for another target, another
# dependency folder or another checkout, or when an interrupted run left it half-configured.
corvel_build_tree_is_current() {
    local cache="$CORVEL_BUILD/CMakeCache.txt"
    [ -f "$cache" ] && [ -f "$CORVEL_BUILD/build.ninja" ] || return 1
    grep -qx "CMAKE_TOOLCHAIN_FILE:[A-Z]*=$CORVEL_TOOLCHAIN" "$cache" || return 1
    grep -qx "CORVEL_DEPS:[A-Z]*=$CORVEL_DEPS_DIR" "$cache" || return 1
    grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$CORVEL_ROOT" "$cache" || return 1
}

corvel_configure_and_build() {
    if ! corvel_build_tree_is_current; then
        rm -rf "$CORVEL_BUILD"
        if ! cmake -S "$CORVEL_ROOT" -B "$CORVEL_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DCMAKE_TOOLCHAIN_FILE="$CORVEL_TOOLCHAIN" \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$CORVEL_ROOT/scripts/wine-run.sh" \
            -DCORVEL_DEPS="$CORVEL_DEPS_DIR" >"$CORVEL_CACHE/configure.log" 2>&1; then
            cat "$CORVEL_CACHE/configure.log" >&2
            # Leave nothing that a later run could mistake for a configured tree.
            rm -rf "$CORVEL_BUILD"
            return 1
        fi
    fi
    cmake --build "$CORVEL_BUILD" -j "${CORVEL_JOBS:-$(nproc)}"
}

# Starts a virtual display when there is none; sets CORVEL_XVFB_PID when it did.
corvel_ensure_display() {
    CORVEL_XVFB_PID=""
    if [ -n "${DISPLAY:-}" ]; then return; fi
    # A display number whose lock file is free may still be taken where this machine shares
    # X's abstract sockets with another root (a container, a chroot): such a server exits at
    # once, and the next number is tried.
    local n i
    for n in $(seq 90 130); do
        if [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; then continue; fi
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        CORVEL_XVFB_PID=$!
        for i in $(seq 1 100); do
            kill -0 "$CORVEL_XVFB_PID" 2>/dev/null || break
            if [ -e "/tmp/.X11-unix/X$n" ]; then
                export DISPLAY=":$n"
                return
            fi
            sleep 0.1
        done
        kill "$CORVEL_XVFB_PID" 2>/dev/null || true
        CORVEL_XVFB_PID=""
    done
    echo "Xvfb did not start on any display from :90 to :130" >&2
    return 1
}
