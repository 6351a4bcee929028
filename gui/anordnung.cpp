#include "gui/anordnung.h"

#include <algorithm>

#include "gui/vaterbasis.h"

namespace Gui {

namespace {

// Component a of a vector: 0 x, 1 y.
float& Achse(BVektor<float>& v, int a) { return a == 0 ? v.x : v.y; }
float Achse(const BVektor<float>& v, int a) { return a == 0 ? v.x : v.y; }

BVektor<float> Gemessen(Basis* kind) { return kind->mAutoGroesse ? kind->GetGroesse() : kind->mGroesse; }

struct Abstaende {
  float x;
  float y;
};

Abstaende LiesAbstaende(const VaterBasis& behaelter) {
  const float s = behaelter.Skalierung();
  return {behaelter.LiesWert("elmAbstand.x", 0.0f) * s, behaelter.LiesWert("elmAbstand.y", 0.0f) * s};
}

}  // namespace

BVektor<float> Anordnung::Groesse(VaterBasis& behaelter) const {
  if (mArt != ZEILE && mArt != SPALTE) return BVektor<float>(0, 0, 0);
  const Abstaende a = LiesAbstaende(behaelter);
  const int haupt = mArt == ZEILE ? 0 : 1;
  const float abstand[2] = {a.x, a.y};
  float summe = abstand[haupt];
  float groesste = 0.0f;
  for (Basis* kind : behaelter.mKinder) {
    const BVektor<float> g = Gemessen(kind);
    summe += abstand[haupt] + Achse(g, haupt);
    groesste = std::max(groesste, Achse(g, 1 - haupt));
  }
  BVektor<float> ergebnis(0, 0, 0);
  Achse(ergebnis, haupt) = summe;
  Achse(ergebnis, 1 - haupt) = 2.0f * abstand[1 - haupt] + groesste;
  return ergebnis;
}

void Anordnung::Platziere(VaterBasis& behaelter) const {
  if (mArt != ZEILE && mArt != SPALTE) return;
  const Abstaende a = LiesAbstaende(behaelter);
  const int haupt = mArt == ZEILE ? 0 : 1;
  const int quer = 1 - haupt;
  const float abstand[2] = {a.x, a.y};
  const float ausrichtung[2] = {mHorizontal, mVertikal};
  // A container smaller than its spacing has no inner room, never a negative one.
  const float innen[2] = {std::max(0.0f, behaelter.mGroesse.x - 2.0f * a.x),
                          std::max(0.0f, behaelter.mGroesse.y - 2.0f * a.y)};
  std::vector<Basis*>& kinder = behaelter.mKinder;

  // Measure. The spacing goes before every child but the first of the vector, visible or not.
  float belegt = 0.0f;
  float dehnSumme = 0.0f;
  for (size_t i = 0; i < kinder.size(); ++i) {
    Basis* kind = kinder[i];
    if (!kind->mSichtbar) continue;
    belegt += (i > 0 ? abstand[haupt] : 0.0f) + Achse(Gemessen(kind), haupt);
    if (kind->mAutoGroesse) dehnSumme += Achse(kind->mDehnung, haupt);
  }

  // Stretch: share the free room; a child never gets a negative extent.
  const float frei = innen[haupt] - belegt;
  for (Basis* kind : kinder) {
    if (!kind->mSichtbar || !kind->mAutoGroesse) continue;
    const BVektor<float> s = kind->GetGroesse();
    const float extra = dehnSumme > 0.0f ? Achse(kind->mDehnung, haupt) / dehnSumme * frei : 0.0f;
    BVektor<float> neu = s;
    Achse(neu, haupt) = std::max(0.0f, Achse(s, haupt) + extra);
    const float querAnteil = std::min(Achse(kind->mDehnung, quer), 1.0f);
    Achse(neu, quer) = std::max(0.0f, (innen[quer] - Achse(s, quer)) * querAnteil + Achse(s, quer));
    kind->SetGroesse(neu, true);
    belegt += Achse(neu, haupt) - Achse(s, haupt);
  }

  // Place.
  float lauf = (innen[haupt] - belegt) * ausrichtung[haupt] + abstand[haupt];
  for (Basis* kind : kinder) {
    if (!kind->mSichtbar) continue;
    if (kind->mAutoPosition) {
      BVektor<float> p(0, 0, 0);
      Achse(p, haupt) = lauf;
      Achse(p, quer) = (innen[quer] - Achse(kind->mGroesse, quer)) * ausrichtung[quer] + abstand[quer];
      kind->SetPosition(p, true);
    }
    lauf += abstand[haupt] + Achse(kind->mGroesse, haupt);
  }
}

}  // namespace Gui
