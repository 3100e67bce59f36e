#!/usr/bin/env bash
# Remakes every picture and the shot sound from scratch, and copies the font
# with its licence. Needs ImageMagick, sox and Debian's fonts-blankenburg.
set -euo pipefail
cd "$(dirname "$0")/.."
fonte=/usr/share/fonts/truetype/blankenburg/Blankenburg_UNZ1A.ttf
mkdir -p rsrc_img font son

# Target: 64 x 64 rings on black, so it reads as round on the black scene.
# The blue ring is a colour nothing else on screen has: the test bot looks for it.
convert -size 64x64 xc:black -strip \
  -fill white      -draw 'circle 31.5,31.5 31.5,1' \
  -fill '#0050ff'  -draw 'circle 31.5,31.5 31.5,7' \
  -fill white      -draw 'circle 31.5,31.5 31.5,14' \
  -fill '#ff2000'  -draw 'circle 31.5,31.5 31.5,21' \
  -fill yellow     -draw 'circle 31.5,31.5 31.5,27' \
  -quality 95 rsrc_img/target.jpg

# Window icon: the same target, 32 x 32.
convert rsrc_img/target.jpg -resize 32x32 -type TrueColor BMP3:rsrc_img/curseur.bmp

# Cursor sprite: a 32 x 32 crosshair on a transparent background.
convert -size 32x32 xc:none -strip -stroke '#40ff40' -strokewidth 2 -fill none \
  -draw 'circle 15.5,15.5 15.5,5' -draw 'line 15.5,0 15.5,11' -draw 'line 15.5,20 15.5,31' \
  -draw 'line 0,15.5 11,15.5' -draw 'line 20,15.5 31,15.5' \
  +antialias -channel A -threshold 50% +channel rsrc_img/curseur.gif

# Ground: a 600 x 48 strip of grass and earth, seeded so it is the same every time.
convert -size 600x48 -seed 7 gradient:'#3f8a2a'-'#4a3418' -attenuate 0.6 +noise Gaussian \
  -blur 0x0.8 -strip -quality 90 rsrc_img/terrain.jpg

# Game-over picture: 400 x 200.
convert -size 400x200 xc:'#300000' -strip -fill '#ff2020' -font "$fonte" -pointsize 96 \
  -gravity center -annotate +0-10 'Perdu !' -fill '#c0c0c0' -pointsize 28 \
  -annotate +0+70 'une touche pour sortir' -bordercolor '#ff2020' -border 4 \
  -quality 92 rsrc_img/perdu.jpg

# Shot: a quarter-second crack of noise with a fast decay, 16-bit PCM mono.
sox -q -R -n -r 22050 -b 16 -c 1 son/pan.wav synth 0.25 brownnoise synth 0.25 whitenoise mix \
  fade q 0.002 0.25 0.22 gain -n -3

cp "$fonte" font/MorrisRomanBlack.ttf
cp /usr/share/doc/fonts-blankenburg/copyright font/LICENSE-Blankenburg.txt

# Menu icon for the installed game: the target at 48 x 48.
convert rsrc_img/target.jpg -strip -resize 48x48 -fuzz 10% -transparent black paquet/gavremo.png

# Scalable menu icon: the same rings as vectors, written out so it never varies.
cat > paquet/gavremo.svg <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <circle cx="32" cy="32" r="30.5" fill="#ffffff"/>
  <circle cx="32" cy="32" r="24.5" fill="#0050ff"/>
  <circle cx="32" cy="32" r="17.5" fill="#ffffff"/>
  <circle cx="32" cy="32" r="10.5" fill="#ff2000"/>
  <circle cx="32" cy="32" r="4.5" fill="#ffff00"/>
</svg>
EOF

# The rings of the scalable icon drawn at $1 x $1 pixels on the background $2, into $3.
anneaux() {
  local n=$1 a r couleur c bord dessin=()
  for a in '30.5 #ffffff' '24.5 #0050ff' '17.5 #ffffff' '10.5 #ff2000' '4.5 #ffff00'; do
    read -r r couleur <<<"$a"
    c=$(awk -v n="$n" 'BEGIN { print (n - 1) / 2 }')
    bord=$(awk -v n="$n" -v r="$r" 'BEGIN { print (n - 1) / 2 - r * n / 64 }')
    dessin+=(-fill "$couleur" -draw "circle $c,$c $c,$bord")
  done
  convert -size "${n}x$n" "xc:$2" -strip "${dessin[@]}" -depth 8 "$3"
}

# Icons of the page once installed on a phone.
for n in 192 512; do anneaux $n black "plateforme/web/icone-$n.png"; done

# The Windows program's icon, on a transparent background, at the sizes Explorer and
# the taskbar ask for; ImageMagick stores the 256-pixel one as PNG inside.
tailles=$(mktemp -d)
trap 'rm -rf "$tailles"' EXIT
for n in 16 32 48 256; do anneaux $n none "PNG32:$tailles/$n.png"; done
convert "$tailles"/{16,32,48,256}.png plateforme/windows/gavremo.ico
