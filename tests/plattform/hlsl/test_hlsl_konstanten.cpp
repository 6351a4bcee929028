// The Direct3D 9 constant table our compiler builds: registers, the walk the shader objects do
// over it, the copy list into the uniform block, and the register limits.
#include <gtest/gtest.h>

#include <map>

#include "tests/plattform/hlsl/hlsl_testhilfe.h"

namespace {

using HlslTest::Uebersetze;
using Plattform::TShaderCode;

// The walk the engine's shader objects make: every constant under its full name, array
// elements as "a[i]", structure members as "s.m", per element of an array of structures.
void Eintragen(ID3DXConstantTable* t, D3DXHANDLE h, const std::string& vorsilbe, UINT versatz,
               std::map<std::string, UINT>& karte) {
  D3DXCONSTANT_DESC d{};
  UINT anzahl = 1;
  ASSERT_EQ(t->GetConstantDesc(h, &d, &anzahl), D3D_OK);
  const std::string name = vorsilbe + d.Name;
  karte[name] = d.RegisterIndex + versatz;
  const UINT elemente = d.Elements ? d.Elements : 1;
  const UINT schritt = d.RegisterCount / elemente;
  for (UINT e = 0; e < elemente; ++e) {
    const std::string elementName = elemente > 1 ? name + "[" + std::to_string(e) + "]" : name;
    if (elemente > 1) karte[elementName] = d.RegisterIndex + versatz + e * schritt;
    if (d.Class != D3DXPC_STRUCT) continue;
    for (UINT m = 0; m < d.StructMembers; ++m)
      Eintragen(t, t->GetConstant(h, m), elementName + ".", versatz + e * schritt, karte);
  }
}

std::map<std::string, UINT> Karte(ID3DXConstantTable* t) {
  D3DXCONSTANTTABLE_DESC d{};
  EXPECT_EQ(t->GetDesc(&d), D3D_OK);
  std::map<std::string, UINT> karte;
  for (UINT i = 0; i < d.Constants; ++i) Eintragen(t, t->GetConstant(nullptr, i), "", 0, karte);
  return karte;
}

const char* const Konstanten =
    "float4x4 Welt;\n"                                // c0..c3
    "float3 Licht;\n"                                 // c4
    "float Staerke;\n"                                // c5, same 16-byte slot as c4
    "float Werte[3];\n"                               // c6..c8
    "struct Teil { float a; float2 b; float4x4 m; };\n"
    "Teil Eins;\n"                                    // c9 a, c10 b, c11..c14 m
    "Teil Viele[2];\n"                                // c15.. and c21..
    "row_major float3x4 Zeilen;\n"                    // c27..c29: one per HLSL row
    "float3x4 Spalten;\n"                             // c30..c33: one per HLSL column
    "int Anzahl;\n"                                   // c34
    "sampler2D Zweite;\n"
    "samplerCUBE Erste;\n"
    "float4 main(float2 t : TEXCOORD0) : COLOR0 {\n"
    "  float4 s = tex2D(Zweite, t) + texCUBE(Erste, t.xyy);\n"
    "  return s + mul(Welt, float4(Licht, Staerke)) + Werte[2] + Eins.m[1] + Viele[1].b.y\n"
    "       + mul(Zeilen, s).x + mul(Spalten, s.xyz).x + Anzahl;\n"
    "}\n";

TEST(HlslKonstanten, TabelleUndWalkGebenDirect3D9RegisterUndBeschreibungen) {
  auto t = Uebersetze(Konstanten, "ps_3_0");
  ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  const auto karte = Karte(t.Tabelle.get());
  const std::map<std::string, UINT> erwartet = {
      {"Welt", 0},         {"Licht", 4},        {"Staerke", 5},      {"Werte", 6},
      {"Werte[0]", 6},     {"Werte[2]", 8},     {"Eins", 9},         {"Eins.a", 9},
      {"Eins.b", 10},      {"Eins.m", 11},      {"Viele", 15},       {"Viele[0]", 15},
      {"Viele[0].m", 17},  {"Viele[1]", 21},    {"Viele[1].a", 21},  {"Viele[1].b", 22},
      {"Viele[1].m", 23},  {"Zeilen", 27},      {"Spalten", 30},     {"Anzahl", 34},
      {"Zweite", 0},       {"Erste", 1}};
  for (const auto& [name, reg] : erwartet) {
    ASSERT_TRUE(karte.count(name)) << name;
    EXPECT_EQ(karte.at(name), reg) << name;
  }
  // Each description names class, type and size.
  struct Fall {
    const char* Name;
    D3DXREGISTER_SET Satz;
    UINT Anzahl;
    D3DXPARAMETER_CLASS Klasse;
    D3DXPARAMETER_TYPE Typ;
    UINT Zeilen, Spalten, Elemente;
  };
  const Fall faelle[] = {
      {"Welt", D3DXRS_FLOAT4, 4, D3DXPC_MATRIX_COLUMNS, D3DXPT_FLOAT, 4, 4, 1},
      {"Licht", D3DXRS_FLOAT4, 1, D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 3, 1},
      {"Staerke", D3DXRS_FLOAT4, 1, D3DXPC_SCALAR, D3DXPT_FLOAT, 1, 1, 1},
      {"Werte", D3DXRS_FLOAT4, 3, D3DXPC_SCALAR, D3DXPT_FLOAT, 1, 1, 3},
      {"Viele", D3DXRS_FLOAT4, 12, D3DXPC_STRUCT, D3DXPT_VOID, 1, 1, 2},
      {"Zeilen", D3DXRS_FLOAT4, 3, D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 3, 4, 1},
      {"Spalten", D3DXRS_FLOAT4, 4, D3DXPC_MATRIX_COLUMNS, D3DXPT_FLOAT, 3, 4, 1},
      {"Anzahl", D3DXRS_FLOAT4, 1, D3DXPC_SCALAR, D3DXPT_INT, 1, 1, 1},
      {"Zweite", D3DXRS_SAMPLER, 1, D3DXPC_OBJECT, D3DXPT_SAMPLER2D, 1, 1, 1},
      {"Erste", D3DXRS_SAMPLER, 1, D3DXPC_OBJECT, D3DXPT_SAMPLERCUBE, 1, 1, 1},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Name);
    D3DXCONSTANT_DESC d{};
    UINT anzahl = 1;
    ASSERT_EQ(t.Tabelle->GetConstantDesc(f.Name, &d, &anzahl), D3D_OK);
    EXPECT_EQ(d.RegisterSet, f.Satz);
    EXPECT_EQ(d.RegisterCount, f.Anzahl);
    EXPECT_EQ(d.Class, f.Klasse);
    EXPECT_EQ(d.Type, f.Typ);
    EXPECT_EQ(d.Rows, f.Zeilen);
    EXPECT_EQ(d.Columns, f.Spalten);
    EXPECT_EQ(d.Elements, f.Elemente);
  }
  EXPECT_EQ(t.Tabelle->GetSamplerIndex("Erste"), 1u);
  EXPECT_EQ(t.Tabelle->GetSamplerIndex("Licht"), static_cast<UINT>(-1));
}

