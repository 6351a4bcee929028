#pragma once
// Shared pieces of the graphics tests: a log catcher, a hidden OpenGL window and a screen fixture
// (a real window under Xvfb) with read-back.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "tests/gemeinsam/bildschirm_lesen.h"
#include "tests/gemeinsam/verstecktes_fenster.h"

struct GLFWwindow;
class Quarz_ZeichenKontext;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;
class Quarz_VertexEingabe;

// Collects every log line from its construction on; starts the log if nobody has.
class TLogFaenger : public Quarz_KonsoleBasisAnzeige {
public:
  TLogFaenger();
  void ZeigeZeile(const char* zeile) override { mZeilen.emplace_back(zeile); }
  int Zaehle(const std::string& teil) const;
  bool Enthaelt(const std::string& teil) const { return Zaehle(teil) > 0; }
  std::string Alle() const;
  std::vector<std::string> mZeilen;
};

// True when two 0xAARRGGBB colours differ by at most one step per channel.
bool FarbeNahe(uint32_t a, uint32_t b);

// A windowed 64 x 48 screen with its drawing context; the log is started and caught.
class BildschirmTest : public ::testing::Test {
protected:
  static constexpr int kBreite = 64;
  static constexpr int kHoehe = 48;
  void SetUp() override;
  void TearDown() override;

  // The back buffer as 0xAARRGGBB pixels, row 0 on top.
  std::vector<uint32_t> Bild();
  // Pixel (x, y) of the back buffer, opaque.
  uint32_t Pixel(int x, int y) { return Bild()[y * kBreite + x] | 0xFF000000u; }
  // A quad over [x0, x1] x [y0, y1] in clip space (y up), clockwise in Direct3D's sense. With
  // `uv` every vertex carries two floats more: (0, 0) at the top-left, (1, 1) at the
  // bottom-right.
  void ErzeugeQuad(float x0, float y0, float x1, float y1, uint32_t flags = 0, bool uv = true);
  // The layout of such a quad with `uv`: stream 0 with a float3 position and float2 texture
  // coordinates. The caller frees it.
  Quarz_VertexEingabe* ErzeugeQuadEingabe();

  TLogFaenger mLog;
  Quarz_ZeichenKontext* mKontext = nullptr;
  Quarz_VertexBuffer* mVb = nullptr;
  Quarz_IndexBuffer* mIb = nullptr;
};
