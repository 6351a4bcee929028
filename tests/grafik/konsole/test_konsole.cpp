// The console's keys, live completion, history, scrolling and log lines, typed through the
// input library on its scripted layer: no window and no device.
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "input/inputsystem.h"
#include "plattform/eingabe/eingabe_attrappe.h"
#include "quarzklassen/grafik/konsole/quarz_konsolestandardanzeige.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/schrift/quarz_utf8.h"
#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_log.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/grafik/schrift/schrift_testhilfe.h"

namespace {

std::vector<std::string> gAufrufe;
void Zaehle(const std::string& rest) { gAufrufe.push_back(rest); }
Quarz_KonsolenBefehl gBefehlZaehle("zaehle", Zaehle);

class KonsoleTest : public ::testing::Test {
protected:
  void SetUp() override {
    gAufrufe.clear();
    mKonsole = std::make_unique<Quarz_KonsoleStandardAnzeige>(BauDaten("calibrib.fnt"));
    ASSERT_GT(mKonsole->mSchrift->mDateiGroesse, 0.0f);
    ASSERT_TRUE(CreateInputSystem(reinterpret_cast<GLFWwindow*>(&mFenster), &mSchicht));
    ORVIS::InputSystem::Instance->SetHandler(mKonsole.get());
    Bild();
  }
  void TearDown() override {
    DestroyInputSystem();
    mKonsole.reset();
  }
  void Bild() {
    mSchicht.mZeit += 16;
    ORVIS::InputSystem::Instance->Update();
  }
  // A key pressed and released in one frame; `text` is what it types.
  void Taste(int glfwTaste, uint32_t text = 0) {
    mSchicht.Taste(1, glfwTaste, true, text);
    mSchicht.Taste(1, glfwTaste, false);
    Bild();
  }
  void Tippe(const char* utf8) {
    for (const char* p = utf8; uint32_t c = Quarz::LiesCodepunkt(p);) Taste(GLFW_KEY_A, c);
  }
  // The input with the cursor shown as "|".
  std::string Zustand() const {
    std::string s = mKonsole->mEingabe;
    return s.insert(mKonsole->mCursor, "|");
  }

  TLogFaenger mLog;  // starts the log before the console becomes its display
  std::unique_ptr<Quarz_KonsoleStandardAnzeige> mKonsole;
  Plattform::EingabeAttrappe mSchicht;
  int mFenster = 0;
};

}  // namespace

TEST_F(KonsoleTest, TippenUndVervollstaendigen) {
  // Each step: what is typed (text) or pressed (key), and the input afterwards.
  const struct {
    const char* mText;
    int mTaste;
    const char* mErwartet;
  } schritte[] = {
      {"s", 0, "s|et"},          // the first command beginning with s
      {nullptr, GLFW_KEY_TAB, "set |"},
      {"d", 0, "set d|ebugShader"},  // later words complete variable names
      {"i", 0, "set di|splaydepth"},
      {"x", 0, "set dix|"},      // nothing begins with it: the rest is gone
      {nullptr, GLFW_KEY_BACKSPACE, "set di|"},
      {nullptr, GLFW_KEY_LEFT, "set d|i"},
      {nullptr, GLFW_KEY_DELETE, "set d|"},
      {"=", 0, "set d|"},        // the font has no "=": it cannot be typed
      {" ", 0, "set d |"},
      {"\xC3\xA4\xC3\xB6", 0, "set d \xC3\xA4\xC3\xB6|"},
      // Editing keys move over whole characters.
      {nullptr, GLFW_KEY_LEFT, "set d \xC3\xA4|\xC3\xB6"},
      {nullptr, GLFW_KEY_BACKSPACE, "set d |\xC3\xB6"},
      {nullptr, GLFW_KEY_DELETE, "set d |"},
      {nullptr, GLFW_KEY_RIGHT, "set d |"},
      {nullptr, GLFW_KEY_TAB, "set d  |"},
  };
  for (const auto& s : schritte) {
    SCOPED_TRACE(s.mErwartet);
    if (s.mText) Tippe(s.mText);
    else Taste(s.mTaste);
    EXPECT_EQ(Zustand(), s.mErwartet);
  }
  // The completion for "z" is our command; Tab accepts it.
  mKonsole->mEingabe.clear();
  mKonsole->mCursor = 0;
  Tippe("z");
  EXPECT_EQ(Zustand(), "z|aehle");
  Taste(GLFW_KEY_TAB);
  EXPECT_EQ(Zustand(), "zaehle |");
}

TEST_F(KonsoleTest, TabAufLeererZeileSchreibtSet) {
  Taste(GLFW_KEY_TAB);
  EXPECT_EQ(Zustand(), "set |");
}

