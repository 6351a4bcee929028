#pragma once
// The direct-OpenGL side of a graphics benchmark draws in a hidden window's context of its own,
// so that neither it nor the engine sees the other's GL state; the engine's side draws in the
// engine's window. Both have Betrete (make the side's context current) and Verlasse (back to
// the engine's window), so the shared timing code treats them alike.
#include <epoxy/gl.h>
// (epoxy before GLFW)
#include <GLFW/glfw3.h>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "tests/gemeinsam/verstecktes_fenster.h"

namespace Bench {

class TEngineKontext {
public:
  void Betrete() {}
  static void Verlasse() {
    glfwMakeContextCurrent(static_cast<GLFWwindow*>(Quarz_Screen3D::mFensterHandle));
  }
};

// Opens the hidden window and leaves its context current, for the derived side to set up
// (and call Verlasse when done); a derived destructor frees its GL objects inside Betrete and
// Verlasse, then the window goes.
class TEigenerKontext : public TEngineKontext {
public:
  TEigenerKontext(int breite, int hoehe) : mFenster(OeffneVerstecktesFenster(breite, hoehe)) {}
  ~TEigenerKontext() {
    if (mFenster) glfwDestroyWindow(mFenster);
  }
  TEigenerKontext(const TEigenerKontext&) = delete;
  TEigenerKontext& operator=(const TEigenerKontext&) = delete;

  bool Bereit() const { return mFenster != nullptr; }
  void Betrete() { glfwMakeContextCurrent(mFenster); }

private:
  GLFWwindow* mFenster = nullptr;
};

}  // namespace Bench
