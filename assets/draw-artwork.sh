#!/bin/bash
# Draws Kestrion's pictures into this folder: the program icon, the hand cursor of the
# web link, the About/transfer-window banner and the start-up splash; and the same icon at
# the desktop's sizes into ../dist/icons.
#
#   assets/draw-artwork.sh            # all of them
#   assets/draw-artwork.sh icon hand  # just these
#
# Needs ImageMagick 6 (/usr/bin/convert), the DejaVu fonts and, for the desktop icons
# (app-icons), rsvg-convert. The results are committed, so the build never runs this; run
# it again after changing a drawing and look at the pictures before committing them.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
IM=${IM:-/usr/bin/convert}
font_sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
font_bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
font_serif_bold=/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf
font_mono_bold=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf

# The 32 x 32 program icon: a trainer board with a DIP chip, a LED, a header and the
# gold edge fingers. Only colours of the classic 16-colour palette, no anti-aliasing.
draw_icon() {
    local args=()
    local x
    args+=(-fill '#C0C0C0')
    for x in 8 10 12 14 16 18 20 22; do
        args+=(-draw "rectangle $x,10 $x,11" -draw "rectangle $x,20 $x,21")
    done
    args+=(-fill '#000000' -draw 'rectangle 6,12 25,19'
           -fill '#808080' -draw 'rectangle 6,14 6,17'
           -fill '#FFFFFF' -draw 'point 8,17'
           -fill '#FF0000' -draw 'rectangle 3,7 4,8'
           -fill '#808000' -draw 'line 27,9 27,24')
    for x in 4 10 16 22; do
        args+=(-draw "line $x,22 $x,25")
    done
    args+=(-fill '#000000' -draw 'rectangle 26,6 28,8'
           -fill '#FFFF00' -draw 'point 27,7')
    for x in 4 7 10 13 16 19 22 25; do
        args+=(-draw "rectangle $x,26 $((x + 1)),28")
    done
    "$IM" -size 32x32 xc:none +antialias \
        -fill '#008000' -stroke '#000000' -draw 'rectangle 0,5 31,26' -stroke none \
        "${args[@]}" -strip -define png:exclude-chunks=date,time PNG8:"$here/icon.png"
}

# The program icon for desktop menus: the drawing of draw_icon as vector squares on the same
# 32-unit grid, kept crisp at every size. Writes ../dist/icons/hicolor: scalable/apps/
# kestrion.svg and the PNG sizes of the icon theme, rendered from it by rsvg-convert
# (Debian package librsvg2-bin).
icon_svg() {
    local x
    # rect X Y WIDTH HEIGHT COLOUR
    rect() { echo "  <rect x=\"$1\" y=\"$2\" width=\"$3\" height=\"$4\" fill=\"$5\"/>"; }
    echo '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32" shape-rendering="crispEdges">'
    echo '  <title>Kestrion</title>'
    rect 0 5 32 22 '#000000'
    rect 1 6 30 20 '#008000'
    for x in 8 10 12 14 16 18 20 22; do
        rect "$x" 10 1 2 '#C0C0C0'
        rect "$x" 20 1 2 '#C0C0C0'
    done
    rect 6 12 20 8 '#000000'
    rect 6 14 1 4 '#808080'
    rect 8 17 1 1 '#FFFFFF'
    rect 3 7 2 2 '#FF0000'
    rect 27 9 1 16 '#808000'
    for x in 4 10 16 22; do
        rect "$x" 22 1 4 '#808000'
    done
    rect 26 6 3 3 '#000000'
    rect 27 7 1 1 '#FFFF00'
    for x in 4 7 10 13 16 19 22 25; do
        rect "$x" 26 2 3 '#FFFF00'
    done
    echo '</svg>'
}

draw_app_icons() {
    local theme=$here/../dist/icons/hicolor size
    mkdir -p "$theme/scalable/apps"
    icon_svg > "$theme/scalable/apps/kestrion.svg"
    for size in 16 24 32 48 64 128 256; do
        mkdir -p "$theme/${size}x${size}/apps"
        rsvg-convert -w "$size" -h "$size" "$theme/scalable/apps/kestrion.svg" \
            | "$IM" png:- -strip -define png:exclude-chunks=date,time PNG32:"$theme/${size}x${size}/apps/kestrion.png"
    done
}

