// Compiled shader pairs really drawn in an OpenGL context of their own: the GLSL links, the
// copy list feeds the constants the Direct3D 9 way, and a textured quad lands texel-exact.
#include <epoxy/gl.h>
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <iterator>
#include <limits>
#include <vector>

#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/plattform/hlsl/hlsl_testhilfe.h"

namespace {

using HlslTest::Uebersetze;
using Plattform::TShaderCode;

// A hidden window with a 3.3 core context, as the screen asks for at least.
class HlslBild : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!std::getenv("DISPLAY") || !glfwInit()) return;
    sFenster = OeffneVerstecktesFenster(64, 64, 3, 3);
  }
  // The window goes, GLFW stays until the process ends.
  static void TearDownTestSuite() {
    if (!sFenster) return;
    glfwMakeContextCurrent(nullptr);
    glfwDestroyWindow(sFenster);
    sFenster = nullptr;
  }
  void SetUp() override {
    if (!sFenster) GTEST_SKIP() << "no display for an OpenGL context";
  }
  void TearDown() override {
    for (GLuint p : mProgramme) glDeleteProgram(p);
    for (GLuint b : mPuffer) glDeleteBuffers(1, &b);
    for (GLuint t : mTexturen) glDeleteTextures(1, &t);
    if (mFbo) glDeleteFramebuffers(1, &mFbo);
    if (mZiel) glDeleteRenderbuffers(1, &mZiel);
    if (mVao) glDeleteVertexArrays(1, &mVao);
  }

  static GLuint Stufe(GLenum art, const std::string& glsl) {
    GLuint s = glCreateShader(art);
    const char* text = glsl.c_str();
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
      char log[4096] = {};
      glGetShaderInfoLog(s, sizeof log, nullptr, log);
      ADD_FAILURE() << log << "\n" << glsl;
    }
    return s;
  }

  GLuint Programm(const TShaderCode& vs, const TShaderCode& ps) {
    GLuint p = glCreateProgram();
    GLuint v = Stufe(GL_VERTEX_SHADER, vs.Glsl), f = Stufe(GL_FRAGMENT_SHADER, ps.Glsl);
    glAttachShader(p, v);
    glAttachShader(p, f);
    glLinkProgram(p);
    glDeleteShader(v);
    glDeleteShader(f);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) {
      char log[4096] = {};
      glGetProgramInfoLog(p, sizeof log, nullptr, log);
      ADD_FAILURE() << log;
    }
    mProgramme.push_back(p);
    return p;
  }

  // The program of a compiled pair, in use; 0 when either stage failed.
  GLuint Benutze(const HlslTest::TUebersetzt& vs, const HlslTest::TUebersetzt& ps) {
    EXPECT_EQ(vs.Ergebnis, D3D_OK) << vs.Meldungen;
    EXPECT_EQ(ps.Ergebnis, D3D_OK) << ps.Meldungen;
    if (!vs.Code || !ps.Code) return 0;
    const GLuint prog = Programm(*vs.Code, *ps.Code);
    if (HasFailure()) return 0;
    glUseProgram(prog);
    return prog;
  }

  // What the device does before a draw: replay the copy list from the register file into the
  // stage's uniform block.
  static std::vector<uint8_t> Block(const TShaderCode& c, const std::vector<float>& register_) {
    std::vector<uint8_t> block(c.BlockBytes, 0);
    for (const auto& k : c.Kopien) {
      const auto* quelle = reinterpret_cast<const uint8_t*>(&register_[k.Register * 4]);
      if (k.Umwandlung == TShaderCode::Kopie::Kopieren) {
        std::memcpy(&block[k.Versatz], quelle, k.Bytes);
        continue;
      }
      for (uint32_t b = 0; b < k.Bytes; b += 4) {
        float f;
        std::memcpy(&f, quelle + b, 4);
        if (k.Umwandlung == TShaderCode::Kopie::NachInt) {
          const int32_t i = static_cast<int32_t>(f);
          std::memcpy(&block[k.Versatz + b], &i, 4);
        } else {
          const uint32_t u = f > 0 ? static_cast<uint32_t>(f) : 0;
          std::memcpy(&block[k.Versatz + b], &u, 4);
        }
      }
    }
    return block;
  }

  void Konstanten(GLuint programm, const TShaderCode& c, const std::vector<float>& register_,
                  GLuint bindung) {
    if (c.BlockName.empty()) return;
    const auto block = Block(c, register_);
    GLuint ubo = 0;
    glGenBuffers(1, &ubo);
    mPuffer.push_back(ubo);
    glBindBuffer(GL_UNIFORM_BUFFER, ubo);
    glBufferData(GL_UNIFORM_BUFFER, block.size(), block.data(), GL_STATIC_DRAW);
    const GLuint index = glGetUniformBlockIndex(programm, c.BlockName.c_str());
    ASSERT_NE(index, GL_INVALID_INDEX) << c.BlockName;
    GLint groesse = 0;
    glGetActiveUniformBlockiv(programm, index, GL_UNIFORM_BLOCK_DATA_SIZE, &groesse);
    EXPECT_LE(static_cast<uint32_t>(groesse), c.BlockBytes);
    glUniformBlockBinding(programm, index, bindung);
    glBindBufferBase(GL_UNIFORM_BUFFER, bindung, ubo);
  }

  // A render target of our own, in Direct3D row order: row 0 of the read-back is the top.
  void Ziel(GLenum format, int breite, int hoehe) {
    glGenFramebuffers(1, &mFbo);
    glBindFramebuffer(GL_FRAMEBUFFER, mFbo);
    glGenRenderbuffers(1, &mZiel);
    glBindRenderbuffer(GL_RENDERBUFFER, mZiel);
    glRenderbufferStorage(GL_RENDERBUFFER, format, breite, hoehe);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mZiel);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
    glViewport(0, 0, breite, hoehe);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glGenVertexArrays(1, &mVao);
    glBindVertexArray(mVao);
  }

  void Halbpixel(GLuint programm, int breite, int hoehe) {
    const GLint ort = glGetUniformLocation(programm, "weilerbau_halbpixel");
    ASSERT_GE(ort, 0);
    glUniform2f(ort, 1.0f / breite, 1.0f / hoehe);
  }

  GLuint Puffer(GLenum ziel, const void* daten, size_t bytes) {
    GLuint b = 0;
    glGenBuffers(1, &b);
    mPuffer.push_back(b);
    glBindBuffer(ziel, b);
    glBufferData(ziel, bytes, daten, GL_STATIC_DRAW);
    return b;
  }

  static GLFWwindow* sFenster;
  std::vector<GLuint> mProgramme, mPuffer, mTexturen;
  GLuint mFbo = 0, mZiel = 0, mVao = 0;
};

