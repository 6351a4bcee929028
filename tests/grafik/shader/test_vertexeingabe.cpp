// Vertex input layouts: elements, strides and masks, the limits and their reports, the
// declaration on the device, and per-instance data reaching a dialect shader.
#include <gtest/gtest.h>

#include <vector>

#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "tests/grafik/shader/shader_testhilfe.h"

namespace {

using E = Quarz_VertexEingabe;

struct Element {
  int strom, versatz, typ, nutzung, index;
};

void PruefeElemente(const E& e, const std::vector<Element>& erwartet) {
  ASSERT_EQ(e.mElementAnzahl, erwartet.size());
  for (size_t i = 0; i < erwartet.size(); ++i) {
    const D3DVERTEXELEMENT9& x = e.mElemente[i];
    EXPECT_EQ(x.Stream, erwartet[i].strom) << i;
    EXPECT_EQ(x.Offset, erwartet[i].versatz) << i;
    EXPECT_EQ(x.Type, erwartet[i].typ) << i;
    EXPECT_EQ(x.Method, D3DDECLMETHOD_DEFAULT) << i;
    EXPECT_EQ(x.Usage, erwartet[i].nutzung) << i;
    EXPECT_EQ(x.UsageIndex, erwartet[i].index) << i;
  }
}

constexpr int P = D3DDECLUSAGE_POSITION;
constexpr int T = D3DDECLUSAGE_TEXCOORD;

}  // namespace

TEST(VertexEingabe, ElementeSchrittweitenUndMasken) {
  E e;
  e.AddKanal(0, E::KANAL_FLOAT3, 0, false);
  e.AddKanal(0, E::KANAL_FLOAT2, 12, false);
  e.AddKanal(1, E::KANAL_MATRIX4X4, 0, true);
  PruefeElemente(e, {{0, 0, D3DDECLTYPE_FLOAT3, P, 0},
                     {0, 12, D3DDECLTYPE_FLOAT2, T, 0},
                     {1, 0, D3DDECLTYPE_FLOAT4, T, 1},
                     {1, 16, D3DDECLTYPE_FLOAT4, T, 2},
                     {1, 32, D3DDECLTYPE_FLOAT4, T, 3},
                     {1, 48, D3DDECLTYPE_FLOAT4, T, 4}});
  EXPECT_EQ(e.mStromAnzahl, 2u);
  EXPECT_EQ(e.mSchrittweiten[0], 20u);
  EXPECT_EQ(e.mSchrittweiten[1], 64u);
  EXPECT_EQ(e.mInstanzMaske, 2u);
  EXPECT_EQ(e.mBenutzt, 3u);
  EXPECT_EQ(e.mKanalAnzahl, 3u);
}

TEST(VertexEingabe, MatrixAlsErsterKanal) {
  E e;
  e.AddKanal(2, E::KANAL_MATRIX3X4, 0, false);
  e.AddKanal(2, E::KANAL_UBYTE4N, 48, false);
  PruefeElemente(e, {{2, 0, D3DDECLTYPE_FLOAT4, P, 0},
                     {2, 16, D3DDECLTYPE_FLOAT4, P, 1},
                     {2, 32, D3DDECLTYPE_FLOAT4, P, 2},
                     {2, 48, D3DDECLTYPE_UBYTE4N, T, 2}});
  EXPECT_EQ(e.mStromAnzahl, 3u);
  EXPECT_EQ(e.mSchrittweiten[2], 52u);
  // The stride is the furthest end of any channel, not the last one's.
  E f;
  f.AddKanal(0, E::KANAL_FLOAT4, 4, false);
  f.AddKanal(0, E::KANAL_FLOAT1, 0, false);
  EXPECT_EQ(f.mSchrittweiten[0], 20u);
}

