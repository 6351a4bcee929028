#include "gui/seite.h"

#include "gui/anordnung.h"
#include "gui/renderer.h"

namespace Gui {

Seite::Seite(int, const BVektor<float>& dehnung) {
  mAnordnung = new Anordnung(Anordnung::SPALTE, 0.5f, 0.5f);
  mDehnung = dehnung;
}

void Seite::Akzeptiere(Renderer& renderer) {
  renderer.ZeichneSeite(this);
  VaterBasis::Akzeptiere(renderer);
}

void Seite::FuegeKindHinzu(Basis* kind) {
  VaterBasis::FuegeKindHinzu(kind);
  DehnungAusKindern();
}

void Seite::EntferneKind(Basis* kind) {
  VaterBasis::EntferneKind(kind);
  DehnungAusKindern();
}

}  // namespace Gui
