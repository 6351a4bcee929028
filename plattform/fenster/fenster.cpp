#include "plattform/fenster/fenster.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace Plattform {

void SetzeKleinsteFenstergroesse(GLFWwindow* fenster, int breite, int hoehe) {
  if (!fenster) return;
  glfwSetWindowSizeLimits(fenster, std::max(breite, 1), std::max(hoehe, 1), GLFW_DONT_CARE, GLFW_DONT_CARE);
}

}  // namespace Plattform
