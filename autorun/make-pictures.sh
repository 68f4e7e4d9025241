#!/bin/sh
# Draws the launcher's pictures (600 x 400 pixels, 9000 x 6000 twips at 96 dpi):
#   pictures/background.jpg   design-time picture of picBackground (compiled in; never
#                              seen once a page picture has loaded)
#   sample/Software.jpg        sample "Software" page, for trying the launcher
#   sample/e-contact.jpg       sample "Contact" page
# Needs ImageMagick 6 (the real one at /usr/bin/convert). The pictures are committed, so
# the build does not need this script; run it again after changing it:
#   sh autorun/make-pictures.sh
set -eu
cd "$(dirname "$0")"
CONVERT=${CONVERT:-/usr/bin/convert}
FONT=Helvetica-Bold
FONT_R=Helvetica

# A board-like pattern: a grid of traces and pads over a gradient.
board() { # $1 top colour, $2 bottom colour, $3 trace colour, then more drawing and the file
    top=$1 bottom=$2 trace=$3
    shift 3
    "$CONVERT" -size 600x400 "gradient:$top-$bottom" \
        -stroke "$trace" -strokewidth 2 -fill none \
        -draw "polyline 0,330 90,330 120,300 300,300" \
        -draw "polyline 0,360 140,360 170,330 420,330 450,360 600,360" \
        -draw "polyline 600,210 560,210 530,240 530,300" \
        -draw "polyline 470,0 470,40 500,70 600,70" \
        -stroke none -fill "$trace" \
        -draw "circle 300,300 305,300" -draw "circle 530,300 535,300" \
        -draw "circle 600,70 605,70" -draw "circle 90,330 94,330" \
        "$@"
}

board '#3a3a3a' '#1c1c1c' '#4a4a4a' \
    -fill '#9a9a9a' -font "$FONT" -pointsize 22 -gravity center \
    -annotate +0-20 'frmAutorun - picBackground' \
    -font "$FONT_R" -pointsize 14 -annotate +0+14 'design-time picture (600 x 400)' \
    -quality 90 pictures/background.jpg

# Software page: links lie at x 248 px, y 48 and 88 px; the explanation at 16, 240 px.
board '#0b2a4a' '#02101f' '#1d4f7a' \
    -fill '#6fa8dc' -font "$FONT" -pointsize 13 -gravity northwest \
    -annotate +248+20 'SOFTWARE' \
    -fill '#dfe9f3' -font "$FONT" -pointsize 30 -annotate +24+130 'VXT-8088' \
    -annotate +24+166 'VXT-8052' \
    -fill '#9fc5e8' -font "$FONT_R" -pointsize 15 -annotate +26+206 'Trainer Kit - Distribution Disc' \
    -fill none -stroke '#6fa8dc' -strokewidth 1 -draw 'rectangle 16,230 350,320' \
    -stroke none -fill '#6fa8dc' -font "$FONT_R" -pointsize 11 -gravity southeast \
    -annotate +14+10 'Valtrona Computer Electronics Inc.' \
    -quality 90 sample/Software.jpg

# Contact page.
board '#14361f' '#04140a' '#2a6b3c' \
    -fill '#93c47d' -font "$FONT" -pointsize 13 -gravity northwest \
    -annotate +40+26 'CONTACT' \
    -fill '#e8f3e0' -font "$FONT" -pointsize 26 -annotate +40+62 'Valtrona Computer Electronics Inc.' \
    -fill '#c9e3bd' -font "$FONT_R" -pointsize 17 \
    -annotate +40+112 'Web:   www.valtrona.example' \
    -annotate +40+138 'Mail:  support@valtrona.example' \
    -annotate +40+176 'Makers of the VXT-8088 and VXT-8052' \
    -annotate +40+198 'single-board trainers.' \
    -quality 90 sample/e-contact.jpg
