// The shader dialect translation: signatures character for character, defines, the prelude,
// the register rule and its refusals, includes, and the preprocessor's messages as whole log
// lines. No device is needed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "quarzklassen/grafik/shader/quarz_shaderdialekt.h"
#include "quarzklassen/kern/quarz_system.h"
#include "tests/grafik/shader/shader_testhilfe.h"

namespace {

std::string Uebersetze(const std::string& quelle, uint32_t art,
                       const Quarz::TShaderDefinitionen& definitionen = {}) {
  TSpeicher ergebnis;
  Quarz::UebersetzeShaderDialekt(ergebnis, quelle.c_str(), definitionen, art);
  const std::string text(reinterpret_cast<const char*>(ergebnis.Daten()));
  // The result is NUL-terminated inside the buffer's size.
  EXPECT_EQ(ergebnis.Groesse(), text.size() + 1);
  return text;
}

const char* const kVertexQuelle =
    "$rein float3 pos;\n"
    "$rein float2 uv;\n"
    "$rein float4x4 welt;\n"
    "$raus float4 p;\n"
    "$raus float2 t;\n"
    "$main()\n"
    "{\n"
    "  p = mul(welt, float4(pos, 1.0));\n"
    "  t = uv;\n"
    "}\n";

}  // namespace

// Inputs and outputs are numbered by the registers their shapes take: vertex inputs from
// POSITION0 on, pixel inputs and vertex outputs after the position from TEXCOORD0, pixel
// outputs as colours; a float3x4 takes three registers, a matrix four.
TEST(ShaderDialekt, SignaturZeichenGenau) {
  const std::string vertex = kVertexQuelle;
  const struct {
    std::string quelle;
    uint32_t art;
    const char* soll;
  } faelle[] = {
      {vertex, Quarz::SHADER_VERTEX,
       "void main( float3 pos : POSITION0, float2 uv : TEXCOORD0, float4x4 welt : TEXCOORD1, "
       "out float4 p : POSITION0, out float2 t : TEXCOORD0)\n{"},
      {"$rein float2 weiter;\n" + vertex, Quarz::SHADER_VERTEX,
       "float2 weiter : POSITION0, float3 pos : TEXCOORD0"},
      {"$rein float3 a;\n$rein float2 b;\n$rein float4x4 c;\n" + vertex, Quarz::SHADER_VERTEX,
       "float4x4 c : TEXCOORD1, float3 pos : TEXCOORD5"},
      {"$rein float2 t;\n$raus float4 farbe;\n$main() { farbe = float4(t, 0, 1); }\n",
       Quarz::SHADER_PIXEL, "void main( float2 t : TEXCOORD0, out float4 farbe : COLOR0) {"},
      {"$rein float3x3 m;\n$rein float4 f[2];\n$rein float a;\n$raus float4 c0;\n"
       "$raus float4 c1;\n$main() {}\n",
       Quarz::SHADER_PIXEL,
       "void main( float3x3 m : TEXCOORD0, float4 f[2] : TEXCOORD3, float a : TEXCOORD5, "
       "out float4 c0 : COLOR0, out float4 c1 : COLOR1)"},
      {"$rein float3 p;\n$rein float3x4 m;\n$rein float2 u;\n$raus float4 o;\n"
       "$raus float3x4 w;\n$raus float2 v;\n$main() {}\n",
       Quarz::SHADER_VERTEX,
       "float3x4 m : TEXCOORD0, float2 u : TEXCOORD3, out float4 o : POSITION0, "
       "out float3x4 w : TEXCOORD0, out float2 v : TEXCOORD3)"},
      // Any white space after the keyword marks a declaration, in collecting and rewriting.
      {"$rein\tfloat3 pos;\n$rein\n  float2 uv;\n$raus\tfloat4 p;\n"
       "$main() { p = float4(pos, uv.x); }\n",
       Quarz::SHADER_VERTEX,
       "void main( float3 pos : POSITION0, float2 uv : TEXCOORD0, out float4 p : POSITION0) {"},
      // Without white space it is no keyword: only the "$" goes.
      {"float $reinweg;\n", Quarz::SHADER_VERTEX, "float reinweg;"},
      // A declaration without ";" runs to the end of the text; other "$" signs are dropped.
      {"float4 k = 1 $ 2;\n$main() {}\n$raus float4 p", Quarz::SHADER_VERTEX,
       "float4 k = 1  2;\nvoid main( out float4 p"},
      {"$main() {}", Quarz::SHADER_PIXEL, "void main( ) {}"},
  };
  for (const auto& f : faelle) {
    TLogFaenger log;
    const std::string hlsl = Uebersetze(f.quelle, f.art);
    EXPECT_NE(hlsl.find(f.soll), std::string::npos) << hlsl;
    // The declarations are gone from the body; nothing of the dialect is left.
    EXPECT_EQ(hlsl.find('$'), std::string::npos) << hlsl;
    EXPECT_EQ(hlsl.find("float3 pos;"), std::string::npos) << hlsl;
    EXPECT_EQ(hlsl.find("float2 uv;"), std::string::npos) << hlsl;
    EXPECT_EQ(hlsl.find("raus"), std::string::npos) << hlsl;
    EXPECT_TRUE(log.mZeilen.empty()) << log.Alle();
  }
}

