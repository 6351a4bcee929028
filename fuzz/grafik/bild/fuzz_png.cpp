// The PNG reader on arbitrary bytes: it must never read outside the file or the image, and a
// successful load must give a whole A8R8G8B8 image that the writer's raw form can take.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/tspeicher.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse) {
  TSpeicher speicher;
  speicher.SchreibeMem(daten, groesse);
  speicher.ZurueckZumAnfang();
  Quarz_Bild bild;
  const bool gut = bild.LadePNG(speicher);
  if (speicher.Position() > speicher.Groesse()) std::abort();
  if (!gut) return 0;
  if (bild.mFormat != Quarz::PF_A8R8G8B8 || bild.mPitch != bild.mBreite * 4) std::abort();
  // Every pixel is there to be read (AddressSanitizer checks the buffer's extent).
  uint32_t summe = 0;
  for (uint64_t i = 0; i < bild.mPitch * bild.mHoehe; ++i) summe += bild.mPixel[i];
  volatile uint32_t behalten = summe;
  (void)behalten;
  return 0;
}
