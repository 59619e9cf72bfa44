#!/usr/bin/env bash
# Installs what building and testing Corvel needs: distribution packages, then
# Oniguruma, libpng and ICU cross-built as static i686 libraries into a cache
# outside the checkout, then a Wine prefix. Every step is skipped when its
# result is already there, so a second run costs seconds.
set -Eeuo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
CACHE="${CORVEL_CACHE:-$HOME/.cache/corvel}"
JOBS="$(nproc)"
ONIG_VER=6.9.8
PNG_VER=1.6.39
ICU_VER=72.1

# Runs a minimal 32-bit Linux program (exit(0) through int 0x80). Some virtual machines run
# 64-bit user code only: there 32-bit Wine cannot start, and the build targets 64-bit Windows.
host_runs_32bit() {
    local probe rc=0
    probe="$(mktemp)"
    printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || rc=$?
    rm -f "$probe"
    return $rc
}

mkdir -p "$CACHE"
if host_runs_32bit; then ARCH=i686; else ARCH=x86_64; fi
echo "$ARCH" >"$CACHE/arch"
# Wine prefix, target, toolchain and dependency folder follow the recorded target.
source "$ROOT/scripts/env.sh"
DEPS="$CORVEL_DEPS_DIR"
export WINEDEBUG=-all

step() { CURRENT_STEP="$1"; echo "setup: $1"; }
trap 'echo "setup: FAILED in step: ${CURRENT_STEP:-start} (see output above)" >&2' ERR

# Runs a command with its output kept in the cache's log folder, shown only when it fails.
quiet() {
    mkdir -p "$CACHE/logs"
    local log="$CACHE/logs/$(echo "$CURRENT_STEP" | tr -c 'A-Za-z0-9.\n' '_').log"
    if ! "$@" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        return 1
    fi
}

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(build-essential xz-utils xvfb xauth cmake ninja-build ccache googletest libboost-dev
          libz-mingw-w64-dev dpkg-dev x11-apps fonts-liberation fonts-droid-fallback fonts-symbola
          xdotool)
if [ "$ARCH" = i686 ]; then
    PACKAGES+=(g++-mingw-w64-i686-posix wine wine32:i386)
else
    PACKAGES+=(g++-mingw-w64-x86-64-posix wine wine64)
fi

missing_packages() {
    local p
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
    done
}

