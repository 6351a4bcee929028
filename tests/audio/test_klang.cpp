// The ALSA sound layer on whatever machine runs the tests: with or without a sound card the
// start goes through, and the layer's helpers hold their rules.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "plattform/klang/klang.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/audio/quarz_audio.h"
#include "tests/kern/daten/logfaenger.h"

namespace {

TEST(Klang, FehlerNummernAufDieNummernDesAudiosystems) {
  const std::pair<int, Klang::Ergebnis> faelle[] = {
      {0, Klang::OK},
      {-ENOENT, Klang::DATEI_NICHT_GEFUNDEN},
      {-ENOMEM, Klang::KEIN_SPEICHER},
      {-EBUSY, Klang::GERAET_BELEGT},
      {-EAGAIN, Klang::GERAET_BELEGT},
      {-EINVAL, Klang::UNGUELTIGER_PARAMETER},
      {-ENODEV, Klang::GERAET_FEHLT},
      {-EIO, Klang::EIN_AUSGABE_FEHLER},
      {-EPIPE, Klang::INTERNER_FEHLER},
  };
  for (const auto& [fehler, code] : faelle) EXPECT_EQ(Klang::AusFehlerNummer(fehler), code) << fehler;
}

TEST(Klang, NamenWerdenAnZeichengrenzenGekuerzt) {
  struct Fall {
    std::string text;
    int groesse;
    std::string erwartet;
  };
  const Fall faelle[] = {
      {"HDA Intel: ALC892", 256, "HDA Intel: ALC892"},
      {"abcdef", 4, "abc"},
      {"ab\xC3\xA4", 4, "ab"},           // ä would lose its second byte
      {"ab\xC3\xA4", 5, "ab\xC3\xA4"},   // exactly fits
      {"a\xE2\x82\xAC", 3, "a"},         // € cut after one of three bytes
      {"a\xE2\x82\xAC", 4, "a"},         // ... after two
      {"\xF0\x9F\x8E\xB5x", 5, "\xF0\x9F\x8E\xB5"},
      {"", 1, ""},
  };
  for (const Fall& f : faelle) {
    char puffer[300];
    std::memset(puffer, 'X', sizeof(puffer));
    Klang::KopiereUtf8(f.text, puffer, f.groesse);
    EXPECT_EQ(std::string(puffer), f.erwartet) << f.text << " in " << f.groesse;
  }
}

// The real layer: no card (as in CI) is the silent path, a card lists its drivers.
TEST(Klang, AlsaStartetMitUndOhneKarte) {
  LogFaenger log(true);
  Quarz_Audio audio;
  Quarz_Audio::Erstelle();
  ASSERT_NE(Quarz_Audio::mSystem, nullptr);
  uint32_t version = 0;
  ASSERT_EQ(Quarz_Audio::mSystem->getVersion(&version), Klang::OK);
  EXPECT_GE(version, Quarz_Audio::MindestVersion);
  int anzahl = -1;
  ASSERT_EQ(Quarz_Audio::mSystem->getNumDrivers(&anzahl), Klang::OK);
  EXPECT_EQ(Quarz_Audio::mTreiber.size(), static_cast<size_t>(anzahl));
  for (const Quarz_Audio::TreiberInfo& t : Quarz_Audio::mTreiber) {
    EXPECT_NE(t.name.find(": "), std::string::npos) << t.name;
    EXPECT_LT(t.name.size(), 256u);
  }
  if (anzahl == 0) {
    EXPECT_TRUE(log.Enthaelt("!Quarz_Audio::Quarz_Audio(): Keine Audio-Treiber verfügbar."));
  }
  char name[16];
  EXPECT_EQ(Quarz_Audio::mSystem->getDriverInfo(anzahl, name, sizeof(name)),
            Klang::UNGUELTIGER_PARAMETER);
  Quarz_Audio::Beenden();
  EXPECT_EQ(log.Zeilen().back(), "Audio wird geschlossen.");
}

}  // namespace
