#pragma once
// The one game window and the display mode: starts GLFW, opens the window with an OpenGL
// context for our Direct3D 9 layer, chooses the display mode from the display variables,
// feeds window events into the system object, switches modes at run time, owns the drawing
// context, and frees video memory when the device runs out of it.
#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <vector>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/kern/tlueckenfeld.h"

struct GLFWwindow;
class Quarz_ZeichenKontext;
class Quarz_BasisObjekt;
class Quarz_Variable;

// Saved, on: shader compiles dump their translated source and compile with debug flags.
extern Quarz_Variable debugShader;

class Quarz_Screen3D {
public:
  // A display mode.
  struct Modus {
    int64_t mBreite = 0;
    int64_t mHoehe = 0;
    uint32_t m16Bit = 0;     // 1: 16-bit colour (5/6/5), else 8/8/8
    int64_t mFrequenz = 0;   // refresh rate, 0 = any
    bool operator==(const Modus&) const = default;
  };
  // One video mode a monitor offers.
  struct MonitorModus {
    int64_t mBreite = 0;
    int64_t mHoehe = 0;
    int32_t mFarbBits = 24;  // red + green + blue bits
    int64_t mFrequenz = 0;
  };

  enum : uint64_t {
    FLAG_VOLLBILD = 1,
    FLAG_ANWENDUNG = 2,  // always set by the application
    FLAG_REFERENZ = 4,   // reference rasteriser device
    FLAG_VSYNC = 8
  };

  static bool Init(Modus modus, uint64_t flags);
  static void Beenden();
  static void SetDarstellung(Modus modus, bool vollbild, bool vsync);
  // The primary monitor's mode closest to the wanted one.
  static Modus WaehleMonitorModus(const Modus& gewuenscht);
  // The choice itself, over a list of modes in the monitor's order: only modes of the wanted
  // colour depth (16 or 24 bits); the closest in width + height (+ refresh when one is
  // wanted) wins, ties going to the later mode. No candidate gives the all-zero mode.
  static Modus WaehleAusModi(const Modus& gewuenscht, const std::vector<MonitorModus>& modi);
  static void InitGlfw();
  static Quarz_ZeichenKontext* GetZeichenKontext() { return mZeichenKontext; }
  static bool IstImDarstellungswechsel() { return mImWechsel; }
  // Evicts the video-memory resources that have not been used for the longest time.
  static void SchaffeVideoRAMPlatz(TLueckenFeld<Quarz_BasisObjekt*>& register_);

  // Window callbacks (GLFW calls them from glfwPollEvents).
  static void FensterIkonifiziert(GLFWwindow* fenster, int ikonifiziert);
  static void FensterGroesse(GLFWwindow* fenster, int breite, int hoehe);
  static void FensterSchliessen(GLFWwindow* fenster);
  static void FensterFokus(GLFWwindow* fenster, int fokus);

  // The size callback's rule: a change only for a real size of a windowed screen, outside a
  // running mode change, and different from the stored mode (on X11 the size answering our
  // own change arrives afterwards, and must not start another reset).
  static bool IstGroessenAenderung(int breite, int hoehe);

  // The smallest window the program can be used in; 1 x 1 until the program sets its own
  // before Init. The window cannot be made smaller, and a configured size below it is not
  // started with (the start falls back as for a size the screen cannot take).
  static int64_t mKleinsteBreite;
  static int64_t mKleinsteHoehe;

  static bool mGlfwGestartet;
  static Modus mModus;
  static uint64_t mFlags;
  static bool mInitialisiert;
  static bool mAufMonitor;
  static bool mImWechsel;
  static GLFWwindow* mFenster;
  static void* mKontextSpeicher;  // the 16384-byte block the drawing context lives in
  static Quarz_ZeichenKontext* mZeichenKontext;
  static HWND mFensterHandle;
  static boost::signals2::signal<void()> mDarstellungGeaendert;
};
