#pragma once
// An on/off box with a label.
#include <boost/signals2/signal.hpp>
#include <string>

#include "gui/aktivschnittstelle.h"
#include "gui/basis.h"

namespace Gui {

class Checkbox : public Basis, public AktivSchnittstelle {
public:
  explicit Checkbox(std::string beschriftung);

  void Akzeptiere(Renderer& renderer) override;
  std::string GetTypName() const override { return "check"; }
  bool IstAktiv() const override { return mAktiviert != 0; }
  void BeiTaste(TasteEreignis& ereignis) override;

  // Sets the value and fires the changed signal when it changes (no animation ticks).
  void SetWert(bool wert);

  std::string mBeschriftung;
  uint8_t mWert = 0;
  int64_t mUmschaltZeit;
  int64_t mAnZeit;
  int64_t mAusZeit;
  boost::signals2::signal<void(bool)> mGeaendert;
};

}  // namespace Gui
