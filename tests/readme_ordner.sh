#!/usr/bin/env bash
# The README's layout section is how a newcomer finds a subsystem: every folder of the tree must
# be named there (as "name/"). Seed folders of the fuzz corpus and layer-internal headers are
# covered by their parents' lines.
set -euo pipefail
wurzel="$1"
cd "$wurzel"
layout="$(sed -n '/^## Layout$/,/^## /p' README.md)"
fehlend=0
while IFS= read -r ordner; do
  name="$(basename "$ordner")"
  if ! grep -qF "$name/" <<<"$layout"; then
    echo "README nennt den Ordner nicht: $ordner" >&2
    fehlend=1
  fi
done < <(find quarzklassen input preprocessor gui spiel plattform Daten tools tests bench fuzz \
           -type d -not -name intern -not -path 'fuzz/korpus/*' -not -path '*/korpus/*' | sort)
[ "$fehlend" -eq 0 ] && echo "README nennt jeden Ordner"
exit "$fehlend"
