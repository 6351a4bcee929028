#include "gui/renderer.h"

#include "gui/auswahl.h"
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/hinweis.h"
#include "gui/seite.h"
#include "gui/text.h"

namespace Gui {

// Without a drawing of their own, the element kinds fall back to the generic operation.
void Renderer::ZeichneAuswahl(Auswahl* e) { ZeichneElement(e); }
void Renderer::ZeichneCheckbox(Checkbox* e) { ZeichneElement(e); }
void Renderer::ZeichneHinweis(Hinweis* e) { ZeichneElement(e); }
void Renderer::ZeichneSeite(Seite* e) { ZeichneElement(e); }
void Renderer::ZeichneButton(Button* e) { ZeichneElement(e); }
void Renderer::ZeichneText(Text* e) { ZeichneElement(e); }

}  // namespace Gui
