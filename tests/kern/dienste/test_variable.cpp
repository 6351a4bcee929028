// Console variables: typed assignment, check callbacks, the "set" command and "spiel.cfg".
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <functional>

#include "hilfen.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "tests/gemeinsam/xml_bombe.h"

using namespace testhilfe;

// Counts the fsync calls on folders: a save is durable only when its rename reached the disk.
int gOrdnerSyncs = 0;
extern "C" int fsync(int fd) {
  struct stat info{};
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) ++gOrdnerSyncs;
  return static_cast<int>(syscall(SYS_fsync, fd));
}

namespace {

int gPruefAufrufe[2] = {0, 0};
std::string gLetzterGepruefterText;

// Refuses negative values; counts its calls by phase.
bool NurPositiv(Quarz_Variable&, uint32_t phase, std::string* text) {
  gPruefAufrufe[phase]++;
  gLetzterGepruefterText = *text;
  return phase == 1 || std::strtol(text->c_str(), nullptr, 10) >= 0;
}

Quarz_Variable test_text("test_text", 0, "leer");
Quarz_Variable test_zahl("test_zahl", Quarz_Variable::GESPEICHERT, int32_t{5});
Quarz_Variable test_bool("test_bool", Quarz_Variable::GESPEICHERT, false);
Quarz_Variable test_vektor("test_vektor", Quarz_Variable::VEKTOR3, Quarz_Variable::GESPEICHERT, "0 0 0");
Quarz_Variable test_farbe("test_farbe", Quarz_Variable::VEKTOR4, 0, "1 1 1");
Quarz_Variable test_kommazahl("test_kommazahl", Quarz_Variable::FLOAT, 0, "0.5");
Quarz_Variable test_geprueft("test_geprueft", Quarz_Variable::GESPEICHERT, int32_t{10}, NurPositiv);

const char* const kGespeicherteNamen[] = {"sprache", "t_debug", "t_logfile", "test_bool",
                                          "test_geprueft", "test_vektor", "test_zahl"};

}  // namespace

TEST(Variable, StandardwerteInKanonischerFormUndOhnePruefaufruf) {
  EXPECT_EQ(test_text.mText, "leer");
  EXPECT_EQ(test_zahl.mText, "5");
  EXPECT_EQ(test_bool.mText, "nein");
  EXPECT_EQ(test_vektor.mText, "0.000000, 0.000000, 0.000000");
  EXPECT_EQ(test_farbe.mText, "1.000000, 1.000000, 1.000000, 1.000000");
  EXPECT_EQ(test_kommazahl.mText, "0.500000");
  EXPECT_EQ(test_geprueft.mInt, 10);
  EXPECT_EQ(gPruefAufrufe[0] + gPruefAufrufe[1], 0);  // the default never reaches the check
}

TEST(Variable, BoolTexte) {
  struct Fall { const char* text; bool erwartet; };
  const Fall faelle[] = {{"ja", true},    {"an", true},   {"on", true},  {"true", true},
                         {"1", true},     {"2", true},    {"nein", false}, {"off", false},
                         {"0", false},    {"yes", false}, {"", false},   {"-3", false},
                         {"JA", false},   {" ja", false}};
  for (const Fall& f : faelle) {
    test_bool.SetzeText(f.text);
    EXPECT_EQ(test_bool.mBool, f.erwartet) << '"' << f.text << '"';
    EXPECT_EQ(test_bool.mText, f.erwartet ? "ja" : "nein") << '"' << f.text << '"';
  }
}

TEST(Variable, GanzzahlenWerdenGelesenUndBeiUeberlaufBegrenzt) {
  struct Fall { const char* text; int32_t erwartet; };
  const Fall faelle[] = {{"42", 42},           {"  -17xyz", -17},      {"abc", 0},
                         {"", 0},              {"2147483647", INT32_MAX}, {"2147483648", INT32_MAX},
                         {"99999999999999999999", INT32_MAX}, {"-2147483649", INT32_MIN},
                         {"-99999999999999999999", INT32_MIN}, {"3.9", 3}};
  for (const Fall& f : faelle) {
    test_zahl.SetzeText(f.text);
    EXPECT_EQ(test_zahl.mInt, f.erwartet) << '"' << f.text << '"';
    EXPECT_EQ(test_zahl.mText, std::to_string(f.erwartet));
    EXPECT_EQ(test_zahl.mBool, f.erwartet > 0);
  }
}

