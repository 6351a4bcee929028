// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "gui/oberflaeche.h"

#include <algorithm>
#include <cmath>

#include "gui/anordnung.h"
#include "gui/hinweis.h"
#include "gui/renderer.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/teigenschaften_serialisierung.h"

namespace Gui {

namespace {

BVektor<float> Bildschirmgroesse() {
  return BVektor<float>(static_cast<float>(Quarz_Screen3D::mModus.mBreite),
                        static_cast<float>(Quarz_Screen3D::mModus.mHoehe), 0.0f);
}

float Skalar(const BVektor<float>& a, const BVektor<float>& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

bool Innen(const BVektor<float>& p, const BVektor<float>& g) {
  return p.x >= 0.0f && p.y >= 0.0f && p.x < g.x && p.y < g.y;
}

const VaterBasis* AlsModal(const Basis* e) {
  const auto* behaelter = dynamic_cast<const VaterBasis*>(e);
  return behaelter && behaelter->IstModal() ? behaelter : nullptr;
}

// The topmost child that is a visible modal container, or null. Children added after it (a
// tooltip) do not lift its modality, and a hidden one (a menu fading out) blocks nothing.
const Basis* ObersterModalerSichtbarer(const VaterBasis& vater) {
  for (auto it = vater.mKinder.rbegin(); it != vater.mKinder.rend(); ++it)
    if ((*it)->mSichtbar && AlsModal(*it)) return *it;
  return nullptr;
}

void SammleSichtbare(Basis* e, std::vector<Basis*>& liste) {
  if (!e->mSichtbar) return;
  liste.push_back(e);
  if (auto* behaelter = dynamic_cast<VaterBasis*>(e))
    for (Basis* kind : behaelter->mKinder) SammleSichtbare(kind, liste);
}

}  // namespace

Oberflaeche::Oberflaeche(const std::string& pfad) : mLetzterDruck(LangeHer()) {
  mOberflaeche = this;
  if (!pfad.empty()) TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(mEigenschaften, pfad);
  SetPosition(BVektor<float>(0, 0, 0), false);
  SetGroesse(Bildschirmgroesse(), false);
  mBildschirmVerbindung = Quarz_Screen3D::mDarstellungGeaendert.connect([this] { FolgeBildschirm(); });
  PlaneAnordnung();
}

Oberflaeche::~Oberflaeche() {
  // Children go first, while the key lists and the tooltip state they touch still exist; their
  // removals post no relayout, and nothing posted may outlive the surface.
  mWirdZerstoert = true;
  mBildschirmVerbindung.disconnect();
  if (mAnordnungId != KEINE_ID) gTimer.Entferne(mAnordnungId);
  if (mHinweisTimerId != KEINE_ID) gTimer.Entferne(mHinweisTimerId);
  mAnordnungId = mHinweisTimerId = KEINE_ID;
  LoescheKinder();
}

void Oberflaeche::Akzeptiere(Renderer& renderer) { renderer.ZeichneElement(this); }

void Oberflaeche::PlaneAnordnung() {
  if (mWirdZerstoert || mAnordnungId != KEINE_ID) return;
  mAnordnungId = gTimer.Einplanen(0, [this] {
    mAnordnungId = KEINE_ID;
    OrdneBaumAn();
  });
}

void Oberflaeche::FolgeBildschirm() {
  const BVektor<float> alt = mGroesse;
  const BVektor<float> neu = Bildschirmgroesse();
  SetGroesse(neu, false);
  if (alt.x <= 0.0f || alt.y <= 0.0f) return;
  // Open menus cover the same share of the screen as before.
  const float fx = neu.x / alt.x;
  const float fy = neu.y / alt.y;
  for (Basis* kind : mKinder) {
    if (!AlsModal(kind)) continue;
    kind->SetPosition(BVektor<float>(kind->mPosition.x * fx, kind->mPosition.y * fy, kind->mPosition.z),
                      kind->mAutoPosition != 0);
    kind->SetGroesse(BVektor<float>(kind->mGroesse.x * fx, kind->mGroesse.y * fy, kind->mGroesse.z),
                     kind->mAutoGroesse != 0);
  }
  PlaneAnordnung();
}

void Oberflaeche::BindeTaste(uint64_t code, Basis* element) {
  if (code >= TASTE_ANZAHL) return;
  std::vector<Basis*>& liste = mTastenListen[code];
  if (liste.empty() || liste.back() != element) liste.push_back(element);
}

void Oberflaeche::LoeseTaste(uint64_t code, Basis* element) {
  if (code >= TASTE_ANZAHL) return;
  std::erase(mTastenListen[code], element);
}

void Oberflaeche::VergissElement(Basis* element) {
  if (mFokus == element) mFokus = nullptr;
  if (mSchwebt == element) mSchwebt = nullptr;
  for (std::vector<Basis*>& liste : mTastenListen) std::erase(liste, element);
  if (element == mHinweisElement) {
    // The tooltip itself is leaving (deleted or taken out): it is not ours to delete again.
    SetzeHinweisZurueck();
  } else if (element == mHinweisBesitzer) {
    if (mHinweisZustand == 1 && mHinweisTimerId != KEINE_ID) gTimer.Entferne(mHinweisTimerId);
    if (mHinweisZustand == 2) VersteckeHinweis();
    SetzeHinweisZurueck();
  }
  // A tooltip fading out still points at its owner, which the renderer reads.
  for (Basis* kind : mKinder)
    if (auto* hinweis = dynamic_cast<Hinweis*>(kind); hinweis && hinweis->mBesitzer == element)
      hinweis->mBesitzer = nullptr;
}

void Oberflaeche::SetzeHinweisZurueck() {
  mHinweisZustand = 0;
  mHinweisTimerId = KEINE_ID;
  mHinweisBesitzer = nullptr;
  mHinweisElement = nullptr;
}

void Oberflaeche::VersteckeHinweis() {
  if (!mHinweisElement) return;
  mHinweisElement->SetSichtbar(false);
  mHinweisElement->LoescheVerzoegert(0.5f);
}

bool Oberflaeche::IstErreichbar(const Basis* element) const {
  for (const Basis* e = element; e->mVater; e = e->mVater) {
    const VaterBasis* vater = e->mVater;
    const Basis* modal = ObersterModalerSichtbarer(*vater);
    if (modal && modal != e && IstSichtbarKette(vater)) return false;
  }
  return true;
}

void Oberflaeche::SendeEreignis(BasisEreignis& ereignis) {
  for (Basis* e = mFokus; e && !ereignis.mVerbraucht; e = e->mVater) {
    switch (ereignis.mArt) {
      case BasisEreignis::TASTE: e->BeiTaste(static_cast<TasteEreignis&>(ereignis)); break;
      case BasisEreignis::FOKUS: e->BeiFokus(static_cast<FokusEreignis&>(ereignis)); break;
      case BasisEreignis::MAUSBEWEGUNG:
        e->BeiMausBewegung(static_cast<MausBewegungEreignis&>(ereignis));
        break;
      default: e->BeiUnbenutztemEreignis(ereignis); break;
    }
  }
}

void Oberflaeche::SetFokus(Basis* element) {
  if (element == mFokus) return;
  if (mFokus) {
    FokusEreignis verlust(mFokus, false);
    SendeEreignis(verlust);
  }
  mFokus = nullptr;
  if (element && element->IstAktiv()) {
    mFokus = element;
    FokusEreignis gewinn(element, true);
    SendeEreignis(gewinn);
  }
}

bool Oberflaeche::HaeltZeigerTaste() const {
  for (uint64_t code : {TASTE_ZEIGER1, TASTE_ZEIGER2, TASTE_ZEIGER3})
    if (mTastenZustand[code] & ZUSTAND_GEHALTEN) return true;
  return false;
}

void Oberflaeche::TasteEingabe(uint64_t code, uint32_t zustand) {
  if (code >= TASTE_ANZAHL) return;
  if (mFokus && !(mFokus->IstAktiv() && IstErreichbar(mFokus) && IstSichtbarKette(mFokus))) {
    FokusEreignis verlust(mFokus, false);
    SendeEreignis(verlust);
    mFokus = nullptr;
  }

  uint8_t doppel = 0;
  if (zustand == ZUSTAND_GEDRUECKT) {
    const BVektor<float> d = mZeigerPosition - mLetzteDruckPosition;
    doppel = code == mLetzterCode && Jetzt() < mLetzterDruck + Ticks(0.3f) && Skalar(d, d) < 400.0f;
    mLetzterCode = code;
    mLetzteDruckPosition = mZeigerPosition;
    mLetzterDruck = Jetzt();
  }
  mTastenZustand[code] = zustand == ZUSTAND_GEDRUECKT ? (ZUSTAND_GEDRUECKT | ZUSTAND_GEHALTEN) : zustand;

  TasteEreignis ereignis(code, zustand, doppel);
  SendeEreignis(ereignis);
  if (ereignis.mVerbraucht) return;

  // By index: a handler may bind further elements to this very list (a menu opening).
  std::vector<Basis*>& liste = mTastenListen[code];
  for (size_t i = liste.size(); i-- > 0;) {
    Basis* e = liste[i];
    if (IstSichtbarKette(e) && IstErreichbar(e)) {
      e->BeiTaste(ereignis);
      break;
    }
  }
  if (ereignis.mVerbraucht) return;

  if (zustand == ZUSTAND_GEDRUECKT && code >= TASTE_HOCH && code <= TASTE_LINKS) BewegeFokus(code);
}

Basis* Oberflaeche::TrefferTest(const BVektor<float>& punkt, Basis* element) {
  if (!element->mSichtbar || !Innen(punkt, element->mGroesse)) return nullptr;
  auto* behaelter = dynamic_cast<VaterBasis*>(element);
  if (!behaelter) return element;
  for (auto it = behaelter->mKinder.rbegin(); it != behaelter->mKinder.rend(); ++it) {
    Basis* kind = *it;
    const BVektor<float> lokal = punkt - kind->mPosition;
    const bool sperrt = AlsModal(kind) && IstSichtbarKette(kind);
    if (Innen(lokal, kind->mGroesse)) {
      Basis* treffer = TrefferTest(lokal, kind);
      if (sperrt || treffer) return treffer;
    } else if (sperrt) {
      return nullptr;
    }
  }
  return element;
}

void Oberflaeche::MausBewegung(const BVektor<float>& position) {
  mZeigerDelta = position - mZeigerPosition;
  mZeigerPosition = position;
  Basis* treffer = TrefferTest(position - mPosition, this);

  bool fokusGefolgt = false;
  if (treffer != mSchwebt && !HaeltZeigerTaste()) {
    Basis* alt = mSchwebt;
    mSchwebt = treffer;
    if (alt && treffer) {
      SetFokus(treffer);
      fokusGefolgt = true;
    } else if (treffer && treffer->IstAktiv()) {
      SetFokus(treffer);
      fokusGefolgt = true;
    } else if (alt && alt->IstAktiv()) {
      SetFokus(nullptr);
      fokusGefolgt = true;
    }
  }

  const bool bewegt = !(mZeigerDelta == BVektor<float>(0, 0, 0));
  if (mFokus && (bewegt || fokusGefolgt)) {
    MausBewegungEreignis ereignis(position, mZeigerDelta);
    SendeEreignis(ereignis);
  }
  if (!bewegt && !fokusGefolgt) return;

  if (mHinweisZustand == 1) {
    gTimer.Entferne(mHinweisTimerId);
    SetzeHinweisZurueck();
  } else if (mHinweisZustand == 2 && mSchwebt != mHinweisBesitzer) {
    VersteckeHinweis();
    SetzeHinweisZurueck();
  }
  if (mHinweisZustand == 0 && mSchwebt && !mSchwebt->mHinweisText.empty()) {
    mHinweisZustand = 1;
    mHinweisBesitzer = mSchwebt;
    mHinweisTimerId = gTimer.Einplanen(Ticks(0.5f), [this] { ZeigeHinweis(); });
  }
}

void Oberflaeche::ZeigeHinweis() {
  mHinweisTimerId = KEINE_ID;
  Basis* besitzer = mHinweisBesitzer;
  // A wait that began before a modal menu opened shows nothing above the menu.
  if (!besitzer || !IstSichtbarKette(besitzer) || !IstErreichbar(besitzer)) {
    SetzeHinweisZurueck();
    return;
  }
  auto* hinweis = new Hinweis(besitzer->mHinweisText, besitzer);
  FuegeKindHinzu(hinweis);
  mHinweisElement = hinweis;
  mHinweisZustand = 2;
}

void Oberflaeche::BewegeFokus(uint64_t code) {
  std::vector<Basis*> alle;
  SammleSichtbare(this, alle);
  std::vector<Basis*> kandidaten;
  for (Basis* e : alle)
    if (e->IstAktiv() && e != mFokus && IstErreichbar(e)) kandidaten.push_back(e);
  if (kandidaten.empty()) return;
  if (!mFokus) {
    SetFokus(kandidaten.front());
    return;
  }

  static const BVektor<float> richtungen[4] = {{0, -1, 0}, {0, 1, 0}, {1, 0, 0}, {-1, 0, 0}};
  const BVektor<float> d = richtungen[code - TASTE_HOCH];
  const BVektor<float> mitte = mFokus->AbsoluteMitte();

  // Score = distance / cosine towards the direction; `untergrenze` > 0 also admits the
  // candidates behind (the wrap), weighted as if at a steep angle.
  auto Bester = [&](const BVektor<float>& bezug, bool umlauf) -> Basis* {
    Basis* sieger = nullptr;
    float bester = 1e7f;
    for (Basis* e : kandidaten) {
      const BVektor<float> v = e->AbsoluteMitte() - bezug;
      const float laenge = v.Laenge();
      if (laenge <= 0.0f) continue;  // centred on the reference: no direction
      float cosinus = Skalar(d, v) / laenge;
      if (umlauf)
        cosinus = std::max(cosinus, 0.1f);
      else if (cosinus < 0.1f)
        continue;
      const float wert = laenge / cosinus;
      if (wert < bester) {
        bester = wert;
        sieger = e;
      }
    }
    return sieger;
  };

  Basis* sieger = Bester(mitte, false);
  if (!sieger) {
    const float s = std::fabs(d.x * mGroesse.x + d.y * mGroesse.y);
    sieger = Bester(BVektor<float>(mitte.x - d.x * s, mitte.y - d.y * s, mitte.z - d.z * s), true);
  }
  if (sieger) SetFokus(sieger);
}

void Oberflaeche::Zeichne(Renderer& renderer) {
  renderer.Beginne();
  Akzeptiere(renderer);
  for (Basis* kind : mKinder) {
    renderer.BeginneElement(kind, mPosition, mGroesse);
    kind->Akzeptiere(renderer);
    renderer.BeendeElement(kind);
  }
  renderer.Beende();
}

}  // namespace Gui
