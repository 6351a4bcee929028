// Shader objects and programs on a real device (under Xvfb): packed indices, the name map,
// constants reaching the right registers, the dump files, file loading and failure reports.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/shader/quarz_shadertools.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "tests/grafik/shader/shader_testhilfe.h"

namespace {

// A vertex shader that uses a matrix (registers 0-3) and one shared constant (register 4).
const char* const kVertexMitKonstanten =
    "float4x4 gMatrix;\n"
    "float4 gGemeinsam;\n"
    "$rein float3 pos;\n"
    "$rein float2 uv;\n"
    "$raus float4 p;\n"
    "$raus float2 t;\n"
    "$main()\n"
    "{\n"
    "  p = mul(gMatrix, float4(pos, 1.0)) + gGemeinsam * 0.0;\n"
    "  t = uv;\n"
    "}\n";

// A pixel shader with the shared constant at register 2, one of its own at register 7 and a
// sampler of its own at s3.
const char* const kPixelMitKonstanten =
    "float4 gA0;\nfloat4 gA1;\nfloat4 gGemeinsam;\nfloat4 gB3;\nfloat4 gB4;\nfloat4 gB5;\n"
    "float4 gB6;\nfloat4 gNurPixel;\n"
    "DEF_SAMPLER_2D( s0);\nDEF_SAMPLER_2D( s1);\nDEF_SAMPLER_2D( s2);\n"
    "DEF_SAMPLER_2D( sNurPixel);\n"
    "$rein float2 t;\n"
    "$raus float4 farbe;\n"
    "$main()\n"
    "{\n"
    "  farbe = gA0 + gA1 + gGemeinsam + gB3 + gB4 + gB5 + gB6 + gNurPixel\n"
    "        + SAMPLE_2D( s0, t) + SAMPLE_2D( s1, t) + SAMPLE_2D( s2, t) + SAMPLE_2D( sNurPixel, t);\n"
    "}\n";

const char* const kVertexEinfach =
    "$rein float3 pos;\n$rein float2 uv;\n$raus float4 p;\n$raus float2 t;\n"
    "$main() { p = float4(pos, 1.0); t = uv; }\n";

std::string LiesDatei(const char* name) {
  std::ifstream ein(name);
  std::stringstream s;
  s << ein.rdbuf();
  return s.str();
}

bool DateiDa(const char* name) {
  struct stat info {};
  return stat(name, &info) == 0 && S_ISREG(info.st_mode);
}

class ShaderProgrammTest : public ShaderGeraetTest {
protected:
  void SetUp() override {
    ShaderGeraetTest::SetUp();
    debugShader.SetzeBool(true);
  }
  void TearDown() override {
    if (mKontext) {
      mKontext->Freigeben(mProgramm);
      mKontext->Freigeben(mVs);
      mKontext->Freigeben(mPs);
      mKontext->Freigeben(mEingabe);
    }
    ShaderGeraetTest::TearDown();
  }

  // Compiles both shaders (not quietly) and builds the program.
  void Baue(const char* vs, const char* ps) {
    mEingabe = ErzeugeQuadEingabe();
    mVs = mKontext->ErzeugeVertexShader();
    ASSERT_TRUE(mVs->UebersetzeAusString(vs, {}, false)) << mLog.Alle();
    mPs = mKontext->ErzeugePixelShader();
    ASSERT_TRUE(mPs->UebersetzeAusString(ps, {}, false)) << mLog.Alle();
    mProgramm = mKontext->ErzeugeProgramm(mEingabe, mVs, mPs);
  }
  void Zeichne() {
    mKontext->SetProgramm(mProgramm);
    mKontext->SetVertexBuffer(0, mVb);
    mKontext->SetIndexBuffer(mIb);
    mKontext->ZeichneIndexElemente(0, 2);
  }

  Quarz_VertexEingabe* mEingabe = nullptr;
  Quarz_VertexShader* mVs = nullptr;
  Quarz_PixelShader* mPs = nullptr;
  Quarz_Programm* mProgramm = nullptr;
};

}  // namespace