// Every refused channel is reported and leaves the layout as it was.
TEST(VertexEingabe, GrenzenWerdenGemeldet) {
  TLogFaenger log;
  struct Fall {
    const char* name;
    void (*vorbereiten)(E&);
    uint64_t puffer;
    int32_t typ;
    uint64_t versatz;
    bool instanz;
    const char* meldung;
  } faelle[] = {
      {"17. Kanal",
       [](E& e) { for (int i = 0; i < 16; ++i) e.AddKanal(0, E::KANAL_FLOAT1, 4 * i, false); },
       0, E::KANAL_FLOAT1, 64, false, "Zuviele Vertexdaten-Kanäle"},
      {"Puffer 4", [](E&) {}, 4, E::KANAL_FLOAT1, 0, false, "BufferIndex muss kleiner als 4"},
      {"Puffer 64", [](E&) {}, 64, E::KANAL_FLOAT1, 0, false, "BufferIndex muss kleiner als 4"},
      {"Typ 13", [](E&) {}, 0, 13, 0, false, "Unbekannter Vertexdaten-Kanaltyp"},
      {"Typ -1", [](E&) {}, 0, -1, 0, false, "Unbekannter Vertexdaten-Kanaltyp"},
      {"Versatz", [](E&) {}, 0, E::KANAL_FLOAT4, 0xFFF0, false, "Versatz des Vertexdaten-Kanals"},
      {"17. Element",
       [](E& e) { for (int i = 0; i < 4; ++i) e.AddKanal(i, E::KANAL_MATRIX4X4, 0, false); },
       0, E::KANAL_FLOAT1, 64, false, "Zuviele Vertexdaten-Elemente"},
      {"Matrix über 16 Elemente",
       [](E& e) { for (int i = 0; i < 13; ++i) e.AddKanal(0, E::KANAL_FLOAT1, 4 * i, false); },
       1, E::KANAL_MATRIX4X4, 0, false, "Zuviele Vertexdaten-Elemente"},
      {"Instanz und Vertex", [](E& e) { e.AddKanal(1, E::KANAL_FLOAT4, 0, true); },
       1, E::KANAL_FLOAT4, 16, false, "nicht gleichzeitig Vertex- und Instanzdaten"},
      {"Vertex und Instanz", [](E& e) { e.AddKanal(0, E::KANAL_FLOAT4, 0, false); },
       0, E::KANAL_FLOAT4, 16, true, "nicht gleichzeitig Vertex- und Instanzdaten"},
  };
  for (const Fall& f : faelle) {
    E e;
    f.vorbereiten(e);
    const uint32_t kanaele = e.mKanalAnzahl, elemente = e.mElementAnzahl;
    const uint64_t stroeme = e.mStromAnzahl, benutzt = e.mBenutzt, instanz = e.mInstanzMaske;
    const int vorher = log.Zaehle(f.meldung);
    e.AddKanal(f.puffer, f.typ, f.versatz, f.instanz);
    EXPECT_EQ(log.Zaehle(f.meldung), vorher + 1) << f.name << "\n" << log.Alle();
    EXPECT_EQ(e.mKanalAnzahl, kanaele) << f.name;
    EXPECT_EQ(e.mElementAnzahl, elemente) << f.name;
    EXPECT_EQ(e.mStromAnzahl, stroeme) << f.name;
    EXPECT_EQ(e.mBenutzt, benutzt) << f.name;
    EXPECT_EQ(e.mInstanzMaske, instanz) << f.name;
  }
  // The limits themselves are accepted: 16 channels, 16 elements, buffer 3, a 16-bit stride.
  E voll;
  for (int i = 0; i < 16; ++i) voll.AddKanal(3, E::KANAL_FLOAT1, 4 * i, false);
  EXPECT_EQ(voll.mKanalAnzahl, 16u);
  EXPECT_EQ(voll.mElemente[15].UsageIndex, 14);
  E rand;
  rand.AddKanal(0, E::KANAL_FLOAT4, 0xFFFF - 16, false);
  EXPECT_EQ(rand.mSchrittweiten[0], 0xFFFFu);
}

