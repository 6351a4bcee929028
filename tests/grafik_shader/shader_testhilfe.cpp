#include "tests/grafik_shader/shader_testhilfe.h"

#include "quarzklassen/quarz_indexbuffer.h"
#include "quarzklassen/quarz_screen3d.h"
#include "quarzklassen/quarz_vertexbuffer.h"
#include "quarzklassen/tbereich.h"
#include "quarzklassen/quarz_timer.h"
#include "quarzklassen/quarz_zeichenkontext.h"
#include "quarzklassen/textkodierung.h"

TLogFaenger::TLogFaenger() {
  if (!gLog.IstGestartet()) gLog.Starte(L".", L"test.log");
  mZeilen.clear();  // "Log-Start" is not the test's business
}

int TLogFaenger::Zaehle(const std::string& teil) const {
  int n = 0;
  for (const auto& z : mZeilen) n += z.find(teil) != std::string::npos;
  return n;
}

std::string TLogFaenger::Alle() const {
  std::string s;
  for (const auto& z : mZeilen) s += z;
  return s;
}

void ShaderGeraetTest::SetUp() {
  gTimer.Starte();
  Quarz_Screen3D::Modus modus{kBreite, kHoehe, 0, 0};
  ASSERT_TRUE(Quarz_Screen3D::Init(modus, Quarz_Screen3D::FLAG_ANWENDUNG));
  mKontext = Quarz_Screen3D::GetZeichenKontext();
  ASSERT_NE(mKontext, nullptr);
  BehalteGrafiktreiber();
}

void ShaderGeraetTest::TearDown() {
  if (mKontext && Quarz_Screen3D::mInitialisiert) {
    mKontext->Freigeben(mVb);
    mKontext->Freigeben(mIb);
  }
  if (Quarz_Screen3D::mInitialisiert) Quarz_Screen3D::Beenden();
}

std::vector<uint32_t> ShaderGeraetTest::Bild() {
  std::vector<uint32_t> pixel(kBreite * kHoehe, 0);
  TBereich ziel;
  ziel.mPixel = reinterpret_cast<uint8_t*>(pixel.data());
  ziel.mFormat = Quarz::PF_A8R8G8B8;
  ziel.mBreite = kBreite;
  ziel.mHoehe = kHoehe;
  ziel.mPitch = kBreite * 4;
  mKontext->LiesBildschirmInhalt(ziel);
  return pixel;
}

void ShaderGeraetTest::ErzeugeQuad(float x0, float y0, float x1, float y1) {
  float ecken[20] = {x0, y1, 0.5f, 0.0f, 0.0f, x1, y1, 0.5f, 1.0f, 0.0f,
                     x1, y0, 0.5f, 1.0f, 1.0f, x0, y0, 0.5f, 0.0f, 1.0f};
  uint16_t indizes[6] = {0, 1, 2, 0, 2, 3};
  TInitialInhalt v{ecken, sizeof(ecken), 0};
  TInitialInhalt i{indizes, sizeof(indizes), 0};
  mVb = mKontext->ErzeugeVertexBuffer(0, 0, &v);
  mIb = mKontext->ErzeugeIndexBuffer(0, Quarz_IndexBuffer::INDEX_16, &i);
}

bool FarbeNahe(uint32_t a, uint32_t b) {
  for (int s = 0; s < 32; s += 8) {
    const int d = static_cast<int>((a >> s) & 0xFF) - static_cast<int>((b >> s) & 0xFF);
    if (d < -1 || d > 1) return false;
  }
  return true;
}

std::wstring TestDaten(const char* datei) {
  return WandleUtf8NachUtf32(std::string(WEILERBAU_QUELLEN) + "/tests/grafik_shader/daten/" + datei);
}