# The 32 x 32 pointing hand of the web link. The top pixel of the index finger is at
# (12, 5): the cursor's hot spot. Drawn pixel by pixel; '.' is transparent.
draw_hand() {
    local rows
    rows=$(cat <<'ART'
................................
................................
................................
................................
................................
...........###..................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo###...............
..........#ooo#oo###............
..........#ooo#oo#oo###.........
..........#ooo#oo#oo#oo#........
.....###..#ooo#oo#oo#oo#........
....#ooo#.#ooo#oo#oo#oo#........
....#oooo##oooooooooooo#........
.....#oooo#oooooooooooo#........
.....#ooooooooooooooooo#........
......#oooooooooooooooo#........
......#oooooooooooooooo#........
.......#ooooooooooooooo#........
.......#oooooooooooooo#.........
........#ooooooooooooo#.........
........#oooooooooooo#..........
.........#ooooooooooo#..........
.........#ooooooooooo#..........
.........#############..........
................................
................................
................................
ART
)
    {
        echo '/* XPM */'
        echo 'static char *hand[] = {'
        echo '"32 32 3 1",'
        echo '". c None",'
        echo '"# c #000000",'
        echo '"o c #FFFFFF",'
        sed 's/.*/"&",/' <<<"$rows"
        echo '};'
    } | "$IM" xpm:- -strip -define png:exclude-chunks=date,time PNG32:"$here/hand.png"
}

# The maker's logo in MVG, centred on (0, 0) and about 56 pixels across: a ring with a
# "V" drawn as two circuit traces ending in pads.
logo_mvg() {
    cat <<'MVG'
push graphic-context
  stroke '#FFFFFF' stroke-width 4 fill none
  circle 0,0 0,26
  stroke '#FFD23F' stroke-width 5 stroke-linecap round
  line -13,-12 0,13
  line 13,-12 0,13
  stroke none fill '#FFD23F'
  circle -13,-12 -13,-7
  circle 13,-12 13,-7
  fill '#FFFFFF'
  circle 0,13 0,17
pop graphic-context
MVG
}

# The 460 x 72 banner of the transfer windows and the About box: the logo and the
# maker's name on a blue band.
draw_banner() {
    local mvg
    mvg=$(
        echo 'push graphic-context translate 38,36'
        logo_mvg
        echo 'pop graphic-context'
        cat <<MVG
stroke '#FFFFFF' stroke-opacity 0.35 stroke-width 1 line 78,14 78,58 stroke none
fill '#FFFFFF' font '$font_bold' font-size 17 text 92,33 'Valtrona Computer Electronics Inc.'
fill '#BFD4FF' font '$font_sans' font-size 12 text 93,54 'Microprocessor training systems  ·  VXT-8088  ·  VXT-8052'
MVG
    )
    "$IM" -size 72x460 gradient:'#2452C8-#0A1F66' -rotate 90 \
        -draw "$mvg" -strip -quality 92 "$here/banner.jpg"
}

