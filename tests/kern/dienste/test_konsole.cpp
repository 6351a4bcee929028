// The tokenizer, the command registry and the execution of typed lines.
#include <gtest/gtest.h>

#include "hilfen.h"
#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/tzerleger.h"

using namespace testhilfe;

TEST(Zerleger, Beispiele) {
  struct Fall {
    const char* text;
    std::vector<std::string> tokens;
  };
  const Fall faelle[] = {
      {"a, b", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a ,b", {"a", "", "b"}},
      {"\"x y\",z", {"x y", "z"}},
      {"\"x y\" z", {"x y", "z"}},
      {"1 2.5 -3", {"1", "2.5", "-3"}},
      {"", {}},
      {"     ", {}},
      {"  a   b  ", {"a", "b"}},
      {",", {""}},
      {"a,", {"a"}},
      {"\"offen bis zum Ende", {"offen bis zum Ende"}},
      {"\"\"", {""}},
      {"x\"y z\"", {"y z"}},  // an opening quote starts a new token where it stands
      {"\"a,b\",,c", {"a,b", "", "c"}},
  };
  for (const Fall& f : faelle) {
    const TZerleger z(f.text);
    EXPECT_EQ(z.mTokens, f.tokens) << '[' << f.text << ']';
    EXPECT_EQ(z.mWerte.size(), z.mTokens.size());
  }
}

TEST(Zerleger, ZahlenwerteUndGrenzen) {
  const TZerleger z("1 2.5 -3 abc 4x \"\" 1e3");
  const float erwartet[] = {1.0f, 2.5f, -3.0f, 0.0f, 4.0f, 0.0f, 1000.0f};
  ASSERT_EQ(z.Anzahl(), 7u);
  for (size_t i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(z.Wert(i), erwartet[i]) << i;
  EXPECT_FLOAT_EQ(z.Wert(7), 0.0f);
  EXPECT_EQ(z.Token(99), "");
}

namespace {
std::string gLetzterRest = "(nie)";
void MerkeRest(const std::string& rest) { gLetzterRest = rest; }
Quarz_KonsolenBefehl gTestBefehl("testbefehl", MerkeRest);
}  // namespace

using Befehle = KonsolenTest;

TEST_F(Befehle, ZeileWirdAmErstenLeerzeichenGeteilt) {
  struct Fall { const char* zeile; const char* rest; };
  const Fall faelle[] = {{"testbefehl", ""},
                         {"testbefehl a b", "a b"},
                         {"testbefehl  zwei", " zwei"},
                         {"testbefehl ", ""}};
  for (const Fall& f : faelle) {
    gLetzterRest = "(nie)";
    const auto texte = Fuehre(f.zeile);
    EXPECT_EQ(texte[0], std::string(">") + f.zeile);
    EXPECT_EQ(gLetzterRest, f.rest) << f.zeile;
  }
}

TEST_F(Befehle, UnbekannteUndLeereZeilen) {
  EXPECT_EQ(Fuehre("Help")[1], "!Unbekannter Befehl \"Help\"");  // names match exactly
  EXPECT_EQ(Fuehre("")[1], "!Unbekannter Befehl \"\"");
  const auto texte = Fuehre(" testbefehl x");
  EXPECT_EQ(texte.size(), 1u);  // a leading blank: only the echo
}

TEST_F(Befehle, HelpListetNachName) {
  const auto texte = Fuehre("help egal");
  const std::vector<std::string> erwartet = {">help egal", "Definierte Konsolenbefehle sind:",
                                             " - help", " - quit", " - set", " - testbefehl"};
  EXPECT_EQ(texte, erwartet);
}

TEST_F(Befehle, QuitSetztDasEndeFlag) {
  gSystem.mBeenden = false;
  Fuehre("quit jetzt sofort");
  EXPECT_TRUE(gSystem.mBeenden);
}

TEST(Befehl, Vervollstaendigung) {
  EXPECT_EQ(Quarz_KonsolenBefehl::Vervollstaendige("h"), "help");
  EXPECT_EQ(Quarz_KonsolenBefehl::Vervollstaendige("x"), "");
  EXPECT_EQ(Quarz_KonsolenBefehl::Vervollstaendige(""), "help");
  EXPECT_EQ(Quarz_KonsolenBefehl::Vervollstaendige("test"), "testbefehl");
  EXPECT_EQ(Quarz_KonsolenBefehl::Vervollstaendige("testbefehlx"), "");
}
