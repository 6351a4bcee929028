#include "quarzklassen/grafik/geraet/quarz_screen3d.h"

#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "input/inputsystem.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

bool Quarz_Screen3D::mGlfwGestartet = false;
Quarz_Screen3D::Modus Quarz_Screen3D::mModus;
uint64_t Quarz_Screen3D::mFlags = 0;
bool Quarz_Screen3D::mInitialisiert = false;
bool Quarz_Screen3D::mAufMonitor = false;
bool Quarz_Screen3D::mImWechsel = false;
GLFWwindow* Quarz_Screen3D::mFenster = nullptr;
void* Quarz_Screen3D::mKontextSpeicher = nullptr;
Quarz_ZeichenKontext* Quarz_Screen3D::mZeichenKontext = nullptr;
HWND Quarz_Screen3D::mFensterHandle = nullptr;
boost::signals2::signal<void()> Quarz_Screen3D::mDarstellungGeaendert;

namespace {

constexpr size_t kKontextBytes = 16384;
static_assert(sizeof(Quarz_ZeichenKontext) <= kKontextBytes,
              "the drawing context must fit its block");

// The display variables take every value; the callback marks them as checked.
bool DarstellungPruefen(Quarz_Variable&, uint32_t, std::string*) { return true; }

constexpr uint32_t kGespeichert = Quarz_Variable::GESPEICHERT;

}  // namespace

Quarz_Variable displaywidth("displaywidth", kGespeichert, int32_t{0}, DarstellungPruefen);
Quarz_Variable displayheight("displayheight", kGespeichert, int32_t{0}, DarstellungPruefen);
Quarz_Variable displaydepth("displaydepth", kGespeichert, int32_t{32}, DarstellungPruefen);
Quarz_Variable fullscreen("fullscreen", kGespeichert, true, DarstellungPruefen);
Quarz_Variable vsync("vsync", kGespeichert, true, DarstellungPruefen);
Quarz_Variable debugShader("debugShader", kGespeichert, true);

namespace {

void BefehlReinitVideo(const std::string&) {
  gLog.Schreibe("Darstellung wird geändert auf %dx%d, %s.", displaywidth.mInt, displayheight.mInt,
                fullscreen.mBool ? "Vollbild" : "Fenster");
  if (!Quarz_Screen3D::mInitialisiert) return;
  Quarz_Screen3D::Modus modus = Quarz_Screen3D::mModus;
  modus.mBreite = displaywidth.mInt;
  modus.mHoehe = displayheight.mInt;
  Quarz_Screen3D::SetDarstellung(modus, fullscreen.mBool, vsync.mBool);
}

void BefehlVideoRam(const std::string&) {
  if (Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext()) kontext->ZeigeStatistik();
}

Quarz_KonsolenBefehl befehlReinitVideo("reinitvideo", BefehlReinitVideo);
Quarz_KonsolenBefehl befehlVideoRam("videoram", BefehlVideoRam);

// A screen still open at process exit is closed like at a normal shutdown.
struct TAufraeumen {
  ~TAufraeumen() {
    if (Quarz_Screen3D::mInitialisiert) Quarz_Screen3D::Beenden();
  }
} aufraeumen;

// A window with an OpenGL core context for our Direct3D 9 layer: 4.5 asked, 3.3 accepted.
GLFWwindow* ErzeugeFenster(int breite, int hoehe, GLFWmonitor* monitor) {
  static const int kVersionen[2][2] = {{4, 5}, {3, 3}};
  for (const auto& v : kVersionen) {
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, v[0]);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, v[1]);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    if (GLFWwindow* fenster = glfwCreateWindow(breite, hoehe, "Weilerbau", monitor, nullptr))
      return fenster;
  }
  return nullptr;
}

}  // namespace

void Quarz_Screen3D::InitGlfw() {
  if (mGlfwGestartet) return;
  if (!glfwInit()) return;
  gSystem.mEreignisAbfrage = [] { glfwPollEvents(); };
  mGlfwGestartet = true;
}

