#pragma once
// Shared pieces of the GUI tests and benchmarks: the engine timer stepped by hand, the screen
// size set without a window, and the two pages the game builds (the build bar's page and the
// pause menu) rebuilt from their descriptions.
#include <boost/signals2/connection.hpp>
#include <string>

#include "gui/abstand.h"
#include "gui/auswahl.h"
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/oberflaeche.h"
#include "gui/seite.h"
#include "gui/text.h"

namespace guitest {

// The shipped property file in the source tree.
std::string KonfigPfad();

// Starts the engine timer afresh (no callbacks left) and sets the screen mode.
void Starte(int breite = 1280, int hoehe = 768);
// Sets the screen mode and fires the display-changed signal, as a window resize does.
void AendereBildschirm(int breite, int hoehe);
// Advances the engine timer; with 0 by one tick (enough to run a posted relayout).
void Schritt(float sekunden = 0.0f);

// The build bar's page: "Menü" (bound to back), the speed choice, a spacer, the stock text
// and six build checkboxes with tooltips, in a page 10 units in from the screen edge.
struct Baubalken {
  explicit Baubalken(Gui::Oberflaeche& oberflaeche);
  void PasseAn();  // page size from the screen

  Gui::Oberflaeche& mOberflaeche;
  Gui::Seite* mSeite;
  Gui::Button* mMenue;
  Gui::Auswahl* mZeit;
  Gui::Abstand* mAbstand;
  Gui::Text* mVorrat;
  Gui::Checkbox* mBoxen[6];
  boost::signals2::scoped_connection mBildschirm;
};

// The pause menu: a modal column centred on the screen with a title and two buttons; a choice
// hides it and deletes it 0.1 s later.
class PauseMenue : public Gui::VaterBasis {
public:
  explicit PauseMenue(Gui::Oberflaeche& oberflaeche);
  ~PauseMenue() override;
  bool IstModal() const override { return true; }
  void Waehle(int wahl);

  int mWahl = 0;
  Gui::Text* mTitel;
  Gui::Button* mWeiter;
  Gui::Button* mEnde;
  int* mErgebnis = nullptr;  // receives the choice when the menu is deleted
};

}  // namespace guitest
