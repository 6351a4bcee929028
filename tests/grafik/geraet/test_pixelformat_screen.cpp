// Pixel format tables, the screen's mode choice, its window callbacks and the bounded device
// reset (no window needed).
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <string>
#include <vector>

#include <unistd.h>

#include "input/inputsystem.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "tests/grafik/geraet/grafik_hilfen.h"

namespace {

TEST(Pixelformat, ByteCountsRoundBlockFormatsToWholeBlocks) {
  struct Fall {
    Quarz_Pixelformat format;
    uint64_t breite, hoehe, zeile, bild;
  } faelle[] = {
      {Quarz::PF_DXT1, 5, 5, 4, 32},     // width 8: one pixel row 4 bytes, two block rows
      {Quarz::PF_DXT5, 1, 1, 4, 16},     // one block of four 4-byte rows
      {Quarz::PF_A8R8G8B8, 3, 2, 12, 24},
      {Quarz::PF_A8, 3, 3, 3, 9},
      {Quarz::PF_A32B32G32R32F, 2, 1, 32, 32},
      {Quarz::PF_R5G6B5, 0, 7, 0, 0},
      {Quarz::PF_DXT3, 4, 0, 4, 0},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(Quarz::GetZeilenBytes(f.format, f.breite), f.zeile) << f.format;
    EXPECT_EQ(Quarz::GetBildBytes(f.format, f.breite, f.hoehe), f.bild) << f.format;
  }
}

TEST(Pixelformat, DirectXFormatsAndCubeFacesFollowTheEngineOrder) {
  EXPECT_EQ(Quarz::GetD3DPixelFormat(0), D3DFMT_A8R8G8B8);
  EXPECT_EQ(Quarz::GetD3DPixelFormat(2), D3DFMT_A2B10G10R10);
  EXPECT_EQ(Quarz::GetD3DPixelFormat(13), D3DFMT_DXT5);
  EXPECT_EQ(Quarz::GetD3DPixelFormat(14), D3DFMT_A8);
  const D3DCUBEMAP_FACES erwartet[6] = {D3DCUBEMAP_FACE_POSITIVE_Y, D3DCUBEMAP_FACE_NEGATIVE_Y,
                                        D3DCUBEMAP_FACE_POSITIVE_X, D3DCUBEMAP_FACE_NEGATIVE_X,
                                        D3DCUBEMAP_FACE_POSITIVE_Z, D3DCUBEMAP_FACE_NEGATIVE_Z};
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(Quarz::GetD3DSeite(i), erwartet[i]) << i;
}

TEST(Pixelformat, InvalidIdsAreReportedAndGiveTheDefaults) {
  gLog.Starte(L".", L"test.log");
  TLogFang log;
  EXPECT_EQ(Quarz::GetD3DPixelFormat(15), D3DFMT_A8R8G8B8);
  EXPECT_EQ(Quarz::GetD3DSeite(6), D3DCUBEMAP_FACE_POSITIVE_X);
  EXPECT_TRUE(log.Enthaelt("Invalides Pixelformat"));
  EXPECT_TRUE(log.Enthaelt("!Quarz_WuerfelTextur::GetD3DSeite( 6): Ungültige CubeMap-Seite."));
  EXPECT_TRUE(log.Enthaelt("\"Ungültige CubeMap-Seite.\" aufgetreten in Funktion Quarz::GetD3DSeite"));
}

using M = Quarz_Screen3D::Modus;
using MM = Quarz_Screen3D::MonitorModus;

TEST(MonitorModus, ChoosesTheClosestModeOfTheWantedDepth) {
  struct Fall {
    const char* name;
    M gewuenscht;
    std::vector<MM> modi;
    M erwartet;
  } faelle[] = {
      {"distances 48 and 86", {1280, 768, 0, 0}, {{1280, 720, 24, 60}, {1366, 768, 24, 60}},
       {1280, 720, 0, 0}},
      {"tie goes to the later mode", {1300, 700, 0, 0}, {{1280, 720, 24, 60}, {1320, 680, 24, 60}},
       {1320, 680, 0, 0}},
      {"16-bit modes only when asked", {800, 600, 1, 0}, {{800, 600, 24, 60}, {640, 480, 16, 60}},
       {640, 480, 1, 0}},
      {"24-bit ignores 16-bit modes", {640, 480, 0, 0}, {{640, 480, 16, 60}, {1024, 768, 24, 60}},
       {1024, 768, 0, 0}},
      {"refresh counts when wanted", {800, 600, 0, 75}, {{800, 600, 24, 60}, {800, 600, 24, 75}, {800, 600, 24, 50}},
       {800, 600, 0, 75}},
      {"far below the only mode", {640, 480, 0, 0}, {{1280, 1024, 24, 60}}, {1280, 1024, 0, 0}},
      {"far below every mode", {1, 1, 0, 60}, {{1280, 1024, 24, 60}, {1920, 1080, 24, 60}},
       {1280, 1024, 0, 60}},
      {"far above every mode", {99999, 99999, 0, 0}, {{640, 480, 24, 60}, {1920, 1080, 24, 60}},
       {1920, 1080, 0, 0}},
      {"no candidate gives all zero", {800, 600, 0, 0}, {{800, 600, 30, 60}}, {0, 0, 0, 0}},
      {"empty list", {800, 600, 0, 0}, {}, {0, 0, 0, 0}},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(Quarz_Screen3D::WaehleAusModi(f.gewuenscht, f.modi), f.erwartet) << f.name;
}

TEST(MonitorModus, SizeCallbackIgnoresTheStoredSizeAndChangesInProgress) {
  const M alt = Quarz_Screen3D::mModus;
  const uint64_t altFlags = Quarz_Screen3D::mFlags;
  Quarz_Screen3D::mModus = M{640, 480, 0, 0};
  Quarz_Screen3D::mFlags = Quarz_Screen3D::FLAG_ANWENDUNG;
  EXPECT_FALSE(Quarz_Screen3D::IstGroessenAenderung(640, 480));  // our own change echoed back
  EXPECT_TRUE(Quarz_Screen3D::IstGroessenAenderung(800, 480));
  EXPECT_FALSE(Quarz_Screen3D::IstGroessenAenderung(0, 480));
  Quarz_Screen3D::mImWechsel = true;
  EXPECT_FALSE(Quarz_Screen3D::IstGroessenAenderung(800, 480));
  Quarz_Screen3D::mImWechsel = false;
  Quarz_Screen3D::mFlags |= Quarz_Screen3D::FLAG_VOLLBILD;
  EXPECT_FALSE(Quarz_Screen3D::IstGroessenAenderung(800, 480));
  Quarz_Screen3D::mModus = alt;
  Quarz_Screen3D::mFlags = altFlags;
}

// ---- window callbacks ----------------------------------------------------------------------------

// An input system that records the focus changes it is told about.
class TEingabeAttrappe : public ORVIS::InputSystem {
public:
  TEingabeAttrappe() : InputSystem(0) {}
  void OnFocusChanged(bool fokus) override { mFokusWechsel.push_back(fokus); }
  void SetCursorGrab(bool) override {}
  uint32_t CurrentTick() override { return 0; }
  std::vector<bool> mFokusWechsel;
};

TEST(Fensterereignisse, IconifyAndFocusSetThePresenceAndTheInputFocus) {
  using P = Quarz_System::Praesenz;
  gSystem.SetzeFensterZustand(true, false);  // visible, without focus
  std::vector<P> praesenzen;
  boost::signals2::scoped_connection verbindung =
      gSystem.VerbindePraesenz([&](P p) { praesenzen.push_back(p); });
  // Without an input system only the presence follows.
  Quarz_Screen3D::FensterFokus(nullptr, 1);
  Quarz_Screen3D::FensterFokus(nullptr, 0);
  praesenzen.clear();
  {
    TEingabeAttrappe eingabe;
    Quarz_Screen3D::FensterIkonifiziert(nullptr, 1);
    Quarz_Screen3D::FensterIkonifiziert(nullptr, 1);  // no change, no signal
    Quarz_Screen3D::FensterIkonifiziert(nullptr, 0);  // restored while unfocused
    Quarz_Screen3D::FensterFokus(nullptr, 1);
    Quarz_Screen3D::FensterFokus(nullptr, 0);
    EXPECT_EQ(praesenzen, (std::vector<P>{Quarz_System::Minimiert, Quarz_System::OhneFokus,
                                          Quarz_System::Fokus, Quarz_System::OhneFokus}));
    // Restoring hands the input system the focus even while the window has none.
    EXPECT_EQ(eingabe.mFokusWechsel, (std::vector<bool>{false, true, false}));
  }
  gSystem.SetzeFensterZustand(true, true);
}

// ---- device reset ----------------------------------------------------------------------------

TEST(Geraetereset, ResetIsRepeatedWhileTheDeviceIsLostButNotForever) {
  struct Fall {
    const char* name;
    std::vector<HRESULT> antworten;  // the last one repeats
    int erwarteteVersuche;
    HRESULT erwartet;
  };
  const Fall faelle[] = {
      {"works at once", {D3D_OK}, 1, D3D_OK},
      {"lost twice, then works", {D3DERR_DEVICELOST, D3DERR_DEVICELOST, D3D_OK}, 3, D3D_OK},
      {"other failure ends the loop", {D3DERR_INVALIDCALL}, 1, D3DERR_INVALIDCALL},
      {"stays lost", {D3DERR_DEVICELOST}, Quarz::Intern::kMaxResetVersuche, D3DERR_DEVICELOST},
  };
  for (const Fall& f : faelle) {
    int versuche = 0;
    const HRESULT hr = Quarz::Intern::SetzeGeraetZurueck(
        [&] {
          const size_t i = std::min<size_t>(versuche++, f.antworten.size() - 1);
          return f.antworten[i];
        },
        std::chrono::milliseconds(0));
    EXPECT_EQ(versuche, f.erwarteteVersuche) << f.name;
    EXPECT_EQ(hr, f.erwartet) << f.name;
  }
}

}  // namespace

namespace {

TEST(Bildschirm, WithoutADisplayNoWindowOpensAndInitFails) {
  gLog.Starte(L".", L"test.log");
  TLogFang log;
  const char* anzeige = std::getenv("DISPLAY");
  const std::string alt = anzeige ? anzeige : "";
  unsetenv("DISPLAY");
  EXPECT_FALSE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{}, Quarz_Screen3D::FLAG_ANWENDUNG));
  if (!alt.empty()) setenv("DISPLAY", alt.c_str(), 1);
  EXPECT_TRUE(log.Enthaelt("!No monitor found. What the heck is going on here? Starting up windowed."));
  EXPECT_TRUE(log.Enthaelt("!Quarz_Screen3D::Init(...): Couldn't create window."));
  EXPECT_TRUE(log.Enthaelt("\"Failed to create window\" aufgetreten in Funktion Quarz_Screen3D::Init"));
  EXPECT_EQ(Quarz_Screen3D::mModus.mBreite, 1280);
  EXPECT_EQ(Quarz_Screen3D::mModus.mHoehe, 768);
  EXPECT_EQ(Quarz_Screen3D::GetZeichenKontext(), nullptr);
  Quarz_Screen3D::Beenden();  // safe with nothing created
}