TEST(Variable, AlleFormenNebeneinander) {
  test_vektor.SetzeText("1, 2.5, -3");
  EXPECT_EQ(test_vektor.mText, "1.000000, 2.500000, -3.000000");
  EXPECT_FLOAT_EQ(test_vektor.mVektor3[1], 2.5f);
  EXPECT_EQ(test_vektor.mInt, 1);
  EXPECT_FLOAT_EQ(test_vektor.mFloat, 1.0f);
  EXPECT_FLOAT_EQ(test_vektor.mVektor4[3], 1.0f);  // fourth missing: 1

  test_farbe.SetzeText("0.5 0.25");
  EXPECT_EQ(test_farbe.mText, "0.500000, 0.250000, 0.000000, 1.000000");
  test_farbe.SetzeText("0 0 0 0");
  EXPECT_FLOAT_EQ(test_farbe.mVektor4[3], 0.0f);

  test_zahl.SetzeInt(-4);
  EXPECT_EQ(test_zahl.mText, "-4");
  EXPECT_FLOAT_EQ(test_zahl.mFloat, -4.0f);
  EXPECT_FALSE(test_zahl.mBool);
  test_bool.SetzeBool(true);
  EXPECT_EQ(test_bool.mInt, 1);
  EXPECT_EQ(test_bool.mText, "ja");
}

TEST(Variable, PruefungKannAblehnen) {
  gPruefAufrufe[0] = gPruefAufrufe[1] = 0;
  EXPECT_TRUE(test_geprueft.SetzeText("7"));
  EXPECT_EQ(gPruefAufrufe[0], 1);
  EXPECT_EQ(gPruefAufrufe[1], 1);
  EXPECT_FALSE(test_geprueft.SetzeText("-1"));
  EXPECT_FALSE(test_geprueft.SetzeInt(-5));
  EXPECT_EQ(gLetzterGepruefterText, "-5");
  EXPECT_EQ(test_geprueft.mInt, 7);
  EXPECT_EQ(test_geprueft.mText, "7");
  EXPECT_EQ(gPruefAufrufe[1], 1);  // no after-phase for a refused change
}

// ---- the "set" command -------------------------------------------------------------------

using SetBefehl = KonsolenTest;

TEST_F(SetBefehl, OhneArgumentListetAlleVariablenNachName) {
  const auto texte = Fuehre("set");
  ASSERT_GE(texte.size(), 3u);
  EXPECT_EQ(texte[0], ">set");
  EXPECT_EQ(texte[1], "Definierte Variablen sind:");
  EXPECT_EQ(texte.size(), 2 + Quarz_Variable::Variablen()->size());
  EXPECT_EQ(texte[2], "i - d** - sprache: -1");
  auto steht = [&](const std::string& z) { return std::find(texte.begin(), texte.end(), z) != texte.end(); };
  EXPECT_TRUE(steht("s - *n* - t_konfig: programm.cfg"));
  EXPECT_TRUE(steht("b - dn* - t_debug: ja"));
  EXPECT_TRUE(steht("i - d*f - test_geprueft: " + test_geprueft.mText));
  EXPECT_TRUE(steht("V - d** - test_vektor: " + test_vektor.mText));
  EXPECT_TRUE(steht("F - *** - test_farbe: " + test_farbe.mText));
  EXPECT_TRUE(steht("f - *** - test_kommazahl: " + test_kommazahl.mText));
  // Trailing blanks tokenize to nothing: the listing again.
  EXPECT_EQ(Fuehre("set    ")[1], "Definierte Variablen sind:");
}

TEST_F(SetBefehl, ZeigenUndUnbekannt) {
  EXPECT_EQ(Fuehre("set t_konfig")[1], "t_konfig = programm.cfg");
  EXPECT_EQ(Fuehre("set gibtsnicht")[1], "!Variable gibtsnicht ist nicht definiert.");
  EXPECT_EQ(Fuehre("set gibtsnicht 1")[1], "!Variable gibtsnicht ist nicht definiert.");
}

TEST_F(SetBefehl, ZuweisungVerbindetTokensMitKomma) {
  EXPECT_EQ(Fuehre("set test_vektor 1 2 3")[1],
            "Variable \"test_vektor\" auf Wert \"1.000000, 2.000000, 3.000000\" gesetzt.");
  Fuehre("set test_text \"zwei Worte\"");
  EXPECT_EQ(test_text.mText, "zwei Worte");
  Fuehre("set test_text a b");
  EXPECT_EQ(test_text.mText, "a, b");
}

