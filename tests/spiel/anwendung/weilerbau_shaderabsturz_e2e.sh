#!/usr/bin/env bash
# A player's edit that crashes glslang: "int i;void i" in front of the main pass's pixel shader.
# The game, its GL driver running threads of its own, ends as for any shader that does not
# compile: the exception line naming the shader, glslang's failure among the compiler's
# messages, no crash report.
# Usage: weilerbau_shaderabsturz_e2e.sh PROGRAM
set -uo pipefail
source "$(dirname "$0")/e2e_gemeinsam.sh"

# The game with a data folder of its own: an application folder with bin64/ and Daten/.
SPIEL_ORDNER="$ORT/spiel"
mkdir -p "$SPIEL_ORDNER/bin64"
cp "$PROGRAMM" "$(dirname "$PROGRAMM")/weilerbau_glslang" "$SPIEL_ORDNER/bin64/"
cp -r "$(dirname "$PROGRAMM")/../Daten" "$SPIEL_ORDNER/"
{ printf 'int i;void i'; cat "$(dirname "$PROGRAMM")/../Daten/start.ps"; } > "$SPIEL_ORDNER/Daten/start.ps"

LP_NUM_THREADS=2 timeout 120 "$SPIEL_ORDNER/bin64/$(basename "$PROGRAMM")" > "$LOG" 2>&1
STATUS=$?
[ "$STATUS" -eq 255 ] || fehler "Exit-Status $STATUS statt 255"
grep -q 'Exception thrown: .*PixelShader nicht übersetzbar' "$LOG" || fehler "keine Ausnahmezeile zum PixelShader"
grep -q 'glslang failed on this source' "$LOG" || fehler "keine Meldung über glslang"
grep -q 'Exception code:' "$LOG" && fehler "Absturzbericht im Log"
[ -e "$BENUTZER/MiniDump.dmp" ] && fehler "MiniDump.dmp geschrieben"

if [ "$FEHLER" -ne 0 ]; then
  echo "---- Ausgabe des Spiels ----"; cat "$LOG"
fi
exit "$FEHLER"
