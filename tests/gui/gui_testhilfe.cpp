// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "tests/gui/gui_testhilfe.h"

#include <algorithm>

#include "gui/anordnung.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"

namespace guitest {

std::string KonfigPfad() { return std::string(WEILERBAU_QUELLEN) + "/Daten/GuiKonfig.xml"; }

void Starte(int breite, int hoehe) {
  gTimer.Leere();
  gTimer.Starte();
  Quarz_Screen3D::mModus.mBreite = breite;
  Quarz_Screen3D::mModus.mHoehe = hoehe;
}

void AendereBildschirm(int breite, int hoehe) {
  Quarz_Screen3D::mModus.mBreite = breite;
  Quarz_Screen3D::mModus.mHoehe = hoehe;
  Quarz_Screen3D::mDarstellungGeaendert();
}

void Schritt(float sekunden) {
  const int64_t ticks = Gui::Ticks(sekunden);
  gTimer.Vorruecken(ticks > 0 ? ticks : 1);
}

Baubalken::Baubalken(Gui::Oberflaeche& oberflaeche) : mOberflaeche(oberflaeche) {
  mSeite = new Gui::Seite(0, BVektor<float>(1, 1, 0));
  PasseAn();
  mSeite->SetPosition(BVektor<float>(10, 10, 0), false);
  oberflaeche.FuegeKindHinzu(mSeite);
  mSeite->SetAnordnung(new Gui::Anordnung(Gui::Anordnung::SPALTE, 0.0f, 0.5f));

  auto fest = [](Gui::Basis* e, float b, float h) { e->SetGroesse(BVektor<float>(b, h, 0), false); };
  mMenue = new Gui::Button("Menü", Gui::GrafikVerweis());
  fest(mMenue, 250, 30);
  mSeite->FuegeKindHinzu(mMenue);
  mMenue->SetTaste(Gui::TASTE_ZURUECK);
  mZeit = new Gui::Auswahl(0, "(F) Zeit x1", "(F) Zeit x2", "(F) Zeit x4");
  fest(mZeit, 250, 30);
  mSeite->FuegeKindHinzu(mZeit);
  mAbstand = new Gui::Abstand();
  mSeite->FuegeKindHinzu(mAbstand);
  mVorrat = new Gui::Text("010x Nahrung\n010x Holz\n000x Stein", 0);
  fest(mVorrat, 250, 100);
  mVorrat->mEigenschaften.Knoten("richt_horiz").SetzeWert("float", "0");
  mSeite->FuegeKindHinzu(mVorrat);
  static const char* namen[6] = {"(1) Feld", "(2) Bauernhaus", "(3) Holzfäller",
                                 "(4) Forsthaus", "(5) Steinbruch", "(6) TURM"};
  for (int i = 0; i < 6; ++i) {
    mBoxen[i] = new Gui::Checkbox(namen[i]);
    fest(mBoxen[i], 250, 30);
    mBoxen[i]->mHinweisText = std::string("Hinweis zu ") + namen[i];
    mSeite->FuegeKindHinzu(mBoxen[i]);
  }
  mBildschirm = Quarz_Screen3D::mDarstellungGeaendert.connect([this] { PasseAn(); });
}

void Baubalken::PasseAn() {
  // A window smaller than the margins leaves an empty page, never a negative one.
  const float b = std::max(0.0f, static_cast<float>(Quarz_Screen3D::mModus.mBreite) - 20.0f);
  const float h = std::max(0.0f, static_cast<float>(Quarz_Screen3D::mModus.mHoehe) - 20.0f);
  mSeite->SetGroesse(BVektor<float>(b, h, 0), false);
}

PauseMenue::PauseMenue(Gui::Oberflaeche& oberflaeche) {
  const BVektor<float> schirm = oberflaeche.mGroesse;
  SetGroesse(BVektor<float>(schirm.x * 0.5f, schirm.y * 0.5f, 0), true);
  SetPosition(BVektor<float>(schirm.x * 0.25f, schirm.y * 0.25f, 0), true);
  SetAnordnung(new Gui::Anordnung(Gui::Anordnung::SPALTE, 0.5f, 0.5f));
  FuegeKindHinzu(new Gui::Abstand());
  mTitel = new Gui::Text("Pause", 0);
  FuegeKindHinzu(mTitel);
  mWeiter = new Gui::Button("Weiter", Gui::GrafikVerweis());
  mWeiter->SetTaste(Gui::TASTE_ZURUECK);
  mWeiter->mGedrueckt.connect([this] { Waehle(0); });
  FuegeKindHinzu(mWeiter);
  mEnde = new Gui::Button("Ende", Gui::GrafikVerweis());
  mEnde->mGedrueckt.connect([this] { Waehle(1); });
  FuegeKindHinzu(mEnde);
  FuegeKindHinzu(new Gui::Abstand());
}

PauseMenue::~PauseMenue() {
  if (mErgebnis) *mErgebnis = mWahl;
}

void PauseMenue::Waehle(int wahl) {
  mWahl = wahl;
  SetSichtbar(false);
  LoescheVerzoegert(0.1f);
}

}  // namespace guitest
