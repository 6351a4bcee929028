#include "quarzklassen/grafik/geraet/quarz_tiefezustand.h"

Quarz_TiefeZustand::Quarz_TiefeZustand(const Quarz_TiefeZustandBeschr& beschr) : mBeschr(beschr) {
  static const DWORD kVergleiche[7] = {D3DCMP_NEVER, D3DCMP_LESS,         D3DCMP_LESSEQUAL,
                                       D3DCMP_EQUAL, D3DCMP_GREATER,      D3DCMP_GREATEREQUAL,
                                       D3DCMP_NOTEQUAL};
  mTest = beschr.mTest ? 1 : 0;
  mSchreiben = beschr.mSchreiben ? 1 : 0;
  mVergleich = beschr.mVergleich >= 0 && beschr.mVergleich < 7 ? kVergleiche[beschr.mVergleich]
                                                               : D3DCMP_ALWAYS;
}
