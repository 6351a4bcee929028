#pragma once
// Our layer over the window system for the screen's window.
struct GLFWwindow;

namespace Plattform {

// The smallest client area the window may be given, by hand or by the window manager; no
// largest one.
void SetzeKleinsteFenstergroesse(GLFWwindow* fenster, int breite, int hoehe);

}  // namespace Plattform
