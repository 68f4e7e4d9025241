#!/usr/bin/env bash
# Assembles the example programs in Dos/ into the binaries beside their sources.
#
#   dist/assemble-examples.sh              assemble both boards' examples
#   dist/assemble-examples.sh --check 8088 assemble into a scratch folder and compare with
#   dist/assemble-examples.sh --check 8052 the committed binaries (exit 77: no assembler)
#
# VXT-8088: nasm (Debian package nasm). VXT-8052: as31 (Debian package as31).
# The binaries are committed, so neither the build nor the package needs an assembler.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)

# assemble BOARD SOURCE OUTPUT
assemble() {
    case $1 in
        8088) nasm -f bin -o "$3" "$2" ;;
        8052) # as31 tells each pass it begins: show its output only when it fails
              local said
              said=$(as31 -Fbin -O"$3" "$2" 2>&1) || { echo "$said" >&2; return 1; } ;;
    esac
}

tool() { [ "$1" = 8088 ] && echo nasm || echo as31; }
sources() { [ "$1" = 8088 ] && echo "$here"/Dos/VXT-8088/*.asm || echo "$here"/Dos/VXT-8052/*.a51; }

if [ "${1:-}" = --check ]; then
    board=${2:?which board: 8088 or 8052}
    if ! command -v "$(tool "$board")" > /dev/null; then
        echo "$(tool "$board") is not installed: the VXT-$board examples are not checked"
        exit 77
    fi
    scratch=$(mktemp -d)
    trap 'rm -rf "$scratch"' EXIT
    status=0
    for source in $(sources "$board"); do
        binary=${source%.*}.bin
        assemble "$board" "$source" "$scratch/out.bin"
        if cmp -s "$scratch/out.bin" "$binary"; then
            echo "ok: $(basename "$binary")"
        else
            echo "DIFFERS: $(basename "$binary") does not match $(basename "$source")"
            status=1
        fi
    done
    exit $status
fi

for board in 8088 8052; do
    for source in $(sources "$board"); do
        assemble "$board" "$source" "${source%.*}.bin"
        echo "$(basename "${source%.*}.bin")"
    done
done