TEST_F(SetBefehl, SchreibschutzUndDebugModus) {
  ASSERT_TRUE(t_debug.mBool);
  auto texte = Fuehre("set t_debug off");
  EXPECT_EQ(texte[1], "?Debug-Modus: schreibgeschützte Variable \"t_debug\" geändert.");
  EXPECT_EQ(texte[2], "Variable \"t_debug\" auf Wert \"nein\" gesetzt.");
  EXPECT_FALSE(t_debug.mBool);
  texte = Fuehre("set t_logfile off");
  EXPECT_EQ(texte[1], "!Zuweisung unmöglich: Variable \"t_logfile\" ist schreibgeschützt.");
  EXPECT_EQ(texte.size(), 2u);
  EXPECT_TRUE(t_logfile.mBool);
}

// A value the check refuses: the usual line, with the text the variable kept.
TEST_F(SetBefehl, AbgelehnterWertZeigtDenAltenText) {
  test_geprueft.SetzeInt(3);
  EXPECT_EQ(Fuehre("set test_geprueft -8"),
            (std::vector<std::string>{">set test_geprueft -8", "Variable \"test_geprueft\" auf Wert \"3\" gesetzt."}));
  EXPECT_EQ(test_geprueft.mInt, 3);
}

// ---- the configuration file ----------------------------------------------------------------

class Konfig : public ::testing::Test {
protected:
  Sammler sammler;
  LaufendesLog log;
};

TEST_F(Konfig, FehlendeDateiLaesstStandardwerte) {
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_TRUE(sammler.Enthaelt("?Keine Konfig-Datei gefunden, benutze Standardwerte."));
  EXPECT_EQ(test_zahl.mInt, 5);
  EXPECT_EQ(Quarz_Variable::KonfigPfad(), "./spiel.cfg");
}

TEST_F(Konfig, RundreiseInNamensfolgeOhneBom) {
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  test_zahl.SetzeInt(77);
  test_vektor.SetzeText("1 2 3");
  test_text.SetzeText("wird nicht gespeichert");
  ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());

  const std::string inhalt = LiesDatei("spiel.cfg");
  EXPECT_EQ(inhalt.rfind("<?xml version=\"1.0\" ?>", 0), 0u) << inhalt;  // no byte-order mark
  EXPECT_NE(inhalt.find("<config>"), std::string::npos);
  EXPECT_EQ(inhalt.find("test_text"), std::string::npos);
  size_t letzte = 0;
  for (const char* name : kGespeicherteNamen) {
    const size_t pos = inhalt.find(std::string("name=\"") + name + "\"");
    ASSERT_NE(pos, std::string::npos) << name;
    EXPECT_GT(pos, letzte) << name;
    letzte = pos;
  }
  EXPECT_NE(inhalt.find("<var name=\"test_zahl\" wert=\"77\" />"), std::string::npos) << inhalt;
  struct stat info{};
  EXPECT_NE(stat("spiel.cfg.tmp", &info), 0);  // the temporary file is gone

  test_zahl.SetzeInt(1);
  test_vektor.SetzeText("0");
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_EQ(test_zahl.mInt, 77);
  EXPECT_EQ(test_vektor.mText, "1.000000, 2.000000, 3.000000");
}

TEST_F(Konfig, AndereWurzelUnbekannteNamenUndKanonischeTexte) {
  SchreibeDatei("spiel.cfg",
                "<?xml version=\"1.0\" ?>\r\n<einstellungen>\r\n"
                "  <var name=\"gibtsnicht\" wert=\"1\" />\r\n"
                "  <var name=\"test_bool\" wert=\"1\" />\r\n"
                "  <var name=\"test_zahl\" />\r\n"
                "  <var wert=\"3\" />\r\n"
                "  <var name=\"t_konfig\" wert=\"neu\" />\r\n"
                "  <var name=\"test_text\" wert=\"a&amp;b\" />\r\n"
                "</einstellungen>\r\n");
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_TRUE(test_bool.mBool);
  EXPECT_EQ(test_zahl.mInt, 5);           // no "wert": skipped
  EXPECT_EQ(t_konfig.mText, "neu");       // read-only does not apply to the file
  EXPECT_EQ(test_text.mText, "a&b");
  EXPECT_EQ(Quarz_Variable::Finde("gibtsnicht"), nullptr);
  ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());
  EXPECT_NE(LiesDatei("spiel.cfg").find("<var name=\"test_bool\" wert=\"ja\" />"), std::string::npos);
}

