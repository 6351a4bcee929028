// What our compiler makes of Direct3D 9 HLSL: semantics and locations, the GLSL interface the
// device relies on, messages with their line numbers, and the D3DX entry points.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <iterator>
#include <thread>

#include "plattform/hlsl/intern/d3dx_globalpruefung.h"
#include "plattform/hlsl/intern/d3dx_glslangsatz.h"
#include "plattform/hlsl/intern/d3dx_kompiler.h"
#include "tests/plattform/hlsl/hlsl_testhilfe.h"

namespace {

using HlslTest::Uebersetze;
using Plattform::THlslKompiler;
using Plattform::TShaderCode;

bool Enthaelt(const std::string& text, const std::string& teil) {
  return text.find(teil) != std::string::npos;
}

TEST(HlslKompiler, PositionNullWirdNurAlsSemantikUmbenannt) {
  struct Fall {
    const char* Ein;
    const char* Aus;
  };
  const Fall faelle[] = {
      {"out float4 p : POSITION0)", "out float4 p : POSITION )"},
      {"out float4 p :position0,", "out float4 p :position ,"},
      {"float3 p : POSITION0, ", "float3 p : POSITION , "},
      {"float3 p : POSITION01", "float3 p : POSITION01"},
      {"float3 p : MYPOSITION0", "float3 p : MYPOSITION0"},
      {"float POSITION0 = 1;", "float POSITION0 = 1;"},
      {"POSITION0", "POSITION0"},
      {"", ""},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(THlslKompiler::BereiteVor(f.Ein, TShaderCode::Vertex), f.Aus) << f.Ein;
  EXPECT_EQ(THlslKompiler::BereiteVor("x : POSITION0", TShaderCode::Pixel), "x : POSITION0");
}

const char* const VertexShader =
    "float4x4 Welt;\n"
    "void main(float3 pos : POSITION0, float2 uv : TEXCOORD0, float4x4 inst : TEXCOORD1,\n"
    "          float4 farbe : TEXCOORD5,\n"
    "          out float4 p : POSITION0, out float2 t : TEXCOORD0, out float4 f : TEXCOORD1) {\n"
    "  p = mul(Welt, mul(inst, float4(pos, 1)));\n"
    "  t = uv;\n"
    "  f = farbe;\n"
    "}\n";

TEST(HlslKompiler, VertexEingaengeLiegenWoDieDeklarationSieHinlegt) {
  auto t = Uebersetze(VertexShader, "vs_3_0");
  ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  ASSERT_TRUE(t.Code);
  std::map<std::string, uint32_t> orte;
  for (const auto& e : t.Code->Eingaenge) orte[e.Semantik] = e.Ort;
  EXPECT_EQ(orte, (std::map<std::string, uint32_t>{
                      {"POSITION0", 0}, {"TEXCOORD0", 1}, {"TEXCOORD1", 2}, {"TEXCOORD5", 6}}));
  const std::string& g = t.Code->Glsl;
  EXPECT_TRUE(Enthaelt(g, "layout(location = 2) in mat4")) << g;
  EXPECT_TRUE(Enthaelt(g, "layout(location = 6) in vec4")) << g;
  // Varyings carry their semantic's name and no location.
  EXPECT_TRUE(Enthaelt(g, "out vec2 weilerbau_TEXCOORD0;")) << g;
  EXPECT_TRUE(Enthaelt(g, "out vec4 weilerbau_TEXCOORD1;")) << g;
  EXPECT_TRUE(Enthaelt(g, "gl_Position = ")) << g;
  // The epilogue's half-pixel shift needs its uniform; where it puts pixels is drawn and
  // checked in the picture tests.
  EXPECT_TRUE(Enthaelt(g, "uniform vec2 weilerbau_halbpixel;")) << g;
  EXPECT_EQ(t.Code->Stufe, TShaderCode::Vertex);
  EXPECT_EQ(t.Code->BlockName, "WeilerbauVSKonst");
}

TEST(HlslKompiler, PixelShaderNamenTragenDieStufe) {
  auto t = Uebersetze(
      "float4 Farbe; sampler2D Bild;\n"
      "void main(float2 t : TEXCOORD0, float4 f : TEXCOORD1, out float4 a : COLOR0,\n"
      "          out float4 b : COLOR2) { a = tex2D(Bild, t) * Farbe; b = f; }\n",
      "ps_3_0");
  ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  const std::string& g = t.Code->Glsl;
  EXPECT_TRUE(Enthaelt(g, "in vec2 weilerbau_TEXCOORD0;")) << g;
  EXPECT_TRUE(Enthaelt(g, "in vec4 weilerbau_TEXCOORD1;")) << g;
  EXPECT_TRUE(Enthaelt(g, "layout(location = 0) out vec4")) << g;
  EXPECT_TRUE(Enthaelt(g, "layout(location = 2) out vec4")) << g;
  EXPECT_TRUE(Enthaelt(g, "uniform sampler2D weilerbau_ps_Bild;")) << g;
  EXPECT_FALSE(Enthaelt(g, "weilerbau_halbpixel")) << g;
  EXPECT_FALSE(Enthaelt(g, "binding")) << g;
  EXPECT_EQ(t.Code->BlockName, "WeilerbauPSKonst");
  ASSERT_EQ(t.Code->Samplers.size(), 1u);
  EXPECT_EQ(t.Code->Samplers[0].Name, "weilerbau_ps_Bild");
}

TEST(HlslKompiler, UnpassendeSchnittstellenSindFehlerStattStillerFalschheit) {
  struct Fall {
    const char* Profil;
    const char* Quelle;
    const char* Meldung;
  };
  const Fall faelle[] = {
      // A position inside a returned structure never reaches gl_Position: nothing would be drawn.
      {"vs_3_0",
       "struct A { float4 p : POSITION0; float2 t : TEXCOORD0; };\n"
       "A main(float3 p : POSITION0) { A a; a.p = float4(p, 1); a.t = p.xy; return a; }\n",
       "POSITION"},
      {"vs_3_0", "void main(float3 p : POSITION0, out float2 t : TEXCOORD0) { t = p.xy; }\n",
       "writes no POSITION"},
      {"vs_3_0",
       "void main(float3 n : NORMAL0, out float4 o : POSITION0) { o = float4(n, 1); }\n",
       "NORMAL0"},
      {"vs_3_0",
       "void main(float3 p : POSITION0, float4x4 m : TEXCOORD0, float4 k : TEXCOORD2,\n"
       "          out float4 o : POSITION0) { o = mul(m, float4(p, 1)) + k; }\n",
       "overlaps"},
      {"ps_3_0", "float4 main(float2 t : TEXCOORD0) : NORMAL0 { return t.xyxy; }\n", "NORMAL0"},
      {"ps_3_0", "float4 main(float2 t : TEXCOORD0) : COLOR4 { return t.xyxy; }\n", "COLOR4"},
      // The pixel's own position and facing have the shapes Direct3D 9 gives them or none.
      {"ps_3_0", "float4 main(float3 v : VPOS) : COLOR0 { return v.xyzz; }\n", "VPOS"},
      {"ps_3_0", "float4 main(float2 f : VFACE) : COLOR0 { return f.xyxy; }\n", "VFACE"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Quelle);
    auto t = Uebersetze(f.Quelle, f.Profil);
    EXPECT_EQ(t.Ergebnis, E_FAIL);
    EXPECT_TRUE(Enthaelt(t.Meldungen, f.Meldung)) << t.Meldungen;
    EXPECT_FALSE(t.Code);
  }
}

// The engine's prelude ends in "#line 1", so messages count from the shader's own first line.
TEST(HlslKompiler, MeldungenNennenDieZeileDerEigenenQuelle) {
  const std::string quelle =
      "#define VORSPANN 1\nfloat4 VorspannHilfe(float4 x) { return x; }\n#line 1\n"
      "float4 Farbe;\n"
      "float4 main(float2 t : TEXCOORD0) : COLOR0 {\n"
      "  return Farbe * Unbekannt;\n"
      "}\n";
  auto t = Uebersetze(quelle, "ps_3_0");
  EXPECT_EQ(t.Ergebnis, E_FAIL);
  EXPECT_TRUE(Enthaelt(t.Meldungen, ":3: 'Unbekannt'")) << t.Meldungen;
  EXPECT_FALSE(t.Tabelle);
}

TEST(HlslKompiler, DateiUebersetzungNenntDieDatei) {
  const char* datei = "ps_fehler.txt";
  {
    std::ofstream aus(datei);
    aus << "float4 main() : COLOR0 {\n  return 1;\n  kaputt\n}\n";
  }
  LPD3DXBUFFER code = nullptr, meldungen = nullptr;
  LPD3DXCONSTANTTABLE tabelle = nullptr;
  EXPECT_EQ(D3DXCompileShaderFromFileA(datei, nullptr, nullptr, "main", "ps_3_0", 5, &code,
                                       &meldungen, &tabelle),
            E_FAIL);
  ASSERT_NE(meldungen, nullptr);
  const std::string text = static_cast<const char*>(meldungen->GetBufferPointer());
  EXPECT_TRUE(Enthaelt(text, "ps_fehler.txt:4")) << text;
  meldungen->Release();
  EXPECT_EQ(code, nullptr);
  EXPECT_EQ(tabelle, nullptr);

  EXPECT_EQ(D3DXCompileShaderFromFileA("gibtsnicht.txt", nullptr, nullptr, "main", "ps_3_0", 0,
                                       &code, &meldungen, &tabelle),
            E_FAIL);
  ASSERT_NE(meldungen, nullptr);
  EXPECT_TRUE(Enthaelt(static_cast<const char*>(meldungen->GetBufferPointer()), "gibtsnicht.txt"));
  meldungen->Release();

  std::ofstream(datei) << "float4 main() : COLOR0 { return 1; }\n";
  ASSERT_EQ(D3DXCompileShaderFromFileA(datei, nullptr, nullptr, "main", "ps_3_0", 5, &code,
                                       nullptr, &tabelle),
            D3D_OK);
  EXPECT_TRUE(TShaderCode::Deserialisiere(code->GetBufferPointer(), code->GetBufferSize()));
  code->Release();
  tabelle->Release();
}

TEST(HlslKompiler, DefinitionenProfileUndFalscheAufrufe) {
  const char* quelle =
      "float4 main() : COLOR0 {\n#ifdef SCHATTEN\n return WERT;\n#else\n return kaputt;\n#endif\n}\n";
  EXPECT_EQ(Uebersetze(quelle, "ps_3_0", {{"SCHATTEN", "1"}, {"WERT", "float4(1, 2, 3, 4)"}})
                .Ergebnis,
            D3D_OK);
  EXPECT_EQ(Uebersetze(quelle, "ps_3_0").Ergebnis, E_FAIL);
  // A value that would break into a new line is not taken.
  EXPECT_EQ(Uebersetze(quelle, "ps_3_0", {{"SCHATTEN", "1\n#error x"}, {"WERT", "1"}}).Ergebnis,
            E_FAIL);

  EXPECT_STREQ(D3DXGetVertexShaderProfile(nullptr), "vs_3_0");
  EXPECT_STREQ(D3DXGetPixelShaderProfile(nullptr), "ps_3_0");
  auto falsch = Uebersetze("float4 main() : COLOR0 { return 1; }", "fx_2_0");
  EXPECT_EQ(falsch.Ergebnis, D3DERR_INVALIDCALL);
  EXPECT_TRUE(Enthaelt(falsch.Meldungen, "fx_2_0"));
  // The same source is a pixel shader only under a pixel profile.
  EXPECT_EQ(Uebersetze("float4 main() : COLOR0 { return 1; }", "vs_3_0").Ergebnis, E_FAIL);

  LPD3DXBUFFER code = reinterpret_cast<LPD3DXBUFFER>(1);
  EXPECT_EQ(D3DXCompileShader(nullptr, 0, nullptr, nullptr, "main", "ps_3_0", 0, &code, nullptr,
                              nullptr),
            D3DERR_INVALIDCALL);
  EXPECT_EQ(code, nullptr);
  // Every out pointer may be left out.
  const char* gut = "float4 main() : COLOR0 { return 1; }";
  EXPECT_EQ(D3DXCompileShader(gut, 36, nullptr, nullptr, "main", "ps_3_0", 0, nullptr, nullptr,
                              nullptr),
            D3D_OK);
}

// Entries of a folder under /proc/self: "fd" counts the open files.
int Eintraege(const char* ordner) {
  DIR* d = opendir((std::string("/proc/self/") + ordner).c_str());
  int n = 0;
  while (const dirent* e = d ? readdir(d) : nullptr)
    if (e->d_name[0] != '.') ++n;
  if (d) closedir(d);
  return n;
}

// State letter and parent of a process, from /proc/<pid>/stat; false when it is gone.
bool Prozess(const std::string& pid, char& zustand, pid_t& eltern) {
  std::ifstream stat("/proc/" + pid + "/stat");
  const std::string zeile((std::istreambuf_iterator<char>(stat)), {});
  const size_t klammer = zeile.rfind(')');
  return klammer != std::string::npos &&
         std::sscanf(zeile.c_str() + klammer + 1, " %c %d", &zustand, &eltern) == 2;
}

// The processes whose parent is this one, zombies included.
std::vector<pid_t> Kinder() {
  std::vector<pid_t> kinder;
  DIR* d = opendir("/proc");
  while (const dirent* e = d ? readdir(d) : nullptr) {
    char zustand = 0;
    pid_t eltern = 0;
    if (std::isdigit(static_cast<unsigned char>(e->d_name[0])) &&
        Prozess(e->d_name, zustand, eltern) && eltern == getpid())
      kinder.push_back(std::atoi(e->d_name));
  }
  if (d) closedir(d);
  return kinder;
}

// Debian's glslang crashes on some malformed sources and overflows its stack on deeply nested
// ones. glslang runs in a process of its own, also once this process has threads (a GL driver
// starts some): such a source is a compile error and this process lives on.
TEST(HlslKompiler, AbsturzImGlslangWirdZumUebersetzungsfehler) {
  std::promise<void> ende;
  std::thread zweiter([warten = ende.get_future()]() mutable { warten.wait(); });
  // Stack overflows as on a usual machine, whatever limit this one sets (the glslang process,
  // started from here, takes this limit).
  rlimit stapel{};
  getrlimit(RLIMIT_STACK, &stapel);
  stapel.rlim_cur = std::min<rlim_t>(stapel.rlim_max, 8 << 20);
  setrlimit(RLIMIT_STACK, &stapel);
  // Ten times the nesting that overflows Debian's glslang in 8 MiB: a build with smaller frames
  // overflows as well.
  const std::string tief = "float4 main() : COLOR0 { return " + std::string(50000, '(') + "1" +
                           std::string(50000, ')') + "; }";
  struct Fall {
    const char* Profil;
    std::string Quelle;
  };
  const Fall faelle[] = {
      {"vs_3_0", "in"}, {"ps_3_0", "in"}, {"ps_3_0", "int i;void i"}, {"ps_3_0", tief}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Quelle.substr(0, 40));
    EXPECT_EQ(Uebersetze("float4 main() : COLOR0 { return 1; }", "ps_3_0").Ergebnis, D3D_OK);
    auto t = Uebersetze(f.Quelle, f.Profil);
    EXPECT_EQ(t.Ergebnis, E_FAIL);
    EXPECT_TRUE(Enthaelt(t.Meldungen, "glslang failed on this source (signal ")) << t.Meldungen;
  }
  EXPECT_EQ(Uebersetze("float4 main() : COLOR0 { return 1; }", "ps_3_0").Ergebnis, D3D_OK);
  ende.set_value();
  zweiter.join();
}

// One glslang process serves every compile: a game compiles hundreds of shaders. One that
// crashed is reaped and replaced, none leaves a file open here, and one killed from outside
// between compiles costs no compile.
TEST(HlslKompiler, EinGlslangProzessOhneReste) {
  Uebersetze("float4 main() : COLOR0 { return 1; }", "ps_3_0");
  const int vorher = Eintraege("fd");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Uebersetze("float4 main() : COLOR0 { return 1; }", "ps_3_0").Ergebnis, D3D_OK);
    EXPECT_EQ(Uebersetze("in", "vs_3_0").Ergebnis, E_FAIL);
    EXPECT_EQ(Uebersetze("float4 main() : COLOR0 { return x; }", "ps_3_0").Ergebnis, E_FAIL);
  }
  EXPECT_EQ(Eintraege("fd"), vorher);
  const std::vector<pid_t> kinder = Kinder();
  ASSERT_EQ(kinder.size(), 1u);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), 0);  // running, none left to reap

  kill(kinder[0], SIGKILL);
  char zustand = 0;
  pid_t eltern = 0;
  while (Prozess(std::to_string(kinder[0]), zustand, eltern) && zustand != 'Z') usleep(1000);
  auto t = Uebersetze("float4 main() : COLOR0 { return 1; }", "ps_3_0");
  EXPECT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  EXPECT_EQ(Kinder().size(), 1u);  // the one killed is reaped
}

