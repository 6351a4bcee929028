#pragma once
// The root of a GUI: covers the screen, owns the top-level elements, holds the style
// properties from the property file, and turns the host's key codes and pointer positions
// into focus moves, hover, double clicks, key bindings, modal blocking and tooltips.
#include <array>
#include <boost/signals2/connection.hpp>
#include <string>
#include <vector>

#include "gui/vaterbasis.h"

namespace Gui {

class Hinweis;

class Oberflaeche : public VaterBasis {
public:
  // Loads the property file (an empty path loads nothing) and covers the screen.
  explicit Oberflaeche(const std::string& pfad);
  ~Oberflaeche() override;

  void Akzeptiere(Renderer& renderer) override;

  // A key code (0 to 269) pressed (1) or released (4).
  void TasteEingabe(uint64_t code, uint32_t zustand);
  void MausBewegung(const BVektor<float>& position);
  void SetFokus(Basis* element);
  void Zeichne(Renderer& renderer);
  // Posts one relayout of the whole tree on the engine timer unless one is pending.
  void PlaneAnordnung();

  // Key bindings: appended unless already the last entry; unbinding removes every entry.
  void BindeTaste(uint64_t code, Basis* element);
  void LoeseTaste(uint64_t code, Basis* element);
  // Forgets an element that leaves the tree: focus, hover, key bindings, tooltip.
  void VergissElement(Basis* element);

  // True unless a visible modal container above the element's path blocks it.
  bool IstErreichbar(const Basis* element) const;
  // The element under a point given relative to the element's top-left corner, or null.
  Basis* TrefferTest(const BVektor<float>& punkt, Basis* element);
  void BewegeFokus(uint64_t code);
  // Takes the screen's size after a display change; open menus keep their place on screen.
  void FolgeBildschirm();

  BVektor<float> mZeigerPosition{0, 0, 0};
  BVektor<float> mZeigerDelta{0, 0, 0};
  Basis* mFokus = nullptr;
  Basis* mSchwebt = nullptr;
  std::array<uint64_t, TASTE_ANZAHL> mTastenZustand{};
  std::array<std::vector<Basis*>, TASTE_ANZAHL> mTastenListen;
  uint32_t mHinweisZustand = 0;  // 0 none, 1 waiting, 2 shown
  uint64_t mHinweisTimerId = KEINE_ID;
  Basis* mHinweisBesitzer = nullptr;
  Hinweis* mHinweisElement = nullptr;
  int64_t mLetzterDruck;
  BVektor<float> mLetzteDruckPosition{0, 0, 0};
  uint64_t mLetzterCode = TASTE_KEINE;
  uint64_t mAnordnungId = KEINE_ID;
  float mSkalierung = 1.0f;

private:
  void SendeEreignis(BasisEreignis& ereignis);
  void ZeigeHinweis();
  void SetzeHinweisZurueck();
  void VersteckeHinweis();
  bool HaeltZeigerTaste() const;

  bool mWirdZerstoert = false;
  boost::signals2::scoped_connection mBildschirmVerbindung;
};

}  // namespace Gui