// A value its check refuses is skipped without a line; the rest of the file is read.
TEST_F(Konfig, AbgelehnterWertBleibtOhneMeldung) {
  test_geprueft.SetzeInt(10);
  SchreibeDatei("spiel.cfg", "<config><var name=\"test_geprueft\" wert=\"-1\"/>"
                             "<var name=\"test_zahl\" wert=\"9\"/></config>");
  sammler.zeilen.clear();
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_TRUE(sammler.zeilen.empty()) << sammler.Alle();
  EXPECT_EQ(test_geprueft.mInt, 10);
  EXPECT_EQ(test_zahl.mInt, 9);
  test_zahl.SetzeInt(5);
}

std::string VieleAttribute(int anzahl) {
  std::string text = "<config><var name=\"test_zahl\" wert=\"9\"";
  for (int i = 0; i < anzahl - 2; ++i) text += " a" + std::to_string(i) + "=\"1\"";
  return text + "/></config>";
}

const char* const kKeineKonfig = "?Keine Konfig-Datei gefunden, benutze Standardwerte.";
const char* const kFehlerhaft = "?Konfig-Datei fehlerhaft, benutze Standardwerte.";

// A file that does not parse (or that the guard keeps from the parser) is as good as none; one
// without a "var" element is faulty. Either way one line, and the defaults stay.
TEST_F(Konfig, KaputteDateienLassenStandardwerte) {
  std::string tief = "<config>";
  for (int i = 0; i < 70; ++i) tief += "<a>";
  struct Fall { std::string inhalt; const char* meldung; };
  const Fall faelle[] = {
      {"", kKeineKonfig},
      {"<config><var name=\"test_zahl\" wert=\"9\"", kKeineKonfig},
      {"<config>\r\n  <var name=\"test_zahl\" wert=\"9\"/>\r\n</konfig>", kKeineKonfig},
      {std::string("<config><var name=\"test_zahl\" wert=\"9\"/>\0</config>", 44), kKeineKonfig},
      {tief, kKeineKonfig},
      {VieleAttribute(257), kKeineKonfig},
      {"<?xml version=\"1.0\" ?>", kFehlerhaft},
      {"<config><wert/></config>", kFehlerhaft},
  };
  for (const Fall& f : faelle) {
    sammler.zeilen.clear();
    SchreibeDatei("spiel.cfg", f.inhalt);
    Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
    EXPECT_EQ(sammler.Texte(), std::vector<std::string>{f.meldung}) << f.inhalt.substr(0, 60);
    EXPECT_EQ(test_zahl.mInt, 5) << f.inhalt.substr(0, 60);
  }
  // As many attributes as a real file could want still load.
  SchreibeDatei("spiel.cfg", VieleAttribute(256));
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_EQ(test_zahl.mInt, 9);
  test_zahl.SetzeInt(5);
}

TEST_F(Konfig, TiefeVerschachtelungWirdAbgewiesenStattDenStapelZuSprengen) {
  std::string tief;
  for (int i = 0; i < 200000; ++i) tief += "<a>";
  sammler.zeilen.clear();
  EXPECT_FALSE(Quarz_Variable::LadeKonfigText(tief));
  EXPECT_EQ(sammler.Texte(), std::vector<std::string>{kKeineKonfig});
  // Normal nesting inside comments and attribute values does not count.
  std::string harmlos = "<config>";
  for (int i = 0; i < 100; ++i) harmlos += "<!-- <a> --><var name=\"x\" wert=\"<a><a>\"/>";
  harmlos += "<var name=\"test_zahl\" wert=\"12\"/></config>";
  Quarz_Variable::LadeKonfigText(harmlos);
  EXPECT_EQ(test_zahl.mInt, 12);
}

// Stray end tags before the nesting buy no depth: the file is refused by the guard, not handed
// to the parser.
TEST_F(Konfig, BombeMitEndTagsVorneWirdAbgewiesen) {
  SchreibeDatei("spiel.cfg", XmlBombe(1000));
  sammler.zeilen.clear();
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_EQ(sammler.Texte(), std::vector<std::string>{kKeineKonfig});
  EXPECT_EQ(test_zahl.mInt, 5);
}