TEST_F(KonsoleTest, AusfuehrenUndVerlauf) {
  Tippe("zaehle 1");
  Taste(GLFW_KEY_ENTER);
  ASSERT_EQ(gAufrufe, std::vector<std::string>{"1"});
  EXPECT_EQ(Zustand(), "|");
  // The echo is the newest line and the view follows it.
  ASSERT_FALSE(mKonsole->mZeilen.empty());
  EXPECT_NE(mKonsole->mZeilen.back().find(">zaehle 1"), std::string::npos);
  EXPECT_EQ(mKonsole->mScrollPosition, mKonsole->mZeilen.size() - 1);

  Tippe("zaehle 2");
  Taste(GLFW_KEY_KP_ENTER);
  Tippe("hal");
  const struct {
    int mTaste;
    const char* mErwartet;
  } schritte[] = {
      {GLFW_KEY_UP, "zaehle 2|"}, {GLFW_KEY_UP, "zaehle 1|"}, {GLFW_KEY_UP, "zaehle 1|"},
      {GLFW_KEY_DOWN, "zaehle 2|"}, {GLFW_KEY_DOWN, "hal|"}, {GLFW_KEY_DOWN, "hal|"},
  };
  // No command begins with "hal": the typed text stays as it is while the history is browsed.
  for (const auto& s : schritte) {
    Taste(s.mTaste);
    EXPECT_EQ(Zustand(), s.mErwartet);
  }
  ASSERT_EQ(gAufrufe.size(), 2u);

  // Enter on an empty line executes nothing but resets cursor and view.
  mKonsole->mEingabe.clear();
  mKonsole->mCursor = 0;
  mKonsole->mScrollPosition = 3;
  const size_t zeilen = mKonsole->mZeilen.size();
  Taste(GLFW_KEY_ENTER);
  EXPECT_EQ(mKonsole->mZeilen.size(), zeilen);
  EXPECT_EQ(mKonsole->mScrollPosition, zeilen - 1);
  EXPECT_EQ(mKonsole->mVerlauf.size(), 2u);
}

TEST_F(KonsoleTest, ScrollenUndZeilengrenze) {
  mKonsole->mZeilen.clear();
  mKonsole->mScrollPosition = 0;
  // Without lines nothing scrolls, and Enter does not wrap the position round.
  Taste(GLFW_KEY_PAGE_DOWN);
  EXPECT_EQ(mKonsole->mScrollPosition, 0u);
  mKonsole->mEingabe.clear();
  mKonsole->mCursor = 0;
  Taste(GLFW_KEY_ENTER);
  EXPECT_EQ(mKonsole->mScrollPosition, 0u);

  for (int i = 0; i < 20; ++i) mKonsole->ZeigeZeile(("Zeile " + std::to_string(i) + "\n").c_str());
  EXPECT_EQ(mKonsole->mScrollPosition, 19u);  // the view follows the last line
  Taste(GLFW_KEY_PAGE_DOWN);
  EXPECT_EQ(mKonsole->mScrollPosition, 19u);
  for (int i = 0; i < 15; ++i) Taste(GLFW_KEY_PAGE_UP);
  EXPECT_EQ(mKonsole->mScrollPosition, 10u);
  // A view that is not on the last line stays where it is.
  mKonsole->ZeigeZeile("neu\n");
  EXPECT_EQ(mKonsole->mScrollPosition, 10u);

  // The 501st line removes the 100 oldest at once.
  mKonsole->mZeilen.clear();
  mKonsole->mScrollPosition = 0;
  for (int i = 0; i < 500; ++i) mKonsole->ZeigeZeile(std::to_string(i).c_str());
  EXPECT_EQ(mKonsole->mZeilen.size(), 500u);
  EXPECT_EQ(mKonsole->mScrollPosition, 499u);
  mKonsole->ZeigeZeile("500");
  EXPECT_EQ(mKonsole->mZeilen.size(), 401u);
  EXPECT_EQ(mKonsole->mZeilen.front(), "100");
  EXPECT_EQ(mKonsole->mScrollPosition, 400u);
}

TEST_F(KonsoleTest, WasVerbrauchtWird) {
  ORVIS::Keyboard* t = nullptr;
  const struct {
    uint32_t mTaste;
    bool mGedrueckt, mVerbraucht;
  } faelle[] = {{201, true, true}, {209, true, true}, {14, true, true}, {211, true, true},
                {203, true, true}, {205, true, true}, {200, true, true}, {208, true, true},
                {28, true, true},  {156, true, true}, {15, true, true},  {28, false, false},
                {30, true, false}, {0x57, true, false}};
  for (const auto& f : faelle) EXPECT_EQ(mKonsole->OnKey(t, f.mTaste, f.mGedrueckt), f.mVerbraucht) << f.mTaste;
  EXPECT_FALSE(mKonsole->OnKeyText(t, 0));
  EXPECT_FALSE(mKonsole->OnKeyText(t, '{'));
  EXPECT_TRUE(mKonsole->OnKeyText(t, ' '));
  EXPECT_TRUE(mKonsole->OnKeyText(t, 0x416));  // Cyrillic Zhe is in the font
}

TEST_F(KonsoleTest, LogZeilenKommenAn) {
  gLog.Schreibe("?Achtung");
  ASSERT_FALSE(mKonsole->mZeilen.empty());
  EXPECT_NE(mKonsole->mZeilen.back().find("?Achtung\n"), std::string::npos);
  mKonsole.reset();
  // Without its display the log goes on without it.
  gLog.Schreibe("danach");
}
