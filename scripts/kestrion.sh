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
scripts/kestrion.sh windows-check     compile and link every program for Windows with
                                      MinGW-w64 (the first run builds Qt for it)
scripts/kestrion.sh windows           build the Windows programs and lay them out
                                      with what they run on, in build-windows/Kestrion
scripts/kestrion.sh disc              make the setup program and the kit disc:
                                      build-windows/KestrionSetup-VERSION.exe and
                                      build-windows/kestrion-kit-VERSION.iso
scripts/kestrion.sh windows-test      make the disc, then try the Windows programs, the
                                      setup and the disc under Wine

Everything is built once, in build/ beside the scripts folder (the Windows programs in
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

# The Windows build: the cross compiler (posix threads: std::mutex), apt-get source, the
# icon maker, NSIS for the setup program, xorriso for the disc; Wine, a display, a
# screenshot tool, ss and the zh_TW locale's source for its tests.
windows_tools=(g++-mingw-w64-x86-64-posix dpkg-dev icoutils nsis xorriso)
windows_test_tools=(wine64 xvfb xauth xdotool imagemagick iproute2 locales)

case "${1:-}" in
    try)   install_packages; build_all; try_it "${2:-8088}" ;;
    test)  install_packages "${test_tools[@]}"; build_all; run_tests ;;
    build) install_packages; build_all ;;
    package) install_packages "${package_tools[@]}"; build_all; (cd "$build" && cpack -G DEB) ;;
    windows-check) install_packages "${windows_tools[@]}"; bash "$root/scripts/windows/windows.sh" check ;;
    windows) install_packages "${windows_tools[@]}"; bash "$root/scripts/windows/windows.sh" build ;;
    disc)  install_packages "${package_tools[@]}" "${windows_tools[@]}"; build_all
           (cd "$build" && cpack -G DEB)
           bash "$root/scripts/windows/windows.sh" disc ;;
    windows-test)
           install_packages "${package_tools[@]}" "${windows_tools[@]}" "${windows_test_tools[@]}"; build_all
           (cd "$build" && cpack -G DEB)
           bash "$root/scripts/windows/windows.sh" disc
           bash "$root/scripts/windows/windows-test.sh" ;;
    *) usage; exit 2 ;;
esac