TEST_F(Konfig, FehlerhaftesUtf8WirdErsetztStattUeberDasEndeZuLesen) {
  // A lead byte whose sequence the text cuts off: the parser must not step past the end.
  for (const char* ende : {"\xF3", "\xF3\xF5", "\xEF", "\xEF\xBF", "&\xF0", "&#x\xE2"}) {
    Quarz_Variable::LadeKonfigText(std::string("<config><var name=\"test_text\" wert=\"x\"/></config>") + ende);
    Quarz_Variable::LadeKonfigText(std::string("<config><var name=\"test_text\" wert=\"x\"/>") + ende);
  }
  // Malformed bytes inside a value arrive as U+FFFD, well-formed ones unchanged, and the
  // variable is named; a cut sequence does not take the closing quote with it.
  sammler.zeilen.clear();
  Quarz_Variable::LadeKonfigText("<config><var name=\"test_text\" wert=\"a\xFF" "b\xC3\xA4\"/>"
                                 "<var name=\"test_zahl\" wert=\"3\xC3\"/><var name=\"test_bool\" wert=\"ja\"/></config>");
  EXPECT_EQ(test_text.mText, "a\xEF\xBF\xBD" "b\xC3\xA4");
  EXPECT_EQ(test_zahl.mInt, 3);
  EXPECT_TRUE(test_bool.mBool);
  EXPECT_EQ(sammler.Texte(),
            (std::vector<std::string>{
                "?Konfig-Datei: Wert von \"test_text\" ist kein gültiges UTF-8, ungültige Bytes ersetzt.",
                "?Konfig-Datei: Wert von \"test_zahl\" ist kein gültiges UTF-8, ungültige Bytes ersetzt."}));
  // A well-formed U+FFFD is a value like any other.
  sammler.zeilen.clear();
  Quarz_Variable::LadeKonfigText("<config><var name=\"test_text\" wert=\"\xEF\xBF\xBD\"/></config>");
  EXPECT_TRUE(sammler.zeilen.empty());
  test_bool.SetzeBool(false);
  test_zahl.SetzeInt(5);
  // A NUL ends the document, as it does for the parser.
  Quarz_Variable::LadeKonfigText(std::string("<config><var name=\"test_zahl\" wert=\"8\"/></config>\0\xF3", 51));
  EXPECT_EQ(test_zahl.mInt, 8);
}

TEST_F(Konfig, MisslungenesSpeichernLaesstAlteDateiHeil) {
  SchreibeDatei("spiel.cfg", "<config><var name=\"test_zahl\" wert=\"9\"/></config>");
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  ASSERT_EQ(test_zahl.mInt, 9);
  // A folder in the way of the temporary file makes the save fail before it touches the file.
  ASSERT_EQ(mkdir("spiel.cfg.tmp", 0700), 0);
  test_zahl.SetzeInt(10);
  EXPECT_FALSE(Quarz_Variable::SpeichereKonfig());
  EXPECT_EQ(LiesDatei("spiel.cfg"), "<config><var name=\"test_zahl\" wert=\"9\"/></config>");
  test_zahl.SetzeInt(5);
}

