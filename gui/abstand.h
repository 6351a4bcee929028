#pragma once
// An empty spacer; in a column it takes the free height.
#include "gui/basis.h"

namespace Gui {

class Abstand : public Basis {
public:
  Abstand();

  void Akzeptiere(Renderer& renderer) override;
  BVektor<float> GetGroesse() override;

  BVektor<float> mEigeneGroesse{0, 0, 0};
};

}  // namespace Gui
