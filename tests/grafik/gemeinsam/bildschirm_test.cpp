#include <GLFW/glfw3.h>

#include <cstdio>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

void BildschirmTest::SetUp() {
  // A window that cannot be opened says why.
  glfwSetErrorCallback([](int code, const char* text) {
    std::fprintf(stderr, "GLFW error 0x%x: %s\n", code, text);
  });
  gTimer.Starte();
  Quarz_Screen3D::Modus modus{kBreite, kHoehe, 0, 0};
  ASSERT_TRUE(Quarz_Screen3D::Init(modus, Quarz_Screen3D::FLAG_ANWENDUNG));
  mKontext = Quarz_Screen3D::GetZeichenKontext();
  ASSERT_NE(mKontext, nullptr);
}

void BildschirmTest::TearDown() {
  Plattform::SetzeVideoRAMBudget(UINT64_MAX);
  if (mKontext && Quarz_Screen3D::mInitialisiert) {
    mKontext->Freigeben(mVb);
    mKontext->Freigeben(mIb);
  }
  if (Quarz_Screen3D::mInitialisiert) Quarz_Screen3D::Beenden();
}

std::vector<uint32_t> BildschirmTest::Bild() { return LiesBildschirm(*mKontext, kBreite, kHoehe); }

void BildschirmTest::ErzeugeQuad(float x0, float y0, float x1, float y1, uint32_t flags, bool uv) {
  // Top-left, top-right, bottom-right, bottom-left.
  const float ecken[4][5] = {{x0, y1, 0.5f, 0.0f, 0.0f},
                             {x1, y1, 0.5f, 1.0f, 0.0f},
                             {x1, y0, 0.5f, 1.0f, 1.0f},
                             {x0, y0, 0.5f, 0.0f, 1.0f}};
  const int n = uv ? 5 : 3;
  std::vector<float> vertices;
  for (const auto& e : ecken) vertices.insert(vertices.end(), e, e + n);
  uint16_t indizes[6] = {0, 1, 2, 0, 2, 3};
  TInitialInhalt v{vertices.data(), vertices.size() * sizeof(float), 0};
  TInitialInhalt i{indizes, sizeof(indizes), 0};
  mVb = mKontext->ErzeugeVertexBuffer(0, flags, &v);
  mIb = mKontext->ErzeugeIndexBuffer(0, flags | Quarz_IndexBuffer::INDEX_16, &i);
}

Quarz_VertexEingabe* BildschirmTest::ErzeugeQuadEingabe() {
  Quarz_VertexEingabe* eingabe = mKontext->ErzeugeVertexEingabe();
  eingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT3, 0, false);
  eingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT2, 12, false);
  eingabe->Beenden();
  return eingabe;
}
