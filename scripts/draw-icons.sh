#!/usr/bin/env bash
# Draws the program's simple flat icons with ImageMagick into resources/.
# The PNG files are kept in the repository; run this only to redraw them.
set -euo pipefail
cd "$(dirname "$0")/../resources"
mkdir -p TestGraphics/icons AppIcon
I=TestGraphics/icons
F=DejaVu-Sans-Bold

disc() { # name colour [text] [text colour]
  convert -size 32x32 xc:none -fill "$2" -stroke '#00000040' -draw 'circle 16,16 16,3' \
    ${3:+-font $F -pointsize 13 -fill "${4:-white}" -stroke none -gravity center -annotate +0+0 "$3"} "$I/$1.png"
}
badge() { # name colour text: a rounded square badge used for alerts
  convert -size 32x32 xc:none -fill "$2" -stroke '#00000060' -draw 'roundrectangle 2,2 29,29 6,6' \
    -font $F -pointsize 11 -fill white -stroke none -gravity center -annotate +0+0 "$3" "$I/$1.png"
}
triangle() { # name colour text
  convert -size 32x32 xc:none -fill "$2" -stroke '#00000060' -draw 'polygon 16,2 30,29 2,29' \
    -font $F -pointsize 14 -fill white -stroke none -gravity center -annotate +0+4 "$3" "$I/$1.png"
}

disc Led_Green '#2fb84a'; disc Led_Orange '#f39a1e'; disc Led_Red '#e0322c'
disc mark_info '#2d7fd3' i; disc mark_error '#d63a32' '!'; triangle mark_warning '#f2b01e' '!'
disc mark_gas '#2aa198' G; disc ok '#2fb84a' '✓'; disc cancel '#d63a32' '×'
badge alertCeil '#d63a32' CEIL; badge alertRR '#e66a1f' RR; badge alertPmax '#8e44ad' PMAX
badge alertO2Hyperoxic '#c0392b' 'O2+'; badge alertO2Hypoxic '#2c3e90' 'O2-'; badge alertN2 '#34495e' N2
badge alertBattery '#e67e22' BAT; badge alertCNS '#b03a8a' CNS; badge alertDensity '#16a085' DENS

colours=('#f1c40f' '#2ecc71' '#3498db' '#e67e22' '#9b59b6' '#1abc9c' '#e74c3c' '#7f8c8d')
for n in 1 2 3 4 5 6 7 8; do
  convert -size 24x32 xc:none -fill "${colours[$((n-1))]}" -stroke '#00000080' \
    -draw 'roundrectangle 5,6 19,30 6,6' -draw 'rectangle 9,1 15,6' \
    -font $F -pointsize 11 -fill black -stroke none -gravity center -annotate +0+4 "$n" "$I/gas$n.png"
done
convert -size 24x32 xc:none -fill '#ffffff' -stroke '#2e8b57' -strokewidth 2 \
  -draw 'roundrectangle 5,6 19,30 6,6' -draw 'rectangle 9,1 15,6' \
  -font $F -pointsize 9 -fill '#2e8b57' -stroke none -gravity center -annotate +0+4 O2 "$I/oxygen-tank.png"

# A diver: head, body and fins.
convert -size 32x32 xc:none -fill '#1f4e8c' -draw 'circle 8,10 8,6' -draw 'polygon 11,9 26,15 24,19 10,14' \
  -draw 'polygon 24,15 31,11 31,22' "$I/diver.png"
for d in D R U; do
  case $d in D) a='polygon 8,4 16,4 16,12 22,12 12,24 2,12 8,12';; R) a='polygon 2,8 12,8 12,2 22,12 12,22 12,16 2,16';;
             U) a='polygon 8,24 16,24 16,12 22,12 12,0 2,12 8,12';; esac
  convert -size 24x24 xc:none -fill '#2d7fd3' -draw "$a" "$I/arrow$d.png"
  # The plan table's rows of the dive itself, apart from the computed ascent.
  convert -size 24x24 xc:none -fill '#2fb84a' -draw "$a" "$I/arrow${d}dive.png"
done
convert -size 32x32 xc:none -stroke '#333333' -strokewidth 3 -fill none \
  -draw 'polyline 4,12 4,4 12,4' -draw 'polyline 20,4 28,4 28,12' -draw 'polyline 28,20 28,28 20,28' -draw 'polyline 12,28 4,28 4,20' "$I/maximize.png"
