#pragma once
// The base of every GUI element: place in the tree, position and size (fixed or from the
// style properties), visibility and focus with the ticks the fades are computed from, a
// tooltip text and the element's own style properties.
#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "gui/ereignis.h"
#include "gui/taste.h"
#include "quarzklassen/kern/bvektor.h"
#include "quarzklassen/kern/teigenschaften.h"

namespace Gui {

class Oberflaeche;
class VaterBasis;
class Renderer;

// The engine timer's total: the GUI's "now".
int64_t Jetzt();
// The ticks for s seconds.
int64_t Ticks(float sekunden);
// Seconds from a tick to now, in f32 (negative when the tick lies ahead).
float SekundenSeit(int64_t tick);
// A tick long before any recent event: animations that start there count as finished.
int64_t LangeHer();

class Basis {
public:
  Basis();
  Basis(const Basis&) = delete;
  Basis& operator=(const Basis&) = delete;
  virtual ~Basis();

  virtual void Akzeptiere(Renderer& renderer) = 0;
  virtual void SetSichtbar(bool sichtbar);
  virtual void SetPosition(const BVektor<float>& position, bool automatisch);
  virtual void SetGroesse(const BVektor<float>& groesse, bool automatisch);
  virtual BVektor<float> GetGroesse();
  virtual std::string GetTypName() const { return ""; }
  virtual void Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche);
  virtual bool IstAktiv() const { return false; }
  virtual void BeiFokus(FokusEreignis& ereignis);
  virtual void BeiTaste(TasteEreignis&) {}
  virtual void BeiUnbenutztemEreignis(BasisEreignis&) {}
  virtual void BeiMausBewegung(MausBewegungEreignis&) {}

  // A style value as f32: the element's own properties, then its surface's and so on up.
  // Values typed int or unsigned int convert; a node of another type or without a value
  // counts as missing.
  std::optional<float> LiesWert(std::string_view schluessel) const;
  float LiesWert(std::string_view schluessel, float vorgabe) const;
  // The scale of the surface the element hangs in (1 without one).
  float Skalierung() const;
  // Sum of the positions along the parent chain.
  BVektor<float> AbsolutePosition() const;
  BVektor<float> AbsoluteMitte() const;

  // Deletes the element on the engine timer after the given seconds (never inside the call
  // that asks for it, so a signal may remove its own sender). A second request replaces the
  // first; the element's destructor cancels what is pending.
  void LoescheVerzoegert(float sekunden);

  // Asks the surface for one deferred relayout (when the element hangs in one).
  void PlaneAnordnung();

  Oberflaeche* mOberflaeche = nullptr;
  VaterBasis* mVater = nullptr;
  BVektor<float> mPosition{0, 0, 0};
  BVektor<float> mGroesse{100, 50, 0};
  uint8_t mAutoPosition = 1;
  uint8_t mAutoGroesse = 1;
  BVektor<float> mDehnung{0, 0, 0};
  uint8_t mSichtbar = 1;
  int64_t mVerstecktSeit;
  int64_t mGezeigtSeit;
  uint8_t mFokussiert = 0;
  int64_t mFokusErhaltenSeit;
  int64_t mFokusVerlorenSeit;
  boost::signals2::signal<void(bool)> mFokusSignal;
  std::string mHinweisText;
  TEigenschaften mEigenschaften;
  uint64_t mLoeschId = KEINE_ID;  // pending deferred deletion
};

// Visible, and every ancestor visible.
bool IstSichtbarKette(const Basis* element);

}  // namespace Gui