TEST(HlslKonstanten, HandlesUndNamenFuehrenZumSelbenEintrag) {
  auto t = Uebersetze(Konstanten, "ps_3_0");
  ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  ID3DXConstantTable* tab = t.Tabelle.get();
  const D3DXHANDLE viele = tab->GetConstantByName(nullptr, "Viele");
  ASSERT_NE(viele, nullptr);
  const D3DXHANDLE zweites = tab->GetConstantElement(viele, 1);
  ASSERT_NE(zweites, nullptr);
  const D3DXHANDLE b = tab->GetConstantByName(zweites, "b");
  EXPECT_EQ(b, tab->GetConstantByName(nullptr, "Viele[1].b"));
  D3DXCONSTANT_DESC d{};
  ASSERT_EQ(tab->GetConstantDesc(b, &d, nullptr), D3D_OK);
  EXPECT_EQ(d.RegisterIndex, 22u);
  // Out of range and unknown names give no handle rather than a stray one.
  EXPECT_EQ(tab->GetConstantElement(viele, 2), nullptr);
  EXPECT_EQ(tab->GetConstant(nullptr, 1000), nullptr);
  EXPECT_EQ(tab->GetConstant(viele, 3), nullptr);
  for (const char* falsch : {"Gibtsnicht", "Viele[", "Viele[x]", "Viele[9].a", "Eins.", "Eins.z",
                             "Werte[1].a", ""})
    EXPECT_EQ(tab->GetConstantByName(nullptr, falsch), nullptr) << falsch;
  EXPECT_EQ(tab->GetConstantDesc("Gibtsnicht", &d, nullptr), D3DERR_INVALIDCALL);
}

// Which copies carry a register into the block: (offset, bytes) per register.
std::map<UINT, std::pair<UINT, UINT>> KopienJeRegister(const TShaderCode& code) {
  std::map<UINT, std::pair<UINT, UINT>> je;
  for (const auto& k : code.Kopien) {
    for (UINT r = 0; r * 16 < k.Bytes; ++r)
      je[k.Register + r] = {k.Versatz + r * 16, std::min<UINT>(16, k.Bytes - r * 16)};
  }
  return je;
}

