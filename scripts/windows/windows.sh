#!/usr/bin/env bash
# Compiles Kestrion's sources for 64-bit Windows with MinGW-w64, to catch code that only
# builds on Linux. Compile only: nothing is linked, since Qt's serial port module is not to
# be had for MinGW here (its headers are the same for every platform, so the host's serve).
#
# The first run builds Qt's base module (Core, Gui, Widgets, Network) for MinGW-w64 from
# Debian's own source package into a cache folder, which later runs reuse:
#   ${XDG_CACHE_HOME:-~/.cache}/kestrion/qt6-mingw
# Needs the packages scripts/kestrion.sh installs for it, and root or sudo once, to add a
# deb-src line for bookworm when there is none.
#
#   scripts/windows-check/windows-check.sh      (usually through scripts/kestrion.sh windows-check)
#
# Exits non-zero when any source fails to compile, after listing each with its first error.
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

# Every .cpp and .h in the folders, less the files of other platforms (*_unix.*).
list_sources() {
    local folder
    for folder in serial windows shell cli autorun; do
        (cd "$root" && find "$folder" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) \
            ! -name '*_unix.*' | LC_ALL=C sort)
    done
}

compile_sources() {
    local sources
    sources=$(list_sources | paste -sd ';')
    # moc does not look again at a folder that gained a header: start afresh then.
    if [ "$(cat "$build/sources" 2>/dev/null)" != "$sources" ]; then
        rm -rf "$build"
        mkdir -p "$build"
        echo "$sources" > "$build/sources"
    fi
    cmake -S "$here" -B "$build" -G Ninja --log-level=WARNING \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DCMAKE_BUILD_TYPE= \
        -DCMAKE_PREFIX_PATH="$qt" \
        -DQT_HOST_PATH=/usr \
        -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DKESTRION_ROOT="$root" \
        -DKESTRION_SOURCES="$sources"
    local log="$build/compile.log"
    local count
    count=$(list_sources | grep -c '\.cpp$')
    echo "Compiling $count sources for Windows (log: $log)"
    # -k 0: go on past failures, so that every file gets its verdict.
    cmake --build "$build" -j "$(nproc)" -- -k 0 2>&1 | tee "$log" || true
    report "$count" "$log"
}

# What is still to be done after the build is what failed or could not be tried: ninja's
# dry run names it. Each comes with the first error its compiler (or moc) gave.
report() {
    local count=$1 log=$2 pending
    pending=$(ninja -C "$build" -n -v 2>/dev/null |
        sed -n -e 's|.* -c \([^ ]*\.cpp\)$|\1|p' \
               -e 's|.*/\([a-z]*\)_autogen\.dir/AutogenInfo\.json.*|\1/ (moc)|p' |
        sed "s|^$root/||" | LC_ALL=C sort -u)
    if [ -z "$pending" ]; then
        echo "Windows check: all $count sources compile."
        return 0
    fi
    echo
    echo "Windows check: these do not compile for Windows:"
    local item step folder
    while read -r item; do
        case "$item" in
            *" (moc)")
                   step="${item%%/*}_autogen/timestamp" ;;
            "$build_folder"/*_autogen/mocs_compilation.cpp)
                   folder=${item#"$build_folder"/}; folder=${folder%%_autogen/*}
                   grep -qxF "$folder/ (moc)" <<< "$pending" && continue
                   step=" -c $root/$item"; item="$folder/ (moc output)" ;;
            *)     step=" -c $root/$item" ;;
        esac
        echo "  $item"
        echo "      $(first_error "$step" "$log" |
            sed -e "s|$root/||g" -e "s|$build_folder/[a-z]*_autogen/[A-Z0-9]*/\.\./\.\./\.\./||g")"
    done <<< "$pending"
    return 1
}

# The first error in the log of the failed step whose first lines contain $1.
first_error() {
    awk -v step="$1" '
        /^\[[0-9]+\/[0-9]+\] / { failed = 0; inside = 0 }
        /^FAILED: / { failed = 1; inside = 0; line = 0 }
        failed { line++ }
        failed && line <= 2 && index($0, step) { inside = 1; next }
        inside && /:[0-9]+:([0-9]+:)? (fatal )?error: / { print; printed = 1; exit }
        END {
            if (!inside) print "not compiled: a step before it failed"
            else if (!printed) print "failed: see the log"
        }
    ' "$2"
}

build_qt
compile_sources