GLFWwindow* HlslBild::sFenster = nullptr;

// The drawing context writes a TMatrix4 (rows, applied to column vectors) transposed into four
// registers: register k holds column k.
void SchreibeMatrix(std::vector<float>& reg, uint32_t erstes, const float m[4][4]) {
  for (int k = 0; k < 4; ++k)
    for (int j = 0; j < 4; ++j) reg[(erstes + k) * 4 + j] = m[j][k];
}

TEST_F(HlslBild, TexturiertesQuadratLiegtTexelGenauUndMatrixWirktAlsMMalV) {
  auto vs = Uebersetze(
      "float4x4 WeltMatrix;\n"
      "float3 Verschiebung;\n"
      "float Null;\n"
      "void main(float3 pos : POSITION0, float2 uv : TEXCOORD0, out float4 p : POSITION0,\n"
      "          out float2 t : TEXCOORD0) {\n"
      "  p = mul(WeltMatrix, float4(pos, 1.0f));\n"
      "  t = uv + float2(Null - Verschiebung.x, 0);\n"
      "}\n",
      "vs_3_0");
  auto ps = Uebersetze(
      "sampler2D Textur;\nfloat4 Toenung;\n"
      "void main(float2 tk : TEXCOORD0, out float4 farbe : COLOR0) {\n"
      "  farbe = tex2D(Textur, tk) * Toenung;\n"
      "}\n",
      "ps_3_0");
  const GLuint prog = Benutze(vs, ps);
  if (!prog) return;

  const int W = 64, H = 64;
  Ziel(GL_RGBA8, W, H);
  Halbpixel(prog, W, H);
  // Pixel coordinates to clip space, with Direct3D 9's -0.5 pixel correction; not symmetric,
  // so a transposed matrix would put the quad elsewhere.
  const float m[4][4] = {{2.f / W, 0, 0, -1.f - 1.f / W},
                         {0, -2.f / H, 0, 1.f + 1.f / H},
                         {0, 0, 1, 0},
                         {0, 0, 0, 1}};
  std::vector<float> vreg(256 * 4, 0.0f), preg(224 * 4, 0.0f);
  D3DXCONSTANT_DESC d{};
  ASSERT_EQ(vs.Tabelle->GetConstantDesc("WeltMatrix", &d, nullptr), D3D_OK);
  SchreibeMatrix(vreg, d.RegisterIndex, m);
  vreg[4 * 4] = 0.25f;  // Verschiebung.x (c4) and Null (c5) cancel only if each is where it belongs
  vreg[5 * 4] = 0.25f;
  vreg[6 * 4] = 99.0f;  // beyond the shader's registers: must not matter
  for (int i = 0; i < 4; ++i) preg[i] = 1.0f;
  Konstanten(prog, *vs.Code, vreg, 0);
  Konstanten(prog, *ps.Code, preg, 1);

  // 16 x 16 texture in A8R8G8B8 memory order: texel (i, j) has red i * 16 and green j * 16.
  std::vector<uint32_t> texel(16 * 16);
  for (int j = 0; j < 16; ++j)
    for (int i = 0; i < 16; ++i)
      texel[j * 16 + i] = 0xFF000000u | uint32_t(i * 16) << 16 | uint32_t(j * 16) << 8;
  GLuint tex = 0;
  glGenTextures(1, &tex);
  mTexturen.push_back(tex);
  ASSERT_EQ(ps.Code->Samplers.size(), 1u);
  glActiveTexture(GL_TEXTURE0 + ps.Code->Samplers[0].Register);
  glBindTexture(GL_TEXTURE_2D, tex);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 16, 16, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
               texel.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glUniform1i(glGetUniformLocation(prog, ps.Code->Samplers[0].Name.c_str()),
              ps.Code->Samplers[0].Register);

  // The quad covers pixels 8..23 both ways, Direct3D-style: vertices on pixel corners - 0.5.
  const float ecken[] = {8, 8, 0.5f, 0, 0, 24, 8, 0.5f, 1, 0, 8, 24, 0.5f, 0, 1, 24, 24, 0.5f, 1, 1};
  const uint16_t indizes[] = {0, 1, 2, 1, 3, 2};
  Puffer(GL_ARRAY_BUFFER, ecken, sizeof ecken);
  Puffer(GL_ELEMENT_ARRAY_BUFFER, indizes, sizeof indizes);
  for (const auto& e : vs.Code->Eingaenge) {
    const bool position = e.Semantik == "POSITION0";
    glVertexAttribPointer(e.Ort, position ? 3 : 2, GL_FLOAT, GL_FALSE, 20,
                          reinterpret_cast<void*>(position ? 0 : 12));
    glEnableVertexAttribArray(e.Ort);
  }
  glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);

  std::vector<uint8_t> px(W * H * 4);
  glReadPixels(0, 0, W, H, GL_BGRA, GL_UNSIGNED_BYTE, px.data());
  int falsch = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const uint8_t* q = &px[(y * W + x) * 4];
      const bool innen = x >= 8 && x < 24 && y >= 8 && y < 24;
      const int rot = innen ? (x - 8) * 16 : 0, gruen = innen ? (y - 8) * 16 : 0;
      if (std::abs(q[2] - rot) > 1 || std::abs(q[1] - gruen) > 1 || q[3] != (innen ? 255 : 0)) {
        if (++falsch <= 5)
          ADD_FAILURE() << "pixel " << x << "," << y << ": r" << int(q[2]) << " g" << int(q[1])
                        << " a" << int(q[3]) << ", expected r" << rot << " g" << gruen;
      }
    }
  EXPECT_EQ(falsch, 0);
}