TEST(HlslKonstanten, KleineKonstantenTeilenSichEinenSlotMitEigenenRegistern) {
  auto t = Uebersetze(Konstanten, "ps_3_0");
  ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
  ASSERT_TRUE(t.Code);
  const auto je = KopienJeRegister(*t.Code);
  // The float3 (c4) and the float (c5) share the slot at byte 64.
  EXPECT_EQ(je.at(4), std::make_pair(64u, 12u));
  EXPECT_EQ(je.at(5), std::make_pair(76u, 4u));
  // The matrix's four registers are four 16-byte rows in a row.
  for (UINT r = 0; r < 4; ++r) EXPECT_EQ(je.at(r), std::make_pair(r * 16, 16u));
  // Array elements each take a 16-byte slot; a structure packs its small members.
  EXPECT_EQ(je.at(6).first + 32, je.at(8).first);
  EXPECT_EQ(je.at(9).first + 8, je.at(10).first);
  // The row_major float3x4 is stored in 3 rows of 4, the column_major one in 4 rows of 3.
  EXPECT_EQ(je.at(27).second, 16u);
  EXPECT_EQ(je.at(30).second, 12u);
  // The int converts from the float register; such copies stay one register long.
  bool intGefunden = false;
  for (const auto& k : t.Code->Kopien)
    if (k.Register == 34) {
      intGefunden = true;
      EXPECT_EQ(k.Umwandlung, TShaderCode::Kopie::NachInt);
      EXPECT_EQ(k.Bytes, 4u);
    }
  EXPECT_TRUE(intGefunden);
  // No copy writes outside the block, and no two copies overlap.
  std::vector<int> belegt(t.Code->BlockBytes, 0);
  for (const auto& k : t.Code->Kopien) {
    ASSERT_LE(k.Versatz + k.Bytes, t.Code->BlockBytes);
    for (UINT b = k.Versatz; b < k.Versatz + k.Bytes; ++b) EXPECT_EQ(++belegt[b], 1) << b;
  }
}

TEST(HlslKonstanten, RegistergrenzenJeStufe) {
  struct Fall {
    const char* Profil;
    std::string Deklaration;
    bool Erfolg;
  };
  const std::string vsRumpf =
      "void main(float3 p : POSITION0, out float4 o : POSITION0) { o = float4(p, 1) + X; }\n";
  const std::string psRumpf = "float4 main() : COLOR0 { return X; }\n";
  const Fall faelle[] = {
      {"vs_3_0", "float4 a[256];\n#define X a[255]\n", true},
      {"vs_3_0", "float4 a[257];\n#define X a[256]\n", false},
      {"vs_3_0", "float4x4 m[64];\n#define X m[63][0]\n", true},
      {"vs_3_0", "float4x4 m[64]; float b;\n#define X (m[63][0] + b)\n", false},
      {"ps_3_0", "float4 a[224];\n#define X a[223]\n", true},
      {"ps_3_0", "float4 a[225];\n#define X a[0]\n", false},
      {"ps_3_0", "float4 a[100000000];\n#define X a[0]\n", false},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Deklaration);
    const bool vertex = f.Profil[0] == 'v';
    auto t = Uebersetze(f.Deklaration + (vertex ? vsRumpf : psRumpf), f.Profil);
    EXPECT_EQ(t.Ergebnis == D3D_OK, f.Erfolg) << t.Meldungen;
    if (!f.Erfolg) {
      EXPECT_NE(t.Meldungen.find("ERROR"), std::string::npos);
      EXPECT_FALSE(t.Code);
      EXPECT_FALSE(t.Tabelle);
    }
  }
}

TEST(HlslKonstanten, SamplergrenzenJeStufe) {
  auto samplerQuelle = [](int anzahl, bool vertex) {
    std::string q, summe = "0";
    for (int i = 0; i < anzahl; ++i) {
      q += "sampler2D s" + std::to_string(i) + ";\n";
      summe += " + tex2Dlod(s" + std::to_string(i) + ", float4(0, 0, 0, 0))";
    }
    if (vertex)
      return q + "void main(float3 p : POSITION0, out float4 o : POSITION0) { o = " + summe + "; }\n";
    return q + "float4 main() : COLOR0 { return " + summe + "; }\n";
  };
  EXPECT_EQ(Uebersetze(samplerQuelle(4, true), "vs_3_0").Ergebnis, D3D_OK);
  EXPECT_EQ(Uebersetze(samplerQuelle(5, true), "vs_3_0").Ergebnis, E_FAIL);
  auto voll = Uebersetze(samplerQuelle(16, false), "ps_3_0");
  ASSERT_EQ(voll.Ergebnis, D3D_OK) << voll.Meldungen;
  EXPECT_EQ(voll.Code->Samplers.back().Register, 15u);
  EXPECT_EQ(Uebersetze(samplerQuelle(17, false), "ps_3_0").Ergebnis, E_FAIL);
}