TEST(Bildschirm, TheMonitorsOwnModeIsItsClosestMode) {
  Quarz_Screen3D::InitGlfw();
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  ASSERT_NE(monitor, nullptr) << "needs a display";
  const GLFWvidmode* jetzt = glfwGetVideoMode(monitor);
  const Quarz_Screen3D::Modus gewuenscht{jetzt->width, jetzt->height, 0, 0};
  EXPECT_EQ(Quarz_Screen3D::WaehleMonitorModus(gewuenscht), gewuenscht);
  Quarz_Screen3D::Beenden();
}

// ---- display sizes the screen cannot take -----------------------------------------------------

// The primary monitor's current size (the start's fallback under Xvfb).
Quarz_Screen3D::Modus MonitorGroesse() {
  Quarz_Screen3D::InitGlfw();
  const GLFWvidmode* m = glfwGetPrimaryMonitor() ? glfwGetVideoMode(glfwGetPrimaryMonitor()) : nullptr;
  return m ? Quarz_Screen3D::Modus{m->width, m->height, 0, 0} : Quarz_Screen3D::Modus{};
}

// The size variables take every value, as the other display variables do; what the screen
// cannot take is caught where a size is used.
TEST(Bildschirm, DisplaySizesAreTakenAsTyped) {
  gLog.Starte(L".", L"test.log");
  for (const char* text : {"0", "1920", "-5", "16385", "99999999999"}) {
    for (const char* name : {"displaywidth", "displayheight"}) {
      TLogFang log;
      Quarz_KonsoleBasisAnzeige::FuehreAus(std::string("set ") + name + " " + text);
      const std::string erwartet = std::to_string(Quarz_Variable::LiesGanzzahl(text));
      EXPECT_EQ(log.Zaehle("Variable \"" + std::string(name) + "\" auf Wert \"" + erwartet + "\" gesetzt."), 1)
          << log.Alle();
      EXPECT_EQ(Quarz_Variable::Finde(name)->mInt, Quarz_Variable::LiesGanzzahl(text));
    }
  }
  for (const char* name : {"displaywidth", "displayheight"}) Quarz_Variable::Finde(name)->SetzeInt(0);
}