bool Quarz_Screen3D::Init(Modus modus, uint64_t flags) {
  gLog.Schreibe("Screen wird initialisiert.");
  InitGlfw();
  mModus = modus;
  mFlags = flags;

  bool groesseVomMonitor = false;
  const GLFWvidmode* monitorModus = nullptr;
  if (mModus.mBreite == 0 || mModus.mHoehe == 0) {
    GLFWmonitor* monitor = mGlfwGestartet ? glfwGetPrimaryMonitor() : nullptr;
    monitorModus = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (monitorModus) {
      mModus.mBreite = monitorModus->width;
      mModus.mHoehe = monitorModus->height;
      groesseVomMonitor = true;
    } else {
      gLog.Schreibe("!No monitor found. What the heck is going on here? Starting up windowed.");
    }
    if (mModus.mBreite == 0 || mModus.mHoehe == 0) {
      mModus.mBreite = 1280;
      mModus.mHoehe = 768;
      mFlags &= ~uint64_t{FLAG_VOLLBILD};
    }
  }

  const bool vollbild = (mFlags & FLAG_VOLLBILD) != 0;
  if (vollbild) {
    mModus = WaehleMonitorModus(mModus);
    mAufMonitor = true;
  } else if (groesseVomMonitor) {
    mModus.m16Bit =
        monitorModus->redBits + monitorModus->greenBits + monitorModus->blueBits < 17 ? 1 : 0;
  }
  fullscreen.SetzeBool(vollbild);

  if (mGlfwGestartet) {
    const bool bit16 = mModus.m16Bit == 1;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, bit16 ? 5 : 8);
    glfwWindowHint(GLFW_GREEN_BITS, bit16 ? 6 : 8);
    glfwWindowHint(GLFW_BLUE_BITS, bit16 ? 5 : 8);
    if (mModus.mBreite > 0 && mModus.mHoehe > 0)
      mFenster = ErzeugeFenster(static_cast<int>(mModus.mBreite), static_cast<int>(mModus.mHoehe),
                                vollbild ? glfwGetPrimaryMonitor() : nullptr);
  }
  if (!mFenster) {
    gLog.Schreibe("!Quarz_Screen3D::Init(...): Couldn't create window.");
    QUARZ_MELDE("Failed to create window", "Quarz_Screen3D::Init");
    mAufMonitor = false;
    return false;
  }

  mFensterHandle = mFenster;
  glfwSetWindowSizeCallback(mFenster, FensterGroesse);
  glfwSetWindowCloseCallback(mFenster, FensterSchliessen);
  glfwSetWindowFocusCallback(mFenster, FensterFokus);
  glfwSetWindowIconifyCallback(mFenster, FensterIkonifiziert);
  // The device draws with the window's OpenGL context.
  glfwMakeContextCurrent(mFenster);

  mKontextSpeicher = std::malloc(kKontextBytes);
  mZeichenKontext = new (mKontextSpeicher) Quarz_ZeichenKontext();
  mInitialisiert = true;
  // Without a device nothing can be drawn; reporting success would only postpone the failure.
  if (!mZeichenKontext->mImpl->mGeraet) {
    Beenden();
    return false;
  }
  return true;
}

void Quarz_Screen3D::FensterMasse(int& fensterBreite, int& fensterHoehe, int& pufferBreite,
                                  int& pufferHoehe) {
  fensterBreite = fensterHoehe = pufferBreite = pufferHoehe = 0;
  if (!mFenster) return;
  glfwGetWindowSize(mFenster, &fensterBreite, &fensterHoehe);
  glfwGetFramebufferSize(mFenster, &pufferBreite, &pufferHoehe);
}

