#!/bin/bash
# Draws Kestrion's pictures into this folder: the program icon, the hand cursor of the
# web link, the About/transfer-window banner and the start-up splash.
#
#   assets/draw-artwork.sh            # all four
#   assets/draw-artwork.sh icon hand  # just these
#
# Needs ImageMagick 6 (/usr/bin/convert) and the DejaVu fonts. The results are committed,
# so the build never runs this; run it again after changing a drawing and look at the
# pictures before committing them.
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
        "${args[@]}" PNG8:"$here/icon.png"
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
    } | "$IM" xpm:- PNG32:"$here/hand.png"
}

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(icon hand banner splash)
for t in "${targets[@]}"; do
    case $t in
        icon) draw_icon ;;
        hand) draw_hand ;;
        banner) draw_banner ;;
        splash) draw_splash ;;
        *) echo "draw-artwork: unknown picture '$t' (icon, hand, banner, splash)" >&2; exit 2 ;;
    esac
done
