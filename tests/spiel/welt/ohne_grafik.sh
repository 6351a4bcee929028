#!/usr/bin/env bash
# Fails when the executable given needs a graphics or windowing library or carries the engine's
# graphics classes.
set -euo pipefail
programm="$1"
fehler=0
if readelf -d "$programm" | grep -E 'NEEDED.*\[(libGL|libEGL|libOpenGL|libGLX|libepoxy|libglfw|libX11)' ; then
  echo "braucht eine Grafikbibliothek" >&2
  fehler=1
fi
if nm -C "$programm" | grep -E ' (T|U) .*(Quarz_Screen3D|Quarz_ZeichenKontext|epoxy_|glfw)' | head -5 | grep -q . ; then
  nm -C "$programm" | grep -E ' (T|U) .*(Quarz_Screen3D|Quarz_ZeichenKontext|epoxy_|glfw)' | head -5 >&2
  echo "enthält Grafikcode" >&2
  fehler=1
fi
[ "$fehler" -eq 0 ] && echo "ohne Grafik: $programm"
exit "$fehler"
