#!/usr/bin/env bash
# Kestrion for 64-bit Windows, cross-built here with MinGW-w64 against a Qt built for it.
#
#   windows.sh check   compile and link every program for Windows, in build-windows/; list
#                      each source that fails with its first error (exit 1)
#   windows.sh build   check, then lay out what the setup program installs,
#                      build-windows/Kestrion/, and the disc's start menu with what it
#                      runs on, build-windows/disc-files/
#   windows.sh setup   build, then make the setup program build-windows/KestrionSetup-VERSION.exe
#   windows.sh disc    setup, then make the kit disc build-windows/kestrion-kit-VERSION.iso;
#                      the Debian package build/kestrion_VERSION_amd64.deb must be made
#                      first (scripts/kestrion.sh disc does both)
#
# The first run builds Qt's base module (Core, Gui, Widgets, Network and the Windows
# plugins) for MinGW-w64 from Debian's own source package into a cache folder, which later
# runs reuse:
#   ${XDG_CACHE_HOME:-~/.cache}/kestrion/qt6-mingw
# Needs the packages scripts/kestrion.sh installs for it, and root or sudo once, to add a
# deb-src line for bookworm when there is none. With KESTRION_WERROR=ON every compiler
# warning stops the build.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
toolchain="$here/mingw-w64.cmake"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/kestrion"
qt="$cache/qt6-mingw"              # the cross-built Qt, kept
work="$cache/qt6-mingw-work"       # its source and build tree, removed once it is installed
stamp="$qt/kestrion-built-from"    # written last: a Qt without it is incomplete
build_folder="build-windows"
build="$root/$build_folder"

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

# The Qt built for Windows must be the very version of the host's Qt, whose moc, rcc and
# uic it uses.
host_qt_version() {
    dpkg-query -W -f='${source:Version}' qt6-base-dev
}

# The version of project(Kestrion VERSION ...).
kestrion_version() {
    sed -n 's/^project(Kestrion VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt"
}

ensure_source_line() {
    if apt-cache showsrc qt6-base 2>/dev/null | grep -q '^Package: qt6-base$'; then
        return
    fi
    local list=/etc/apt/sources.list.d/kestrion-deb-src.sources
    if [ ! -e "$list" ]; then
        echo "Adding Debian's source packages for bookworm to apt ($list)"
        "${sudo[@]}" tee "$list" > /dev/null <<'LIST'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
LIST
    fi
    "${sudo[@]}" apt-get update
}

build_qt() {
    local version
    version=$(host_qt_version)
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
        return
    fi
    echo "Building Qt $version for MinGW-w64 into $qt"
    echo "This is done once; it takes about 20 minutes on two cores and needs about 1.5 GB free."
    ensure_source_line
    rm -rf "$work" "$qt"
    mkdir -p "$work"
    (cd "$work" && apt-get source --quiet "qt6-base=$version")
    local source
    source=$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
    if [ -z "$source" ]; then
        echo "apt-get source qt6-base=$version gave no source tree in $work" >&2
        exit 1
    fi

    # Only what Kestrion uses. The bundled third-party code is taken where Qt has it, never
    # the host's libraries. Dynamic OpenGL goes with OpenGL, which this Qt forgets (its
    # Windows platform plugin then fails to compile). Direct2D stays on: without it the
    # plugin fails to link. Debian's source leaves out the Wintab header: no tablet events.
    local log="$work/qt-build.log"
    echo "Log: $log"
    if ! {
        cmake -S "$source" -B "$work/build" -G Ninja \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$qt" \
            -DQT_HOST_PATH=/usr \
            -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
            -DQT_QMAKE_TARGET_MKSPEC=win32-g++ \
            -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
            -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF \
            -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF \
            -DFEATURE_testlib=OFF -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF \
            -DFEATURE_network=ON -DFEATURE_openssl=OFF \
            -DFEATURE_direct2d=ON \
            -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF \
            -DFEATURE_jpeg=ON -DFEATURE_system_jpeg=OFF \
            -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF \
            -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF \
            -DFEATURE_system_libb2=OFF &&
        nice -n 19 cmake --build "$work/build" -j "$(nproc)" &&
        cmake --install "$work/build"
    } > "$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "Building Qt for MinGW-w64 failed; the whole log is $log" >&2
        exit 1
    fi
    echo "$version" > "$stamp"
    rm -rf "$work"
    echo "Qt for MinGW-w64 is in $qt ($(du -sh "$qt" | cut -f1))"
}

