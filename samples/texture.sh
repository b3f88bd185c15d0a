#!/usr/bin/env bash
# Regenerates samples/texture.png, the brick texture used to try the fill
# (32 x 16 pixels: two rows of bricks offset by half a brick). Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 32x16 xc:'#b5532f' -fill '#e9dcc4' -stroke none \
    -draw 'rectangle 0,0 31,0' -draw 'rectangle 0,8 31,8' \
    -draw 'rectangle 0,1 0,7' -draw 'rectangle 16,1 16,7' \
    -draw 'rectangle 8,9 8,15' -draw 'rectangle 24,9 24,15' \
    -fill '#9c4426' -draw 'rectangle 3,3 5,4' -draw 'rectangle 20,11 22,12' \
    PNG24:texture.png
