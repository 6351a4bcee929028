#pragma once
// A label on a dark background; its alignment comes from its own properties.
#include <string>

#include "gui/basis.h"

namespace Gui {

class Text : public Basis {
public:
  // Flag bit 0: full width at its own height; otherwise it stretches both ways.
  Text(std::string text, uint64_t flags);

  void Akzeptiere(Renderer& renderer) override;
  std::string GetTypName() const override { return "text"; }

  std::string mText;
  uint64_t mFlags;
};

}  // namespace Gui
