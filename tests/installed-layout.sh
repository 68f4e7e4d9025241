#!/usr/bin/env bash
# Installs the build into a scratch folder, as the package does, and checks what a lab PC
# gets: the layout, the links, the manual pages, the desktop entry and metainfo through
# their validators, the version the command-line programs say, and the windows' menu
# commands run from the installed program folder.
#
#   tests/installed-layout.sh BUILD_DIR MENU_TEST HAS_CLI(0|1) VERSION
set -euo pipefail

build=$1 menu_test=$2 has_cli=$3 version=$4
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix / > /dev/null

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

programs=(Kestrion vxt-board)
[ "$has_cli" = 1 ] && programs+=(kestrion-cli)
for program in "${programs[@]}"; do
    command=${program,,}
    [ -x "$root/opt/kestrion/bin/$program" ] || fail "no program opt/kestrion/bin/$program"
    [ "$(readlink -f "$root/usr/bin/$command")" = "$root/opt/kestrion/bin/$program" ] \
        || fail "usr/bin/$command does not lead to the program"
    gzip -t "$root/usr/share/man/man1/$command.1.gz" 2> /dev/null || fail "no manual page $command.1.gz"
done
# The command-line programs say the version they were built as.
for command in "${programs[@]:1}"; do
    said=$("$root/usr/bin/$command" --version 2>&1) || true
    [ "$said" = "$command $version" ] || fail "$command --version says \"$said\", not \"$command $version\""
done

[ -f "$root/opt/kestrion/bin/readme.htm" ] || fail "no readme.htm beside the program"
# every picture the help page shows is installed beside it
for picture in $(grep -o 'src="[^"]*"' "$root/opt/kestrion/bin/readme.htm" | sed 's/^src="//; s/"$//'); do
    [ -f "$root/opt/kestrion/bin/$picture" ] || fail "readme.htm shows $picture, which is not installed"
done
for board in 8088 8052; do
    ls "$root/opt/kestrion/Dos/VXT-$board/"*.bin > /dev/null 2>&1 || fail "no example programs for VXT-$board"
    [ -f "$root/opt/kestrion/Dos/VXT-$board/README.txt" ] || fail "no README.txt for the VXT-$board examples"
done
for size in 16 24 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/kestrion.png" ] || fail "no $size-pixel icon"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/kestrion.svg" ] || fail "no scalable icon"

desktop-file-validate "$root/usr/share/applications/example.valtrona.Kestrion.desktop" || fail "desktop entry"
appstreamcli validate --no-net --no-color "$root/usr/share/metainfo/example.valtrona.Kestrion.metainfo.xml" \
    > "$root/appstream.txt" || { cat "$root/appstream.txt"; fail "metainfo"; }

cp "$menu_test" "$root/opt/kestrion/bin/"
QT_QPA_PLATFORM=offscreen "$root/opt/kestrion/bin/$(basename "$menu_test")" -silent || fail "menu commands"

echo "$failures failed"
[ "$failures" -eq 0 ]