// "spiel.cfg" in the working folder with the given display size and window mode, loaded.
void LadeKonfigMitGroesse(const std::string& breite, const std::string& hoehe, bool vollbild = false) {
  FILE* datei = std::fopen("spiel.cfg", "wb");
  ASSERT_NE(datei, nullptr);
  std::fprintf(datei, "<config><var name=\"displaywidth\" wert=\"%s\"/><var name=\"displayheight\" "
               "wert=\"%s\"/><var name=\"fullscreen\" wert=\"%s\"/></config>", breite.c_str(), hoehe.c_str(),
               vollbild ? "ja" : "nein");
  std::fclose(datei);
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
}

// The start with the loaded display variables, as the application makes it.
bool StarteMitKonfig() {
  uint64_t flags = Quarz_Screen3D::FLAG_ANWENDUNG;
  if (Quarz_Variable::Finde("fullscreen")->mBool) flags |= Quarz_Screen3D::FLAG_VOLLBILD;
  return Quarz_Screen3D::Init(Quarz_Screen3D::Modus{Quarz_Variable::Finde("displaywidth")->mInt,
                                                    Quarz_Variable::Finde("displayheight")->mInt, 0, 0},
                              flags);
}

// The exit's save of "spiel.cfg", read back.
std::string SpeichereUndLiesKonfig() {
  EXPECT_TRUE(Quarz_Variable::SpeichereKonfig());
  char inhalt[1024] = {};
  FILE* datei = std::fopen("spiel.cfg", "rb");
  if (!datei) return "";
  inhalt[std::fread(inhalt, 1, sizeof inhalt - 1, datei)] = 0;
  std::fclose(datei);
  return inhalt;
}

