#include "gui/abstand.h"

#include "gui/renderer.h"

namespace Gui {

Abstand::Abstand() { mDehnung = BVektor<float>(0, 1, 0); }

void Abstand::Akzeptiere(Renderer& renderer) { renderer.ZeichneElement(this); }

BVektor<float> Abstand::GetGroesse() {
  const float s = Skalierung();
  return BVektor<float>(mEigeneGroesse.x * s, mEigeneGroesse.y * s, mEigeneGroesse.z * s);
}

}  // namespace Gui
