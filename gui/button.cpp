#include "gui/button.h"

#include "gui/oberflaeche.h"
#include "gui/renderer.h"

namespace Gui {

Button::Button(std::string beschriftung, GrafikVerweis&& bild)
    : mBeschriftung(std::move(beschriftung)), mDruckZeit(LangeHer()), mBild(std::move(bild)) {
  if (mBild.mBatch && mBeschriftung.empty()) SetGroesse(mBild.SpriteGroesse(), false);
}

void Button::Akzeptiere(Renderer& renderer) { renderer.ZeichneButton(this); }

void Button::SetTaste(uint64_t code) {
  if (code > TASTE_KEINE) return;
  if (mOberflaeche && mTaste != TASTE_KEINE) mOberflaeche->LoeseTaste(mTaste, this);
  mTaste = code;
  if (mOberflaeche && mTaste != TASTE_KEINE) mOberflaeche->BindeTaste(mTaste, this);
}

void Button::Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche) {
  if (mOberflaeche && mTaste != TASTE_KEINE) mOberflaeche->LoeseTaste(mTaste, this);
  Basis::Anhaengen(vater, oberflaeche);
  if (mOberflaeche && mTaste != TASTE_KEINE) mOberflaeche->BindeTaste(mTaste, this);
}

void Button::BeiTaste(TasteEreignis& ereignis) {
  if (ereignis.mCode != TASTE_ZEIGER1 && ereignis.mCode != TASTE_AKTIVIERE && ereignis.mCode != mTaste)
    return;
  ereignis.Verbrauche();
  if (ereignis.IstDruck()) {
    mDruckZeit = Jetzt();
    mGedrueckt();
  }
}

}  // namespace Gui
