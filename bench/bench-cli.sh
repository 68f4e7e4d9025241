#!/usr/bin/env bash
# CPU of kestrion-cli at the real line rate: each of the four transfers against the
# simulated board (960 bytes a second), timed by the shell; the CPU counts the whole
# process, start-up included, over the time the line was busy (its bytes at the line
# rate, which bench_transfers shows the transfers reach). The uploads run twice: with the
# board's bytes handed over 10 ms of line time at a time, as a UART's driver does, and
# byte by byte, as some USB adapters do. Prints figures, asserts nothing.
#
#   bench/bench-cli.sh [BYTES]          (default 8000; build first: scripts/kestrion.sh build)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cli="$root/build/cli/kestrion-cli"
board="$root/build/tools/vxt-board"
size=${1:-8000}
work=$(mktemp -d)
trap 'kill "${simulator:-}" 2>/dev/null || true; rm -rf "$work"' EXIT
head -c "$size" /dev/urandom > "$work/source.bin"
export KESTRION_COM_DIR="$work"
send_delay=1   # an upload's board starts sending this long after the program

start_board() {   # board [simulator options]
    [ -n "${simulator:-}" ] && kill "$simulator" 2>/dev/null && wait "$simulator" 2>/dev/null || true
    rm -f "$work/COM1.ctl"
    "$board" --board "$@" --dir "$work" --port 1 < /dev/null > /dev/null &
    simulator=$!
    while [ ! -e "$work/COM1.ctl" ]; do sleep 0.1; done
}

measure() {   # label board direction line-bytes [simulator options]
    local label=$1 b=$2 direction=$3 line_bytes=$4 file
    shift 4
    start_board "$b" "$@"
    [ "$direction" = download ] && file="$work/source.bin" || file="$work/target.bin"
    [ "$direction" = upload ] && (sleep "$send_delay"; echo "send $work/source.bin" > "$work/COM1.ctl") &
    local TIMEFORMAT='%R %U %S' times
    times=$( { time "$cli" "$direction" --board "$b" --port COM1 "$file" > /dev/null; } 2>&1 )
    read -r real user sys <<< "$times"
    awk -v what="$label" -v bytes="$line_bytes" -v real="$real" -v cpu="$(echo "$user + $sys" | bc)" 'BEGIN {
        busy = bytes / 960
        printf "%-28s %7d bytes on the line  %6.2f s (%6.2f s in all)  CPU %.3f s = %5.2f%% of a core\n",
               what, bytes, busy, real, cpu, 100 * cpu / busy }'
}

echo "kestrion-cli, $size bytes, line rate 960 B/s"
measure "8088 download" 8088 download $((size * 2 + 1))
measure "8052 download" 8052 download "$size"
measure "8088 upload" 8088 upload $((size * 2 + 1))
measure "8052 upload" 8052 upload $((size + 2))
measure "8088 upload, byte by byte" 8088 upload $((size * 2 + 1)) --piece 1
measure "8052 upload, byte by byte" 8052 upload $((size + 2)) --piece 1

# A class set: the same file to three boards at once (two on pseudo-terminals, one on a
# TCP port of its own), against the time to one of them.
kill "$simulator" 2>/dev/null && wait "$simulator" 2>/dev/null || true
simulator=
boards=()
trap 'kill "${boards[@]}" 2>/dev/null || true; rm -rf "$work"' EXIT
rm -f "$work"/COM*
for n in 1 2; do
    "$board" --board 8052 --dir "$work" --port "$n" < /dev/null > /dev/null &
    boards+=($!)
done
"$board" --board 8052 --dir "$work" --port 3 --listen 0 < /dev/null > /dev/null &
boards+=($!)
while [ ! -e "$work/COM1.ctl" ] || [ ! -e "$work/COM2.ctl" ] || [ ! -s "$work/COM3" ]; do sleep 0.1; done

class_set() {   # label ports...
    local label=$1 times
    shift
    local ports=()
    for p in "$@"; do ports+=(--port "$p"); done
    local TIMEFORMAT='%R %U %S'
    times=$( { time "$cli" download --board 8052 "${ports[@]}" "$work/source.bin" > /dev/null; } 2>&1 )
    read -r real user sys <<< "$times"
    awk -v what="$label" -v bytes="$size" -v real="$real" -v cpu="$(echo "$user + $sys" | bc)" -v n="$#" 'BEGIN {
        busy = bytes / 960
        printf "%-28s %2d board(s), %7d bytes each  %6.2f s in all (line time %5.2f s)  CPU %.3f s = %5.2f%% of a core, %5.3f%% per board\n",
               what, n, bytes, real, busy, cpu, 100 * cpu / busy, 100 * cpu / busy / n }'
}

class_set "one board" COM1
class_set "class set of three" COM1 COM2 COM3

# A class set on the network: the same download to 32 boards at once, each behind a TCP
# port of its own (vxt-board --listen, raw, as ser2net's raw port), against one of them.
kill "${boards[@]}" 2>/dev/null && wait "${boards[@]}" 2>/dev/null || true
boards=()
addresses=()
for n in $(seq 1 32); do
    mkdir -p "$work/net$n"
    "$board" --board 8052 --dir "$work/net$n" --port 1 --listen 0 < /dev/null > /dev/null &
    boards+=($!)
done
for n in $(seq 1 32); do
    while [ ! -s "$work/net$n/COM1" ]; do sleep 0.1; done
    addresses+=("$(head -n 1 "$work/net$n/COM1")")
done
class_set "one board on the network" "${addresses[0]}"
class_set "class set of 32" "${addresses[@]}"