// Constants of every shape set register by register, read back as exact floats.
TEST_F(HlslBild, KonstantenAusDerKopierlisteKommenAnIhremPlatzAn) {
  auto vs = Uebersetze(
      "float4 Gemeinsam;\n"
      "void main(float3 p : POSITION0, out float4 o : POSITION0, out float4 g : TEXCOORD0) {\n"
      "  o = float4(p, 1); g = Gemeinsam;\n"
      "}\n",
      "vs_3_0");
  auto ps = Uebersetze(
      "float3 Licht;\n"
      "float Staerke;\n"
      "float Werte[3];\n"
      "struct Teil { float a; float2 b; };\n"
      "Teil Teile[2];\n"
      "int Anzahl;\n"
      "bool Schalter;\n"
      "float4 Gemeinsam;\n"
      "row_major float2x4 Zeilen;\n"
      "float2x4 Spalten;\n"
      "struct Lage { float4x4 m; };\n"
      "Lage Ort;\n"
      "void main(float4 g : TEXCOORD0, out float4 a : COLOR0, out float4 b : COLOR1,\n"
      "          out float4 c : COLOR2) {\n"
      "  a = float4(Licht, Staerke);\n"
      "  b = float4(Werte[1], Werte[2], Teile[1].a, Teile[1].b.y);\n"
      "  c = float4(Anzahl, Schalter ? 1 : 0, Gemeinsam.x, g.y)\n"
      "      + float4(Zeilen[1].z, Spalten[1].w, Ort.m[2].y, 0);\n"
      "}\n",
      "ps_3_0");
  const GLuint prog = Benutze(vs, ps);
  if (!prog) return;

  const int W = 4, H = 4;
  glGenFramebuffers(1, &mFbo);
  glBindFramebuffer(GL_FRAMEBUFFER, mFbo);
  GLuint ziele[3];
  glGenTextures(3, ziele);
  for (int i = 0; i < 3; ++i) {
    mTexturen.push_back(ziele[i]);
    glBindTexture(GL_TEXTURE_2D, ziele[i]);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, W, H, 0, GL_RGBA, GL_FLOAT, nullptr);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D, ziele[i], 0);
  }
  const GLenum puffer[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2};
  glDrawBuffers(3, puffer);
  ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GLenum(GL_FRAMEBUFFER_COMPLETE));
  glViewport(0, 0, W, H);
  glGenVertexArrays(1, &mVao);
  glBindVertexArray(mVao);
  Halbpixel(prog, W, H);

  // Every register gets its own number, so a value read from a wrong place shows.
  std::vector<float> vreg(256 * 4), preg(224 * 4);
  for (size_t i = 0; i < vreg.size(); ++i) vreg[i] = 1000.0f + i;
  for (size_t i = 0; i < preg.size(); ++i) preg[i] = 2000.0f + i;
  auto reg = [&](const char* name) {
    D3DXCONSTANT_DESC d{};
    EXPECT_EQ(ps.Tabelle->GetConstantDesc(name, &d, nullptr), D3D_OK) << name;
    return d.RegisterIndex;
  };
  preg[reg("Anzahl") * 4] = 7.9f;   // truncated to 7, as the float register becomes an int
  preg[reg("Schalter") * 4] = 1.0f;
  Konstanten(prog, *vs.Code, vreg, 0);
  Konstanten(prog, *ps.Code, preg, 1);

  const float dreieck[] = {-1, -1, 0.5f, 3, -1, 0.5f, -1, 3, 0.5f};
  Puffer(GL_ARRAY_BUFFER, dreieck, sizeof dreieck);
  ASSERT_EQ(vs.Code->Eingaenge.size(), 1u);
  glVertexAttribPointer(vs.Code->Eingaenge[0].Ort, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
  glEnableVertexAttribArray(vs.Code->Eingaenge[0].Ort);
  glDrawArrays(GL_TRIANGLES, 0, 3);

  auto lies = [&](int ziel) {
    float f[4] = {};
    glReadBuffer(GL_COLOR_ATTACHMENT0 + ziel);
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_FLOAT, f);
    return std::vector<float>(f, f + 4);
  };
  auto p = [&](const char* name, int komponente, int element = 0, int schritt = 1) {
    return preg[(reg(name) + element * schritt) * 4 + komponente];
  };
  const UINT teil1 = reg("Teile") + 2;  // second element of a two-register structure
  EXPECT_EQ(lies(0), (std::vector<float>{p("Licht", 0), p("Licht", 1), p("Licht", 2),
                                         p("Staerke", 0)}));
  EXPECT_EQ(lies(1), (std::vector<float>{p("Werte", 0, 1), p("Werte", 0, 2), preg[teil1 * 4],
                                         preg[(teil1 + 1) * 4 + 1]}));
  // Zeilen is row_major: its row 1 is register +1. Spalten is column_major: its column 3
  // (the .w of row 1) is register +3, component 1.
  const float zeilen = preg[(reg("Zeilen") + 1) * 4 + 2];
  const float spalten = preg[(reg("Spalten") + 3) * 4 + 1];
  D3DXCONSTANT_DESC vd{};
  ASSERT_EQ(vs.Tabelle->GetConstantDesc("Gemeinsam", &vd, nullptr), D3D_OK);
  const auto c = lies(2);
  EXPECT_FLOAT_EQ(c[0], 7.0f + zeilen);
  EXPECT_FLOAT_EQ(c[1], 1.0f + spalten);
  // A matrix inside a structure keeps the column-major default: HLSL column 1 is register +1.
  EXPECT_FLOAT_EQ(c[2], p("Gemeinsam", 0) + preg[(reg("Ort") + 1) * 4 + 2]);
  EXPECT_EQ(c[3], vreg[vd.RegisterIndex * 4 + 1]);
}