TEST(HlslKompiler, DoppelteGlobaleWerdenVorGlslangErkannt) {
  struct Fall {
    const char* Quelle;
    const char* Doppelt;
  };
  const Fall faelle[] = {
      {"int n; float n;", "n"},
      {"float a, b; float4 b;", "b"},
      {"float x = max(1, 2), y; float y;", "y"},
      {"float v[2] = { 1, 2 }; sampler2D v;", "v"},
      {"float4 a; float4 main() : COLOR0 { float a = 1; return a; }", ""},
      {"struct S { float a; }; S s; float a;", ""},
      {"vector<float, 4> v; vector<float, 4> w;", ""},
      {"float a : register(c0); float b : register(c1);", ""},
      {"float f(float a); float f(float a) { return a; } float f(float2 a) { return a.x; }", ""},
      {"float4 main(float4 a : TEXCOORD0) : COLOR0 { return a; } float4 a;", ""},
      {"#line 1 \"a; a;\"\nfloat s = 1; string t = \"s; s;\";", ""},
      {"float w[N]; float N2;", ""},
      {"", ""},
  };
  for (const Fall& f : faelle)
    EXPECT_EQ(Plattform::TGlobalPruefung::DoppelteGlobale(f.Quelle), f.Doppelt) << f.Quelle;
  auto t = Uebersetze("int n; float n;\nfloat4 main() : COLOR0 { return n; }", "ps_3_0");
  EXPECT_EQ(t.Ergebnis, E_FAIL);
  EXPECT_TRUE(Enthaelt(t.Meldungen, "'n' : redefinition")) << t.Meldungen;
}

