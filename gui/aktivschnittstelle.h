#pragma once
// The second base of the widgets that take focus and key input: their enabled flag.
#include <cstdint>

namespace Gui {

class AktivSchnittstelle {
public:
  virtual ~AktivSchnittstelle() = default;
  virtual void SetAktiv(bool aktiv) { mAktiviert = aktiv ? 1 : 0; }

  uint8_t mAktiviert = 1;
};

}  // namespace Gui
