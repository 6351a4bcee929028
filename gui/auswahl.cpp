#include "gui/auswahl.h"

#include <algorithm>

#include "gui/renderer.h"

namespace Gui {

Auswahl::Auswahl(int, std::string e1, std::string e2, std::string e3, std::string e4, std::string e5)
    : mWechselZeit(LangeHer()) {
  mEintraege.push_back({std::move(e1), GrafikVerweis()});
  for (std::string* e : {&e2, &e3, &e4, &e5})
    if (!e->empty()) mEintraege.push_back({std::move(*e), GrafikVerweis()});
}

void Auswahl::Akzeptiere(Renderer& renderer) { renderer.ZeichneAuswahl(this); }

void Auswahl::SetAuswahl(size_t index) {
  if (mEintraege.empty() || index == mAktuell) return;
  mWechselZeit = Jetzt();
  mVorher = mAktuell;
  mAktuell = std::min<uint64_t>(index, mEintraege.size() - 1);
  mRichtung = mAktuell > mVorher ? 1 : 0;
  mGeaendert(mAktuell);
}

void Auswahl::BeiTaste(TasteEreignis& ereignis) {
  const uint64_t code = ereignis.mCode;
  if (code != TASTE_ZEIGER1 && code != TASTE_AKTIVIERE && code != TASTE_ZEIGER2) return;
  ereignis.Verbrauche();
  if (!ereignis.IstDruck() || mEintraege.empty()) return;
  const size_t n = mEintraege.size();
  mWechselZeit = Jetzt();
  // Wrapping round still counts as the direction of the step.
  if (code == TASTE_ZEIGER2) {
    SetAuswahl((mAktuell + n - 1) % n);
    mRichtung = 0;
  } else {
    SetAuswahl((mAktuell + 1) % n);
    mRichtung = 1;
  }
}

}  // namespace Gui
