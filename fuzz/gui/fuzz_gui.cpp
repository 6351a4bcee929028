// The property loader feeding a GUI: arbitrary text as the surface's style properties, then
// the build bar's page and the pause menu laid out from it. Nothing may crash, and no laid
// out size may come out negative. Text the loader refuses (it logs why and throws) has nothing
// to lay out.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gui/vaterbasis.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/teigenschaften_serialisierung.h"
#include "tests/gui/gui_testhilfe.h"

namespace {
void Pruefe(const Gui::Basis* e) {
  // NaN compares false either way: only a real negative size is a fault here.
  if (e->mAutoGroesse && (e->mGroesse.x < 0.0f || e->mGroesse.y < 0.0f)) {
    const auto* v = e->mVater;
    // A fixed-size parent may be smaller than its fixed children; the layout's own output
    // (automatic sizes) never goes below 0.
    if (v && v->mAnordnung) std::abort();
  }
  if (const auto* v = dynamic_cast<const Gui::VaterBasis*>(e))
    for (const Gui::Basis* k : v->mKinder) Pruefe(k);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse) {
  static bool gestartet = (guitest::Starte(), true);
  (void)gestartet;
  const std::string text(reinterpret_cast<const char*>(daten), groesse);
  {
    Gui::Oberflaeche o("");
    // A text the loader refuses throws (the game ends then); the pages are laid out without it.
    try {
      TEigenschaften_Serialisierung::LadeEigenschaftenAusText(o.mEigenschaften, text.c_str());
    } catch (const Quarz_Ausnahme&) {
    }
    guitest::Baubalken leiste(o);
    auto* menue = new guitest::PauseMenue(o);
    o.FuegeKindHinzu(menue);
    guitest::Schritt();
    Pruefe(&o);
    o.MausBewegung(menue->mWeiter->AbsoluteMitte());
    o.TasteEingabe(Gui::TASTE_RUNTER, Gui::ZUSTAND_GEDRUECKT);
  }
  gTimer.Leere();
  return 0;
}