// The exit save writes the configuration back: a size the screen cannot take must not fail
// this start and every later one. It starts at the monitor's size with one line, and the file
// then keeps "follow the monitor". A size of 0 on one side is the monitor's size anyway.
TEST(Bildschirm, ABadDisplaySizeInTheConfigurationDoesNotLockTheGameOut) {
  gLog.Starte(L".", L"test.log");
  const Quarz_Screen3D::Modus monitor = MonitorGroesse();
  ASSERT_GT(monitor.mBreite, 0) << "needs a display";
  const struct Fall { const char *breite, *hoehe, *gelesen, *gespeichert; int zeilen; } faelle[] = {
      {"-5", "600", "-5x600", "0", 1},
      {"800", "99999999999", "800x2147483647", "0", 1},  // beyond any device's largest texture
      {"0", "5", "", "5", 0},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::string(f.breite) + " x " + f.hoehe);
    TLogFang log;
    LadeKonfigMitGroesse(f.breite, f.hoehe);
    ASSERT_TRUE(StarteMitKonfig());
    EXPECT_EQ(Quarz_Screen3D::mModus, monitor);
    EXPECT_EQ(log.Zaehle("!"), f.zeilen) << log.Alle();
    if (f.zeilen) {
      EXPECT_EQ(log.Zaehle("!Quarz_Screen3D::Init(...): " + std::string(f.gelesen) + " nicht darstellbar, versuche " +
                           std::to_string(monitor.mBreite) + "x" + std::to_string(monitor.mHoehe) + "."),
                1);
    }
    Quarz_Screen3D::Beenden();
    const std::string inhalt = SpeichereUndLiesKonfig();
    EXPECT_NE(inhalt.find("<var name=\"displaywidth\" wert=\"0\" />"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find("<var name=\"displayheight\" wert=\"" + std::string(f.gespeichert) + "\" />"),
              std::string::npos)
        << inhalt;
  }
}

