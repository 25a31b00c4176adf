#!/usr/bin/env bash
# Draws the demo company's logo (logo.jpg, 480x136 at 240 dpi: 5.1 cm x 1.4 cm) with ImageMagick.
# Transferencia.doc carries the same picture embedded (hex, \pict\jpegblip): replace it there too.
set -euo pipefail
cd "$(dirname "$0")"
D=/usr/share/fonts/truetype/dejavu
wave() { # y: a sine wave across the mark, as a polyline
  local y=$1 pts=""
  for x in $(seq 24 4 112); do pts+=" $x,$(awk -v x=$x -v y=$y 'BEGIN{printf "%.1f", y-9*sin((x-24)/88*2*3.14159)}')"; done
  echo "$pts"
}
convert -size 480x136 xc:white \
  -fill '#1F4E79' -draw "circle 68,68 68,8" \
  -fill none -stroke white -strokewidth 7 -draw "stroke-linecap round stroke-linejoin round polyline $(wave 58)" \
  -draw "stroke-linecap round stroke-linejoin round polyline $(wave 82)" -stroke none \
  -fill '#1F4E79' -font $D/DejaVuSans-Bold.ttf -pointsize 54 -annotate +142+74 'Atlântico' \
  -fill '#2E8B8B' -font $D/DejaVuSans.ttf -pointsize 20 -kerning 2.5 -annotate +146+112 'GESTÃO E SAÚDE' \
  -strip -units PixelsPerInch -density 240 -quality 82 -sampling-factor 4:2:0 logo.jpg