build_programs() {
    cmake -S "$root" -B "$build" -G Ninja --log-level=WARNING \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DBUILD_TESTING=OFF \
        -DKESTRION_WERROR="${KESTRION_WERROR:-OFF}"
    local log="$build/build.log"
    echo "Building Kestrion for Windows (log: $log)"
    # -k 0: go on past failures, so that every file gets its verdict.
    if cmake --build "$build" -j "$(nproc)" -- -k 0 > "$log" 2>&1; then
        echo "Windows build: Kestrion.exe, kestrion-cli.exe and autorun.exe are in $build_folder/."
        return 0
    fi
    report "$log"
}

# What failed: each source with the first error its compiler gave, and what did not link.
report() {
    local log=$1
    echo
    echo "Windows build: these fail for Windows:"
    awk -v root="$root/" '
        /^FAILED: / {
            step = $2; sub(/CMakeFiles\/[^\/]*\.dir\//, "", step); sub(/\.obj$/, "", step)
            shown = 0; next
        }
        step != "" && !shown && /(: (fatal )?error: |undefined reference)/ {
            line = $0; gsub(root, "", line)
            print "  " step; print "      " line; shown = 1; step = ""
        }
    ' "$log"
    echo "The whole log: $log"
    return 1
}

# build-windows/Kestrion: what the setup installs; build-windows/disc-files: the start
# menu as the disc carries it (see dist/windows/install.cmake).
lay_out() {
    rm -rf "$build/Kestrion" "$build/disc-files"
    cmake --install "$build" --component programs --prefix "$build/Kestrion" --strip > /dev/null
    cmake --install "$build" --component disc --prefix "$build/disc-files" --strip > /dev/null
    # The runtime's DLLs come with their symbols: not needed to run.
    find "$build/Kestrion" "$build/disc-files" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
    echo "Laid out: $build_folder/Kestrion ($(du -sh "$build/Kestrion" | cut -f1)), $build_folder/disc-files"
}

# The setup program, made with NSIS from the laid-out folder. The uninstaller removes
# exactly the files installed, listed here from the folder.
make_setup() {
    local version setup
    version=$(kestrion_version)
    setup="$build/KestrionSetup-$version.exe"
    local lists="$build/setup"
    mkdir -p "$lists"
    (cd "$build/Kestrion" &&
        find . -type f | LC_ALL=C sort | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|  Delete "$INSTDIR\\&"|' &&
        find . -mindepth 1 -type d | LC_ALL=C sort -r | sed -e 's|^\./||' -e 's|/|\\|g' -e 's|.*|  RMDir "$INSTDIR\\&"|'
    ) > "$lists/uninstall-files.nsh"
    makensis -V2 -INPUTCHARSET UTF8 \
        -DVERSION="$version" \
        -DSOURCE="$build/Kestrion" \
        -DICON="$build/generated/kestrion.ico" \
        -DUNINSTALL_LIST="$lists/uninstall-files.nsh" \
        -DOUTFILE="$setup" \
        "$root/dist/windows/setup.nsi"
    echo "Setup program: $build_folder/$(basename "$setup") ($(du -h "$setup" | cut -f1))"
}

# The kit disc: the start menu with its page pictures, setup\setup.exe, the help page, the
# example programs, and the Debian package for Linux PCs.
make_disc() {
    local version package disc iso
    version=$(kestrion_version)
    package=$(ls "$root"/build/kestrion_"$version"_*.deb 2>/dev/null | head -n 1 || true)
    if [ -z "$package" ]; then
        echo "No Debian package build/kestrion_${version}_*.deb: make it first (scripts/kestrion.sh package)." >&2
        exit 1
    fi
    disc="$build/disc"
    iso="$build/kestrion-kit-$version.iso"
    rm -rf "$disc" "$iso"
    mkdir -p "$disc/setup"
    cp -a "$build/disc-files/." "$disc/"
    cp "$root/autorun/sample/Software.jpg" "$root/autorun/sample/e-contact.jpg" "$disc/"
    cp "$build/KestrionSetup-$version.exe" "$disc/setup/setup.exe"
    cp -a "$root/dist/help/." "$disc/"
    cp -a "$root/dist/Dos" "$disc/"
    cp "$package" "$disc/"
    printf '[autorun]\r\nopen=autorun.exe\r\nicon=autorun.exe,0\r\nlabel=Kestrion %s\r\n' "$version" > "$disc/autorun.inf"
    xorriso -as mkisofs -quiet -J -joliet-long -r -V "KESTRION_${version//./_}" -o "$iso" "$disc"
    echo "Kit disc: $build_folder/$(basename "$iso") ($(du -h "$iso" | cut -f1))"
}

case "${1:-}" in
    check) build_qt; build_programs ;;
    build) build_qt; build_programs; lay_out ;;
    setup) build_qt; build_programs; lay_out; make_setup ;;
    disc)  build_qt; build_programs; lay_out; make_setup; make_disc ;;
    *) sed -n '2,/^set -euo/p' "$0" | sed -e '$d' -e 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