TEST(ShaderDialekt, DefinitionenUndVorspann) {
  const char* quelle =
      "#ifdef SCHATTEN\nfloat mitSchatten;\n#else\nfloat ohneSchatten;\n#endif\n"
      "#if GRAFIK_DIRECTX == 9\nfloat dx9;\n#endif\n"
      "float4 f = SAMPLE_2D( tex, uv);\n"
      "float s = WERT;\n";
  const std::string mit =
      Uebersetze(quelle, Quarz::SHADER_PIXEL, {{"SCHATTEN", "1"}, {"WERT", "2.5"}});
  EXPECT_NE(mit.find("float mitSchatten;"), std::string::npos) << mit;
  EXPECT_EQ(mit.find("ohneSchatten"), std::string::npos) << mit;
  EXPECT_NE(mit.find("float s = 2.5;"), std::string::npos) << mit;
  EXPECT_NE(mit.find("float dx9;"), std::string::npos) << mit;
  EXPECT_NE(mit.find("tex2D"), std::string::npos) << mit;
  // The prelude's helper functions stand before the shader's own text.
  EXPECT_LT(mit.find("TEXKOORD_RT"), mit.find("mitSchatten"));
  EXPECT_NE(mit.find("MachFloat4x4"), std::string::npos);
  EXPECT_NE(mit.find("MachV4"), std::string::npos);

  const std::string ohne = Uebersetze(quelle, Quarz::SHADER_PIXEL);
  EXPECT_NE(ohne.find("float ohneSchatten;"), std::string::npos) << ohne;
  EXPECT_EQ(ohne.find("mitSchatten"), std::string::npos) << ohne;
}

TEST(ShaderDialekt, RegisterRegel) {
  struct Fall {
    const char* deklaration;
    uint32_t register_;
  } faelle[] = {
      {"float4 f", 1},        {"float3x3 m", 3},      {"float3x4 m", 3},   {"float4x3 m", 4},
      {"float4x4 m", 4},      {"float4 f[2]", 2},     {"float4 f[3]", 3},  {"float4 f[ 4 ]", 4},
      {"float f[1]", 1},      {"half4x4 m", 4},       {"float4x4 float2x2", 4},
      // Refused: shapes without a safe numbering.
      {"float2x2 m", 0},      {"float2x4 m", 0},      {"float3x2 m", 0},   {"float4x2 m", 0},
      {"float1x4 m", 0},      {"float4 f[5]", 0},     {"float4 f[16]", 0}, {"float4x4 m[2]", 0},
      {"float3x3 m[1]", 0},   {"float4 f[2][2]", 0},  {"float4 f[N]", 0},  {"float4 f[0]", 0},
      {"float4 f[2", 0},      {"matrix m", 0},
  };
  for (const Fall& f : faelle) {
    std::string grund;
    EXPECT_EQ(Quarz::ShaderDeklarationRegister(f.deklaration, &grund), f.register_)
        << f.deklaration;
    EXPECT_EQ(grund.empty(), f.register_ != 0) << f.deklaration << ": " << grund;
  }
}

