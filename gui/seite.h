#pragma once
// A page: a container laid out as a centred column whose stretch follows its children.
#include "gui/vaterbasis.h"

namespace Gui {

class Seite : public VaterBasis {
public:
  Seite(int unbenutzt, const BVektor<float>& dehnung);

  void Akzeptiere(Renderer& renderer) override;
  void FuegeKindHinzu(Basis* kind) override;
  void EntferneKind(Basis* kind) override;
};

}  // namespace Gui
