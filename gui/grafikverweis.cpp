#include "gui/grafikverweis.h"

#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"

namespace Gui {

GrafikVerweis::GrafikVerweis(GrafikVerweis&& quelle) noexcept { Uebernimm(quelle); }

GrafikVerweis& GrafikVerweis::operator=(GrafikVerweis&& quelle) noexcept {
  if (this != &quelle) {
    Freigeben();
    Uebernimm(quelle);
  }
  return *this;
}

void GrafikVerweis::Uebernimm(GrafikVerweis& quelle) {
  mBatch = quelle.mBatch;
  mIndex = quelle.mIndex;
  mBesitzt = quelle.mBesitzt;
  // An owning handle hands the batch over; a borrowing one is simply copied.
  if (quelle.mBesitzt) {
    quelle.mBatch = nullptr;
    quelle.mIndex = KEINE_ID;
    quelle.mBesitzt = 0;
  }
}

GrafikVerweis::~GrafikVerweis() { Freigeben(); }

void GrafikVerweis::Freigeben() {
  if (mBesitzt) delete mBatch;
  mBatch = nullptr;
  mIndex = KEINE_ID;
  mBesitzt = 0;
}

BVektor<float> GrafikVerweis::SpriteGroesse() const {
  if (!mBatch || !mBatch->HatGrafik(mIndex)) return BVektor<float>(0, 0, 0);
  const TGrafikSlot& slot = mBatch->Grafik(mIndex);
  return BVektor<float>(static_cast<float>(slot.mBreite), static_cast<float>(slot.mHoehe), 0.0f);
}

}  // namespace Gui
