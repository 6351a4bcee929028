#include <GLFW/glfw3.h>

#include "tests/gemeinsam/verstecktes_fenster.h"

GLFWwindow* OeffneVerstecktesFenster(int breite, int hoehe, int major, int minor) {
  glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
  glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
  glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, major);
  glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, minor);
  GLFWwindow* fenster = glfwCreateWindow(breite, hoehe, "Weilerbau", nullptr, nullptr);
  if (!fenster && (major > 3 || minor > 3)) {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    fenster = glfwCreateWindow(breite, hoehe, "Weilerbau", nullptr, nullptr);
  }
  if (fenster) glfwMakeContextCurrent(fenster);
  return fenster;
}
