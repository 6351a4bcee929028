#!/usr/bin/env bash
# The whole game under a real X display, driven like a player with xdotool: two screenshots
# (the second paused), resume, a field chosen on the build bar and placed, then "quit" typed in
# the console. Then the failure path without any display. Runs in the working directory it is
# started in (tools/testhuelle gives each run its own), with its own XDG_DATA_HOME.
# Usage: weilerbau_e2e.sh PROGRAM
set -uo pipefail
# A display of its own: xdotool's keys go to the window under the pointer, and windows of tests
# running beside this one must not be there.
if [ -z "${WEILERBAU_E2E_ANZEIGE:-}" ]; then
  exec env WEILERBAU_E2E_ANZEIGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
PROGRAMM="$1"
ORT="$(pwd)"
FEHLER=0
fehler() { echo "FEHLER: $*"; FEHLER=1; }

export XDG_DATA_HOME="$ORT/xdg"
BENUTZER="$XDG_DATA_HOME/Weilerbau"
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

# Waits up to 60 s for a line in the log.
warte_auf() {
  for _ in $(seq 600); do grep -q "$1" "$ORT/ausgabe.txt" && return 0; sleep 0.1; done
  fehler "keine Zeile \"$1\""; return 1
}
# Every key and click is a plain tap, pressed and released at once, as a quick player or a
# script gives them: each must act even when both arrive between two frames.
# tippe KEY: a tap. tippe_bis KEY LINE: a tap, then up to 60 s for the line in the log.
tippe() { xdotool key "$1"; sleep 0.5; }
tippe_bis() { xdotool key "$1"; warte_auf "$2"; sleep 0.3; }
klick() {
  xdotool mousemove --window "$FENSTER" "$1" "$2"; sleep 0.5
  xdotool click 1; sleep 0.5
}


"$PROGRAMM" > "$ORT/ausgabe.txt" 2>&1 &
SPIEL=$!
FENSTER="$(timeout 60 xdotool search --sync --name '^Weilerbau$' | head -n1)"
[ -n "$FENSTER" ] || fehler "kein Fenster \"Weilerbau\""
sleep 1
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
tippe F11
xdotool type --delay 100 quit
tippe Return

STATUS=0
if ! timeout 120 tail --pid="$SPIEL" -f /dev/null; then
  fehler "das Spiel endet nicht"; kill -9 "$SPIEL"
fi
wait "$SPIEL"; STATUS=$?
[ "$STATUS" -eq 0 ] || fehler "Exit-Status $STATUS statt 0"

LOG="$ORT/ausgabe.txt"
grep -q 'Log-Start' "$LOG" || fehler "kein Log-Start"
# The input library's start-up line reaches the log: its hook is set before it is created.
grep -q 'Input says: ORVIS instance created\.' "$LOG" || fehler "Eingabe-Start fehlt im Log"
[ "$(grep -c 'Screenshot saved as' "$LOG")" -eq 2 ] || fehler "nicht zwei Bildschirmfotos"
grep -q 'Screen wird geschlossen\.' "$LOG" || fehler "Screen nicht geschlossen"
# Error lines: the text after the prefix "SSSS:UUUUUU (tXXXX): " starts with "!". Only the
# audio system's report of a machine without a sound card may be among them.
FEHLERZEILEN="$(grep -E '^[0-9]{4}:[0-9]{6} \(t[0-9a-f]{4}\): !' "$LOG" | grep -v 'Keine Audio-Treiber verfügbar\.')"
[ -z "$FEHLERZEILEN" ] || fehler "Fehlerzeilen: $FEHLERZEILEN"
grep -q 'nicht freigegeben' "$LOG" && fehler "nicht freigegebene Objekte"
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
