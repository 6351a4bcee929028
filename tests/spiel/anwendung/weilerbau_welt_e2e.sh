#!/usr/bin/env bash
# The world stays whole on screen while the settlement changes it: the game under its own X
# display, a screenshot of the start view, fields placed around the farmhouse, a game minute at
# speed 4 with the camera left where it started, another screenshot. Wherever the start view
# shows the map, the later one must too: no pixel may turn into the main pass's clear colour
# (red 26, green 77, blue 128), the colour that shows through a terrain with holes.
# Usage: weilerbau_welt_e2e.sh PROGRAM
set -uo pipefail
source "$(dirname "$0")/e2e_gemeinsam.sh"
# The clocks follow real time here (capped at 0.1 s a frame), so the game minute costs a few
# hundred frames however slow the software rasteriser is.

# Engine seconds of the last log line that holds the text.
zeit_von() { grep "$1" "$LOG" | tail -n1 | awk -F'[: ]' '{ printf "%d.%06d\n", $1, $2 }'; }
bild() { tippe_bis F1 "$(printf 'screenshot%04d.png' "$1")"; }

# The shadow pass is 2048 x 2048 every frame: the software rasteriser gets a few threads of its
# own (the test runs alone).
export LP_NUM_THREADS=4
starte_spiel
bild 0
# Speed 4 (two steps of the speed key), then fields on the open ground right of the build bar.
tippe f; tippe f
tippe 1
for punkt in "600 330" "520 300" "680 300" "560 420" "660 420" "600 230" "720 380"; do
  klick $punkt
done
FELDER="$(grep -c 'Gesetzt: Bautyp 1 ' "$LOG")"
[ "$FELDER" -ge 3 ] || fehler "nur $FELDER Felder gesetzt"
# The pointer to a corner of the view (over the build bar a tooltip would cover the map).
xdotool mousemove --window "$FENSTER" 790 590

# A game minute at speed 4 is 15 s of the engine clock; the screenshots' log lines tell it.
ZIEL="$(awk -v t="$(zeit_von 'Gesetzt: Bautyp 1 ')" 'BEGIN { printf "%f", t + 15.5 }')"
erreicht() { awk -v t="$(zeit_von "$(printf 'screenshot%04d.png' "$1")")" -v z="$ZIEL" 'BEGIN { exit !(t >= z) }'; }
NUMMER=0
for _ in $(seq 60); do
  sleep 4
  NUMMER=$((NUMMER + 1))
  bild "$NUMMER" || break
  erreicht "$NUMMER" && break
done
beende_spiel
erreicht "$NUMMER" || fehler "keine Spielminute vergangen"
pruefe_log_sauber "$LOG"

# Pixels of the clear colour: white in a mask, everything else black.
maske() { convert "$1" -alpha off -fill black +opaque 'rgb(26,77,128)' -fill white -opaque 'rgb(26,77,128)' "$2"; }
ANFANG="$BILDER/screenshot0000.png"
ENDE="$BILDER/$(printf 'screenshot%04d.png' "$NUMMER")"
if [ -f "$ANFANG" ] && [ -f "$ENDE" ]; then
  maske "$ANFANG" "$ORT/himmel0.png"
  maske "$ENDE" "$ORT/himmel1.png"
  # The start view shows mostly map; the later one no clear colour where the start had map.
  HIMMEL="$(convert "$ORT/himmel0.png" -format '%[fx:mean]' info:)"
  awk -v h="$HIMMEL" 'BEGIN { exit !(h < 0.25) }' || fehler "Startansicht zu $HIMMEL Himmel"
  LOECHER="$(convert "$ORT/himmel1.png" \( "$ORT/himmel0.png" -negate \) -compose multiply -composite \
    -format '%[fx:round(mean*w*h)]' info:)"
  [ "$LOECHER" -eq 0 ] || fehler "$LOECHER Pixel der Löschfarbe, wo die Karte war"
else
  fehler "Bildschirmfotos fehlen"
fi

if [ "$FEHLER" -ne 0 ]; then
  echo "---- Ausgabe des Spiels ----"; cat "$LOG"
fi
exit "$FEHLER"
