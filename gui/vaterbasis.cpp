#include "gui/vaterbasis.h"

#include <algorithm>

#include "gui/anordnung.h"
#include "gui/renderer.h"

namespace Gui {

VaterBasis::~VaterBasis() {
  delete mAnordnung;
  mAnordnung = nullptr;
  LoescheKinder();
}

void VaterBasis::LoescheKinder() {
  // Each child's destructor takes itself out of this vector; always take the topmost one.
  while (!mKinder.empty()) {
    Basis* kind = mKinder.back();
    delete kind;
    if (!mKinder.empty() && mKinder.back() == kind) mKinder.pop_back();
  }
}

void VaterBasis::Akzeptiere(Renderer& renderer) {
  for (Basis* kind : mKinder) kind->Akzeptiere(renderer);
}

void VaterBasis::SetSichtbar(bool sichtbar) {
  Basis::SetSichtbar(sichtbar);
  for (Basis* kind : mKinder) kind->SetSichtbar(sichtbar);
}

BVektor<float> VaterBasis::GetGroesse() {
  if (!mAnordnung) return BVektor<float>(100, 40, 0);
  return mAnordnung->Groesse(*this);
}

void VaterBasis::Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche) {
  Basis::Anhaengen(vater, oberflaeche);
  for (Basis* kind : mKinder) kind->Anhaengen(this, oberflaeche);
  PlaneAnordnung();
}

void VaterBasis::FuegeKindHinzu(Basis* kind) {
  if (kind->mVater) kind->mVater->EntferneKind(kind);
  mKinder.push_back(kind);
  kind->Anhaengen(this, mOberflaeche);
  kind->SetSichtbar(mSichtbar != 0);
  PlaneAnordnung();
}

void VaterBasis::EntferneKind(Basis* kind) {
  auto it = std::find(mKinder.begin(), mKinder.end(), kind);
  if (it == mKinder.end()) return;
  mKinder.erase(it);
  kind->Anhaengen(nullptr, nullptr);
  PlaneAnordnung();
}

void VaterBasis::SetAnordnung(Anordnung* anordnung) {
  delete mAnordnung;
  mAnordnung = anordnung;
  PlaneAnordnung();
}

void VaterBasis::DehnungAusKindern() {
  BVektor<float> d(0, 0, 0);
  for (const Basis* kind : mKinder) {
    d.x = std::max(d.x, kind->mDehnung.x);
    d.y = std::max(d.y, kind->mDehnung.y);
  }
  mDehnung = d;
}

void VaterBasis::OrdneAn() {
  if (mAnordnungLaeuft || !mAnordnung) return;
  mAnordnungLaeuft = 1;
  mAnordnung->Platziere(*this);
  mAnordnungLaeuft = 0;
}

void VaterBasis::OrdneBaumAn() {
  OrdneAn();
  // The parent is placed first, so each child container's own size is final here.
  for (Basis* kind : mKinder)
    if (auto* behaelter = dynamic_cast<VaterBasis*>(kind)) behaelter->OrdneBaumAn();
}

}  // namespace Gui