convert -size 32x32 xc:none -stroke '#333333' -strokewidth 3 -fill none \
  -draw 'polyline 4,12 12,12 12,4' -draw 'polyline 20,4 20,12 28,12' -draw 'polyline 28,20 20,20 20,28' -draw 'polyline 12,28 12,20 4,20' "$I/minimize.png"
# Fit the whole dive: the profile inside its frame. Filter: a funnel.
convert -size 32x32 xc:none -fill none -stroke '#333333' -strokewidth 2 -draw 'rectangle 3,5 28,26' \
  -stroke '#2d7fd3' -strokewidth 2 -draw 'polyline 5,8 10,21 21,21 26,8' "$I/fitall.png"
convert -size 32x32 xc:none -fill '#2d7fd3' -stroke '#1f4e8c' -draw 'polygon 3,5 29,5 19,17 19,28 13,24 13,17' "$I/filter.png"
convert -size 32x32 xc:none -fill '#e6b33c' -stroke '#9c7420' -draw 'polygon 2,8 12,8 15,11 30,11 30,28 2,28' "$I/dossier.png"
convert -size 32x32 xc:none -fill '#2d7fd3' -draw 'polygon 12,2 20,2 20,14 27,14 16,26 5,14 12,14' -draw 'rectangle 4,27 28,30' "$I/download.png"
convert -size 32x32 xc:none -fill '#2fb84a' -draw 'polygon 12,30 20,30 20,18 27,18 16,6 5,18 12,18' -draw 'rectangle 4,2 28,5' "$I/import.png"
convert -size 32x32 xc:none -fill '#2fb84a' -draw 'polygon 8,4 28,16 8,28' "$I/run_simulation.png"
convert -size 32x32 xc:none -fill '#d63a32' -draw 'rectangle 7,5 13,27' -draw 'rectangle 19,5 25,27' "$I/pause.png"
convert -size 32x32 xc:none -fill none -stroke '#888888' -strokewidth 2 -draw 'path "M6,26 Q16,2 26,26"' -fill '#888888' -draw 'circle 16,22 16,19' "$I/effort.png"
convert -size 32x32 xc:none -fill none -stroke '#e0322c' -strokewidth 3 -draw 'path "M6,26 Q16,2 26,26"' -fill '#e0322c' -draw 'circle 16,22 16,18' "$I/effortOn.png"
for s in 0 1 2 3; do
  args=(-fill '#444444' -draw 'roundrectangle 4,12 20,52 3,3' -fill '#9fd3ff' -draw 'rectangle 6,16 18,46')
  for k in $(seq 1 $s); do r=$((k*8)); args+=(-fill none -stroke '#2d7fd3' -strokewidth 2 -draw "arc $((30-r)),$((32-r)) $((30+r)),$((32+r)) -50,50"); done
  convert -size 64x64 xc:none "${args[@]}" "$I/bluetooth-smartphone-step$s.png"
done
convert -size 64x64 xc:none -fill '#1b1b1b' -draw 'circle 32,32 32,6' -fill '#2d7fd3' -draw 'circle 32,32 32,12' \
  -font $F -pointsize 10 -fill white -gravity center -annotate +0+0 BLE "$I/Pelagon-bluetooth-on.png"
convert -size 64x64 xc:none -fill '#1b1b1b' -draw 'circle 32,32 32,6' -fill '#777777' -draw 'circle 32,32 32,12' \
  -font $F -pointsize 10 -fill white -gravity center -annotate +0+0 OFF "$I/Pelagon-power-off.png"
convert -size 600x340 gradient:'#0b3d6e'-'#1f8fcf' -font $F -pointsize 40 -fill white -gravity center \
  -annotate +0-20 'Pelagon DiveLog' -pointsize 16 -annotate +0+30 'dive log and dive planner' "$I/splashscreen.png"
convert -size 256x256 xc:none -fill '#1f6fb5' -draw 'circle 128,128 128,8' -fill white \
  -draw 'polygon 60,150 128,70 196,150 160,150 160,196 96,196 96,150' \
  -define icon:auto-resize=256,64,48,32,16 AppIcon/TessalySystemsDiveIcon.ico
