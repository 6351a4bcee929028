#include "quarzklassen/grafik/geraet/quarz_screen3d.h"

#include <GLFW/glfw3.h>

#include <algorithm>
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

int64_t Quarz_Screen3D::mKleinsteBreite = 1;
int64_t Quarz_Screen3D::mKleinsteHoehe = 1;
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

// Before a device tells its own limit: the largest texture side Direct3D 9 hardware offers.
constexpr uint64_t kGroessteSeiteOhneGeraet = 16384;

// The largest back-buffer width or height the screen can take: the device's largest texture
// side (every frame is drawn into textures of the screen's size).
uint64_t GroessteSeite(bool hoehe) {
  const Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
  const uint64_t grenze = kontext ? (hoehe ? kontext->mMaxTexturHoehe : kontext->mMaxTexturBreite) : 0;
  return grenze != 0 ? grenze : kGroessteSeiteOhneGeraet;
}

bool GroesseDarstellbar(int64_t breite, int64_t hoehe) {
  return breite > 0 && hoehe > 0 && static_cast<uint64_t>(breite) <= GroessteSeite(false) &&
         static_cast<uint64_t>(hoehe) <= GroessteSeite(true);
}

bool ZuKlein(const Quarz_Screen3D::Modus& modus) {
  return modus.mBreite < Quarz_Screen3D::mKleinsteBreite || modus.mHoehe < Quarz_Screen3D::mKleinsteHoehe;
}

// The display variables take every value: a size the screen cannot take is caught where it is
// used (the start's fallback, the mode change that keeps the old mode).
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

// The primary monitor's current mode, or null without one.
const GLFWvidmode* MonitorModus() {
  GLFWmonitor* monitor = Quarz_Screen3D::mGlfwGestartet ? glfwGetPrimaryMonitor() : nullptr;
  return monitor ? glfwGetVideoMode(monitor) : nullptr;
}

// A size of 0 means the monitor's current size; without a monitor the start's 1280 x 768.
// True when the size came from the monitor.
bool NimmMonitorGroesse(Quarz_Screen3D::Modus& modus) {
  if (modus.mBreite != 0 && modus.mHoehe != 0) return false;
  if (const GLFWvidmode* m = MonitorModus()) {
    modus.mBreite = m->width;
    modus.mHoehe = m->height;
    return true;
  }
  modus.mBreite = 1280;
  modus.mHoehe = 768;
  return false;
}

