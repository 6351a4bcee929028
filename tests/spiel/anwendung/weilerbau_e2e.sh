#!/usr/bin/env bash
# The whole game under a real X display, driven like a player with xdotool: two screenshots
# (the second paused), resume, a field chosen on the build bar and placed, then "quit" typed in
# the console. Then the end by a signal and the failure path without any display.
# Usage: weilerbau_e2e.sh PROGRAM
set -uo pipefail
source "$(dirname "$0")/e2e_gemeinsam.sh"
# Every frame advances the clocks by exactly 1/60 s, so the run repeats itself.
export WEILERBAU_FESTER_TAKT=1

starte_spiel
tippe_bis F1 'screenshot0000.png'
tippe Escape
sleep 1
tippe_bis F1 'screenshot0001.png'
tippe Escape
sleep 1
# The build bar's "(1) Feld" (the lowest six rows of the left column are the build choices), then free ground.
klick 135 401
klick 600 330
warte_auf 'Gesetzt: Bautyp 1'
beende_spiel

grep -q 'Log-Start' "$LOG" || fehler "kein Log-Start"
# The input library's start-up line reaches the log: its hook is set before it is created.
grep -q 'Input says: ORVIS instance created\.' "$LOG" || fehler "Eingabe-Start fehlt im Log"
[ "$(grep -c 'Screenshot saved as' "$LOG")" -eq 2 ] || fehler "nicht zwei Bildschirmfotos"
grep -q 'Screen wird geschlossen\.' "$LOG" || fehler "Screen nicht geschlossen"
pruefe_log_sauber "$LOG"
grep -q '<var name="displaywidth" wert="800"' "$BENUTZER/spiel.cfg" || fehler "spiel.cfg nicht geschrieben"
grep -q 'Gesetzt: Bautyp 1 .*009x Holz' "$LOG" || fehler "kein Feld gesetzt"

BILD0="$BENUTZER/screenshots/screenshot0000.png"
BILD1="$BENUTZER/screenshots/screenshot0001.png"
if [ -f "$BILD0" ] && [ -f "$BILD1" ]; then
  read -r B H OPAK FARBEN < <(identify -format '%w %h %[opaque] %k\n' "$BILD0")
  [ "$B" = 800 ] && [ "$H" = 600 ] || fehler "Bildgröße ${B}x${H}"
  [ "${OPAK,,}" = true ] || fehler "Bild nicht deckend"
  [ "$FARBEN" -gt 1 ] || fehler "Bild einfarbig"
  HELL0="$(identify -format '%[fx:mean]' "$BILD0")"
  HELL1="$(identify -format '%[fx:mean]' "$BILD1")"
  awk -v a="$HELL0" -v b="$HELL1" 'BEGIN { exit !(b < a) }' || fehler "Pausenbild nicht dunkler ($HELL1 >= $HELL0)"
else
  fehler "Bildschirmfotos fehlen"
fi

# SIGTERM (like Ctrl+C or a closing session) ends the game the normal way, settings saved.
rm -f "$BENUTZER/spiel.cfg"
"$PROGRAMM" > "$ORT/signal.txt" 2>&1 &
SPIEL=$!
timeout 60 xdotool search --sync --name '^Weilerbau$' > /dev/null || fehler "Signal: kein Fenster"
sleep 1
kill -TERM "$SPIEL"
wait "$SPIEL"; STATUS=$?
[ "$STATUS" -eq 0 ] || fehler "Signal: Exit-Status $STATUS statt 0"
grep -q 'Screen wird geschlossen\.' "$ORT/signal.txt" || fehler "Signal: Screen nicht geschlossen"
grep -q 'nicht freigegeben' "$ORT/signal.txt" && fehler "Signal: nicht freigegebene Objekte"
[ -f "$BENUTZER/spiel.cfg" ] || fehler "Signal: spiel.cfg nicht geschrieben"

# Without a display: one exception line, the configuration still saved, exit code 255.
mkdir -p "$ORT/ohne"
rm -f "$BENUTZER/spiel.cfg"
( cd "$ORT/ohne" && env -u DISPLAY -u WAYLAND_DISPLAY "$PROGRAMM" > "$ORT/ohne.txt" 2>&1 )
STATUS=$?
[ "$STATUS" -eq 255 ] || fehler "ohne Anzeige: Exit-Status $STATUS statt 255"
[ "$(grep -c 'Exception thrown: ' "$ORT/ohne.txt")" -eq 1 ] || fehler "ohne Anzeige: nicht genau eine Ausnahmezeile"
grep -q 'Exception thrown: .* - Spiel::Anwendung::Anwendung(): Screen initialisation failed\.' "$ORT/ohne.txt" ||
  fehler "ohne Anzeige: Ausnahmezeile falsch"
[ -f "$BENUTZER/spiel.cfg" ] || fehler "ohne Anzeige: spiel.cfg nicht geschrieben"

if [ "$FEHLER" -ne 0 ]; then
  echo "---- Ausgabe des Spiels ----"; cat "$LOG"
  echo "---- Signal ----"; cat "$ORT/signal.txt"; echo "---- ohne Anzeige ----"; cat "$ORT/ohne.txt"
fi
exit "$FEHLER"
