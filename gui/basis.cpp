#include "gui/basis.h"

#include "gui/oberflaeche.h"
#include "gui/vaterbasis.h"
#include "quarzklassen/kern/quarz_timer.h"

namespace Gui {

int64_t Jetzt() { return gTimer.mGesamt; }

int64_t Ticks(float sekunden) { return static_cast<int64_t>(gTimerFrequenz * sekunden); }

float SekundenSeit(int64_t tick) { return static_cast<float>(Jetzt() - tick) * gTimerKehrwert; }

int64_t LangeHer() { return Jetzt() - Ticks(1000.0f); }

Basis::Basis()
    : mVerstecktSeit(LangeHer()),
      mGezeigtSeit(Jetzt()),
      mFokusErhaltenSeit(LangeHer()),
      mFokusVerlorenSeit(LangeHer()) {}

Basis::~Basis() {
  if (mLoeschId != KEINE_ID) gTimer.Entferne(mLoeschId);
  // Taking the element out of its parent also makes the surface forget it.
  if (mVater) mVater->EntferneKind(this);
}

void Basis::SetSichtbar(bool sichtbar) {
  if ((mSichtbar != 0) == sichtbar) return;
  mSichtbar = sichtbar ? 1 : 0;
  const int64_t jetzt = Jetzt();
  // A change undone in the same tick shows or hides at once instead of fading.
  if (sichtbar) {
    if (mVerstecktSeit == jetzt)
      mVerstecktSeit = mGezeigtSeit = LangeHer();
    else
      mGezeigtSeit = jetzt;
  } else {
    if (mGezeigtSeit == jetzt)
      mVerstecktSeit = mGezeigtSeit = LangeHer();
    else
      mVerstecktSeit = jetzt;
  }
  PlaneAnordnung();
}

void Basis::SetPosition(const BVektor<float>& position, bool automatisch) {
  mPosition = position;
  mAutoPosition = automatisch ? 1 : 0;
}

void Basis::SetGroesse(const BVektor<float>& groesse, bool automatisch) {
  const BVektor<float> d = groesse - mGroesse;
  if (d.x * d.x + d.y * d.y + d.z * d.z < 0.001f) return;
  mGroesse = groesse;
  mAutoGroesse = automatisch ? 1 : 0;
  if (!automatisch) {
    mDehnung = BVektor<float>(0, 0, 0);
    PlaneAnordnung();
  }
}

BVektor<float> Basis::GetGroesse() {
  if (!mAutoGroesse || !mOberflaeche) return mGroesse;
  const std::string typ = GetTypName();
  const float s = Skalierung();
  return BVektor<float>(LiesWert(typ + ".groesse.x", 100.0f) * s,
                        LiesWert(typ + ".groesse.y", 40.0f) * s, 0.0f);
}

void Basis::Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche) {
  if (!oberflaeche && mOberflaeche && mOberflaeche != this) mOberflaeche->VergissElement(this);
  mVater = vater;
  mOberflaeche = oberflaeche;
}

void Basis::BeiFokus(FokusEreignis& ereignis) {
  mFokussiert = ereignis.mErhalten;
  if (ereignis.mErhalten)
    mFokusErhaltenSeit = Jetzt();
  else
    mFokusVerlorenSeit = Jetzt();
  ereignis.Verbrauche();
  mFokusSignal(ereignis.mErhalten != 0);
}

namespace {
std::optional<float> AlsF32(const TEigenschaften* knoten) {
  if (!knoten) return std::nullopt;
  if (const float* f = knoten->Hole<float>()) return *f;
  if (const int32_t* i = knoten->Hole<int32_t>()) return static_cast<float>(*i);
  if (const uint32_t* u = knoten->Hole<uint32_t>()) return static_cast<float>(*u);
  return std::nullopt;
}
}  // namespace

std::optional<float> Basis::LiesWert(std::string_view schluessel) const {
  for (const Basis* e = this; e;) {
    if (std::optional<float> wert = AlsF32(e->mEigenschaften.Finde(schluessel))) return wert;
    const Basis* weiter = e->mOberflaeche;
    if (weiter == e) break;
    e = weiter;
  }
  return std::nullopt;
}

float Basis::LiesWert(std::string_view schluessel, float vorgabe) const {
  return LiesWert(schluessel).value_or(vorgabe);
}

float Basis::Skalierung() const { return mOberflaeche ? mOberflaeche->mSkalierung : 1.0f; }

BVektor<float> Basis::AbsolutePosition() const {
  BVektor<float> p(0, 0, 0);
  for (const Basis* e = this; e; e = e->mVater) p += e->mPosition;
  return p;
}

BVektor<float> Basis::AbsoluteMitte() const {
  BVektor<float> p = AbsolutePosition();
  return BVektor<float>(p.x + mGroesse.x * 0.5f, p.y + mGroesse.y * 0.5f, p.z + mGroesse.z * 0.5f);
}

void Basis::LoescheVerzoegert(float sekunden) {
  if (mLoeschId != KEINE_ID) gTimer.Entferne(mLoeschId);
  mLoeschId = gTimer.Einplanen(Ticks(sekunden), [this] {
    mLoeschId = KEINE_ID;
    delete this;
  });
}

void Basis::PlaneAnordnung() {
  if (mOberflaeche) mOberflaeche->PlaneAnordnung();
}

bool IstSichtbarKette(const Basis* element) {
  for (const Basis* e = element; e; e = e->mVater)
    if (!e->mSichtbar) return false;
  return true;
}

}  // namespace Gui
