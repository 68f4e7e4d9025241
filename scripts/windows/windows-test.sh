#!/usr/bin/env bash
# Tries the Windows build under Wine (64-bit), in a new Wine prefix each run:
#   - the setup program installs silently: files, Start-menu entries, the uninstall entry;
#   - the installed kestrion-cli.exe lists COM1 and COM2, downloads to and uploads from a
#     simulated VXT-8088 on COM1 and a VXT-8052 on COM2 byte for byte, and an interrupted
#     download leaves the board the start of the file and says "up to" how much went, and
#     a board switched off in the middle of a download is told as a port that went away;
#   - the same transfers on COM3 and COM4, which the ports file names as a VXT-8088 behind
#     a raw TCP port and a VXT-8052 behind an RFC 2217 port of ser2net on 127.0.0.1;
#   - Kestrion.exe on a virtual display: the splash, the settings dialog, a download from
#     the window that reaches the board, the window in Chinese (screenshots are kept);
#   - autorun.exe, started in the disc image's files, starts setup\setup.exe;
#   - the uninstaller removes everything the setup installed;
#   - the setup speaks the system's language: English, and Traditional Chinese (its
#     window, its Start-menu entries), and uninstalls as cleanly.
# It also prints the download rate through Wine (as the board saw it) and the setup
# program's size.
#
# COM1 and COM2 are pseudo-terminals whose other ends are the Linux build's simulated
# boards (build/tools/vxt-board). They are mapped in Wine's registry (never through its
# dosdevices links, which Wine rewrites, by default to /dev/ttyS0); COM3..COM15 are mapped
# to nothing, and where each leads is checked before any program opens a port. The boards
# behind ser2net are on pseudo-terminals of their own that Wine never sees.
#
# Needs: the Linux build (build/), the Windows build, setup and disc (build-windows/), as
# scripts/kestrion.sh windows-test makes them first; wine64, Xvfb, xdotool, ImageMagick,
# ser2net, ss (iproute2) and localedef with the zh_TW locale's source (locales).
# The virtual display is KESTRION_WINE_DISPLAY (default :97); it must be free.
# Ends with "N passed, N failed" and exit status 0 only when none failed. Screenshots and
# logs stay in build-windows/windows-test/.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
linux_build="$root/build"
build="$root/build-windows"
version=$(sed -n 's/^project(Kestrion VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
setup="$build/KestrionSetup-$version.exe"
iso="$build/kestrion-kit-$version.iso"
board="$linux_build/tools/vxt-board"
results="$build/windows-test"

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
for needed in "$wine" "$wineserver" "$board" "$setup" "$iso"; do
    if [ ! -e "$needed" ]; then
        echo "Missing $needed (scripts/kestrion.sh windows-test makes what is ours)." >&2
        exit 1
    fi
done

work=$(mktemp -d /tmp/kestrion-wine.XXXXXX)
rm -rf "$results"
mkdir -p "$results" "$work/com" "$work/inbox"{1,2,3,4} "$work/data"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no offer to install Mono or Gecko
export LANG=C.UTF-8
unset LC_ALL DISPLAY

background=()
cleanup() {
    local pid
    "$wineserver" -k > /dev/null 2>&1
    for pid in "${background[@]}"; do
        kill "$pid" 2> /dev/null
    done
    wait 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT

passed=0
failed=0
# check NAME COMMAND...: runs a test, its output in $results/NAME.log.
check() {
    local name=$1
    shift
    local started=$SECONDS
    if ( "$@" ) > "$results/$name.log" 2>&1; then
        passed=$((passed + 1))
        echo "PASS  $name ($((SECONDS - started)) s)"
    else
        failed=$((failed + 1))
        echo "FAIL  $name ($((SECONDS - started)) s)"
        sed 's/^/      /' "$results/$name.log" | tail -n 15
    fi
}

say() { echo "$*"; }
# Ends the test (each runs in a subshell of its own) as failed.
fail() { echo "$*"; exit 1; }

# A Windows path for a Unix one, through Wine's drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Waits up to $1 tenths of a second for the command to succeed.
wait_for() {
    local tenths=$1
    shift
    until "$@"; do
        [ $((tenths -= 1)) -gt 0 ] || return 1
        sleep 0.1
    done
}

# ---- the prefix and the boards ----------------------------------------------------------

# The virtual display is there from the start: Wine's desktop process (explorer.exe) picks
# its display driver when it starts, and one started without a display serves every later
# program of the prefix with none ("no driver could be loaded"), so that no window shows.
display=${KESTRION_WINE_DISPLAY:-:97}
if DISPLAY=$display xdotool getdisplaygeometry > /dev/null 2>&1; then
    echo "The display $display is taken (KESTRION_WINE_DISPLAY chooses another)."
    exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp > "$results/xvfb.log" 2>&1 &
background+=($!)
export DISPLAY=$display
wait_for 100 xdotool getdisplaygeometry > /dev/null 2>&1 || { echo "Xvfb did not start on $display."; exit 1; }

echo "Wine prefix: $WINEPREFIX, display $DISPLAY"
"$wine" wineboot -i > "$results/wineboot.log" 2>&1
"$wineserver" -w > /dev/null 2>&1   # the first start's work ends before any test

start_board() {   # start_board NUMBER BOARD
    "$board" --board "$2" --dir "$work/com" --port "$1" --inbox "$work/inbox$1" \
        < /dev/null > "$results/board-COM$1.log" 2>&1 &
    background+=($!)
    wait_for 100 test -p "$work/com/COM$1.ctl" -a -L "$work/com/COM$1"
}
start_board 1 8088 || { echo "The simulated VXT-8088 did not start."; exit 1; }
start_board 2 8052 || { echo "The simulated VXT-8052 did not start."; exit 1; }
pty1=$(readlink -f "$work/com/COM1")
pty2=$(readlink -f "$work/com/COM2")

ports_key='HKLM\Software\Wine\Ports'
"$wine" reg add "$ports_key" /v COM1 /t REG_SZ /d "$pty1" /f > /dev/null 2>&1
"$wine" reg add "$ports_key" /v COM2 /t REG_SZ /d "$pty2" /f > /dev/null 2>&1
for n in $(seq 3 15); do
    "$wine" reg add "$ports_key" /v "COM$n" /t REG_SZ /d '' /f > /dev/null 2>&1
done
# The server ends by itself (killed, it may not have saved the ports yet); the next one
# makes the COM links from the registry.
"$wineserver" -w > /dev/null 2>&1
"$wine" reg query 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' > "$results/serialcomm.log" 2>&1

# No program may open a port before this holds: COM1 and COM2 lead to the boards, no other
# number up to 15 leads anywhere.
ports_safe() {
    local n link
    [ "$(readlink "$WINEPREFIX/dosdevices/com1")" = "$pty1" ] || fail "COM1 leads to $(readlink "$WINEPREFIX/dosdevices/com1")"
    [ "$(readlink "$WINEPREFIX/dosdevices/com2")" = "$pty2" ] || fail "COM2 leads to $(readlink "$WINEPREFIX/dosdevices/com2")"
    for n in $(seq 3 15); do
        link="$WINEPREFIX/dosdevices/com$n"
        if [ -e "$link" ] || [ -L "$link" ]; then
            fail "COM$n leads to $(readlink "$link")"
        fi
    done
    say "COM1 -> $pty1 (VXT-8088), COM2 -> $pty2 (VXT-8052), COM3..COM15: nothing"
}
if ! ( ports_safe ) > "$results/ports-safe.log" 2>&1; then
    cat "$results/ports-safe.log"
    echo "The COM ports do not lead where they must: no test is run."
    echo "0 passed, 1 failed"
    exit 1
fi
cat "$results/ports-safe.log"

# ---- the setup program ------------------------------------------------------------------

programs="$WINEPREFIX/drive_c/Program Files/Kestrion"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrion"
cli_exe="$programs/bin/kestrion-cli.exe"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrion'

installs_silently() {
    "$wine" "$setup" /S || fail "setup /S ended with status $?"
    local file
    for file in bin/Kestrion.exe bin/kestrion-cli.exe bin/Qt6Core.dll bin/Qt6Widgets.dll bin/Qt6Network.dll \
                bin/libstdc++-6.dll bin/qt.conf bin/plugins/platforms/qwindows.dll \
                bin/plugins/styles/qwindowsvistastyle.dll bin/plugins/imageformats/qjpeg.dll \
                bin/translations/qtbase_zh_TW.qm bin/readme.htm \
                Dos/VXT-8088/add32.bin Dos/VXT-8052/add16.bin Uninstall.exe; do
        [ -f "$programs/$file" ] || fail "not installed: $file"
    done
    # Every file of the laid-out folder is there, the same.
    ! diff -r "$build/Kestrion" "$programs" | grep -v '^Only in .*Kestrion: Uninstall.exe$' || fail "installed files differ"
    local link
    for link in Kestrion.lnk "Kestrion Help.lnk" "Example programs.lnk" "Uninstall Kestrion.lnk"; do
        [ -f "$menu/$link" ] || fail "no Start-menu entry $link"
    done
    "$wine" reg query "$uninstall_key" /v DisplayVersion | grep -q "$version" || fail "no uninstall entry for $version"
}
check setup-installs-silently installs_silently

# ---- kestrion-cli.exe -------------------------------------------------------------------

cli() { "$wine" "$cli_exe" "$@"; }

lists_ports() {
    local out
    out=$(cli ports | tr -d '\r') || fail "ports ended with status $?"
    echo "$out"
    grep -q '^COM1' <<< "$out" && grep -q '^COM2' <<< "$out" || fail "COM1 and COM2 are not both listed"
}
check cli-ports-lists-com1 lists_ports

head -c 700 /dev/urandom > "$work/data/small.bin"
head -c 9600 /dev/urandom > "$work/data/rate.bin"
head -c 9600 /dev/urandom > "$work/data/interrupt.bin"

# The newest file a board stored.
stored() { ls -t "$work/inbox$1"/download-*.bin 2> /dev/null | head -n 1; }
stored_count() { ls "$work/inbox$1"/download-*.bin 2> /dev/null | wc -l; }
# Whether board $1 has stored more than $2 downloads.
stored_more() { [ "$(stored_count "$1")" -gt "$2" ]; }

downloads() {   # downloads BOARD NUMBER FILE
    local before out
    before=$(stored_count "$2")
    out=$(cli download --board "$1" --port "COM$2" "$(winpath "$3")" | tr -d '\r') || fail "download ended with status $?"
    echo "$out"
    # The 8052 board counts a download as ended after half a second of quiet.
    wait_for 50 stored_more "$2" "$before" || fail "the board stored nothing"
    cmp "$3" "$(stored "$2")" || fail "the board holds other bytes"
}
check cli-download-8088 downloads 8088 1 "$work/data/small.bin"
check cli-download-8052 downloads 8052 2 "$work/data/small.bin"

board_pid() { pgrep -f -- "--dir $work/com --port $1 --inbox" | head -n 1; }
# What a program wrote on a terminal, without the terminal's controls.
plain() { tr -d '\r' < "$1" | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g'; }

uploads() {   # uploads BOARD NUMBER
    local target="$work/upload-$1.bin" out="$work/upload-$1.out" status
    rm -f "$target" "$out"   # (an old one could show the sign before this upload has started)
    # On a terminal (script(1)'s, a console to Wine) kestrion-cli shows its progress line
    # once the upload listens; the board sends only then, as a user would start it.
    script -qfec "$(printf '%q ' "$wine" "$cli_exe" upload --board "$1" --port "COM$2" \
        "$(winpath "$target")" --wait 20)" /dev/null < /dev/null > "$out" 2>&1 &
    local pid=$!
    wait_for 300 grep -qs '0 bytes' "$out" || fail "the upload did not show that it listens"
    echo "send $work/data/small.bin" > "$work/com/COM$2.ctl"
    wait "$pid"
    status=$?
    plain "$out"
    [ "$status" -eq 0 ] || fail "upload ended with status $status"
    cmp "$work/data/small.bin" "$target" || fail "the file holds other bytes"
}
check cli-upload-8088 uploads 8088 1
check cli-upload-8052 uploads 8052 2

# The rate of a download through Wine, as the board saw it: from its first read to its
# last (the board's own line about the download gives it).
measure_rate() {
    local before rate
    before=$(stored_count 2)
    cli download --board 8052 --port COM2 "$(winpath "$work/data/rate.bin")" || fail "download ended with status $?"
    wait_for 50 stored_more 2 "$before" || fail "the board stored nothing"
    cmp "$work/data/rate.bin" "$(stored 2)" || fail "the board holds other bytes"
    rate=$(grep '^download ' "$results/board-COM2.log" | tail -n 1 | sed -n 's/.* at \([0-9.]*\) bytes\/s.*/\1/p')
    [ -n "$rate" ] || fail "the board did not say the rate"
    awk -v r="$rate" 'BEGIN { printf "download rate through Wine: %.0f bytes/s (%.1f%% of 960), at the board\n", r, r / 9.6 }'
}
check cli-download-rate measure_rate

# The bytes a process has read so far, and whether that is more than $2.
bytes_read() { sed -n 's/^rchar: //p' "/proc/$1/io"; }
read_more() { [ "$(bytes_read "$1")" -gt "$2" ]; }

# Ctrl-C in the middle of a download: the board holds the start of the file, no byte
# more than the count said.
interrupts() {
    local out status count before held reader read0
    reader=$(board_pid 2)
    read0=$(bytes_read "$reader")
    before=$(stored_count 2)
    # Ctrl-C typed in a terminal reaches the program there as SIGINT, which Wine hands to
    # it as a console's Ctrl-C. (A terminal of its own by script(1), its keyboard a FIFO,
    # lost the keys now and then: script read them only once the download had ended.)
    "$wine" "$cli_exe" download --board 8052 --port COM2 "$(winpath "$work/data/interrupt.bin")" \
        > "$work/interrupt.out" 2>&1 &
    local pid=$!   # (the program itself: wine64 becomes it)
    # Well into the download: the board has had a second of it.
    wait_for 300 read_more "$reader" $((read0 + 1000)) || fail "the board got no download"
    kill -INT "$pid"
    wait "$pid"
    status=$?
    out=$(tr '\r' '\n' < "$work/interrupt.out" | tail -n 2)
    echo "$out"
    [ "$status" -eq 130 ] || fail "exit status $status, not 130"
    count=$(grep -o -i 'up to [0-9]*' <<< "$out" | grep -o '[0-9]*$' | tail -n 1)
    [ -n "$count" ] || fail "no \"up to N\" said"
    wait_for 50 stored_more 2 "$before" || fail "the board stored nothing"
    held=$(stat -c %s "$(stored 2)")
    echo "said up to $count bytes; the board holds $held"
    [ "$held" -le "$count" ] || fail "the board holds more than was said"
    [ "$held" -gt 0 ] && [ "$held" -lt 9600 ] || fail "the board holds $held bytes"
    cmp -n "$held" "$work/data/interrupt.bin" "$(stored 2)" || fail "what the board holds is not the start of the file"
}
check cli-interrupt-leaves-prefix interrupts

# ---- boards on the network, behind ser2net ------------------------------------------------

# A VXT-8088 on COM3 behind a raw TCP port and a VXT-8052 on COM4 behind an RFC 2217 port of
# ser2net on 127.0.0.1, given to the Windows programs by the user's ports file
# (%LOCALAPPDATA%\kestrion\ports.conf). The file goes again after these tests, so that the
# windows' tests see the serial ports alone.
free_port() {
    local port tries=200
    while [ $((tries -= 1)) -gt 0 ]; do
        port=$((20000 + RANDOM % 40000))
        listening "$port" || { echo "$port"; return 0; }
    done
    return 1
}
listening() { ss -Hltn "sport = :$1" | grep -q .; }

ports_file="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/kestrion/ports.conf"
network_up() {
    start_board 3 8088 && start_board 4 8052 || { echo "the boards for ser2net did not start"; return 1; }
    raw_port=$(free_port) && rfc2217_port=$(free_port) || { echo "no free TCP port"; return 1; }
    cat > "$work/ser2net.yaml" << YAML
%YAML 1.1
---
connection: &raw
  accepter: tcp,127.0.0.1,$raw_port
  connector: serialdev,$(readlink -f "$work/com/COM3"),9600n81,local
connection: &rfc2217
  accepter: telnet(rfc2217),tcp,127.0.0.1,$rfc2217_port
  connector: serialdev,$(readlink -f "$work/com/COM4"),9600n81,local
YAML
    # -n: in the foreground; -d: its faults on standard output; -u: no system lock files.
    ser2net -n -d -u -P "$work/ser2net.pid" -c "$work/ser2net.yaml" > "$results/ser2net.log" 2>&1 &
    background+=($!)
    wait_for 100 listening "$raw_port" && wait_for 100 listening "$rfc2217_port" || { echo "ser2net did not start"; return 1; }
    mkdir -p "$(dirname "$ports_file")"
    printf '[ports]\r\nCOM3=socket://127.0.0.1:%s\r\nCOM4=rfc2217://127.0.0.1:%s\r\n' \
        "$raw_port" "$rfc2217_port" > "$ports_file"
}
if network_up > "$results/network.log" 2>&1; then
    lists_addresses() {
        local out
        out=$(cli ports | tr -d '\r') || fail "ports ended with status $?"
        echo "$out"
        grep -q "^COM3.*socket://127.0.0.1:$raw_port" <<< "$out" || fail "COM3 is not listed with its address"
        grep -q "^COM4.*rfc2217://127.0.0.1:$rfc2217_port" <<< "$out" || fail "COM4 is not listed with its address"
    }
    check net-ports-lists-addresses lists_addresses
    check net-download-8088-socket downloads 8088 3 "$work/data/small.bin"
    check net-upload-8088-socket uploads 8088 3
    check net-download-8052-rfc2217 downloads 8052 4 "$work/data/small.bin"
    check net-upload-8052-rfc2217 uploads 8052 4
else
    failed=$((failed + 1))
    echo "FAIL  network ($(tail -n 1 "$results/network.log"))"
fi
rm -f "$ports_file"

# ---- the windows, on a virtual display ---------------------------------------------------

# A search ends with an X error when a window goes away while it runs: it is tried again.
window_named() { xdotool search --onlyvisible --name "$1" 2> /dev/null | head -n 1; }
window_shown() { found=$(window_named "$1"); [ -n "$found" ]; }
# wait_window NAME TENTHS: the window, once shown, in $found.
wait_window() { wait_for "$2" window_shown "$1"; }
# Whether window $1 is the only one shown.
only_window() { [ "$(xdotool search --onlyvisible --name . 2> /dev/null)" = "$1" ]; }
shot() { import -window root "$results/$1.png"; }

kestrion_window() {   # kestrion_window LANGUAGE-KEYS SCREENSHOT-PREFIX
    local before pid
    before=$(stored_count 1)
    (cd "$programs/bin" && exec "$wine" "$programs/bin/Kestrion.exe") > "$results/$2-kestrion.log" 2>&1 &
    pid=$!
    # The first window of a new prefix takes Wine a while.
    wait_window '.' 900 || fail "no window at all"
    shot "$2-splash"
    wait_window '^(Setting|設定)$' 900 || fail "no settings dialog"
    # The dialog is there while the splash still covers it: keys typed then are lost.
    wait_for 300 only_window "$found" || fail "the splash did not go"
    xdotool windowfocus --sync "$found" 2> /dev/null
    if [ "$1" = chinese ]; then
        # A click on 繁體中文 (the keys Tab Down did not reach the language dependably).
        eval "$(xdotool getwindowgeometry --shell "$found")"
        xdotool mousemove --sync $((X + CHINESE_X)) $((Y + CHINESE_Y)) click 1
        wait_window '^設定$' 50 || fail "the dialog did not turn to Chinese"
        sleep 0.5
    fi
    shot "$2-settings"
    xdotool key Return
    wait_window 'VXT-8088' 300 || fail "no transfer window"
    xdotool windowfocus --sync "$found" 2> /dev/null
    xdotool key alt+s ctrl+a
    xdotool type --delay 20 "$(winpath "$work/data/small.bin")"
    sleep 0.3
    shot "$2-window"
    xdotool key alt+d
    wait_for 100 stored_more 1 "$before" || fail "the board got nothing from the window"
    sleep 1
    shot "$2-finished"
    cmp "$work/data/small.bin" "$(stored 1)" || fail "the board holds other bytes"
    kill "$pid" 2> /dev/null
    "$wineserver" -k > /dev/null 2>&1
    wait "$pid" 2> /dev/null
    return 0
}
CHINESE_X=142 CHINESE_Y=32   # the 繁體中文 button in the settings dialog
check kestrion-window-english kestrion_window english en
check kestrion-window-chinese kestrion_window chinese zh

# autorun.exe in the disc's files: its Software page's link starts setup\setup.exe.
autorun_starts_setup() {
    local disc="$work/disc"
    xorriso -osirrox on -indev "$iso" -extract / "$disc" > /dev/null 2>&1 || fail "cannot read $iso"
    chmod -R u+w "$disc"
    for file in autorun.inf autorun.exe Software.jpg e-contact.jpg setup/setup.exe readme.htm \
                Dos/VXT-8088/add32.bin "kestrion_${version}_amd64.deb"; do
        [ -f "$disc/$file" ] || fail "not on the disc: $file"
    done
    cmp "$setup" "$disc/setup/setup.exe" || fail "setup\\setup.exe is not the setup program"
    (cd "$disc" && exec "$wine" "$disc/autorun.exe") > "$results/autorun.log" 2>&1 &
    local pid=$!
    wait_window 'Data Transfer System V1' 900 || fail "no autorun window"
    local window=$found
    shot autorun
    # The green link on the Software page.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove --sync $((X + AUTORUN_LINK_X)) $((Y + AUTORUN_LINK_Y)) click 1
    wait_for 300 pgrep -f 'setup\\setup\.exe|setup/setup\.exe' > /dev/null || fail "setup\\setup.exe did not start"
    sleep 3
    shot autorun-setup
    kill "$pid" 2> /dev/null
    "$wineserver" -k > /dev/null 2>&1
    return 0
}
AUTORUN_LINK_X=300 AUTORUN_LINK_Y=80
check autorun-starts-setup autorun_starts_setup

# ---- a board that goes away ----------------------------------------------------------------

# The VXT-8052 on COM2 switched off in the middle of a download: kestrion-cli says the
# port went away and how much had gone, and fails. (The last test that uses COM2.)
board_goes_away() {
    local reader read0 out status
    reader=$(board_pid 2)
    read0=$(bytes_read "$reader")
    "$wine" "$cli_exe" download --board 8052 --port COM2 "$(winpath "$work/data/interrupt.bin")" \
        > "$work/away.out" 2>&1 &
    local pid=$!
    wait_for 300 read_more "$reader" $((read0 + 1000)) || fail "the board got no download"
    kill "$reader"
    wait "$pid"
    status=$?
    out=$(tr '\r' '\n' < "$work/away.out" | grep . | tail -n 1)
    echo "$out"
    [ "$status" -eq 4 ] || fail "exit status $status, not 4"
    grep -q 'The device of COM2 went away' <<< "$out" || fail "it does not say that the port went away"
    grep -q -i 'up to [0-9]* *(' <<< "$out" || fail "it does not say how much had gone"
}
check cli-board-goes-away board_goes_away

# ---- the uninstaller ---------------------------------------------------------------------

uninstalls() {
    "$wine" "$programs/Uninstall.exe" /S || fail "the uninstaller ended with status $?"
    "$wineserver" -w   # it goes on as a copy of itself, so that it can remove itself
    [ ! -e "$programs" ] || { find "$programs"; fail "left behind in Program Files"; }
    [ ! -e "$menu" ] || { find "$menu"; fail "left behind in the Start menu"; }
    ! "$wine" reg query "$uninstall_key" > /dev/null 2>&1 || fail "the uninstall entry is still there"
}
check uninstaller-removes-all uninstalls

# ---- the setup in the system's language -----------------------------------------------------

# Starts the setup with its pages, waits for its window of that title, keeps a screenshot
# of it and ends it.
setup_window() {   # setup_window TITLE SCREENSHOT
    "$wine" "$setup" > "$results/$2.log" 2>&1 &
    local pid=$!
    wait_window "$1" 300 || fail "no setup window titled $1: $(xdotool search --onlyvisible --name . getwindowname %@ 2> /dev/null)"
    sleep 0.5
    shot "$2"
    kill "$pid" 2> /dev/null
    "$wineserver" -k > /dev/null 2>&1
    wait "$pid" 2> /dev/null
    return 0
}

# In English, then with Traditional Chinese the system's language: a zh_TW locale of our
# own (made into the work folder, as none need be installed) is what Wine takes it from.
speaks_the_systems_language() {
    setup_window '^Kestrion Setup$' setup-en
    mkdir -p "$work/locale"
    localedef -i zh_TW -f UTF-8 "$work/locale/zh_TW.UTF-8" || fail "localedef could not make zh_TW.UTF-8"
    export LOCPATH="$work/locale" LANG=zh_TW.UTF-8
    setup_window '^Kestrion 安裝$' setup-zh
    "$wine" "$setup" /S || fail "setup /S ended with status $?"
    local link
    for link in Kestrion.lnk "Kestrion 說明.lnk" "範例程式.lnk" "解除安裝 Kestrion.lnk"; do
        [ -f "$menu/$link" ] || { ls "$menu"; fail "no Start-menu entry $link"; }
    done
    uninstalls
}
check setup-in-the-systems-language speaks_the_systems_language

grep -h 'download rate through Wine' "$results/cli-download-rate.log" 2> /dev/null
echo "setup program: $(basename "$setup"), $(stat -c %s "$setup") bytes"
echo "screenshots and logs: ${results#"$root/"}/"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