TEST(HlslKompiler, ErgebnisAusDemKindUeberstehtDieUebergabe) {
  Plattform::TGlslangSatz::TErgebnis e;
  e.Erfolg = true;
  e.Meldungen = "WARNING: x";
  e.Spirv = {0x07230203u, 1, 2, 3};
  e.Reihenfolge = {"a", "Textur"};
  e.Register = {{"a", 'c', 7}, {"Textur", 's', 3}};
  const std::string bytes = Plattform::TGlslangSatz::Verpacke(e);
  Plattform::TGlslangSatz::TErgebnis zurueck;
  ASSERT_TRUE(Plattform::TGlslangSatz::Entpacke(bytes, zurueck));
  EXPECT_TRUE(zurueck.Erfolg);
  EXPECT_EQ(zurueck.Meldungen, e.Meldungen);
  EXPECT_EQ(zurueck.Spirv, e.Spirv);
  EXPECT_EQ(zurueck.Reihenfolge, e.Reihenfolge);
  ASSERT_EQ(zurueck.Register.size(), 2u);
  EXPECT_EQ(zurueck.Register[1].Name, "Textur");
  EXPECT_EQ(zurueck.Register[1].Satz, 's');
  EXPECT_EQ(zurueck.Register[1].Index, 3u);
  // A child that died mid-write leaves a short record: it must not be taken.
  for (size_t laenge : {size_t(0), size_t(3), bytes.size() / 2, bytes.size() - 1})
    EXPECT_FALSE(Plattform::TGlslangSatz::Entpacke(bytes.substr(0, laenge), zurueck)) << laenge;
  EXPECT_FALSE(Plattform::TGlslangSatz::Entpacke(bytes + "x", zurueck));
}

}  // namespace
