#include "gui/text.h"

#include "gui/renderer.h"

namespace Gui {

Text::Text(std::string text, uint64_t flags) : mText(std::move(text)), mFlags(flags) {
  mDehnung = (flags & 1) ? BVektor<float>(1, 0, 0) : BVektor<float>(1, 1, 0);
}

void Text::Akzeptiere(Renderer& renderer) { renderer.ZeichneText(this); }

}  // namespace Gui
