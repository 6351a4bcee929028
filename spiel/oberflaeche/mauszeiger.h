#pragma once
// Where the pointer is, in the pixels the GUI and picking work in. The input library reports
// window coordinates; on a scaled display the framebuffer has more pixels than the window.
namespace ORVIS {
class Mouse;
}

namespace Spiel {

// The mouse's position in back-buffer pixels; (0, 0) without a mouse.
void MausPosition(const ORVIS::Mouse* maus, float& x, float& y);

// A position in window coordinates scaled by the framebuffer-to-window ratio. An empty window
// (iconified) leaves it as it is.
void FensterZuPuffer(float& x, float& y, int fensterBreite, int fensterHoehe, int pufferBreite, int pufferHoehe);

}  // namespace Spiel
