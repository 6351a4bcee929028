# What the game's end-to-end scripts share; sourced by them after `set -uo pipefail`, with the
# program as their first argument. Each runs in the working directory it is started in
# (tools/testhuelle gives each run its own), with its own XDG_DATA_HOME and "spiel.cfg".

# A display of its own: xdotool's keys go to the window under the pointer, and windows of tests
# running beside this one must not be there.
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
export WEILERBAU_SEED=1234

# Waits up to 120 s for a line in the game's log.
warte_auf() {
  for _ in $(seq 1200); do grep -q "$1" "$LOG" && return 0; sleep 0.1; done
  fehler "keine Zeile \"$1\""; return 1
}
# Every key and click is a plain tap, pressed and released at once, as a quick player or a
# script gives them: each must act even when both arrive between two frames.
# tippe KEY: a tap. tippe_bis KEY LINE: a tap, then wait for the line in the log.
tippe() { xdotool key "$1"; sleep 0.5; }
tippe_bis() { xdotool key "$1"; warte_auf "$2"; sleep 0.3; }
klick() {
  xdotool mousemove --window "$FENSTER" "$1" "$2"; sleep 0.5
  xdotool click 1; sleep 0.5
}

# Starts the game with its log in $LOG and finds its window ($SPIEL, $FENSTER).
starte_spiel() {
  "$PROGRAMM" > "$LOG" 2>&1 &
  SPIEL=$!
  FENSTER="$(timeout 60 xdotool search --sync --name '^Weilerbau$' | head -n1)"
  [ -n "$FENSTER" ] || fehler "kein Fenster \"Weilerbau\""
  sleep 1
}
# "quit" in the console, then the game must end by itself with status 0.
beende_spiel() {
  tippe F11
  xdotool type --delay 100 quit
  tippe Return
  if ! timeout 120 tail --pid="$SPIEL" -f /dev/null; then
    fehler "das Spiel endet nicht"; kill -9 "$SPIEL"
  fi
  wait "$SPIEL"; local status=$?
  [ "$status" -eq 0 ] || fehler "Exit-Status $status statt 0"
}
# Error lines: the text after the prefix "SSSS:UUUUUU (tXXXX): " starts with "!". Only the
# audio system's report of a machine without a sound card may be among them; and nothing may be
# left unreleased.
pruefe_log_sauber() {
  local zeilen
  zeilen="$(grep -E '^[0-9]{4}:[0-9]{6} \(t[0-9a-f]{4}\): !' "$1" | grep -v 'Keine Audio-Treiber verfügbar\.')"
  [ -z "$zeilen" ] || fehler "Fehlerzeilen: $zeilen"
  grep -q 'nicht freigegeben' "$1" && fehler "nicht freigegebene Objekte"
  return 0
}