class VertexEingabeGeraet : public ShaderGeraetTest {};

// Per-instance data reach the shader through the layout's numbering: each instance moves the
// quad by its own offset and tints it with its own colour.
TEST_F(VertexEingabeGeraet, InstanzdatenErreichenDenShader) {
  auto* e = mKontext->ErzeugeVertexEingabe();
  EXPECT_EQ(e->mZustand, 0u);
  e->AddKanal(0, E::KANAL_FLOAT3, 0, false);
  e->AddKanal(0, E::KANAL_FLOAT2, 12, false);
  e->AddKanal(1, E::KANAL_FLOAT2, 0, true);
  e->AddKanal(1, E::KANAL_UBYTE4N, 8, true);
  e->Beenden();
  EXPECT_EQ(e->mZustand, 1u);
  // Closing again makes a new declaration instead of leaking the first.
  e->Beenden();
  ASSERT_NE(e->mDeklaration, nullptr);
  auto* vs = mKontext->ErzeugeVertexShader();
  ASSERT_TRUE(vs->UebersetzeAusString(
      "$rein float3 pos;\n$rein float2 uv;\n$rein float2 versatz;\n$rein float4 farbe;\n"
      "$raus float4 p;\n$raus float4 f;\n"
      "$main() { p = float4(pos.xy + versatz, pos.z, 1.0); f = farbe + float4(uv, 0, 0) * 0.0; }\n",
      {}, false))
      << mLog.Alle();
  auto* ps = mKontext->ErzeugePixelShader();
  ASSERT_TRUE(ps->UebersetzeAusString("$rein float4 f;\n$raus float4 c;\n$main() { c = f; }\n", {},
                                      false))
      << mLog.Alle();
  auto* programm = mKontext->ErzeugeProgramm(e, vs, ps);
  EXPECT_EQ(programm->mInstanzMaske, 2u);
  EXPECT_EQ(programm->mSchrittweiten[1], 12u);

  // A quad over the left quarter of the screen; instance 2 moves it half a screen right.
  ErzeugeQuad(-1.0f, -1.0f, -0.5f, 1.0f);
  struct Instanz {
    float dx, dy;
    uint8_t farbe[4];  // UBYTE4N: x, y, z, w = r, g, b, a
  } instanzen[2] = {{0.0f, 0.0f, {255, 0, 0, 255}}, {1.0f, 0.0f, {0, 0, 255, 255}}};
  TInitialInhalt inhalt{instanzen, sizeof(instanzen), 0};
  auto* ib = mKontext->ErzeugeVertexBuffer(0, 0, &inhalt);
  mKontext->Leeren(1, 0, 0, 0, 1);
  mKontext->SetProgramm(programm);
  mKontext->SetVertexBuffer(0, mVb);
  mKontext->SetVertexBuffer(1, ib);
  mKontext->SetIndexBuffer(mIb);
  mKontext->ZeichneIndexInstanzen(0, 0, 2);
  const std::vector<uint32_t> bild = Bild();
  const auto pixel = [&](int x, int y) { return bild[y * kBreite + x] | 0xFF000000u; };
  EXPECT_TRUE(FarbeNahe(pixel(4, 20), 0xFFFF0000u)) << std::hex << pixel(4, 20);
  EXPECT_TRUE(FarbeNahe(pixel(36, 20), 0xFF0000FFu)) << std::hex << pixel(36, 20);
  EXPECT_TRUE(FarbeNahe(pixel(20, 20), 0xFF000000u)) << std::hex << pixel(20, 20);
  mKontext->SetProgramm(nullptr);
  mKontext->Freigeben(programm);
  mKontext->Freigeben(ib);
  mKontext->Freigeben(vs);
  mKontext->Freigeben(ps);
  mKontext->Freigeben(e);
}
