// The DDS reader on arbitrary bytes: it must never read outside the file, every level it
// fills must be whole, and small results convert to A8R8G8B8 through the region code
// (decompressing DXT blocks and reading float and 16-bit pixels).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

void PruefeKette(const Quarz_Bild* bild) {
  for (uint64_t l = 0; l < bild->mMipAnzahl; ++l) {
    const Quarz_Bild* stufe = Quarz_Bild::GetMipStufe(bild, l);
    if (!stufe) std::abort();
    const uint64_t bytes = Quarz::GetBildBytes(stufe->mFormat, stufe->mBreite, stufe->mHoehe);
    uint32_t summe = 0;
    for (uint64_t i = 0; i < bytes; ++i) summe += stufe->mPixel[i];
    volatile uint32_t behalten = summe;
    (void)behalten;
    if (stufe->mBreite * stufe->mHoehe <= 64 * 64) {
      Quarz_Bild argb(stufe->mBreite, stufe->mHoehe, Quarz::PF_A8R8G8B8, 1);
      stufe->KopiereIn(argb);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse) {
  TSpeicher speicher;
  speicher.SchreibeMem(daten, groesse);
  speicher.ZurueckZumAnfang();
  Quarz_Bild bild;
  const bool gut = bild.LadeDDS(speicher);
  if (speicher.Position() > speicher.Groesse()) std::abort();
  if (!gut) return 0;
  if (bild.IstCubeMap()) {
    for (const Quarz_Bild* seite : bild.mSeiten) {
      if (!seite) std::abort();
      PruefeKette(seite);
    }
  } else {
    PruefeKette(&bild);
  }
  return 0;
}