// The player's file is never lost: one that is there but cannot be used keeps the defaults
// for this run, and the exit save moves it aside before it writes the new file.
TEST_F(Konfig, UnbrauchbareDateiWirdBeimSpeichernBeiseitegelegt) {
  std::string tief = "<config>";
  for (int i = 0; i < 70; ++i) tief += "<a>";
  struct Fall { std::string was; std::string inhalt; bool ordner; const char* meldung; };
  std::vector<Fall> faelle = {
      {"Tippfehler", "<config>\n<var name=\"test_zahl\" wert=\"9\" >\n</config>\n", false, kKeineKonfig},
      {"leer", "", false, kKeineKonfig},
      {"binär", std::string("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12), false, kKeineKonfig},
      {"zu tief", tief, false, kKeineKonfig},
      {"ohne var", "<config><wert/></config>", false, kFehlerhaft},
      {"Ordner", "", true, kKeineKonfig},
  };
  for (const std::string& bombe : GetarnteXmlBomben(100000))
    faelle.push_back({bombe.substr(0, 24), bombe, false, kKeineKonfig});
  for (const Fall& f : faelle) {
    std::filesystem::remove_all("spiel.cfg");
    SchreibeDatei("spiel.cfg.defekt", "eine ältere");
    if (f.ordner) {
      std::filesystem::create_directories("spiel.cfg/innen");
    } else {
      SchreibeDatei("spiel.cfg", f.inhalt);
    }
    sammler.zeilen.clear();
    Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
    EXPECT_EQ(sammler.Texte(), std::vector<std::string>{f.meldung}) << f.was;
    // Nothing is touched before the save.
    EXPECT_EQ(LiesDatei("spiel.cfg.defekt"), "eine ältere") << f.was;

    sammler.zeilen.clear();
    ASSERT_TRUE(Quarz_Variable::SpeichereKonfig()) << f.was << "\n" << sammler.Alle();
    EXPECT_EQ(sammler.Texte(), std::vector<std::string>{
                                   "!Quarz_Variable::SpeichereKonfig: Nicht verwendbare Konfig-Datei \"./spiel.cfg\" "
                                   "als \"./spiel.cfg.defekt\" beiseitegelegt."})
        << f.was;
    if (f.ordner) {
      EXPECT_TRUE(std::filesystem::is_directory("spiel.cfg.defekt/innen")) << f.was;
    } else {
      EXPECT_EQ(LiesDatei("spiel.cfg.defekt"), f.inhalt) << f.was;
    }
    EXPECT_NE(LiesDatei("spiel.cfg").find("<var name=\"test_zahl\" wert=\"5\" />"), std::string::npos) << f.was;
    // Only once: the next save replaces the new file as usual.
    sammler.zeilen.clear();
    ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());
    EXPECT_TRUE(sammler.zeilen.empty()) << f.was;
    std::filesystem::remove_all("spiel.cfg.defekt");
  }
  // A file that was used, or none at all, leaves nothing aside.
  for (const bool vorhanden : {true, false}) {
    std::filesystem::remove("spiel.cfg");
    if (vorhanden) SchreibeDatei("spiel.cfg", "<config><var name=\"test_zahl\" wert=\"5\"/></config>");
    Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
    ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());
    EXPECT_FALSE(std::filesystem::exists("spiel.cfg.defekt")) << vorhanden;
  }
}

// A save that fails says nothing; the old file stays as it was.
TEST_F(Konfig, GescheitertesSpeichernLaesstAlteDateiOhneMeldung) {
  const std::string alt = "<config><var name=\"test_zahl\" wert=\"5\"/></config>";
  struct Fall { const char* was; std::function<void()> stoere; };
  const Fall faelle[] = {
      {"Ordner statt Zwischendatei", [] { std::filesystem::create_directory("spiel.cfg.tmp"); }},
      {"volle Platte", [] { std::filesystem::create_symlink("/dev/full", "spiel.cfg.tmp"); }},
      // The file became a folder with content after the start: the rename cannot replace it.
      {"Ordner statt Datei",
       [] {
         std::filesystem::remove("spiel.cfg");
         std::filesystem::create_directories("spiel.cfg/innen");
       }},
  };
  for (const Fall& f : faelle) {
    std::filesystem::remove_all("spiel.cfg");
    SchreibeDatei("spiel.cfg", alt);
    Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
    f.stoere();
    sammler.zeilen.clear();
    EXPECT_FALSE(Quarz_Variable::SpeichereKonfig()) << f.was;
    EXPECT_TRUE(sammler.zeilen.empty()) << f.was << "\n" << sammler.Alle();
    if (std::filesystem::is_directory("spiel.cfg")) {
      EXPECT_TRUE(std::filesystem::exists("spiel.cfg/innen")) << f.was;
    } else {
      EXPECT_EQ(LiesDatei("spiel.cfg"), alt) << f.was;
    }
    std::filesystem::remove_all("spiel.cfg.tmp");
  }
}

TEST_F(Konfig, SpeichernSichertDenOrdnerUndLadenRaeumtAbgebrochenesSpeichernAuf) {
  SchreibeDatei("spiel.cfg", "<config><var name=\"test_zahl\" wert=\"9\"/></config>");
  SchreibeDatei("spiel.cfg.tmp", "<config><var name=\"test_zahl\" wert=\"1");  // cut short
  Quarz_Variable::LadeKonfig(L".", L"spiel.cfg");
  EXPECT_EQ(test_zahl.mInt, 9);
  struct stat info{};
  EXPECT_NE(stat("spiel.cfg.tmp", &info), 0);

  const int vorher = gOrdnerSyncs;
  ASSERT_TRUE(Quarz_Variable::SpeichereKonfig());
  EXPECT_EQ(gOrdnerSyncs, vorher + 1);
  test_zahl.SetzeInt(5);
}
