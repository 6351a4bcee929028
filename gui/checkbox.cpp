#include "gui/checkbox.h"

#include "gui/renderer.h"

namespace Gui {

Checkbox::Checkbox(std::string beschriftung)
    : mBeschriftung(std::move(beschriftung)),
      mUmschaltZeit(LangeHer()),
      mAnZeit(LangeHer()),
      mAusZeit(LangeHer()) {
  mDehnung = BVektor<float>(1, 0, 0);
}

void Checkbox::Akzeptiere(Renderer& renderer) { renderer.ZeichneCheckbox(this); }

void Checkbox::SetWert(bool wert) {
  if ((mWert != 0) == wert) return;
  mWert = wert ? 1 : 0;
  mGeaendert(wert);
}

void Checkbox::BeiTaste(TasteEreignis& ereignis) {
  if (ereignis.mCode != TASTE_ZEIGER1 && ereignis.mCode != TASTE_AKTIVIERE) return;
  ereignis.Verbrauche();
  if (!ereignis.IstDruck()) return;
  mUmschaltZeit = Jetzt();
  SetWert(!mWert);
  (mWert ? mAnZeit : mAusZeit) = Jetzt();
}

}  // namespace Gui