void Quarz_Screen3D::Beenden() {
  gLog.Schreibe("Screen wird geschlossen.");
  // The drawing context goes first: its device lives on the window's OpenGL context, which
  // dies with the window.
  if (mZeichenKontext) {
    mZeichenKontext->~Quarz_ZeichenKontext();
    mZeichenKontext = nullptr;
  }
  std::free(mKontextSpeicher);
  mKontextSpeicher = nullptr;
  if (mFenster) {
    glfwSetInputMode(mFenster, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
    glfwDestroyWindow(mFenster);
    mFenster = nullptr;
    mFensterHandle = nullptr;
  }
  mInitialisiert = false;
  mAufMonitor = false;
  if (mGlfwGestartet) {
    glfwTerminate();
    mGlfwGestartet = false;
  }
}

Quarz_Screen3D::Modus Quarz_Screen3D::WaehleAusModi(const Modus& gewuenscht,
                                                   const std::vector<MonitorModus>& modi) {
  const int32_t farbBits = gewuenscht.m16Bit == 1 ? 16 : 24;
  const auto abstand = [&](const Modus& m) {
    int64_t d = std::llabs(m.mBreite - gewuenscht.mBreite) + std::llabs(m.mHoehe - gewuenscht.mHoehe);
    if (gewuenscht.mFrequenz) d += std::llabs(m.mFrequenz - gewuenscht.mFrequenz);
    return d;
  };
  Modus bester;
  for (const MonitorModus& m : modi) {
    if (m.mFarbBits != farbBits) continue;
    const Modus kandidat{m.mBreite, m.mHoehe, gewuenscht.m16Bit, m.mFrequenz};
    if (abstand(kandidat) <= abstand(bester)) bester = kandidat;
  }
  if (!gewuenscht.mFrequenz) bester.mFrequenz = 0;
  return bester;
}

Quarz_Screen3D::Modus Quarz_Screen3D::WaehleMonitorModus(const Modus& gewuenscht) {
  InitGlfw();
  GLFWmonitor* monitor = mGlfwGestartet ? glfwGetPrimaryMonitor() : nullptr;
  if (!monitor) {
    gLog.Schreibe("!No monitor found. What the heck is going on here?");
    return Modus{};
  }
  int anzahl = 0;
  const GLFWvidmode* glfwModi = glfwGetVideoModes(monitor, &anzahl);
  std::vector<MonitorModus> modi;
  for (int i = 0; glfwModi && i < anzahl; ++i) {
    const GLFWvidmode& m = glfwModi[i];
    modi.push_back({m.width, m.height, m.redBits + m.greenBits + m.blueBits, m.refreshRate});
  }
  return WaehleAusModi(gewuenscht, modi);
}

void Quarz_Screen3D::SetDarstellung(Modus modus, bool vollbild, bool vsyncAn) {
  mImWechsel = true;
  if (vollbild) modus = WaehleMonitorModus(modus);
  mModus = modus;
  displaywidth.SetzeInt(static_cast<int32_t>(modus.mBreite));
  displayheight.SetzeInt(static_cast<int32_t>(modus.mHoehe));
  vsync.SetzeBool(vsyncAn);
  mFlags &= ~uint64_t{FLAG_VOLLBILD | FLAG_VSYNC};
  if (vollbild) mFlags |= FLAG_VOLLBILD;
  if (vsyncAn) mFlags |= FLAG_VSYNC;

  if (mFenster && modus.mBreite > 0 && modus.mHoehe > 0) {
    const int b = static_cast<int>(modus.mBreite);
    const int h = static_cast<int>(modus.mHoehe);
    if (vollbild && !mAufMonitor) {
      glfwSetWindowMonitor(mFenster, glfwGetPrimaryMonitor(), 0, 0, b, h,
                           modus.mFrequenz ? static_cast<int>(modus.mFrequenz) : GLFW_DONT_CARE);
    } else if (!vollbild && mAufMonitor) {
      glfwSetWindowMonitor(mFenster, nullptr, 0, 0, b, h, 0);
    }
    int istB = 0, istH = 0;
    glfwGetWindowSize(mFenster, &istB, &istH);
    if (istB != b || istH != h) glfwSetWindowSize(mFenster, b, h);
  }
  mAufMonitor = vollbild;
  fullscreen.SetzeBool(vollbild);
  if (mZeichenKontext) mZeichenKontext->Zuruecksetzen();
  mImWechsel = false;
  mDarstellungGeaendert();
}

bool Quarz_Screen3D::IstGroessenAenderung(int breite, int hoehe) {
  return breite >= 1 && hoehe >= 1 && !(mFlags & FLAG_VOLLBILD) && !mImWechsel &&
         !(breite == mModus.mBreite && hoehe == mModus.mHoehe);
}

void Quarz_Screen3D::FensterGroesse(GLFWwindow*, int breite, int hoehe) {
  if (!IstGroessenAenderung(breite, hoehe)) return;
  Modus modus = mModus;
  modus.mBreite = breite;
  modus.mHoehe = hoehe;
  SetDarstellung(modus, fullscreen.mBool, vsync.mBool);
}

// The input system follows the window too: it lets go of the cursor while the window is
// minimised or without focus.
void Quarz_Screen3D::FensterIkonifiziert(GLFWwindow*, int ikonifiziert) {
  gSystem.SetzeFensterZustand(!ikonifiziert, gSystem.mFokus);
  if (ORVIS::InputSystem::Instance) ORVIS::InputSystem::Instance->SetFocus(!ikonifiziert);
}

void Quarz_Screen3D::FensterFokus(GLFWwindow*, int fokus) {
  gSystem.SetzeFensterZustand(gSystem.mSichtbar, fokus != 0);
  if (ORVIS::InputSystem::Instance) ORVIS::InputSystem::Instance->SetFocus(fokus != 0);
}

void Quarz_Screen3D::FensterSchliessen(GLFWwindow*) { gSystem.mBeenden = true; }

// --- video memory -------------------------------------------------------------------------------

void Quarz_Screen3D::SchaffeVideoRAMPlatz(TLueckenFeld<Quarz_BasisObjekt*>& register_) {
  const int64_t jetzt = gTimer.mGesamt;
  int64_t aeltester = jetzt;
  for (Quarz_BasisObjekt* o : register_)
    if (o->IstVideoRAMResource() && o->mZustand == Quarz_BasisObjekt::VORHANDEN)
      aeltester = std::min(aeltester, o->mLetzteNutzung);

  const double alterSekunden = static_cast<double>(jetzt - aeltester) * gTimerKehrwertD;
  if (!(alterSekunden >= 1.0))
    gLog.Schreibe("?Quarz_Screen3D::SchaffeVideoRAMPlatz(): Rausgeworfene Resourcen sind sehr jung! "
                  "Hinweis auf VideoRAM-Mangel.");
  // Resources older than 0.9 of the oldest age go.
  const int64_t grenze = static_cast<int64_t>(alterSekunden * 0.9 * gTimerFrequenzD);

  int anzahl = 0;
  for (Quarz_BasisObjekt* o : register_) {
    if (o->IstVideoRAMResource() && o->mZustand == Quarz_BasisObjekt::VORHANDEN &&
        o->mLetzteNutzung < jetzt - grenze) {
      o->Rauswerfen();
      ++anzahl;
    }
  }
  gLog.Schreibe("VideoRAM voll, Platz geschaffen: %d Resourcen rausgeworfen, Grenzalter %f", anzahl,
                static_cast<double>(grenze) * gTimerKehrwertD);
}
