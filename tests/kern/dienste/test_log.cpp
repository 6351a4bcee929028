// The log: line prefix, cutting, sinks, other threads; the exception and precondition report.
#include <gtest/gtest.h>

#include <thread>

#include "hilfen.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"

using namespace testhilfe;

namespace {

// True when the text is well-formed UTF-8 (no cut sequence anywhere).
bool IstGueltigesUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

std::string Kennung() {
  char puffer[8];
  std::snprintf(puffer, sizeof puffer, "%04x", Quarz_Log::ThreadKennung(Plattform::ThreadId()));
  return puffer;
}

}  // namespace

TEST(Log, ZeilenPrefixZeigtZeitSeitStartUndThreadKennung) {
  FalscheUhrAn uhr;
  gTimer.Starte();
  Sammler sammler;
  LaufendesLog log;
  uhr.Vor(3000042000);  // 3.000042 s of nanosecond ticks
  gLog.Schreibe("abc");
  ASSERT_EQ(sammler.zeilen.size(), 2u);
  EXPECT_EQ(sammler.zeilen[0], "0000:000000 (t" + Kennung() + "): Log-Start\n");
  EXPECT_EQ(sammler.zeilen[1], "0003:000042 (t" + Kennung() + "): abc\n");
}

TEST(Log, ThreadKennungIstFnv1aUeberDieVierBytes) {
  EXPECT_EQ(Quarz_Log::ThreadKennung(0x1234), 0x45fb);
  EXPECT_EQ(Quarz_Log::ThreadKennung(0), 0x13f5);
}

TEST(Log, VorDemTimerstartStehtNullZeit) {
  FalscheUhrAn uhr(123456789000);
  Sammler sammler;
  LaufendesLog log;
  uhr.Vor(5000000000);
  gLog.Schreibe("x");
  ASSERT_EQ(sammler.zeilen.size(), 2u);
  EXPECT_EQ(sammler.zeilen[1].substr(0, 12), "0000:000000 ");
}

TEST(Log, ZeilenendeUndFormat) {
  Sammler sammler;
  LaufendesLog log;
  gLog.Schreibe("schon mit Umbruch\n");
  gLog.Schreibe("Zahl %d, Text %s, 64 Bit %lld", 7, "hallo", 1LL << 40);
  gLog.Schreibe("%s", "");
  ASSERT_EQ(sammler.zeilen.size(), 4u);
  EXPECT_EQ(sammler.Texte()[1], "schon mit Umbruch");
  EXPECT_EQ(sammler.zeilen[1].find("\n\n"), std::string::npos);
  EXPECT_EQ(sammler.Texte()[2], "Zahl 7, Text hallo, 64 Bit 1099511627776");
  EXPECT_EQ(sammler.Texte()[3], "");
  EXPECT_EQ(sammler.zeilen[3].back(), '\n');
}

