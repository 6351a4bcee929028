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

#include "input/inputsystem.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
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

TEST(Bildschirm, DisplaySizesTheScreenCannotTakeAreRefused) {
  struct Fall { const char* text; bool angenommen; };
  const Fall faelle[] = {{"0", true},       {"1920", true},   {"16384", true},       {"-5", false},
                         {"100000", false}, {"16385", false}, {"99999999999", false}};
  for (const char* name : {"displaywidth", "displayheight"}) {
    Quarz_Variable* v = Quarz_Variable::Finde(name);
    for (const Fall& f : faelle) {
      ASSERT_TRUE(v->SetzeInt(640));
      EXPECT_EQ(v->SetzeText(f.text), f.angenommen) << name << " " << f.text;
      EXPECT_EQ(v->mInt, f.angenommen ? std::atoi(f.text) : 640) << name << " " << f.text;
    }
    v->SetzeInt(0);
  }
}

// The exit save writes the configuration back, so a bad value in "spiel.cfg", if it were taken,
// would fail this start and every later one: it is refused, and the game opens at the
// monitor's size.
TEST(Bildschirm, ABadDisplaySizeInTheConfigurationDoesNotLockTheGameOut) {
  gLog.Starte(L".", L"test.log");
  FILE* datei = std::fopen("spiel.cfg", "wb");
  ASSERT_NE(datei, nullptr);
  std::fputs("<config><var name=\"displaywidth\" wert=\"-5\"/><var name=\"displayheight\" "
             "wert=\"99999999999\"/><var name=\"fullscreen\" wert=\"nein\"/></config>",
             datei);
  std::fclose(datei);
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  const Quarz_Variable& breite = *Quarz_Variable::Finde("displaywidth");
  const Quarz_Variable& hoehe = *Quarz_Variable::Finde("displayheight");
  EXPECT_EQ(breite.mInt, 0);
  EXPECT_EQ(hoehe.mInt, 0);
  ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{breite.mInt, hoehe.mInt, 0, 0},
                                   Quarz_Screen3D::FLAG_ANWENDUNG));
  EXPECT_EQ(Quarz_Screen3D::mModus, MonitorGroesse());
  Quarz_Screen3D::Beenden();
  // The monitor's size is not written back: the file keeps "follow the monitor".
  ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());
  char inhalt[1024] = {};
  datei = std::fopen("spiel.cfg", "rb");
  ASSERT_NE(datei, nullptr);
  inhalt[std::fread(inhalt, 1, sizeof inhalt - 1, datei)] = 0;
  std::fclose(datei);
  EXPECT_NE(std::strstr(inhalt, "<var name=\"displaywidth\" wert=\"0\" />"), nullptr) << inhalt;
  EXPECT_NE(std::strstr(inhalt, "<var name=\"displayheight\" wert=\"0\" />"), nullptr) << inhalt;
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

}  // namespace