// A declaration that cannot be numbered is logged and refused, and the result cannot compile:
// silently dropping it would shift the semantics of every later declaration.
TEST(ShaderDialekt, UnsichereDeklarationAbgelehnt) {
  for (const char* deklaration : {"float2x3 m", "float3x2 m", "float4 f[8]", "float4x4 m[2]"}) {
    TLogFaenger log;
    const std::string hlsl = Uebersetze(std::string("$rein float3 p;\n$rein ") + deklaration +
                                            ";\n$rein float2 u;\n$raus float4 o;\n$main() {}\n",
                                        Quarz::SHADER_VERTEX);
    EXPECT_EQ(log.Zaehle("abgelehnt"), 1) << deklaration << "\n" << log.Alle();
    EXPECT_TRUE(log.Enthaelt(deklaration)) << log.Alle();
    ASSERT_FALSE(log.mZeilen.empty());
    EXPECT_NE(log.mZeilen[0].find("): !Quarz::UebersetzeShaderDialekt()"), std::string::npos)
        << log.mZeilen[0];
    EXPECT_NE(hlsl.find("void main( float3 p : POSITION0, float2 u : TEXCOORD0, out float4 o"),
              std::string::npos)
        << hlsl;
    EXPECT_NE(hlsl.find("\n#error "), std::string::npos) << hlsl;
  }
}

TEST(ShaderDialekt, HoechstensSechzehnEinUndAusgaben) {
  std::string quelle;
  for (int i = 0; i < 17; ++i) quelle += "$rein float e" + std::to_string(i) + ";\n";
  for (int i = 0; i < 17; ++i) quelle += "$raus float a" + std::to_string(i) + ";\n";
  quelle += "$main() {}\n";
  TLogFaenger log;
  const std::string hlsl = Uebersetze(quelle, Quarz::SHADER_PIXEL);
  EXPECT_NE(hlsl.find("float e15 : TEXCOORD15"), std::string::npos) << hlsl;
  EXPECT_NE(hlsl.find("out float a15 : COLOR15)"), std::string::npos) << hlsl;
  EXPECT_EQ(hlsl.find("e16 :"), std::string::npos);
  EXPECT_EQ(hlsl.find("a16 :"), std::string::npos);
  EXPECT_EQ(log.Zaehle("mehr als 16 Eingaben"), 1) << log.Alle();
  EXPECT_EQ(log.Zaehle("mehr als 16 Ausgaben"), 1) << log.Alle();
  EXPECT_NE(hlsl.find("#error"), std::string::npos);
}

TEST(ShaderDialekt, RandfaelleDesTextes) {
  // A declaration without ";" runs to the end of the text; other "$" signs are dropped.
  const std::string offen =
      Uebersetze("float4 k = 1 $ 2;\n$main() {}\n$raus float4 p", Quarz::SHADER_VERTEX);
  EXPECT_NE(offen.find("float4 k = 1  2;"), std::string::npos) << offen;
  EXPECT_NE(offen.find("void main( out float4 p"), std::string::npos) << offen;
  EXPECT_NE(Uebersetze("$main() {}", Quarz::SHADER_PIXEL).find("void main( ) {}"),
            std::string::npos);
}