TEST_F(HlslBild, PixelPositionUndSeiteKommenVomPixelSelbst) {
  auto vs = Uebersetze(HlslTest::DurchreichVS, "vs_3_0");
  auto ps = Uebersetze(
      "float4 main(float2 p : VPOS, float seite : VFACE) : COLOR0 { return float4(p, seite, 1); }\n",
      "ps_3_0");
  const GLuint prog = Benutze(vs, ps);
  if (!prog) return;
  const int W = 8, H = 6;
  Ziel(GL_RGBA32F, W, H);
  Halbpixel(prog, W, H);
  // Left half wound counter-clockwise as seen on the screen (a back face), right half
  // clockwise (Direct3D's front face).
  const float dreiecke[] = {-1, -1, 0, -1, 0, 1, -1, -1, 0, 1, -1, 1,
                            0, -1, 0, 1, 1, 1, 0, -1, 1, 1, 1, -1};
  std::vector<float> ecken;
  for (size_t i = 0; i < std::size(dreiecke); i += 2) {
    ecken.push_back(dreiecke[i]);
    ecken.push_back(dreiecke[i + 1]);
    ecken.push_back(0.5f);
  }
  Puffer(GL_ARRAY_BUFFER, ecken.data(), ecken.size() * sizeof(float));
  glVertexAttribPointer(vs.Code->Eingaenge[0].Ort, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
  glEnableVertexAttribArray(vs.Code->Eingaenge[0].Ort);
  glDrawArrays(GL_TRIANGLES, 0, 12);
  std::vector<float> px(W * H * 4);
  glReadPixels(0, 0, W, H, GL_RGBA, GL_FLOAT, px.data());
  int falsch = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const float* p = &px[(y * W + x) * 4];
      const float seite = x < W / 2 ? -1.0f : 1.0f;
      if (p[0] != x || p[1] != y || p[2] != seite) {
        if (++falsch <= 5)
          ADD_FAILURE() << "pixel " << x << "," << y << ": " << p[0] << " " << p[1] << " " << p[2];
      }
    }
  EXPECT_EQ(falsch, 0);
}

