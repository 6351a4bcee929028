#pragma once
// Where the pointer is. The input library reports window coordinates; the GUI surface and the
// picking ray measure in the back buffer's units. The two agree unless the window system gave
// the window another size than the back buffer keeps (a fullscreen window resized from
// outside, a window shrunk below the smallest size): the frame is then stretched onto the
// window, and the position is stretched the same way. A scaled display keeps window units in
// both, so there the position is used as it is.
namespace ORVIS {
class Mouse;
}

namespace Spiel {

// The mouse's position in back-buffer units; (0, 0) without a mouse.
void MausPosition(const ORVIS::Mouse* maus, float& x, float& y);

}  // namespace Spiel
