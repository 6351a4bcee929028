#include "gui/hinweis.h"

#include <cmath>

#include "gui/oberflaeche.h"
#include "gui/renderer.h"

namespace Gui {

namespace {
// Beside the owner towards the screen centre, kept on the screen.
float Lage(float mitte, float eigene, float besitzer, float schirm) {
  float p = mitte > schirm * 0.5f ? mitte - eigene - 0.6f * besitzer : mitte + 0.6f * besitzer;
  if (p < 0.0f) p = 0.0f;
  if (p + eigene > schirm) p = schirm - eigene;
  return p;
}
}  // namespace

Hinweis::Hinweis(std::string text, Basis* besitzer) : mText(std::move(text)) {
  const float k = 1.0f + std::sqrt(0.04f * static_cast<float>(mText.size()));
  SetGroesse(BVektor<float>(150.0f * k, 70.0f * k, 0.0f), false);
  if (!besitzer || !besitzer->mOberflaeche) return;
  mBesitzer = besitzer;
  const BVektor<float> c = besitzer->AbsoluteMitte();
  const BVektor<float>& schirm = besitzer->mOberflaeche->mGroesse;
  SetPosition(BVektor<float>(Lage(c.x, mGroesse.x, besitzer->mGroesse.x, schirm.x),
                             Lage(c.y, mGroesse.y, besitzer->mGroesse.y, schirm.y), c.z),
              false);
}

void Hinweis::Akzeptiere(Renderer& renderer) { renderer.ZeichneHinweis(this); }

void Hinweis::Verstecke() {
  SetSichtbar(false);
  LoescheVerzoegert(0.5f);
}

}  // namespace Gui
