#pragma once
// Shared pieces of the shader tests: a log catcher and a fixture with a real window (under
// Xvfb) and its drawing context.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quarzklassen/quarz_konsolebasisanzeige.h"
#include "quarzklassen/quarz_log.h"

class Quarz_ZeichenKontext;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;

// Collects every log line from its construction on.
class TLogFaenger : public Quarz_KonsoleBasisAnzeige {
public:
  TLogFaenger();
  void ZeigeZeile(const char* zeile) override { mZeilen.emplace_back(zeile); }
  int Zaehle(const std::string& teil) const;
  bool Enthaelt(const std::string& teil) const { return Zaehle(teil) > 0; }
  std::string Alle() const;
  std::vector<std::string> mZeilen;
};

// A windowed 64 x 48 screen with its drawing context.
class ShaderGeraetTest : public ::testing::Test {
protected:
  static constexpr int kBreite = 64;
  static constexpr int kHoehe = 48;
  void SetUp() override;
  void TearDown() override;

  // The back buffer as 0xAARRGGBB pixels, row 0 on top.
  std::vector<uint32_t> Bild();
  // A quad over [x0, x1] x [y0, y1] in clip space (y up) with texture coordinates (0, 0) at its
  // top-left and (1, 1) at its bottom-right: vertices of three floats and two floats.
  void ErzeugeQuad(float x0, float y0, float x1, float y1);

  TLogFaenger mLog;
  Quarz_ZeichenKontext* mKontext = nullptr;
  Quarz_VertexBuffer* mVb = nullptr;
  Quarz_IndexBuffer* mIb = nullptr;
};

// True when two 0xAARRGGBB colours differ by at most one step per channel.
bool FarbeNahe(uint32_t a, uint32_t b);

// Keeps the loaded OpenGL driver modules in memory until the process ends.
void BehalteGrafiktreiber();

// The source folder of the test shader files.
std::wstring TestDaten(const char* datei);
