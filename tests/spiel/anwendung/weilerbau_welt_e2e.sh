#!/usr/bin/env bash
# The world stays whole on screen while the settlement changes it: the game under its own X
# display, a screenshot of the start view, fields placed around the farmhouse, a game minute at
# speed 4 with the camera left where it started, another screenshot. Wherever the start view
# shows the map, the later one must too: no pixel may turn into the main pass's clear colour
# (red 26, green 77, blue 128), the colour that shows through a terrain with holes.
# Usage: weilerbau_welt_e2e.sh PROGRAM
set -uo pipefail
if [ -z "${WEILERBAU_E2E_ANZEIGE:-}" ]; then
  exec env WEILERBAU_E2E_ANZEIGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
PROGRAMM="$1"
ORT="$(pwd)"
LOG="$ORT/ausgabe.txt"
FEHLER=0
fehler() { echo "FEHLER: $*"; FEHLER=1; }

export XDG_DATA_HOME="$ORT/xdg"
BENUTZER="$XDG_DATA_HOME/Weilerbau"
BILDER="$BENUTZER/screenshots"
mkdir -p "$BENUTZER"
cat > "$BENUTZER/spiel.cfg" <<'CFG'
<?xml version="1.0" ?>
<config>
<var name="debugShader" wert="0" />
<var name="displayheight" wert="600" />
<var name="displaywidth" wert="800" />
<var name="fullscreen" wert="0" />
<var name="vsync" wert="0" />
</config>
CFG
export WEILERBAU_SEED=1234 WEILERBAU_FESTER_TAKT=1

warte_auf() {
  for _ in $(seq 1200); do grep -q "$1" "$LOG" && return 0; sleep 0.1; done
  fehler "keine Zeile \"$1\""; return 1
}
# Engine seconds of the last log line that holds the text (the clock the fixed tick drives).
zeit_von() { grep "$1" "$LOG" | tail -n1 | awk -F'[: ]' '{ printf "%d.%06d\n", $1, $2 }'; }
# F1 is read as a key state once a frame: held until the screenshot's line shows.
bild() {
  local name; name="$(printf 'screenshot%04d.png' "$1")"
  xdotool keydown F1; warte_auf "$name"; xdotool keyup F1; sleep 0.2
}
klick() {
  xdotool mousemove --window "$FENSTER" "$1" "$2"; sleep 0.3
  xdotool mousedown 1; sleep 0.4; xdotool mouseup 1; sleep 0.4
}

# The game minute is 900 frames, each with a 2048 x 2048 shadow pass: the software rasteriser
# gets a few threads of its own for them (the test runs alone).
LP_NUM_THREADS=4 "$PROGRAMM" > "$LOG" 2>&1 &
SPIEL=$!
FENSTER="$(timeout 60 xdotool search --sync --name '^Weilerbau$' | head -n1)"
[ -n "$FENSTER" ] || fehler "kein Fenster \"Weilerbau\""
sleep 1
bild 0
# Speed 4 (two steps of the build bar's speed button), then fields on the open ground right of
# the build bar.
xdotool key f; sleep 0.3; xdotool key f; sleep 0.3
xdotool key 1; sleep 0.3
for punkt in "600 330" "520 300" "680 300" "560 420" "660 420" "600 230" "720 380"; do
  klick $punkt
done
FELDER="$(grep -c 'Gesetzt: Bautyp 1 ' "$LOG")"
[ "$FELDER" -ge 3 ] || fehler "nur $FELDER Felder gesetzt"
# The pointer to a corner of the view (over the build bar a tooltip would cover the map).
xdotool mousemove --window "$FENSTER" 790 590

# A game minute at speed 4 is 15 s of the engine clock; the screenshots' log lines tell it.
ZIEL="$(awk -v t="$(zeit_von 'Gesetzt: Bautyp 1 ')" 'BEGIN { printf "%f", t + 15.5 }')"
NUMMER=0
for _ in $(seq 60); do
  sleep 4
  NUMMER=$((NUMMER + 1))
  bild "$NUMMER" || break
  awk -v t="$(zeit_von "$(printf 'screenshot%04d.png' "$NUMMER")")" -v z="$ZIEL" 'BEGIN { exit !(t >= z) }' && break
done

# F11 is read as a key state too; the console gets the typed text as events.
xdotool keydown F11; sleep 1; xdotool keyup F11; sleep 0.5
xdotool type --delay 100 quit; sleep 0.3; xdotool key Return
if ! timeout 120 tail --pid="$SPIEL" -f /dev/null; then
  fehler "das Spiel endet nicht"; kill -9 "$SPIEL"
fi
wait "$SPIEL"; STATUS=$?
[ "$STATUS" -eq 0 ] || fehler "Exit-Status $STATUS statt 0"
awk -v t="$(zeit_von "$(printf 'screenshot%04d.png' "$NUMMER")")" -v z="$ZIEL" 'BEGIN { exit !(t >= z) }' ||
  fehler "keine Spielminute vergangen"
FEHLERZEILEN="$(grep -E '^[0-9]{4}:[0-9]{6} \(t[0-9a-f]{4}\): !' "$LOG" | grep -v 'Keine Audio-Treiber verfügbar\.')"
[ -z "$FEHLERZEILEN" ] || fehler "Fehlerzeilen: $FEHLERZEILEN"
grep -q 'nicht freigegeben' "$LOG" && fehler "nicht freigegebene Objekte"

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
