#include "tests/gemeinsam/bildschirm_lesen.h"

#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

std::vector<uint32_t> LiesBildschirm(Quarz_ZeichenKontext& kontext, int breite, int hoehe) {
  std::vector<uint32_t> pixel(static_cast<size_t>(breite) * static_cast<size_t>(hoehe), 0);
  TBereich ziel;
  ziel.mPixel = reinterpret_cast<uint8_t*>(pixel.data());
  ziel.mFormat = Quarz::PF_A8R8G8B8;
  ziel.mBreite = static_cast<uint64_t>(breite);
  ziel.mHoehe = static_cast<uint64_t>(hoehe);
  ziel.mPitch = static_cast<uint64_t>(breite) * 4;
  kontext.LiesBildschirmInhalt(ziel);
  return pixel;
}