TEST_F(ShaderProgrammTest, GepackteIndizes) {
  Baue(kVertexMitKonstanten, kPixelMitKonstanten);
  struct Fall {
    const char* name;
    uint32_t konstante;
    uint32_t sampler;
  } faelle[] = {
      {"gNurPixel", 0x007FFF, 0xFFFF},   // pixel register 7 only
      {"gGemeinsam", 0x002004, 0xFFFF},  // vertex register 4, pixel register 2
      {"gMatrix", 0xFFF000, 0xFFFF},     // vertex only, at 0
      {"sNurPixel", 0xFFFFFF, 0xFF03},   // a sampler only in the pixel shader at s3
      {"s0", 0xFFFFFF, 0xFF00},
      {"gibtEsNicht", 0xFFFFFF, 0xFFFF},  // in neither shader
      {"", 0xFFFFFF, 0xFFFF},
  };
  for (const Fall& f : faelle) {
    EXPECT_EQ(mProgramm->GetKonstantenIndex(f.name), f.konstante) << f.name;
    EXPECT_EQ(mProgramm->GetSamplerIndex(f.name), f.sampler) << f.name;
  }
  EXPECT_EQ(mVs->mZustand, 1u);
}

// The walk enters every array element and structure member under its full name.
TEST_F(ShaderProgrammTest, NamenVonFeldernUndStrukturen) {
  const char* ps =
      "struct Licht { float4 farbe; float3 richtung; };\n"
      "float4 gFeld[3];\n"
      "Licht gLichter[2];\n"
      "Licht gSonne;\n"
      "$rein float2 t;\n$raus float4 farbe;\n"
      "$main()\n{\n"
      "  farbe = gFeld[0] + gFeld[1] + gFeld[2] + gLichter[0].farbe + gLichter[1].farbe\n"
      "        + float4(gLichter[0].richtung + gLichter[1].richtung + gSonne.richtung, 0)\n"
      "        + gSonne.farbe + float4(t, 0, 0);\n"
      "}\n";
  Baue(kVertexEinfach, ps);
  struct Fall {
    const char* name;
    uint32_t register_;
  } faelle[] = {
      {"gFeld", 0},           {"gFeld[0]", 0},          {"gFeld[2]", 2},
      {"gLichter", 3},        {"gLichter[0]", 3},       {"gLichter[1]", 5},
      {"gLichter[0].farbe", 3}, {"gLichter[1].farbe", 5}, {"gLichter[1].richtung", 6},
      {"gSonne", 7},          {"gSonne.farbe", 7},      {"gSonne.richtung", 8},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(mProgramm->GetKonstantenIndex(f.name), (f.register_ << 12) | 0xFFF) << f.name;
  EXPECT_EQ(mProgramm->GetKonstantenIndex("gFeld[3]"), 0xFFFFFFu);
  EXPECT_EQ(mProgramm->GetKonstantenIndex("gSonne.gibtEsNicht"), 0xFFFFFFu);
}

// Two small constants share a 16-byte slot in the uniform buffer but have registers of their
// own: setting one must not touch the other.
TEST_F(ShaderProgrammTest, ZweiFloat2UnabhaengigGesetzt) {
  Baue(kVertexEinfach,
       "float2 gA;\nfloat2 gB;\n$rein float2 t;\n$raus float4 farbe;\n"
       "$main() { farbe = float4(gA, gB.y - gB.x, 1.0) + float4(t, 0, 0) * 0.0; }\n");
  ErzeugeQuad(-1, -1, 1, 1);
  const uint32_t a = mProgramm->GetKonstantenIndex("gA");
  const uint32_t b = mProgramm->GetKonstantenIndex("gB");
  ASSERT_NE(a, b);
  ASSERT_EQ(a & 0xFFF, 0xFFFu);
  mKontext->SetProgrammKonstante(a, 0.25f, 0.5f);
  mKontext->SetProgrammKonstante(b, 0.25f, 1.0f);
  Zeichne();
  const auto pixel = [&] { return Bild()[20 * kBreite + 30] | 0xFF000000u; };
  EXPECT_TRUE(FarbeNahe(pixel(), 0xFF4080BFu)) << std::hex << pixel();
  // Changing gB alone leaves gA as it was, and the other way round.
  mKontext->SetProgrammKonstante(b, 0.0f, 0.0f);
  Zeichne();
  EXPECT_TRUE(FarbeNahe(pixel(), 0xFF408000u)) << std::hex << pixel();
  mKontext->SetProgrammKonstante(a, 1.0f, 0.0f);
  Zeichne();
  EXPECT_TRUE(FarbeNahe(pixel(), 0xFFFF0000u)) << std::hex << pixel();
}

TEST_F(ShaderProgrammTest, DumpDateienNummeriert) {
  auto* vs1 = mKontext->ErzeugeVertexShader();
  auto* vs2 = mKontext->ErzeugeVertexShader();
  auto* ps1 = mKontext->ErzeugePixelShader();
  EXPECT_TRUE(vs1->UebersetzeAusString(kVertexEinfach, {}, false));
  EXPECT_TRUE(ps1->UebersetzeAusString("$rein float2 t;\n$raus float4 f;\n$main() { f = t.xyxy; }\n",
                                       {}, false));
  EXPECT_TRUE(vs2->UebersetzeAusString(kVertexEinfach, {{"ZWEI", "2"}}, false));
  EXPECT_TRUE(DateiDa("vs000.txt"));
  EXPECT_TRUE(DateiDa("vs001.txt"));
  EXPECT_TRUE(DateiDa("ps000.txt"));
  EXPECT_FALSE(DateiDa("vs002.txt"));
  EXPECT_FALSE(DateiDa("ps001.txt"));
  // The files hold the translated text.
  EXPECT_NE(LiesDatei("vs000.txt").find("void main( float3 pos : POSITION0"), std::string::npos);
  EXPECT_NE(LiesDatei("ps000.txt").find("out float4 f : COLOR0"), std::string::npos);
  mKontext->Freigeben(vs1);
  mKontext->Freigeben(vs2);
  mKontext->Freigeben(ps1);

  // With debugShader off nothing is written.
  debugShader.SetzeBool(false);
  auto* vs3 = mKontext->ErzeugeVertexShader();
  EXPECT_TRUE(vs3->UebersetzeAusString(kVertexEinfach, {}, false));
  EXPECT_FALSE(DateiDa("vs002.txt"));
  mKontext->Freigeben(vs3);
}

// A dump file that cannot be written must not be compiled (it would be missing, or stale from
// an earlier run): the text is compiled from memory instead.
TEST_F(ShaderProgrammTest, UnschreibbareDumpDateiUebersetztAusDemSpeicher) {
  ASSERT_EQ(mkdir("vs000.txt", 0755), 0);
  mVs = mKontext->ErzeugeVertexShader();
  EXPECT_TRUE(mVs->UebersetzeAusString(kVertexMitKonstanten, {}, false)) << mLog.Alle();
  EXPECT_TRUE(mLog.Enthaelt("\"vs000.txt\" nicht schreiben")) << mLog.Alle();
  EXPECT_NE(mVs->mD3DShader, nullptr);
  ASSERT_NE(mVs->FindeKonstante("gGemeinsam"), nullptr);
  EXPECT_EQ(mVs->FindeKonstante("gGemeinsam")->mRegister, 4u);
  // The next number is used normally.
  auto* vs = mKontext->ErzeugeVertexShader();
  EXPECT_TRUE(vs->UebersetzeAusString(kVertexEinfach, {}, false));
  EXPECT_TRUE(DateiDa("vs001.txt"));
  mKontext->Freigeben(vs);
}

TEST_F(ShaderProgrammTest, FehlendeDateiWirft) {
  const struct {
    bool pixel;
    const char* logZeile;
    const char* funktion;
  } faelle[] = {
      {false, "!Kann VertexShader-Datei \"", "Quarz_ShaderTools::ErzeugeVertexShaderAusDatei"},
      {true, "!Kann PixelShader-Datei \"", "Quarz_ShaderTools::ErzeugePixelShaderAusDatei"},
  };
  for (const auto& f : faelle) {
    bool geworfen = false;
    try {
      if (f.pixel) Quarz_ShaderTools::ErzeugePixelShaderAusDatei(L"gibt_es_nicht.ps", {});
      else Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(L"gibt_es_nicht.vs", {});
    } catch (const Quarz_Ausnahme& e) {
      geworfen = true;
      EXPECT_EQ(e.mMeldung, "Datei nicht lesbar");
      EXPECT_EQ(e.mFunktion, f.funktion);
    }
    EXPECT_TRUE(geworfen) << f.funktion;
    EXPECT_TRUE(mLog.Enthaelt(std::string(f.logZeile) + "gibt_es_nicht")) << mLog.Alle();
  }
  // Nothing was created for the missing files.
  EXPECT_EQ(mLog.Zaehle("nicht freigegeben"), 0);
}

TEST_F(ShaderProgrammTest, LeiseGescheiterteUebersetzungSchweigt) {
  mPs = mKontext->ErzeugePixelShader();
  const size_t vorher = mLog.mZeilen.size();
  EXPECT_FALSE(mPs->UebersetzeAusString("$raus float4 f;\n$main() { f = gibtEsNicht; }\n", {}, true));
  EXPECT_EQ(mLog.mZeilen.size(), vorher) << mLog.Alle();
  // The messages stay for the caller, the shader stays empty.
  ASSERT_NE(mPs->GetMeldungen(), nullptr);
  EXPECT_NE(std::string(mPs->GetMeldungen()).find("gibtEsNicht"), std::string::npos);
  EXPECT_EQ(mPs->mD3DShader, nullptr);
  EXPECT_EQ(mPs->mZustand, 0u);

  // Not quietly: the failure line, the messages as warnings and the precondition report.
  EXPECT_FALSE(mPs->UebersetzeAusString("$raus float4 f;\n$main() { f = gibtEsNicht; }\n", {}, false));
  EXPECT_TRUE(mLog.Enthaelt(
      "!Quarz_PixelShader::UebersetzeQuelltext(...): Übersetzung gescheitert. DirectX meinte:"));
  EXPECT_TRUE(mLog.Enthaelt("?")) << mLog.Alle();
  EXPECT_TRUE(mLog.Enthaelt("\"PixelShader-Übersetzung gescheitert.\" aufgetreten in Funktion "
                            "Quarz_PixelShader::UebersetzeAusString"))
      << mLog.Alle();
}

// A refused declaration makes the compile fail with a message that names it.
TEST_F(ShaderProgrammTest, AbgelehnteDeklarationScheitert) {
  mVs = mKontext->ErzeugeVertexShader();
  EXPECT_FALSE(mVs->UebersetzeAusString(
      "$rein float3 p;\n$rein float2x3 m;\n$raus float4 o;\n$main() { o = float4(p, 1); }\n", {},
      true));
  ASSERT_NE(mVs->GetMeldungen(), nullptr);
  EXPECT_NE(std::string(mVs->GetMeldungen()).find("abgelehnt"), std::string::npos)
      << mVs->GetMeldungen();
  EXPECT_EQ(mVs->mD3DShader, nullptr);
}

// A program keeps the device objects it was built with; compiling a shader again affects only
// programs built afterwards, and the old objects stay valid for the old program.
TEST_F(ShaderProgrammTest, NeuUebersetzterShaderNurFuerNeueProgramme) {
  Baue(kVertexEinfach, "$rein float2 t;\n$raus float4 f;\n$main() { f = float4(1, 0, 0, 1); }\n");
  IDirect3DPixelShader9* alt = mProgramm->mD3DPixelShader;
  ASSERT_TRUE(mPs->UebersetzeAusString(
      "$rein float2 t;\n$raus float4 f;\n$main() { f = float4(0, 0, 1, 1); }\n", {}, false));
  EXPECT_EQ(mProgramm->mD3DPixelShader, alt);
  auto* neu = mKontext->ErzeugeProgramm(mEingabe, mVs, mPs);
  EXPECT_NE(neu->mD3DPixelShader, alt);
  ErzeugeQuad(-1, -1, 1, 1);
  Zeichne();
  EXPECT_TRUE(FarbeNahe(Bild()[10 * kBreite + 10] | 0xFF000000u, 0xFFFF0000u));
  mKontext->SetProgramm(neu);
  mKontext->ZeichneIndexElemente(0, 2);
  EXPECT_TRUE(FarbeNahe(Bild()[10 * kBreite + 10] | 0xFF000000u, 0xFF0000FFu));
  mKontext->SetProgramm(nullptr);
  mKontext->Freigeben(neu);
}