// register(cN) and the packing without unused constants reach the shader through the copy list.
TEST_F(HlslBild, FesteUndGepackteRegisterErreichenDenShader) {
  auto vs = Uebersetze(HlslTest::DurchreichVS, "vs_3_0");
  auto ps = Uebersetze(
      "float4 nie; float4 a : register(c7); float4 b; float4 auchNie;\n"
      "float4 main() : COLOR0 { return a + b; }\n",
      "ps_3_0");
  const GLuint prog = Benutze(vs, ps);
  if (!prog) return;
  Ziel(GL_RGBA32F, 2, 2);
  Halbpixel(prog, 2, 2);
  std::vector<float> vreg(256 * 4, 0.0f), preg(224 * 4, 99.0f);
  const float a[4] = {1, 2, 3, 4}, b[4] = {10, 20, 30, 40};
  std::copy(a, a + 4, &preg[7 * 4]);
  std::copy(b, b + 4, &preg[0]);  // b is the first constant read: c0
  Konstanten(prog, *vs.Code, vreg, 0);
  Konstanten(prog, *ps.Code, preg, 1);
  const float dreieck[] = {-1, -1, 0.5f, 3, -1, 0.5f, -1, 3, 0.5f};
  Puffer(GL_ARRAY_BUFFER, dreieck, sizeof dreieck);
  glVertexAttribPointer(vs.Code->Eingaenge[0].Ort, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
  glEnableVertexAttribArray(vs.Code->Eingaenge[0].Ort);
  glDrawArrays(GL_TRIANGLES, 0, 3);
  float f[4] = {};
  glReadPixels(1, 1, 1, 1, GL_RGBA, GL_FLOAT, f);
  EXPECT_EQ(std::vector<float>(f, f + 4), (std::vector<float>{11, 22, 33, 44}));
}

}  // namespace
