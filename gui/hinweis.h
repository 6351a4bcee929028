#pragma once
// A tooltip beside its owner, on the side towards the screen centre, sized by its text.
#include <string>

#include "gui/basis.h"

namespace Gui {

class Hinweis : public Basis {
public:
  Hinweis(std::string text, Basis* besitzer);

  void Akzeptiere(Renderer& renderer) override;

  // Hides the tooltip and deletes it once its fade-out has ended.
  void Verstecke();

  Basis* mBesitzer = nullptr;
  std::string mText;
};

}  // namespace Gui
