#pragma once
// A choice among up to five entries, stepped forward or back; the renderer slides the new
// entry in from the side it came from.
#include <boost/signals2/signal.hpp>
#include <string>
#include <vector>

#include "gui/aktivschnittstelle.h"
#include "gui/basis.h"
#include "gui/grafikverweis.h"

namespace Gui {

class Auswahl : public Basis, public AktivSchnittstelle {
public:
  struct Eintrag {
    std::string mText;
    GrafikVerweis mBild;
  };

  // e1 is always an entry, e2 to e5 only when not empty.
  Auswahl(int unbenutzt, std::string e1, std::string e2 = "", std::string e3 = "",
          std::string e4 = "", std::string e5 = "");

  void Akzeptiere(Renderer& renderer) override;
  std::string GetTypName() const override { return "auswahl"; }
  bool IstAktiv() const override { return mAktiviert != 0 && !mEintraege.empty(); }
  void BeiTaste(TasteEreignis& ereignis) override;

  // Selects entry i (clamped to the last); fires the changed signal on a change.
  void SetAuswahl(size_t index);

  std::vector<Eintrag> mEintraege;
  uint64_t mAktuell = 0;
  int64_t mWechselZeit;
  uint8_t mRichtung = 1;  // 1 forward, 0 backward
  uint64_t mVorher = 0;
  boost::signals2::signal<void(size_t)> mGeaendert;
};

}  // namespace Gui
