// Entry, tag list, messages, results and the reading of the input.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/praeprozessor/pp_lauf.h"

namespace {

TEST(PraeprozessorTags, UnbekannterTagMeldetUndWendetDenRestAn) {
  PPPruefe({"Tag 99", "X\n", "7\n", "Warning: Internal error!\n"}, {{99, 0}, {PPTAG_DEFINIERE, PreprocessorWert("X=7")}});
}

TEST(PraeprozessorTags, EinundzwanzigstesIncludeVerzeichnisWirdAbgelehnt) {
  std::vector<PreprocessorTag> tags;
  for (int i = 0; i < 21; ++i) tags.push_back({PPTAG_INCLUDE_VERZEICHNIS, PreprocessorWert("inc")});
  tags.push_back({PPTAG_DEFINIERE, PreprocessorWert("NACH=1")});  // behind the refused one: not applied
  PPLauf l = PPLaufe("NACH\n", tags);
  EXPECT_NE(l.meldungen.find("Fatal: Too many include directories"), std::string::npos) << l.meldungen;
  EXPECT_EQ(l.ausgabe, "NACH\n");
  EXPECT_EQ(l.ergebnis, 1);
}

// The caller's "name=value" text must stay untouched: a string literal in read-only memory
// would crash when written, and a caller's buffer must not be cut.
TEST(PraeprozessorTags, DefinitionLaesstDenTextDesAufrufersUnveraendert) {
  struct Fall { const char* tag; const char* eingabe; const char* erwartet; };
  const Fall faelle[] = {
      {"NAME", "NAME\n", "1\n"},
      {"WERT=3 + 4", "WERT\n", "3 + 4\n"},
      {"LEER=", "[LEER]\n", "[]\n"},
      {"SELBST=SELBST", "SELBST\n", "SELBST\n"},
  };
  for (const Fall& f : faelle) {
    char kopie[64];
    std::snprintf(kopie, sizeof(kopie), "%s", f.tag);
    EXPECT_EQ(PPLaufe(f.eingabe, {{PPTAG_DEFINIERE, PreprocessorWert(f.tag)}}).ausgabe, f.erwartet) << f.tag;
    EXPECT_STREQ(kopie, f.tag);
  }
}

TEST(PraeprozessorTags, GroessentabelleGiltNurFuerEinenLauf) {
  const char* text = "#if sizeof(int) == 2 && sizeof(char *) == 2\nzwei\n#else\nvier\n#endif\n";
  PPPruefe({"zwei Tabellen", text, "zwei\n", ""}, {{PPTAG_GROESSEN, PreprocessorWert("1 2 2 4 4 8")},
                                                    {PPTAG_GROESSEN, PreprocessorWert("*2,2,2,2,2,2")}});
  PPPruefe({"danach wieder die eigene", text, "vier\n", ""});
}

TEST(PraeprozessorTags, GroessentabelleMitFalscherAnzahl) {
  PPPruefe({"zu wenige", "#if sizeof(short) == 3\nja\n#endif\n", "ja\n", "too few values specified to sizeof"},
           {{PPTAG_GROESSEN, PreprocessorWert("1 3")}});
  PPPruefe({"zu viele", "#if sizeof(char) == 1\nja\n#endif\n", "ja\n",
            "too many values specified to sizeof! Not used."}, {{PPTAG_GROESSEN, PreprocessorWert("9 9 9 9 9 9 9")}});
}

TEST(PraeprozessorErgebnis, FehlerWarnungenUndAbbrueche) {
  struct Fall { const char* name; std::string text; std::vector<PreprocessorTag> tags; int erwartet; };
  std::string tief;
  for (int i = 0; i < 32; ++i) tief += "#if 1\n";
  const Fall faelle[] = {
      {"ein Fehler", "#error x\n", {}, 1},
      {"ein Fehler, Tag 3", "#error x\n", {{PPTAG_FEHLER_IGNORIEREN, 1}}, 0},
      {"nur Warnungen", "#if 1/0\n#endif\n#include <fehlt.h>\n", {}, 0},
      {"Abbruch durch schwere Meldung", tief, {}, 1},
      {"unbeendeter Text", "a \"b\nc\n", {}, 1},
      {"sauber", "a b c\n", {}, 0},
  };
  for (const Fall& f : faelle) EXPECT_EQ(PPLaufe(f.text, f.tags).ergebnis, f.erwartet) << f.name;
}

TEST(PraeprozessorMeldungen, FormUndIncludeSpur) {
  EXPECT_EQ(PPLaufe("a\n#include \"b.h\"\n", {}, {{"b.h", "x\n#error halt\n"}}).meldungen,
            "cpp: \"b.h\", line 2: Error: #error directive encountered\n"
            " from file Lesetext, line 3.\n");
}

// With the input stack already empty, the message must not print a null name.
TEST(PraeprozessorMeldungen, LeererEingabestapelGibtLeerenNamen) {
  EXPECT_EQ(PPLaufe("#if 1\na\n").meldungen, "cpp: \"\", line 3: Error: Inside #ifdef block at end of input, depth = 1\n");
}

TEST(PraeprozessorMeldungen, BannerNurWennEingeschaltet) {
  EXPECT_NE(PPLaufe("a\n", {{PPTAG_BANNER, 1}}).meldungen.find("lumocpp"), std::string::npos);
  EXPECT_EQ(PPLaufe("a\n").meldungen, "");
}

// An include of the main input's name opens a file of that name; it never reads the caller's input again.
TEST(PraeprozessorEingabe, HaupteingabeNichtUeberIhrenNamenErreichbar) {
  PPLauf l = PPLaufe("eins\n#include \"Lesetext\"\nzwei\n", {}, {{"Lesetext", "datei\n"}});
  EXPECT_EQ(l.ausgabe, "eins\ndatei\nzwei\n");
  ASSERT_EQ(l.geoeffnet.size(), 1u);
  EXPECT_EQ(l.geoeffnet[0], "Lesetext");
}

TEST(PraeprozessorEingabe, ZeilenendenUndFortsetzungen) {
  struct Fall { const char* name; const char* text; const char* erwartet; };
  const Fall faelle[] = {
      {"CR LF als Zeilenende", "a\r\nb\r\n", "a\nb\n"},
      {"Backslash CR LF setzt fort", "#define X 1 \\\r\n + 2\r\nX\r\n", "1 + 2\n"},
      {"Backslash LF setzt fort", "ab\\\ncd\n", "abcd\n"},
      {"CR LF in Direktive", "#if 1\r\nja\r\n#endif\r\n", "ja\n"},
      {"Kommentar mit CR LF", "a /* x\r\n y */ b\r\n", "a b\n"},
      {"Zeilenkommentar mit Fortsetzung", "a // x \\\n y\nb\n", "a\nb\n"},
      {"Senkrechter Tab und Seitenvorschub", "a\vb\fc\n", "a b c\n"},
      {"Kommentar zwischen Token", "a/**/b\n", "a b\n"},
      {"Kommentarzeichen in Text", "\"/* x */\" '//'\n", "\"/* x */\" '//'\n"},
  };
  for (const Fall& f : faelle) EXPECT_EQ(PPLaufe(f.text).ausgabe, f.erwartet) << f.name;
}

// Splices, comments and literals that straddle a refill must give the same output at any piece size.
TEST(PraeprozessorEingabe, StueckgroesseAendertNichts) {
  std::string text =
      "#define F(a, b) a ## b + #a\n"
      "#define LANG \\\n  1 + \\\r\n  2\n"
      "/* ein Kommentar\n ueber Zeilen */ F(x, y) LANG\n"
      "\"ein \\\"Text\\\" mit // und /*\" 'c' '\\''\n"
      "#if defined(F) && \\\n  (3 * (2 + 1) == 9)\n"
      "  zahl 0x1F 1.5e-3f 07 // Rest\r\n"
      "#endif\n"
      "wo\\\nrt F(\n 1,\n 2) __LINE__\n"
      "#include \"inc.h\"\n"
      "#include \"ohne.h\"\n"
      "ende";
  for (int i = 0; i < 40; ++i) text += " token" + std::to_string(i) + " /* k */ F(a,b)\n";
  auto lauf = [&](size_t stueck) {
    PPLauf l;
    l.eingabe = text;
    l.stueck = stueck;
    l.zeilenAngaben = true;
    l.dateien["inc.h"] = "inhalt __FILE__\n";
    l.dateien["ohne.h"] = "a /";
    l.Starte();
    return l.ausgabe + "|" + l.meldungen;
  };
  std::string basis = lauf(511);
  EXPECT_NE(basis.find("xy + \"x\" 1 + 2"), std::string::npos) << basis;
  for (size_t stueck : {1, 2, 7}) EXPECT_EQ(lauf(stueck), basis) << "Stueck " << stueck;
}

TEST(PraeprozessorTags, Optionen) {
  struct Fall { const char* name; PreprocessorTag tag; const char* text; const char* erwartet; };
  const Fall faelle[] = {
      {"Kommentare behalten", {PPTAG_KOMMENTARE_BEHALTEN, 1}, "a /* k */ b // z\n#if 0\n/* weg */\n#endif\n",
       "a /* k */ b // z\n"},
      {"kein Zeilenkommentar", {PPTAG_KEINE_ZEILENKOMMENTARE, 1}, "a // b\n", "a // b\n"},
      {"verschachtelte Kommentare", {PPTAG_VERSCHACHTELTE_KOMMENTARE, 1}, "a /* x /* y */ z */ b\n", "a b\n"},
      {"flache Kommentare", {PPTAG_ENDE, 0}, "a /* x /* y */ b\n", "a b\n"},
      {"Einrueckung behalten", {PPTAG_EINRUECKUNG_BEHALTEN, 1}, "  \ta  b\n", "  \ta b\n"},
      {"Anfuehrung ignorieren", {PPTAG_ANFUEHRUNG_IGNORIEREN, 1}, "#define A 1\n\"A\" 'A\n", "\"1\" '1\n"},
      {"Ausgabe aus", {PPTAG_AUSGABE_AN, 0}, "a\n", ""},
  };
  for (const Fall& f : faelle) EXPECT_EQ(PPLaufe(f.text, {f.tag}).ausgabe, f.erwartet) << f.name;
  PPPruefe({"Schachtelung melden", "a /* x /* y */ b\n", "a b\n", "Warning: Nested comment"},
           {{PPTAG_WARNE_KOMMENTARSCHACHTELUNG, 1}});
  PPLauf l = PPLaufe("#include \"da.h\"\n#include \"fehlt.h\"\n",
                     {{PPTAG_MELDE_INCLUDES, 1}, {PPTAG_WARNE_FEHLENDES_INCLUDE, 0}}, {{"da.h", "x\n"}});
  EXPECT_EQ(l.meldungen, "cpp: included \"da.h\"\n");
}

TEST(PraeprozessorZeilen, ZeilenangabenUndLeerzeilen) {
  struct Fall { const char* name; const char* text; const char* erwartet; };
  const Fall faelle[] = {
      {"erste Zeile", "a\n", "#line 1 \"Lesetext\"\na\n"},
      {"vier uebersprungene Zeilen als Leerzeilen", "a\n#if 0\n\n\n#endif\nb\n",
       "#line 1 \"Lesetext\"\na\n\n\n\n\nb\n"},
      {"fuenf uebersprungene Zeilen als Angabe", "a\n#if 0\n\n\n\n#endif\nb\n",
       "#line 1 \"Lesetext\"\na\n#line 7\nb\n"},
      {"#line mit Datei", "a\n# 40 \"x.h\"\nb\n__LINE__ __FILE__\n",
       "#line 1 \"Lesetext\"\na\n#line 40 \"x.h\"\nb\n41 \"x.h\"\n"},
      {"#line mit Makro", "#define N 10\n#line N\nb\n", "#line 10 \"Lesetext\"\nb\n"},
      // Up to the top of the line range no count runs over, and a gap is caught up by at most
      // four newlines, else by a directive.
      {"Zeilenenden oben im Bereich", "#line 2147483646\na\nb\nc\n", "#line 2147483646 \"Lesetext\"\na\nb\nc\n"},
      {"Direktivzeilen oben im Bereich", "#line 2147483646\n#pragma a\n#pragma b\nc\n",
       "#line 2147483646 \"Lesetext\"\n#pragma a\n#pragma b\nc\n"},
      {"Luecke ueber den ganzen Bereich", "#line 2147483647\na\nb\n#line 1\nc\n#line 2147483647\nd\n",
       "#line 2147483647 \"Lesetext\"\na\nb\n#line 1\nc\n#line 2147483647\nd\n"},
      {"vier Leerzeilen oben im Bereich", "#line 2147483640\na\n#if 0\n\n\n#endif\nb\n",
       "#line 2147483640 \"Lesetext\"\na\n\n\n\n\nb\n"},
  };
  for (const Fall& f : faelle) {
    PPLauf l;
    l.eingabe = f.text;
    l.zeilenAngaben = true;
    l.Starte();
    EXPECT_EQ(l.ausgabe, f.erwartet) << f.name;
    EXPECT_EQ(l.meldungen, "") << f.name;
  }
}

// Large line numbers from #line, with includes switching between them, must not overflow any count.
TEST(PraeprozessorZeilen, GrosseZeilennummern) {
  std::string text;
  for (int i = 0; i < 5; ++i) text += "#line 999999999\n#include \"b.h\"\n";
  PPPruefe({"fuenfmal", text + "__LINE__\n", "b 1\nb 1\nb 1\nb 1\nb 1\n1000000000\n", nullptr,
            {{"b.h", "b __LINE__\n"}}});
}

// A line number is read whole; one that does not fit is refused and the count goes on as
// before. The largest one C allows is taken, and the count stays there.
TEST(PraeprozessorZeilen, ZehnstelligeZeilennummern) {
  const PPFall faelle[] = {
      {"zehn Stellen", "#line 1000000000\n__LINE__\n", "1000000000\n", ""},
      {"2147483646", "#line 2147483646\n__LINE__\n", "2147483646\n", ""},
      {"groesste angenommene", "#line 2147483647\n__LINE__\n__LINE__\n", "2147483647\n2147483647\n", ""},
      {"eins zu gross", "#line 2147483648\n__LINE__\n", "2\n", "Unexpected text in #control line ignored"},
      {"passt nicht", "#line 99999999999\n__LINE__\n", "2\n",
       "Unexpected text in #control line ignored"},
  };
  for (const PPFall& f : faelle) PPPruefe(f);
}

TEST(PraeprozessorZeilen, ZeilenangabeBeiDateiwechsel) {
  PPLauf l;
  l.eingabe = "a\n#include \"b.h\"\nc\n";
  l.dateien["b.h"] = "b\n";
  l.zeilenAngaben = true;
  l.tags = {{PPTAG_ZEILE_SCHLUESSELWORT, 0}};
  l.Starte();
  EXPECT_EQ(l.ausgabe, "# 1 \"Lesetext\"\na\n# 1 \"b.h\"\nb\n# 3 \"Lesetext\"\nc\n");
}

// The shader translation's exact tag set: defines, a prelude and the source as three pieces
// read through the input callback, the result through the output callback, messages through
// the error callback.
struct ShaderLesen {
  const char* teile[3];
  int teil = 0;
  size_t pos = 0;
  std::string ausgabe, log;
};

char* ShaderLies(char* puffer, int groesse, void* nutzer, FILE*) {
  auto* z = static_cast<ShaderLesen*>(nutzer);
  while (z->teil < 3 && z->teile[z->teil][z->pos] == 0) {
    z->teil++;
    z->pos = 0;
  }
  if (z->teil >= 3) return nullptr;
  size_t n = strnlen(z->teile[z->teil] + z->pos, static_cast<size_t>(groesse - 1));
  std::memcpy(puffer, z->teile[z->teil] + z->pos, n);
  puffer[n] = 0;
  z->pos += n;
  return puffer;
}
void ShaderSchreibe(int c, void* nutzer) { static_cast<ShaderLesen*>(nutzer)->ausgabe += static_cast<char>(c); }
void ShaderMelde(void* nutzer, const char* format, va_list argumente) {
  char text[1024];
  std::vsnprintf(text, sizeof(text), format, argumente);
  static_cast<ShaderLesen*>(nutzer)->log += text;
}
FILE* ShaderOeffne(const char*, const char*) { return nullptr; }

TEST(PraeprozessorShader, TagSatzDerShaderUebersetzung) {
  const char* defines = "#define SCHATTEN 1\n#define STUFEN 4\n";
  const char* vorspann =
      "#define GRAFIK_DIRECTX 9\n"
      "#define DEF_SAMPLER_2D( name) sampler2D name\n"
      "#define SAMPLE_2D( name, tex) tex2D( name, tex)\n"
      "#define SAMPLE_2D_LOD( name, tex, lod) tex2Dlod( name, float4( tex.xy, 0.0f, lod))\n"
      "#define TEXKOORD( tex) tex\n"
      "float2 TEXKOORD_RT( float2 tex) { return float2( tex.x, 1.0f - tex.y); }\n"
      "#define CONST static const\n"
      "#define CONST_ARRAY_START( typ, name) static const typ name[] = {\n"
      "#define CONST_ARRAY_ENDE }\n"
      "float3 MachV3( float x) { return float3( x, x, x); }\n"
      "#line 1\n";
  const char* quelle =
      "$rein float2 uv;\n"
      "$raus float4 farbe;\n"
      "DEF_SAMPLER_2D( bild);\n"
      "CONST float OFF = -0.5f;\n"
      "CONST_ARRAY_START( float, gewichte) 0.25f, 0.5f CONST_ARRAY_ENDE;\n"
      "$main()\n"
      "{\n"
      "#ifdef SCHATTEN\n"
      "  farbe = SAMPLE_2D_LOD( bild, TEXKOORD( uv), STUFEN) * MachV3( -GRAFIK_DIRECTX).xyzz;\n"
      "#else\n"
      "  farbe = 0;\n"
      "#endif\n"
      "#include \"fehlt.h\"\n"
      "}\n";
  ShaderLesen z;
  z.teile[0] = defines;
  z.teile[1] = vorspann;
  z.teile[2] = quelle;
  PreprocessorTag tags[] = {
      {11, PreprocessorWert("Lesetext")}, {12, PreprocessorWert(&ShaderLies)},
      {13, PreprocessorWert(&ShaderSchreibe)}, {16, PreprocessorWert(&ShaderMelde)},
      {14, PreprocessorWert(&z)}, {15, 0}, {19, 0}, {35, PreprocessorWert(&ShaderOeffne)}, {0, 0}};
  auto zustand = std::make_unique<PreprocessorState>();
  EXPECT_EQ(PreprocessorEntry(tags, zustand.get()), 0);
  EXPECT_EQ(z.ausgabe,
            "float2 TEXKOORD_RT( float2 tex) { return float2( tex.x, 1.0f - tex.y); }\n"
            "float3 MachV3( float x) { return float3( x, x, x); }\n"
            "$rein float2 uv;\n"
            "$raus float4 farbe;\n"
            "sampler2D bild;\n"
            "static const float OFF = -0.5f;\n"
            "static const float gewichte[] = { 0.25f, 0.5f };\n"
            "$main()\n"
            "{\n"
            "farbe = tex2Dlod( bild, float4( uv.xy, 0.0f, 4)) * MachV3( -9).xyzz;\n"
            "}\n");
  // The source counts lines from its own first line.
  EXPECT_EQ(z.log, "cpp: \"Lesetext\", line 13: Warning: Cannot open include file \"fehlt.h\"\n");
}

}  // namespace