// A start that fails for want of a display says nothing about the size: the player's size and
// window mode are saved back as they were loaded.
TEST(Bildschirm, AStartWithoutADisplayKeepsTheConfiguredModeWithoutAFallback) {
  gLog.Starte(L".", L"test.log");
  const char* anzeige = std::getenv("DISPLAY");
  const std::string alt = anzeige ? anzeige : "";
  for (const bool vollbild : {false, true}) {
    SCOPED_TRACE(vollbild);
    TLogFang log;
    LadeKonfigMitGroesse("1600", "900", vollbild);
    unsetenv("DISPLAY");
    EXPECT_FALSE(StarteMitKonfig());
    if (!alt.empty()) setenv("DISPLAY", alt.c_str(), 1);
    // No size is to blame without a display: no fallback, only the start's own lines.
    EXPECT_EQ(log.Zaehle("nicht darstellbar"), 0) << log.Alle();
    EXPECT_EQ(log.Zaehle("Starting up windowed"), 0) << log.Alle();
    EXPECT_EQ(log.Zaehle("!No monitor found. What the heck is going on here?"), vollbild ? 1 : 0) << log.Alle();
    EXPECT_EQ(log.Zaehle("!Quarz_Screen3D::Init(...): Couldn't create window."), 1) << log.Alle();
    Quarz_Screen3D::Beenden();
    const std::string inhalt = SpeichereUndLiesKonfig();
    EXPECT_NE(inhalt.find("<var name=\"displaywidth\" wert=\"1600\" />"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find("<var name=\"displayheight\" wert=\"900\" />"), std::string::npos) << inhalt;
    EXPECT_NE(inhalt.find(std::string("<var name=\"fullscreen\" wert=\"") + (vollbild ? "ja" : "nein") + "\" />"),
              std::string::npos)
        << inhalt;
  }
}

// A size that reaches the start anyway (from a caller, or beyond what the device takes) gets
// one more try the way a fresh configuration starts.
TEST(Bildschirm, AConfiguredSizeTheScreenCannotTakeFallsBackToTheMonitorsSize) {
  gLog.Starte(L".", L"test.log");
  const Quarz_Screen3D::Modus monitor = MonitorGroesse();
  ASSERT_GT(monitor.mBreite, 0) << "needs a display";
  for (const int64_t breite : {int64_t{-5}, int64_t{20000}}) {
    TLogFang log;
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{breite, 600, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG))
        << breite;
    const std::string zeile = "!Quarz_Screen3D::Init(...): " + std::to_string(breite) +
                              "x600 nicht darstellbar, versuche " + std::to_string(monitor.mBreite) + "x" +
                              std::to_string(monitor.mHoehe) + ".";
    EXPECT_EQ(log.Zaehle(zeile), 1) << log.Alle();
    EXPECT_EQ(log.Zaehle("!"), 1) << log.Alle();
    EXPECT_EQ(Quarz_Screen3D::mModus, monitor);
    ASSERT_NE(Quarz_Screen3D::GetZeichenKontext(), nullptr);
    Quarz_Screen3D::Beenden();
  }
}

// ---- the program's smallest window -------------------------------------------------------------

// The program's smallest window for one test.
class TKleinsteGroesse {
public:
  TKleinsteGroesse(int64_t breite, int64_t hoehe) {
    Quarz_Screen3D::mKleinsteBreite = breite;
    Quarz_Screen3D::mKleinsteHoehe = hoehe;
  }
  ~TKleinsteGroesse() { Quarz_Screen3D::mKleinsteBreite = Quarz_Screen3D::mKleinsteHoehe = 1; }
};

