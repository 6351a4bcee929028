#pragma once
// The input layer over GLFW: the window's key, character, mouse-button, cursor and scroll
// callbacks queue raw records (chaining to the callbacks set before), GLFW's joysticks stand
// in for the controllers and its gamepad mappings for the pad layout. One keyboard and one
// mouse: GLFW sees one seat.
#include <memory>

#include "plattform/eingabe/eingabe_schicht.h"

namespace Plattform {

std::unique_ptr<EingabeSchicht> ErzeugeGlfwEingabe();

}  // namespace Plattform
