#!/usr/bin/env bash
# Sets up a Debian machine for Kestrion and builds it; without arguments it lists what it
# does (usage below).
set -euo pipefail

usage() {
    cat <<'TEXT'
scripts/kestrion.sh try [8088|8052]   install, build, start a simulated board and
                                      Kestrion against it
scripts/kestrion.sh test              install, build and run every test
scripts/kestrion.sh build             install and build only
scripts/kestrion.sh package           install, build and make the Debian package
                                      build/kestrion_VERSION_ARCH.deb
scripts/kestrion.sh windows-check     compile every source for Windows with MinGW-w64
                                      (the first run builds Qt for it: ~20 minutes)

Everything is built once, in build/ beside the scripts folder (the Windows check in
build-windows/). With KESTRION_WERROR=ON in the environment every compiler warning
stops the build.
TEXT
}

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"

packages=(
    cmake ninja-build g++
    qt6-base-dev qt6-serialport-dev libgl-dev   # Qt 6 Widgets, SerialPort, Network, Test
    ser2net                                     # the serial device server the line tests run
    qt6-translations-l10n                       # Qt's own texts in Chinese (qtbase_zh_TW.qm)
    fonts-arphic-uming                          # a Ming face for the Chinese captions
    fonts-liberation fonts-dejavu-core          # Arial and Times New Roman metrics
    xdg-utils                                   # the document opener
    desktop-file-utils appstream                # the installed-layout test's validators
)
package_tools=(dpkg-dev file)                   # cpack's dependency reckoning (shlibdeps)
test_tools=(nasm as31)                          # the example tests assemble the sources

install_packages() {
    local missing=()
    for package in "${packages[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

build_all() {
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
          -DKESTRION_WERROR="${KESTRION_WERROR:-OFF}"
    cmake --build "$build" -j "$(nproc)"
}

run_tests() {
    cd "$build"
    QT_QPA_PLATFORM=offscreen ctest --output-on-failure
}

try_it() {
    local board=${1:-8088}
    local folder=/tmp/kestrion-com inbox=/tmp/kestrion-inbox
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        echo "Kestrion is a desktop program: run this from a graphical session." >&2
        exit 1
    fi
    mkdir -p "$folder" "$inbox"
    started=$(mktemp)
    "$build/tools/vxt-board" --board "$board" --dir "$folder" --port 1 --inbox "$inbox" < /dev/null &
    simulator=$!
    trap 'kill "$simulator" 2>/dev/null || true; rm -f "$started"' EXIT
    # The board is up once it has made its link and, after it, its command FIFO anew;
    # one that cannot start says why and ends.
    local tries=50
    until [ -p "$folder/COM1.ctl" ] && ! [ "$started" -nt "$folder/COM1.ctl" ]; do
        if ! kill -0 "$simulator" 2>/dev/null || [ $((tries -= 1)) -eq 0 ]; then
            echo "The simulated board did not start." >&2
            exit 1
        fi
        sleep 0.1
    done
    cat <<TEXT

A simulated VXT-$board board is on COM1. In the settings dialog choose VXT-$board and COM1.
  Download: pick any file and press Download; the board stores it in $inbox.
  Upload:   press Upload, then in another terminal:
              echo "send /path/to/a/file" > $folder/COM1.ctl

TEXT
    KESTRION_COM_DIR="$folder" "$build/shell/Kestrion"
}

# The Windows check: the cross compiler (posix threads: std::mutex) and apt-get source.
windows_tools=(g++-mingw-w64-x86-64-posix dpkg-dev)

case "${1:-}" in
    try)   install_packages; build_all; try_it "${2:-8088}" ;;
    test)  install_packages "${test_tools[@]}"; build_all; run_tests ;;
    build) install_packages; build_all ;;
    package) install_packages "${package_tools[@]}"; build_all; (cd "$build" && cpack -G DEB) ;;
    windows-check) install_packages "${windows_tools[@]}"; bash "$root/scripts/windows-check/windows-check.sh" ;;
    *) usage; exit 2 ;;
esac
