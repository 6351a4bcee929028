#pragma once
// The events the surface hands its elements: keys, focus changes and pointer motion. Each
// handler marks the event consumed to stop it climbing further up the parent chain.
#include <cstdint>

#include "gui/taste.h"
#include "quarzklassen/kern/bvektor.h"

namespace Gui {

class Basis;

class BasisEreignis {
public:
  enum Art : uint32_t { TASTE = 0, UNBENUTZT = 1, FOKUS = 2, MAUSBEWEGUNG = 3 };
  explicit BasisEreignis(uint32_t art) : mArt(art) {}
  virtual ~BasisEreignis() = default;
  void Verbrauche() { mVerbraucht = 1; }

  uint32_t mArt;
  uint8_t mVerbraucht = 0;
};

class TasteEreignis : public BasisEreignis {
public:
  TasteEreignis(uint64_t code, uint64_t zustand, uint8_t doppel)
      : BasisEreignis(TASTE), mCode(code), mZustand(zustand), mDoppelklick(doppel) {}
  bool IstDruck() const { return mZustand == ZUSTAND_GEDRUECKT; }

  uint64_t mCode;
  uint64_t mZustand;
  uint8_t mDoppelklick;
};

class FokusEreignis : public BasisEreignis {
public:
  FokusEreignis(Basis* ziel, bool erhalten)
      : BasisEreignis(FOKUS), mZiel(ziel), mErhalten(erhalten ? 1 : 0) {}

  Basis* mZiel;
  uint8_t mErhalten;
};

class MausBewegungEreignis : public BasisEreignis {
public:
  MausBewegungEreignis(const BVektor<float>& position, const BVektor<float>& delta)
      : BasisEreignis(MAUSBEWEGUNG), mPosition(position), mDelta(delta) {}

  BVektor<float> mPosition;
  BVektor<float> mDelta;
};

}  // namespace Gui