TEST(Log, LangeZeilenWerdenBei1997ZeichenGeschnittenOhneUtf8Zeichen_zu_teilen) {
  Sammler sammler;
  LaufendesLog log;
  const std::string ascii(5000, 'a');
  gLog.Schreibe("%s", ascii.c_str());
  ASSERT_EQ(sammler.zeilen.size(), 2u);
  EXPECT_EQ(sammler.zeilen[1].size(), 1998u);
  EXPECT_EQ(sammler.zeilen[1].back(), '\n');

  // With every offset of the prefix, a cut through two-, three- and four-byte characters
  // must drop the partial character, never emit half of it.
  for (const std::string zeichen : {"\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
    for (int versatz = 0; versatz < 4; ++versatz) {
      std::string text(static_cast<size_t>(versatz), 'x');
      while (text.size() < 2100) text += zeichen;
      sammler.zeilen.clear();
      gLog.Schreibe("%s", text.c_str());
      ASSERT_EQ(sammler.zeilen.size(), 1u);
      const std::string& zeile = sammler.zeilen[0];
      EXPECT_TRUE(IstGueltigesUtf8(zeile)) << "Zeichen der Länge " << zeichen.size() << ", Versatz " << versatz;
      EXPECT_LE(zeile.size(), 1998u);
      EXPECT_GT(zeile.size(), 1998u - zeichen.size());
      EXPECT_EQ(zeile.back(), '\n');
    }
  }
}

TEST(Log, DebugZeilenNurMitTDebug) {
  Sammler sammler;
  LaufendesLog log;
  t_debug.SetzeBool(false);
  gLog.SchreibeDebug("unsichtbar");
  t_debug.SetzeBool(true);
  gLog.SchreibeDebug("sichtbar");
  EXPECT_FALSE(sammler.Enthaelt("unsichtbar"));
  EXPECT_TRUE(sammler.Enthaelt("sichtbar"));
}

TEST(Log, DateiWirdBeimStartGeleertUndJedeZeileAngehaengt) {
  SchreibeDatei("spiel.log", "alter Inhalt\n");
  {
    LaufendesLog log;
    gLog.Schreibe("eins");
    gLog.Schreibe("zwei");
    const std::string inhalt = LiesDatei("spiel.log");
    EXPECT_EQ(inhalt.find("alter Inhalt"), std::string::npos);
    EXPECT_NE(inhalt.find("): Log-Start\n"), std::string::npos);
    EXPECT_NE(inhalt.find("): eins\n"), std::string::npos);
    EXPECT_NE(inhalt.find("): zwei\n"), std::string::npos);
    EXPECT_EQ(inhalt.find('\r'), std::string::npos);  // lines end with LF only
  }
  gLog.Schreibe("nach dem Ende");
  EXPECT_EQ(LiesDatei("spiel.log").find("nach dem Ende"), std::string::npos);
}

TEST(Log, OhneTLogfileKeineDateiAberAnzeigeBekommtAlles) {
  t_logfile.SetzeBool(false);
  Sammler sammler;
  LaufendesLog log;
  gLog.Schreibe("nur Anzeige");
  EXPECT_TRUE(sammler.Enthaelt("Log-Start"));
  EXPECT_TRUE(sammler.Enthaelt("nur Anzeige"));
  std::ifstream datei("spiel.log");
  EXPECT_FALSE(datei.good());
}

TEST(Log, VorDemStartUndNachDemEndeWirdNichtsGezeigt) {
  Sammler sammler;
  gLog.Schreibe("vorher");
  { LaufendesLog log; }
  gLog.Schreibe("nachher");
  ASSERT_EQ(sammler.Texte().size(), 1u);
  EXPECT_EQ(sammler.Texte()[0], "Log-Start");
}

TEST(Log, ZeilenAndererThreadsWartenAufDieLeerung) {
  Sammler sammler;
  LaufendesLog log;
  std::thread a([] { for (int i = 0; i < 50; ++i) gLog.Schreibe("a%d", i); });
  std::thread b([] { for (int i = 0; i < 50; ++i) gLog.Schreibe("b%d", i); });
  a.join();
  b.join();
  EXPECT_EQ(sammler.zeilen.size(), 1u);  // nothing shown before the drain
  gLog.LeereWarteschlange();
  ASSERT_EQ(sammler.zeilen.size(), 101u);
  // Each thread's lines keep their order.
  int naechstesA = 0, naechstesB = 0;
  for (const std::string& t : sammler.Texte()) {
    if (t[0] == 'a') {
      EXPECT_EQ(t.substr(1), std::to_string(naechstesA++));
    } else if (t[0] == 'b') {
      EXPECT_EQ(t.substr(1), std::to_string(naechstesB++));
    }
  }
  EXPECT_EQ(naechstesA, 50);
  EXPECT_EQ(naechstesB, 50);
}

TEST(Log, BeendeSchreibtWartendeZeilenNochAus) {
  Sammler sammler;
  gLog.Starte(L".", L"spiel.log");
  std::thread([] { gLog.Schreibe("spaet"); }).join();
  gLog.Beende();
  EXPECT_TRUE(sammler.Enthaelt("spaet"));
}

TEST(Log, AnzeigeMeldetSichNurAbWennSieNochEingetragenIst) {
  auto erste = std::make_unique<Sammler>();
  Sammler zweite;
  EXPECT_EQ(gLog.mAnzeige, &zweite);
  erste.reset();  // the older display must not unregister the newer one
  EXPECT_EQ(gLog.mAnzeige, &zweite);
}

TEST(Ausnahme, VorbedingungsberichtIstEineFehlerzeileMit64BitZeile) {
  Sammler sammler;
  LaufendesLog log;
  Quarz_Ausnahme::Melde("Größe falsch", "TSpeicher::SetGroesse", "tspeicher.cpp", 124);
  Quarz_Ausnahme::Melde("weit", "A::B", "a.cpp", 5000000000LL);
  Quarz_Ausnahme::Melde("negativ", "A::B", "a.cpp", -1);
  EXPECT_TRUE(sammler.Enthaelt(
      "!Ausnahme \"Größe falsch\" aufgetreten in Funktion TSpeicher::SetGroesse (tspeicher.cpp:124)."));
  EXPECT_TRUE(sammler.Enthaelt("!Ausnahme \"weit\" aufgetreten in Funktion A::B (a.cpp:5000000000)."));
  EXPECT_TRUE(sammler.Enthaelt("!Ausnahme \"negativ\" aufgetreten in Funktion A::B (a.cpp:-1)."));
}

TEST(Ausnahme, MakroSetztDateinameOhneOrdner) {
  Sammler sammler;
  LaufendesLog log;
  QUARZ_MELDE("m", "F");
  ASSERT_EQ(sammler.Texte().size(), 2u);
  EXPECT_NE(sammler.Texte()[1].find("(test_log.cpp:"), std::string::npos);
  EXPECT_FALSE(Plattform::DebuggerAngehaengt());  // so the report did not stop
}
