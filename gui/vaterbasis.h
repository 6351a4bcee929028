#pragma once
// An element that owns and lays out children. The last child is the topmost.
#include <vector>

#include "gui/basis.h"

namespace Gui {

class Anordnung;

class VaterBasis : public Basis {
public:
  VaterBasis() = default;
  ~VaterBasis() override;

  void Akzeptiere(Renderer& renderer) override;
  void SetSichtbar(bool sichtbar) override;
  BVektor<float> GetGroesse() override;
  void Anhaengen(VaterBasis* vater, Oberflaeche* oberflaeche) override;

  // Takes ownership; a child that hangs elsewhere leaves its old container first.
  virtual void FuegeKindHinzu(Basis* kind);
  // Takes a child out without deleting it; ownership returns to the caller.
  virtual void EntferneKind(Basis* kind);
  // Replaces the layout record (ownership passes; null = no layout).
  virtual void SetAnordnung(Anordnung* anordnung);
  virtual bool IstModal() const { return false; }

  // Stretch = the largest stretch of the children per axis, z 0.
  void DehnungAusKindern();
  // Places the children, then lays out every child container below.
  void OrdneBaumAn();
  // Places the children only.
  void OrdneAn();

  std::vector<Basis*> mKinder;
  Anordnung* mAnordnung = nullptr;
  uint8_t mAnordnungLaeuft = 0;

protected:
  // Deletes every child, topmost first.
  void LoescheKinder();
};

}  // namespace Gui