# One trainer board in MVG, 270 x 200 with its top-left corner at (0, 0): CPU, memories,
# the LED display, the hex keypad, the RS-232C connector and the board's name.
# $1 = board name ("VXT-8088"), $2 = CPU marking, $3 = second chip, $4 = third chip.
board_mvg() {
    local name=$1 cpu=$2 chip2=$3 chip3=$4
    local x y k i
    cat <<MVG
push graphic-context
  fill '#00000055' roundrectangle 6,8 276,208 10,10
  fill '#1E7A3C' stroke '#0E4420' stroke-width 2 roundrectangle 0,0 270,200 10,10
  stroke none fill '#C9C9C9'
  circle 12,12 12,17  circle 258,12 258,17  circle 12,188 12,193  circle 258,188 258,193
  fill '#1E7A3C'
  circle 12,12 12,14  circle 258,12 258,14  circle 12,188 12,190  circle 258,188 258,190
  stroke '#C8A83C' stroke-width 1.5 fill none
  polyline 112,39 122,39 122,27 128,27
  line 180,27 190,27
  line 44,59 44,70  line 67,59 67,70  line 90,59 90,70
  polyline 118,83 126,83 126,156 78,156 78,176
  polyline 242,42 242,50 262,50 262,170
  stroke none
MVG
    # CPU, a 40-pin DIP: pins, body, notch, marking
    echo "  fill '#D8D8D8'"
    for ((i = 0; i < 14; i++)); do
        x=$((26 + i * 6))
        echo "  rectangle $x,19 $((x + 2)),23  rectangle $x,55 $((x + 2)),59"
    done
    cat <<MVG
  fill '#151515' roundrectangle 22,23 112,55 2,2
  fill '#3A3A3A' circle 22,39 22,43
  fill '#E8E8E8' font '$font_mono_bold' font-size 13 text 44,44 '$cpu'
MVG
    # two smaller chips
    for k in 0 1; do
        x=$((128 + k * 62))
        [ "$k" = 0 ] && i=$chip2 || i=$chip3
        echo "  fill '#D8D8D8'"
        for ((y = 0; y < 8; y++)); do
            echo "  rectangle $((x + 4 + y * 6)),12 $((x + 6 + y * 6)),16  rectangle $((x + 4 + y * 6)),38 $((x + 6 + y * 6)),42"
        done
        echo "  fill '#151515' roundrectangle $x,16 $((x + 52)),38 2,2"
        echo "  fill '#DADADA' font '$font_sans' font-size 9 text $((x + 6)),31 '$i'"
    done
    # LED display: four digits
    cat <<MVG
  fill '#0C0C0C' stroke '#444444' stroke-width 1 rectangle 20,70 116,96 stroke none
  fill '#FF2A1A' font '$font_mono_bold' font-size 18 text 24,90 '8.8.8.8.'
MVG
    # hex keypad: 4 x 5 keys, 0..F and four function keys
    local keys=(C D E F GO 8 9 A B ST 4 5 6 7 RD 0 1 2 3 WR)
    for ((i = 0; i < 20; i++)); do
        x=$((136 + (i % 5) * 24))
        y=$((58 + (i / 5) * 24))
        if ((i % 5 == 4)); then echo "  fill '#C0392B'"; else echo "  fill '#ECECEC'"; fi
        echo "  stroke '#555555' stroke-width 1 roundrectangle $x,$y $((x + 19)),$((y + 19)) 3,3 stroke none"
        if ((i % 5 == 4)); then echo "  fill '#FFFFFF'"; else echo "  fill '#202020'"; fi
        if [ ${#keys[i]} = 1 ]; then
            echo "  font '$font_bold' font-size 11 text $((x + 6)),$((y + 14)) '${keys[i]}'"
        else
            echo "  font '$font_bold' font-size 8 text $((x + 3)),$((y + 13)) '${keys[i]}'"
        fi
    done
    # RS-232C connector on the bottom edge, and the board's silk-screen name
    cat <<MVG
  fill '#9A9A9A' stroke '#505050' stroke-width 1
  polygon 26,176 84,176 80,196 30,196
  stroke none fill '#303030'
MVG
    for ((i = 0; i < 5; i++)); do echo "  circle $((36 + i * 10)),182 $((36 + i * 10)),184"; done
    for ((i = 0; i < 4; i++)); do echo "  circle $((41 + i * 10)),190 $((41 + i * 10)),192"; done
    cat <<MVG
  fill '#F4F4F4' font '$font_sans' font-size 8 text 34,172 'RS-232C'
  fill '#F4F4F4' font '$font_bold' font-size 22 text 108,184 '$name'
  fill '#F4F4F4' font '$font_sans' font-size 9 text 28,114 'TRAINER KIT'
pop graphic-context
MVG
}

# The 640 x 470 start-up splash, a progressive JPEG: the two trainer boards and the
# maker's logo and name. The window is 468 pixels high, so the two bottom rows are
# never seen: nothing is drawn there.
draw_splash() {
    local mvg
    mvg=$(
        cat <<MVG
fill '#FFFFFF' font '$font_serif_bold' font-size 30 text 40,62 'Kestrion'
fill '#BFD4FF' font '$font_sans' font-size 15 text 42,88 'Data Transfer System for the VXT-8088 and VXT-8052 trainers'
stroke '#FFD23F' stroke-width 2 line 40,102 600,102 stroke none
MVG
        echo 'push graphic-context translate 38,124'
        board_mvg VXT-8088 'P8088' '27C256' '62256'
        echo 'pop graphic-context'
        echo 'push graphic-context translate 332,124'
        board_mvg VXT-8052 'P8052' '27C512' '8255A'
        echo 'pop graphic-context'
        echo 'push graphic-context translate 72,410'
        logo_mvg
        echo 'pop graphic-context'
        cat <<MVG
fill '#FFFFFF' font '$font_bold' font-size 22 text 114,412 'Valtrona Computer Electronics Inc.'
fill '#BFD4FF' font '$font_sans' font-size 12 text 115,432 'Microprocessor training systems  ·  Taiwan'
MVG
    )
    "$IM" -size 640x470 gradient:'#16378F-#050F33' \
        -draw "$mvg" -strip -interlace Plane -quality 90 "$here/splash.jpg"
}

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(icon hand banner splash app-icons)
for t in "${targets[@]}"; do
    case $t in
        icon) draw_icon ;;
        hand) draw_hand ;;
        banner) draw_banner ;;
        splash) draw_splash ;;
        app-icons) draw_app_icons ;;
        *) echo "draw-artwork: unknown picture '$t' (icon, hand, banner, splash, app-icons)" >&2; exit 2 ;;
    esac
done