// The preprocessor hands each message over in pieces; the log gets one line per message.
TEST(ShaderDialekt, PraeprozessorMeldungAlsEineZeile) {
  TLogFaenger log;
  Uebersetze("float a;\n#error kaputt\nfloat b;\n", Quarz::SHADER_PIXEL);
  ASSERT_FALSE(log.mZeilen.empty());
  int treffer = 0;
  for (const std::string& z : log.mZeilen) {
    if (z.find("#error directive encountered") == std::string::npos) continue;
    ++treffer;
    // The whole message stands on this line, and the prelude does not count: line 2.
    EXPECT_NE(z.find("Lesetext"), std::string::npos) << z;
    EXPECT_NE(z.find("line 2"), std::string::npos) << z;
    EXPECT_NE(z.find("Error"), std::string::npos) << z;
  }
  EXPECT_EQ(treffer, 1) << log.Alle();
  for (const std::string& z : log.mZeilen) EXPECT_NE(z.find(":"), std::string::npos) << z;
}

TEST(ShaderDialekt, IncludeAusDemAnwendungsordner) {
  gSystem.mAnwendungsPfad = L".";
  std::FILE* f = std::fopen("gemeinsam.h", "w");
  ASSERT_NE(f, nullptr);
  std::fputs("float eingebunden;\n", f);
  std::fclose(f);
  TLogFaenger log;
  const std::string hlsl =
      Uebersetze("#include \"gemeinsam.h\"\nfloat danach;\n", Quarz::SHADER_PIXEL);
  EXPECT_NE(hlsl.find("float eingebunden;"), std::string::npos) << hlsl << log.Alle();
  EXPECT_LT(hlsl.find("eingebunden"), hlsl.find("danach"));
  // A missing include is reported by the preprocessor, and the rest is still translated.
  const std::string fehlt = Uebersetze("#include \"fehlt.h\"\nfloat danach;\n", Quarz::SHADER_PIXEL);
  EXPECT_TRUE(log.Enthaelt("Cannot open include file")) << log.Alle();
  EXPECT_NE(fehlt.find("float danach;"), std::string::npos);
}

// Shader text is outside data: its includes stay below the application folder. A name that
// climbs out is refused before anything is opened, and the preprocessor reports it missing.
TEST(ShaderDialekt, IncludeVerlaesstDenAnwendungsordnerNicht) {
  ASSERT_EQ(mkdir("anwendung", 0755), 0);
  ASSERT_EQ(mkdir("anwendung/unter", 0755), 0);
  for (const char* datei : {"geheim.h", "anwendung/unter/erlaubt.h"}) {
    std::FILE* f = std::fopen(datei, "w");
    ASSERT_NE(f, nullptr);
    std::fputs(std::strstr(datei, "geheim") ? "float geheim;\n" : "float erlaubt;\n", f);
    std::fclose(f);
  }
  gSystem.mAnwendungsPfad = L"anwendung";
  const struct {
    const char* name;
    bool gefunden;
    bool abgelehnt;
  } faelle[] = {
      {"../geheim.h", false, true},
      {"unter/../../geheim.h", false, true},
      {"unter\\..\\..\\geheim.h", false, true},
      {"..", false, true},
      {"unter/erlaubt.h", true, false},
      {"./unter/erlaubt.h", true, false},
      {"/unter/erlaubt.h", true, false},   // absolute names stay below the folder too
      {"unter/..erlaubt.h", false, false},  // a name that merely begins with ".."
  };
  for (const auto& f : faelle) {
    SCOPED_TRACE(f.name);
    TLogFaenger log;
    const std::string hlsl = Uebersetze(std::string("#include \"") + f.name + "\"\nfloat danach;\n",
                                        Quarz::SHADER_PIXEL);
    EXPECT_EQ(hlsl.find("geheim"), std::string::npos) << hlsl;
    EXPECT_EQ(hlsl.find("float erlaubt;") != std::string::npos, f.gefunden) << hlsl << log.Alle();
    EXPECT_NE(hlsl.find("float danach;"), std::string::npos);
    EXPECT_EQ(log.Enthaelt("!Quarz::ShaderPPOeffneInclude"), f.abgelehnt) << log.Alle();
    EXPECT_EQ(log.Enthaelt("Cannot open include file"), !f.gefunden) << log.Alle();
  }
}