// As Direct3D 9's compiler does: register(cN) and register(sN) are kept, constants and
// samplers the shader never reads stay out of the table, the others fill the lowest free
// registers in declaration order.
TEST(HlslKonstanten, FesteRegisterUndUnbenutzteKonstanten) {
  struct Fall {
    std::string Deklarationen;
    std::string Gelesen;  // what the pixel shader returns
    std::map<std::string, UINT> Register;  // the whole table
  };
  const Fall faelle[] = {
      {"float4 a; float4 b : register(c5); float4 c;", "a + b + c",
       {{"a", 0}, {"b", 5}, {"c", 1}}},
      {"float4 nie; float4 a; float4 auchNie; float4 b;", "a + b", {{"a", 0}, {"b", 1}}},
      // A fixed register in the way: a two-register constant goes to the next free pair.
      {"float4 a : register(c1); float2x4 m; float4 b;", "a + m[0] + m[1] + b",
       {{"a", 1}, {"m", 2}, {"b", 0}}},
      {"float4 a; float4 w[3] : register(c10); float4 nie : register(c0);", "a + w[2]",
       {{"a", 0}, {"w", 10}, {"w[0]", 10}, {"w[1]", 11}, {"w[2]", 12}}},
      {"sampler2D nie; sampler2D b : register(s3); sampler2D c;",
       "tex2D(b, float2(0, 0)) + tex2D(c, float2(0, 0))", {{"b", 3}, {"c", 0}}},
      {"sampler2D a : register(s1); sampler2D f[2];",
       "tex2D(a, float2(0, 0)) + tex2D(f[1], float2(0, 0))",
       {{"a", 1}, {"f", 2}, {"f[0]", 2}, {"f[1]", 3}}},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.Deklarationen);
    auto t = Uebersetze(f.Deklarationen + "\nfloat4 main() : COLOR0 { return " + f.Gelesen + "; }\n",
                        "ps_3_0");
    ASSERT_EQ(t.Ergebnis, D3D_OK) << t.Meldungen;
    EXPECT_EQ(Karte(t.Tabelle.get()), f.Register);
    // Every copy starts at a register of a constant in the table.
    for (const auto& k : t.Code->Kopien) {
      bool bekannt = false;
      for (const auto& [name, reg] : f.Register) bekannt = bekannt || (k.Register >= reg && k.Register < reg + 4);
      EXPECT_TRUE(bekannt) << "copy from c" << k.Register;
    }
    for (const auto& s : t.Code->Samplers) {
      const std::string name = s.Name.substr(std::string("weilerbau_ps_").size());
      ASSERT_TRUE(f.Register.count(name)) << s.Name;
      EXPECT_EQ(s.Register, f.Register.at(name)) << s.Name;
    }
  }
}

TEST(HlslKonstanten, FesteRegisterDieNichtPassenSindFehler) {
  const std::pair<const char*, const char*> faelle[] = {
      {"float4 a : register(c3); float4 b : register(c3);", "a + b"},
      {"float4x4 m : register(c2); float4 b : register(c4);", "m[0] + b"},
      {"float4 a : register(c223); float2x4 m : register(c222);", "a + m[1]"},
      {"float4 w[4] : register(c222);", "w[3]"},
      {"sampler2D a : register(s2); sampler2D b : register(s2);",
       "tex2D(a, float2(0, 0)) + tex2D(b, float2(0, 0))"},
      {"sampler2D a : register(s16);", "tex2D(a, float2(0, 0))"},
  };
  for (const auto& [deklarationen, gelesen] : faelle) {
    SCOPED_TRACE(deklarationen);
    auto t = Uebersetze(std::string(deklarationen) + "\nfloat4 main() : COLOR0 { return " +
                            gelesen + "; }\n",
                        "ps_3_0");
    EXPECT_EQ(t.Ergebnis, E_FAIL);
    EXPECT_NE(t.Meldungen.find("ERROR"), std::string::npos) << t.Meldungen;
    EXPECT_FALSE(t.Tabelle);
  }
}

}  // namespace