// A configured size below the smallest starts like a fresh configuration, in one line, and the
// exit saves "follow the monitor": the next start is not refused again.
TEST(Bildschirm, AConfiguredSizeTooSmallToUseFallsBackAndIsNotSavedAgain) {
  gLog.Starte(L".", L"test.log");
  const Quarz_Screen3D::Modus monitor = MonitorGroesse();
  ASSERT_GT(monitor.mBreite, 0) << "needs a display";
  const TKleinsteGroesse kleinste(446, 376);
  const struct Fall { int64_t breite, hoehe; bool genommen; } faelle[] = {
      {1, 1, false}, {445, 376, false}, {446, 375, false}, {446, 376, true}};
  for (const Fall& f : faelle) {
    const std::string groesse = std::to_string(f.breite) + "x" + std::to_string(f.hoehe);
    TLogFang log;
    LadeKonfigMitGroesse(std::to_string(f.breite), std::to_string(f.hoehe));
    ASSERT_TRUE(StarteMitKonfig()) << groesse;
    const Quarz_Screen3D::Modus erwartet = f.genommen ? Quarz_Screen3D::Modus{f.breite, f.hoehe, 0, 0} : monitor;
    EXPECT_EQ(Quarz_Screen3D::mModus, erwartet) << groesse;
    const std::string zeile = "!Quarz_Screen3D::Init(...): " + groesse + " nicht darstellbar, versuche " +
                              std::to_string(monitor.mBreite) + "x" + std::to_string(monitor.mHoehe) + ".";
    EXPECT_EQ(log.Zaehle(zeile), f.genommen ? 0 : 1) << log.Alle();
    EXPECT_EQ(log.Zaehle("!"), f.genommen ? 0 : 1) << log.Alle();
    Quarz_Screen3D::Beenden();
    const std::string inhalt = SpeichereUndLiesKonfig();
    const std::string gespeichert = f.genommen ? std::to_string(f.breite) : "0";
    EXPECT_NE(inhalt.find("<var name=\"displaywidth\" wert=\"" + gespeichert + "\" />"), std::string::npos)
        << groesse << inhalt;
  }
}

// What "xprop" says about this process's window. Other tests' windows come and go on the same
// display, which can make the search fail: it is asked again a few times.
std::string FensterEigenschaft(const std::string& name) {
  const std::string befehl = "for f in $(xdotool search --all --pid " + std::to_string(getpid()) +
                             " --name '^Weilerbau$' 2>/dev/null); do xprop -id $f " + name + "; done 2>&1";
  std::string ausgabe;
  for (int versuch = 0; versuch < 5 && ausgabe.find(name + "(") == std::string::npos; ++versuch) {
    ausgabe.clear();
    if (FILE* rohr = popen(befehl.c_str(), "r")) {
      char zeile[256];
      while (std::fgets(zeile, sizeof zeile, rohr)) ausgabe += zeile;
      pclose(rohr);
    }
  }
  return ausgabe;
}

// The window manager is told the smallest size; a display without one (or one that ignores it)
// lets the window be shrunk, and the window goes back to that size. So the exit saves a size
// the next start can use, never 1 x 1.
TEST(Bildschirm, AWindowShrunkByHandStopsAtTheSmallestSize) {
  gLog.Starte(L".", L"test.log");
  TLogFang log;
  const TKleinsteGroesse kleinste(300, 200);
  LadeKonfigMitGroesse("640", "480");
  ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{640, 480, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
  EXPECT_NE(FensterEigenschaft("WM_NORMAL_HINTS").find("program specified minimum size: 300 by 200"),
            std::string::npos)
      << FensterEigenschaft("WM_NORMAL_HINTS");

  glfwSetWindowSize(Quarz_Screen3D::mFenster, 1, 1);
  int breite = 0, hoehe = 0;
  for (int i = 0; i < 200 && !(Quarz_Screen3D::mModus.mBreite != 640 && breite == 300 && hoehe == 200); ++i) {
    glfwWaitEventsTimeout(0.01);
    glfwGetWindowSize(Quarz_Screen3D::mFenster, &breite, &hoehe);
  }
  EXPECT_EQ(breite, 300);
  EXPECT_EQ(hoehe, 200);
  EXPECT_EQ(Quarz_Screen3D::mModus, (Quarz_Screen3D::Modus{300, 200, 0, 0}));
  // A smaller mode asked for on the console is refused like one the screen cannot take.
  Quarz_Screen3D::SetDarstellung(Quarz_Screen3D::Modus{299, 200, 0, 0}, false, false);
  EXPECT_EQ(log.Zaehle("!Quarz_Screen3D::SetDarstellung(...): 299x200 ist nicht darstellbar, Darstellung bleibt "
                       "300x200."), 1)
      << log.Alle();
  Quarz_Screen3D::Beenden();
  const std::string inhalt = SpeichereUndLiesKonfig();
  EXPECT_NE(inhalt.find("<var name=\"displaywidth\" wert=\"300\" />"), std::string::npos) << inhalt;
  EXPECT_NE(inhalt.find("<var name=\"displayheight\" wert=\"200\" />"), std::string::npos) << inhalt;
}

}  // namespace