MISSING="$(missing_packages)"
if [ -n "$MISSING" ]; then
    step "installing packages: $(echo $MISSING)"
    if [ "$ARCH" = i686 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -q >/dev/null
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q $MISSING >/dev/null
fi

TOOLCHAIN="$CORVEL_TOOLCHAIN"
HOST="$ARCH-w64-mingw32"

ensure_deb_src() {
    if grep -rqs -e '^deb-src' -e '^Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return
    fi
    step "adding source package entries to apt"
    $SUDO tee /etc/apt/sources.list.d/corvel-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    $SUDO apt-get update -q >/dev/null
}

# fetch_source <source package> <version> <dir>: unpacks the Debian source package into
# <dir> (patches applied) unless it is already there. The cache is keyed by version, so a
# package of another upstream version is refused rather than built under the wrong name.
fetch_source() {
    local pkg="$1" version="$2" dir="$3"
    if [ -d "$dir" ]; then return; fi
    ensure_deb_src
    step "fetching source package $pkg"
    local tmp="$CACHE/src-tmp-$pkg"
    rm -rf "$tmp" && mkdir -p "$tmp" "$CACHE/src" && chmod 777 "$tmp"
    (cd "$tmp" && quiet apt-get source -q --download-only "$pkg")
    if ! grep -Eq "^Version: ([0-9]+:)?${version//./\\.}([-+~]|$)" "$tmp"/*.dsc; then
        echo "setup: source package $pkg is not version $version: $(grep -m1 '^Version:' "$tmp"/*.dsc)" >&2
        return 1
    fi
    (cd "$tmp" && quiet dpkg-source -x ./*.dsc src)
    mv "$tmp/src" "$dir"
    rm -rf "$tmp"
}

mkdir -p "$CACHE" "$DEPS"

# Oniguruma
ONIG_DONE="$DEPS/.onig-$ONIG_VER"
if [ ! -f "$ONIG_DONE" ]; then
    fetch_source libonig "$ONIG_VER" "$CACHE/src/onig-$ONIG_VER"
    step "cross-building Oniguruma $ONIG_VER"
    rm -rf "$CACHE/build/onig-$ARCH" && mkdir -p "$CACHE/build/onig-$ARCH"
    quiet cmake -S "$CACHE/src/onig-$ONIG_VER" -B "$CACHE/build/onig-$ARCH" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DENABLE_BINARY_COMPATIBLE_POSIX_API=OFF \
        -DINSTALL_DOCUMENTATION=OFF -DCMAKE_INSTALL_PREFIX="$DEPS"
    quiet cmake --build "$CACHE/build/onig-$ARCH" -j "$JOBS"
    quiet cmake --install "$CACHE/build/onig-$ARCH"
    touch "$ONIG_DONE"
fi

# libpng
PNG_DONE="$DEPS/.png-$PNG_VER"
if [ ! -f "$PNG_DONE" ]; then
    fetch_source libpng1.6 "$PNG_VER" "$CACHE/src/libpng-$PNG_VER"
    step "cross-building libpng $PNG_VER"
    rm -rf "$CACHE/build/png-$ARCH" && mkdir -p "$CACHE/build/png-$ARCH"
    quiet cmake -S "$CACHE/src/libpng-$PNG_VER" -B "$CACHE/build/png-$ARCH" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DCMAKE_INSTALL_PREFIX="$DEPS"
    quiet cmake --build "$CACHE/build/png-$ARCH" -j "$JOBS"
    quiet cmake --install "$CACHE/build/png-$ARCH"
    touch "$PNG_DONE"
fi

# ICU: its cross build needs the same version's tools built for this machine first.
ICU_DONE="$DEPS/.icu-$ICU_VER"
if [ ! -f "$ICU_DONE" ]; then
    fetch_source icu "$ICU_VER" "$CACHE/src/icu-$ICU_VER"
    ICU_SRC="$CACHE/src/icu-$ICU_VER/source"
    NATIVE="$CACHE/build/icu-native-$ICU_VER"
    if [ ! -f "$NATIVE/.done" ]; then
        step "building ICU $ICU_VER tools for this machine"
        rm -rf "$NATIVE" && mkdir -p "$NATIVE"
        (cd "$NATIVE" && quiet "$ICU_SRC/configure" --disable-tests --disable-samples --disable-extras \
            && quiet make -j "$JOBS")
        touch "$NATIVE/.done"
    fi
    step "cross-building ICU $ICU_VER"
    CROSS="$CACHE/build/icu-cross-$ICU_VER-$ARCH"
    rm -rf "$CROSS" && mkdir -p "$CROSS"
    (cd "$CROSS" && export CC=$HOST-gcc-posix CXX=$HOST-g++-posix \
        CFLAGS="-O2" CXXFLAGS="-O2 -std=c++17" CPPFLAGS="-DU_STATIC_IMPLEMENTATION" \
        && quiet "$ICU_SRC/configure" --host=$HOST --with-cross-build="$NATIVE" --enable-static --disable-shared \
        --disable-tests --disable-samples --disable-extras --disable-icuio --disable-layoutex --disable-tools \
        --prefix="$DEPS" \
        && quiet make -j "$JOBS" && quiet make install)
    touch "$ICU_DONE"
fi

# ICU's install leaves its empty stub as the data library, so only the built-in Unicode
# converters would open. The program uses nothing of ICU's data but the converter
# tables and their alias table: package those alone (about 5 MB instead of 31 MB).
ICU_CNV_DONE="$DEPS/.icu-cnvdata-$ICU_VER-$ARCH"
if [ ! -f "$ICU_CNV_DONE" ]; then
    step "packaging ICU's converter data"
    NATIVE="$CACHE/build/icu-native-$ICU_VER"
    ICU_MAJOR="${ICU_VER%%.*}"
    # The data archive that ships with the sources: the same with or without Python.
    FULL="$CACHE/src/icu-$ICU_VER/source/data/in/icudt${ICU_MAJOR}l.dat"
    WORK="$CACHE/build/icu-cnvdata-$ICU_VER-$ARCH"
    rm -rf "$WORK" && mkdir -p "$WORK/pkg"
    (export LD_LIBRARY_PATH="$NATIVE/lib"
     "$NATIVE/bin/icupkg" -l "$FULL" | grep -v -E '\.cnv$|^cnvalias\.icu$' >"$WORK/remove.txt"
     quiet "$NATIVE/bin/icupkg" -r "$WORK/remove.txt" "$FULL" "$WORK/pkg/icudt${ICU_MAJOR}l.dat"
     # 32-bit Windows symbols carry a leading underscore, 64-bit ones do not.
     ASM=gcc-cygwin; if [ "$ARCH" = x86_64 ]; then ASM=gcc-mingw64; fi
     quiet "$NATIVE/bin/genccode" -q -a "$ASM" -e "icudt${ICU_MAJOR}" -d "$WORK" "$WORK/pkg/icudt${ICU_MAJOR}l.dat")
    quiet $HOST-gcc-posix -c "$WORK/icudt${ICU_MAJOR}l_dat.S" -o "$WORK/icudt${ICU_MAJOR}l_dat.o"
    rm -f "$DEPS/lib/libsicudt.a"
    quiet $HOST-ar rcs "$DEPS/lib/libsicudt.a" "$WORK/icudt${ICU_MAJOR}l_dat.o"
    touch "$ICU_CNV_DONE"
fi

# The cross compiler must see Boost without the rest of the system's headers.
if [ ! -e "$DEPS/boost-include/boost" ]; then
    step "linking Boost headers"
    mkdir -p "$DEPS/boost-include"
    ln -sfn /usr/include/boost "$DEPS/boost-include/boost"
fi

# Wine prefix, made once; no Mono or Gecko prompts.
# A prefix made for the other target (or copied from one) is made anew.
if [ "$(cat "$WINEPREFIX/.corvel-ready" 2>/dev/null)" != "$ARCH" ]; then
    step "creating the Wine prefix"
    rm -rf "$WINEPREFIX"
    WINEARCH=win32; if [ "$ARCH" = x86_64 ]; then WINEARCH=win64; fi
    WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$WINEARCH wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "setup: FAILED in step: creating the Wine prefix" >&2
        exit 1
    fi
    echo "$ARCH" >"$WINEPREFIX/.corvel-ready"
fi

# The editor's default face: Wine has no "Courier New" of its own, so the alias table
# sends it to the monospaced face of the Liberation fonts (seen through fontconfig).
if [ ! -f "$WINEPREFIX/.corvel-fonts" ]; then
    step "mapping Courier New to Liberation Mono in the Wine prefix"
    quiet wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'Courier New' /t REG_SZ /d 'Liberation Mono' /f
    wineserver -w || true
    touch "$WINEPREFIX/.corvel-fonts"
fi
