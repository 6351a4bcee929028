#pragma once
// The visitor that draws elements: each element's Akzeptiere calls the operation of its kind.
#include "quarzklassen/kern/bvektor.h"

namespace Gui {

class Basis;
class Auswahl;
class Checkbox;
class Hinweis;
class Seite;
class Button;
class Text;

class Renderer {
public:
  virtual ~Renderer() = default;
  virtual void Beginne() {}
  virtual void BeginneElement(Basis*, const BVektor<float>&, const BVektor<float>&) {}
  virtual void BeendeElement(Basis*) {}
  virtual void Beende() {}
  virtual void ZeichneAuswahl(Auswahl* e);
  virtual void ZeichneCheckbox(Checkbox* e);
  virtual void ZeichneHinweis(Hinweis* e);
  virtual void ZeichneSeite(Seite* e);
  virtual void ZeichneButton(Button* e);
  virtual void ZeichneText(Text* e);
  virtual void ZeichneElement(Basis*) {}
};

}  // namespace Gui
