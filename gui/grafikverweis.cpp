#include "gui/grafikverweis.h"

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
  mBatch = nullptr;
  mIndex = KEINE_ID;
  mBesitzt = 0;
}

BVektor<float> GrafikVerweis::SpriteGroesse() const { return BVektor<float>(0, 0, 0); }

}  // namespace Gui
