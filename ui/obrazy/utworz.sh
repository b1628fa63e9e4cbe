#!/usr/bin/env bash
# Draws the installer's pictures (ImageMagick). The JPEG files are kept in the
# repository; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
F=DejaVu-Sans-Bold
J="-quality 92"

# The maker's logo: the letters on a blue-to-teal plate with a thin rule.
convert -size 112x36 gradient:'#0b2f6b-#1b8a8a' -rotate 90 -resize 112x36\! \
  -fill white -font $F -pointsize 20 -gravity center -annotate +0-2 'KV-Tek' \
  -fill '#9fe3e3' -draw 'rectangle 10,29 101,30' $J kvtek_logo.jpg
convert -size 117x41 gradient:'#1b8a8a-#0b2f6b' -rotate 90 -resize 117x41\! \
  -fill white -font $F -pointsize 21 -gravity center -annotate +0-3 'KV-Tek' \
  -fill '#ffd24a' -font DejaVu-Sans -pointsize 8 -annotate +0+13 'PRACOWNIA PROJEKTOWA' \
  $J kvtek_logo2.jpg

# The title strip and the background behind the views.
convert -size 30x730 gradient:'#f4f7fb-#c9d6e8' -rotate -90 $J pasek_tytulu.jpg
convert -size 730x330 gradient:'#eef2f7-#d6dfeb' \
  -fill none -stroke '#c7d2e2' -strokewidth 1 \
  -draw 'line 0,300 730,240' -draw 'line 0,320 730,270' $J tlo.jpg

# The completion pictures.
convert -size 300x100 gradient:'#ffffff-#dfe9f5' \
  -fill '#2e9e3e' -stroke '#1f6e2a' -strokewidth 2 -draw 'circle 50,50 50,16' \
  -fill none -stroke white -strokewidth 7 -draw 'polyline 34,50 46,63 68,37' \
  -stroke none -fill '#0b2f6b' -font $F -pointsize 22 -annotate +100+45 'Kavrostel 8.0' \
  -fill '#1b8a8a' -font DejaVu-Sans -pointsize 13 -annotate +100+70 'zainstalowany' $J koniec1.jpg
convert -size 400x100 gradient:'#ffffff-#dfe9f5' \
  -fill '#2e9e3e' -stroke '#1f6e2a' -strokewidth 2 -draw 'circle 50,50 50,16' \
  -fill none -stroke white -strokewidth 7 -draw 'polyline 34,50 46,63 68,37' \
  -stroke none -fill '#0b2f6b' -font $F -pointsize 19 -annotate +100+45 'Kavrostel Sterowany 8.0' \
  -fill '#1b8a8a' -font DejaVu-Sans -pointsize 13 -annotate +100+70 'zainstalowany' $J koniec2.jpg

# The installation page: a folder, a folder with a green arrow, a map sheet
# with a green arrow, a drawing sheet.
TECZKA=(-fill '#f2c04c' -stroke '#9a7212' -strokewidth 1
        -draw 'polygon 14,16 40,16 46,22 88,22 88,60 14,60'
        -fill '#f8d878' -draw 'polygon 14,28 88,28 88,60 14,60')
STRZALKA=(-fill '#2e9e3e' -stroke '#1f6e2a' -strokewidth 1
          -draw 'polygon 52,34 72,34 72,26 90,42 72,58 72,50 52,50')
convert -size 103x70 xc:white "${TECZKA[@]}" $J folder.jpg
convert -size 103x70 xc:white "${TECZKA[@]}" "${STRZALKA[@]}" $J folder_strzalka.jpg
convert -size 103x70 xc:white \
  -fill '#e3f1d8' -stroke '#6f8f5a' -strokewidth 1 -draw 'rectangle 10,8 64,62' \
  -fill none -stroke '#5b8fd1' -draw 'bezier 10,40 25,30 40,50 64,35' \
  -stroke '#a07c50' -draw 'bezier 20,8 30,25 28,45 40,62' "${STRZALKA[@]}" $J mapa_strzalka.jpg
convert -size 103x70 xc:white \
  -fill '#f7fbff' -stroke '#3b5b8a' -strokewidth 1 -draw 'rectangle 14,6 88,64' \
  -draw 'rectangle 60,52 88,64' -fill none -stroke '#1f3f6a' \
  -draw 'rectangle 24,16 52,40' -draw 'circle 38,28 38,22' \
  -draw 'line 56,16 80,16' -draw 'line 56,22 78,22' -draw 'line 24,46 52,46' $J rysunek.jpg
