#pragma once
// Where the pointer is. The input library reports window coordinates, and the GUI surface, the
// back buffer and the picking ray are all sized in window units: a scaled display only
// enlarges the presented frame, so the position is used as it is.
namespace ORVIS {
class Mouse;
}

namespace Spiel {

// The mouse's position in window units; (0, 0) without a mouse.
void MausPosition(const ORVIS::Mouse* maus, float& x, float& y);

}  // namespace Spiel
