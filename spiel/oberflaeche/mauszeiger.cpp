#include "spiel/oberflaeche/mauszeiger.h"

#include "input/mouse.h"

namespace Spiel {

void MausPosition(const ORVIS::Mouse* maus, float& x, float& y)
{
    x = maus ? maus->GetMouseX() : 0.0f;
    y = maus ? maus->GetMouseY() : 0.0f;
}

}  // namespace Spiel