void BefehlReinitVideo(const std::string&) {
  gLog.Schreibe("Darstellung wird geändert auf %dx%d, %s.", displaywidth.mInt, displayheight.mInt,
                fullscreen.mBool ? "Vollbild" : "Fenster");
  if (!Quarz_Screen3D::mInitialisiert) return;
  Quarz_Screen3D::Modus modus = Quarz_Screen3D::mModus;
  modus.mBreite = displaywidth.mInt;
  modus.mHoehe = displayheight.mInt;
  NimmMonitorGroesse(modus);
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

namespace {

// Start step 2 and 3 for the stored mode: a size of 0 becomes the monitor's (without a monitor
// 1280 x 768 windowed), fullscreen takes the monitor's closest mode.
void WaehleStartModus() {
  Quarz_Screen3D::Modus& modus = Quarz_Screen3D::mModus;
  const bool ohneGroesse = modus.mBreite == 0 || modus.mHoehe == 0;
  const GLFWvidmode* monitorModus = ohneGroesse ? MonitorModus() : nullptr;
  if (ohneGroesse && !monitorModus) {
    gLog.Schreibe("!No monitor found. What the heck is going on here? Starting up windowed.");
    Quarz_Screen3D::mFlags &= ~uint64_t{Quarz_Screen3D::FLAG_VOLLBILD};
  }
  const bool groesseVomMonitor = NimmMonitorGroesse(modus);
  if (Quarz_Screen3D::mFlags & Quarz_Screen3D::FLAG_VOLLBILD) {
    modus = Quarz_Screen3D::WaehleMonitorModus(modus);
    Quarz_Screen3D::mAufMonitor = true;
  } else if (groesseVomMonitor) {
    modus.m16Bit = monitorModus->redBits + monitorModus->greenBits + monitorModus->blueBits < 17 ? 1 : 0;
  }
}

// Opens the window in the stored mode and builds the drawing context in it. False, with
// neither left behind, when the window or the device cannot be made or the device cannot
// draw frames of that size.
bool ErzeugeFensterUndKontext() {
  using S = Quarz_Screen3D;
  const bool vollbild = (S::mFlags & S::FLAG_VOLLBILD) != 0;
  if (S::mGlfwGestartet) {
    const bool bit16 = S::mModus.m16Bit == 1;
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_RED_BITS, bit16 ? 5 : 8);
    glfwWindowHint(GLFW_GREEN_BITS, bit16 ? 6 : 8);
    glfwWindowHint(GLFW_BLUE_BITS, bit16 ? 5 : 8);
    if (GroesseDarstellbar(S::mModus.mBreite, S::mModus.mHoehe))
      S::mFenster = ErzeugeFenster(static_cast<int>(S::mModus.mBreite), static_cast<int>(S::mModus.mHoehe),
                                   vollbild ? glfwGetPrimaryMonitor() : nullptr);
  }
  if (!S::mFenster) return false;

  S::mFensterHandle = S::mFenster;
  // The window manager then keeps a shrink by hand from going below a usable size.
  glfwSetWindowSizeLimits(S::mFenster, static_cast<int>(std::max<int64_t>(S::mKleinsteBreite, 1)),
                          static_cast<int>(std::max<int64_t>(S::mKleinsteHoehe, 1)), GLFW_DONT_CARE, GLFW_DONT_CARE);
  glfwSetWindowSizeCallback(S::mFenster, S::FensterGroesse);
  glfwSetWindowCloseCallback(S::mFenster, S::FensterSchliessen);
  glfwSetWindowFocusCallback(S::mFenster, S::FensterFokus);
  glfwSetWindowIconifyCallback(S::mFenster, S::FensterIkonifiziert);
  // The device draws with the window's OpenGL context.
  glfwMakeContextCurrent(S::mFenster);

  S::mKontextSpeicher = std::malloc(kKontextBytes);
  S::mZeichenKontext = new (S::mKontextSpeicher) Quarz_ZeichenKontext();
  // Without a device nothing can be drawn; reporting success would only postpone the failure.
  if (S::mZeichenKontext->mImpl->mGeraet && GroesseDarstellbar(S::mModus.mBreite, S::mModus.mHoehe))
    return true;
  S::mZeichenKontext->~Quarz_ZeichenKontext();
  S::mZeichenKontext = nullptr;
  std::free(S::mKontextSpeicher);
  S::mKontextSpeicher = nullptr;
  glfwDestroyWindow(S::mFenster);
  S::mFenster = nullptr;
  S::mFensterHandle = nullptr;
  return false;
}

}  // namespace

