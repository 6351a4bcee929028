// Against GCC's cpp: a corpus that both must preprocess to the same tokens, and the places
// where this preprocessor differs on purpose.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/praeprozessor/pp_lauf.h"

namespace {

const std::string kKorpus = std::string(WEILERBAU_QUELLEN) + "/tests/praeprozessor/korpus";

bool GccDa() {
  static const bool da = std::system("cpp --version > /dev/null 2>&1") == 0;
  return da;
}

std::string Unserer(const std::string& pfad, std::string* meldungen = nullptr) {
  PPLauf l;
  l.eingabe = PPLiesDatei(pfad);
  l.tags = {{PPTAG_EINGABE_NAME, PreprocessorWert(pfad.c_str())},
            {PPTAG_INCLUDE_VERZEICHNIS, PreprocessorWert((kKorpus + "/inc").c_str())},
            {PPTAG_INCLUDE_OEFFNEN, 0}};
  std::string inc = kKorpus + "/inc";
  l.tags[1].value = PreprocessorWert(inc.c_str());
  l.Starte();
  if (meldungen) *meldungen = l.meldungen;
  return l.ausgabe;
}

class PraeprozessorKorpus : public testing::TestWithParam<const char*> {};

TEST_P(PraeprozessorKorpus, GleicheTokenWieGcc) {
  if (!GccDa()) GTEST_SKIP() << "cpp not installed";
  std::string pfad = kKorpus + "/" + GetParam();
  std::string meldungen;
  std::string unser = Unserer(pfad, &meldungen);
  std::string gcc = PPGccCpp(pfad, "-I '" + kKorpus + "/inc'");
  ASSERT_FALSE(gcc.empty());
  EXPECT_EQ(PPTokens(unser), PPTokens(gcc)) << "unser:\n" << unser << "\ngcc:\n" << gcc;
  EXPECT_EQ(meldungen, "");
}

INSTANTIATE_TEST_SUITE_P(Korpus, PraeprozessorKorpus,
                         testing::Values("bedingungen.c", "ausdruecke.c", "makros.c", "text.c",
                                         "kommentare.c", "include.c"));

// Each case: input, this preprocessor's tokens, GCC's tokens.
struct Abweichung {
  const char* name;
  const char* text;
  const char* unser;
  const char* gcc;
};

void PrintTo(const Abweichung& a, std::ostream* aus) { *aus << a.name; }

class PraeprozessorAbweichung : public testing::TestWithParam<Abweichung> {};

TEST_P(PraeprozessorAbweichung, GewollterUnterschied) {
  const Abweichung& a = GetParam();
  // The working directory is a fresh one per test.
  std::string pfad = std::filesystem::current_path().string() + "/" + a.name + ".c";
  FILE* f = std::fopen(pfad.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs(a.text, f);
  std::fclose(f);
  PPLauf l;
  l.eingabe = a.text;
  l.Starte();
  EXPECT_EQ(PPTokens(l.ausgabe), PPTokens(a.unser)) << l.ausgabe << l.meldungen;
  if (GccDa()) {
    EXPECT_EQ(PPTokens(PPGccCpp(pfad)), PPTokens(a.gcc));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Abweichungen, PraeprozessorAbweichung,
    testing::Values(
        Abweichung{"ParameterInLiteral", "#define Q(a) \"a\" 'a'\nQ(x)\n", "\"x\" 'x'", "\"a\" 'a'"},
        Abweichung{"ZweiunddreissigBit", "#if 0x7fffffff + 1 < 0\nja\n#else\nnein\n#endif\n", "ja", "nein"},
        Abweichung{"SizeofImIf", "#if sizeof(int) == 4\nja\n#endif\nx\n", "ja x", "x"},
        Abweichung{"VersionUndPragma", "#version 300\n#pragma eins\nx\n", "#version 300 #pragma eins x",
                   "#pragma eins x"},
        Abweichung{"FehlerhaftesIfIstWahr", "#if 1 +\nja\n#endif\nx\n", "ja x", "x"},
        Abweichung{"FehlendesIncludeWarnt", "#include \"fehlt.h\"\nx\n", "x", ""},
        Abweichung{"NeudefinitionIstFehler", "#define A 1\n#define A 2\nA\n", "2", "2"},
        Abweichung{"PasteMitOperatorAbgelehnt", "#define C(a, b) a##b\nC(x, +=)\n", "x +=", "x+="},
        Abweichung{"ArgumenteOhneVorabExpansion",
                   "#define S(x) #x\n#define XS(x) S(x)\n#define W 42\n#define C(a, b) a##b\n#define XC(a, b) C(a, b)\nXS(W) XC(W, W)\n",
                   "\"W\" WW", "\"42\" 4242"},
        Abweichung{"StringizeMitBackslash", "#define S(a) #a\nS(a\\b)\n", "\"a\\\\b\"", "\"a\\b\""}),
    [](const testing::TestParamInfo<Abweichung>& info) { return std::string(info.param.name); });

TEST(PraeprozessorAbweichungMeldung, NeudefinitionUndFehlendesInclude) {
  PPLauf l;
  l.eingabe = "#define A 1\n#define A 2\n#include \"fehlt.h\"\n";
  EXPECT_EQ(l.Starte(), 1);
  EXPECT_NE(l.meldungen.find("Error: Redefining defined variable \"A\""), std::string::npos);
  EXPECT_NE(l.meldungen.find("Warning: Cannot open include file \"fehlt.h\""), std::string::npos);
}

// A name that comes back through another macro is expanded again until the recursion guard
// stops it; only a macro's own name in its own text is kept from expanding.
TEST(PraeprozessorAbweichungMeldung, MittelbarerSelbstbezug) {
  PPLauf l;
  l.eingabe = "#define A A B\n#define B A\nA\nweiter\n";
  l.Starte();
  EXPECT_EQ(l.ausgabe.substr(0, 4), "A A ");
  EXPECT_NE(l.ausgabe.find("\nweiter\n"), std::string::npos);
  EXPECT_NE(l.meldungen.find("Recursive macro definition of"), std::string::npos);
  if (GccDa()) {
    std::string pfad = std::filesystem::current_path().string() + "/mittelbar.c";
    FILE* f = std::fopen(pfad.c_str(), "wb");
    std::fputs(l.eingabe.c_str(), f);
    std::fclose(f);
    EXPECT_EQ(PPTokens(PPGccCpp(pfad)), PPTokens("A A weiter"));
  }
}

// The 511-character limits: a longer replacement list or a longer expansion is refused.
TEST(PraeprozessorAbweichungMeldung, GrenzeVon511Zeichen) {
  struct Fall { int laenge; bool ok; };
  for (Fall f : {Fall{511, true}, Fall{512, false}}) {
    PPLauf l;
    l.eingabe = "#define L " + std::string(static_cast<size_t>(f.laenge), 'x') + "\nL\n";
    l.Starte();
    EXPECT_EQ(l.ausgabe.size() == static_cast<size_t>(f.laenge) + 1, f.ok) << f.laenge;
  }
}

}  // namespace
