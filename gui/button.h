#pragma once
// A push button: fires its pressed signal on the pointer button, on activate, or on the key
// code it is bound to.
#include <boost/signals2/signal.hpp>
#include <string>

#include "gui/aktivschnittstelle.h"
#include "gui/basis.h"
#include "gui/grafikverweis.h"

namespace Gui {

class Button : public Basis, public AktivSchnittstelle {
public:
  Button(std::string beschriftung, GrafikVerweis&& bild);

  void Akzeptiere(Renderer& renderer) override;
  std::string GetTypName() const override { return "button"; }
  bool IstAktiv() const override { return mAktiviert != 0; }
  void BeiTaste(TasteEreignis& ereignis) override;
  void Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche) override;

  // Binds the button to a key code (270 = none); codes beyond the table are ignored.
  void SetTaste(uint64_t code);

  std::string mBeschriftung;
  boost::signals2::signal<void()> mGedrueckt;
  int64_t mDruckZeit;
  uint64_t mTaste = TASTE_KEINE;
  GrafikVerweis mBild;
};

}  // namespace Gui