bool Quarz_Screen3D::Init(Modus modus, uint64_t flags) {
  gLog.Schreibe("Screen wird initialisiert.");
  InitGlfw();
  mModus = modus;
  mFlags = flags;
  mAufMonitor = false;

  const bool konfiguriert = mModus.mBreite != 0 && mModus.mHoehe != 0;
  WaehleStartModus();
  fullscreen.SetzeBool((mFlags & FLAG_VOLLBILD) != 0);
  bool erzeugt = !(konfiguriert && ZuKlein(mModus)) && ErzeugeFensterUndKontext();
  // Without a monitor no size would open either: the fallback could only blame the size.
  if (!erzeugt && konfiguriert && ::MonitorModus()) {
    // A configured size the screen cannot take, or too small to use, must not lock the game
    // out: once more the way a fresh configuration starts.
    mModus = Modus{0, 0, modus.m16Bit, modus.mFrequenz};
    mAufMonitor = false;
    WaehleStartModus();
    gLog.Schreibe("!Quarz_Screen3D::Init(...): %lldx%lld nicht darstellbar, versuche %lldx%lld.",
                  static_cast<long long>(modus.mBreite), static_cast<long long>(modus.mHoehe),
                  static_cast<long long>(mModus.mBreite), static_cast<long long>(mModus.mHoehe));
    erzeugt = ErzeugeFensterUndKontext();
    // Only a fallback that opened the window proves the size was at fault, and only then does
    // the exit save "follow the monitor"; when nothing opens (no display, no GL), the player's
    // settings are kept as loaded.
    if (erzeugt) {
      displaywidth.SetzeInt(0);
      displayheight.SetzeInt(0);
      fullscreen.SetzeBool((mFlags & FLAG_VOLLBILD) != 0);
    }
  }
  if (!erzeugt) {
    gLog.Schreibe("!Quarz_Screen3D::Init(...): Couldn't create window.");
    QUARZ_MELDE("Failed to create window", "Quarz_Screen3D::Init");
    mAufMonitor = false;
    return false;
  }
  mInitialisiert = true;
  return true;
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
  // The all-zero mode stands for "no mode of that depth", never for a candidate: a wish
  // nearer to 0 x 0 than to every mode must still get the closest one.
  Modus bester;
  bool gefunden = false;
  for (const MonitorModus& m : modi) {
    if (m.mFarbBits != farbBits) continue;
    const Modus kandidat{m.mBreite, m.mHoehe, gewuenscht.m16Bit, m.mFrequenz};
    if (!gefunden || abstand(kandidat) <= abstand(bester)) bester = kandidat;
    gefunden = true;
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

namespace {

// SetDarstellung's steps 2 to 6 for a mode the screen can take; false when the device reset
// failed.
bool WendeDarstellungAn(const Quarz_Screen3D::Modus& modus, bool vollbild, bool vsyncAn) {
  using S = Quarz_Screen3D;
  S::mModus = modus;
  displaywidth.SetzeInt(static_cast<int32_t>(modus.mBreite));
  displayheight.SetzeInt(static_cast<int32_t>(modus.mHoehe));
  vsync.SetzeBool(vsyncAn);
  S::mFlags &= ~uint64_t{S::FLAG_VOLLBILD | S::FLAG_VSYNC};
  if (vollbild) S::mFlags |= S::FLAG_VOLLBILD;
  if (vsyncAn) S::mFlags |= S::FLAG_VSYNC;

  if (S::mFenster) {
    const int b = static_cast<int>(modus.mBreite);
    const int h = static_cast<int>(modus.mHoehe);
    if (vollbild && !S::mAufMonitor) {
      glfwSetWindowMonitor(S::mFenster, glfwGetPrimaryMonitor(), 0, 0, b, h,
                           modus.mFrequenz ? static_cast<int>(modus.mFrequenz) : GLFW_DONT_CARE);
    } else if (!vollbild && S::mAufMonitor) {
      glfwSetWindowMonitor(S::mFenster, nullptr, 0, 0, b, h, 0);
    }
    int istB = 0, istH = 0;
    glfwGetWindowSize(S::mFenster, &istB, &istH);
    if (istB != b || istH != h) glfwSetWindowSize(S::mFenster, b, h);
  }
  S::mAufMonitor = vollbild;
  fullscreen.SetzeBool(vollbild);
  return !S::mZeichenKontext || S::mZeichenKontext->Zuruecksetzen();
}

}  // namespace

void Quarz_Screen3D::SetDarstellung(Modus modus, bool vollbild, bool vsyncAn) {
  mImWechsel = true;
  const Modus alt = mModus;
  const bool altVollbild = (mFlags & FLAG_VOLLBILD) != 0;
  const bool altVsync = (mFlags & FLAG_VSYNC) != 0;
  if (vollbild) modus = WaehleMonitorModus(modus);
  // A mode the screen cannot take would leave no frame to draw into, one too small no room
  // for the game: the old one stays.
  if (!GroesseDarstellbar(modus.mBreite, modus.mHoehe) || ZuKlein(modus)) {
    gLog.Schreibe("!Quarz_Screen3D::SetDarstellung(...): %lldx%lld ist nicht darstellbar, Darstellung bleibt %lldx%lld.",
                  static_cast<long long>(modus.mBreite), static_cast<long long>(modus.mHoehe),
                  static_cast<long long>(alt.mBreite), static_cast<long long>(alt.mHoehe));
  } else if (!WendeDarstellungAn(modus, vollbild, vsyncAn)) {
    gLog.Schreibe("!Quarz_Screen3D::SetDarstellung(...): Wechsel auf %lldx%lld gescheitert, zurück zu %lldx%lld.",
                  static_cast<long long>(modus.mBreite), static_cast<long long>(modus.mHoehe),
                  static_cast<long long>(alt.mBreite), static_cast<long long>(alt.mHoehe));
    WendeDarstellungAn(alt, altVollbild, altVsync);
  }
  mImWechsel = false;
  mDarstellungGeaendert();
}

bool Quarz_Screen3D::IstGroessenAenderung(int breite, int hoehe) {
  return breite >= 1 && hoehe >= 1 && !(mFlags & FLAG_VOLLBILD) && !mImWechsel &&
         !(breite == mModus.mBreite && hoehe == mModus.mHoehe);
}

void Quarz_Screen3D::FensterGroesse(GLFWwindow*, int breite, int hoehe) {
  if (!IstGroessenAenderung(breite, hoehe)) return;
  // Without a window manager, or with one that ignores the size limits, the window can still
  // be shrunk: it goes back to the smallest usable size.
  Modus modus = mModus;
  modus.mBreite = std::max<int64_t>(breite, mKleinsteBreite);
  modus.mHoehe = std::max<int64_t>(hoehe, mKleinsteHoehe);
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
