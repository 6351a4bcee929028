#include "spiel/grafik/spielgrafik.h"

#include <string>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_log.h"
#include "spiel/grafik/datenpfad.h"

namespace Spiel {

Quarz_BlockGfx3D* gSpielGrafik = nullptr;
Quarz_Font3D* gSpielSchrift = nullptr;

void LadeSpielGrafik() {
  {
    Quarz_Bild blatt;
    const bool geladen = blatt.LadeBildAusDatei(DatenDatei(L"grafik.png"));
    const TBereich bereich = blatt.LockSubBereich(0, 0, blatt.mBreite, blatt.mHoehe);
    gSpielGrafik = new Quarz_BlockGfx3D(1024, 1000, 0);
    // Both graphics lie in the sheet's top 32 x 16 pixels.
    if (!geladen || blatt.mBreite < 32 || blatt.mHoehe < 16) {
      gLog.Schreibe("!LadeModelle(): \"grafik.png\" fehlt oder ist kleiner als 32 x 16; keine Grafiken.");
    } else {
      gSpielGrafik->AddGrafik(0, bereich, 16, 0, 16, 16);
      gSpielGrafik->AddGrafik(1, bereich, 0, 0, 15, 15);
    }
    gSpielGrafik->AktualisiereMips();
  }
  gSpielSchrift = Quarz_Font3D::ErzeugeAusTrueType(DatenDatei(L"calibrib.ttf"));
  if (gSpielSchrift) gSpielSchrift->mSofortZeichnen = 0;
}

}  // namespace Spiel
