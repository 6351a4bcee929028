// The audio system's start, fallbacks and shutdown over a sound layer the test controls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "quarzklassen/audio/quarz_audio.h"
#include "quarzklassen/audio/quarz_audiokanal.h"
#include "quarzklassen/audio/quarz_audiosample.h"
#include "tests/kern/daten/logfaenger.h"

namespace {

// What the fake layer answers.
struct Verhalten {
  Klang::Ergebnis erstellen = Klang::OK;
  Klang::Ergebnis version = Klang::OK;
  uint32_t versionsNummer = Klang::kVersion;
  Klang::Ergebnis anzahl = Klang::OK;
  int treiberAnzahl = 0;
  int infoFehlerBei = -1;  // driver whose info call fails
  int capsFehlerBei = -1;  // driver whose capability call fails
  Klang::Ergebnis ausgabe = Klang::OK;
  Klang::Ergebnis freigeben = Klang::OK;
};

Verhalten gVerhalten;
std::vector<int> gAusgabeModi;
int gFreigaben = 0;

class FalschesSystem final : public Klang::System {
public:
  Klang::Ergebnis getVersion(uint32_t* v) override {
    *v = gVerhalten.versionsNummer;
    return gVerhalten.version;
  }
  Klang::Ergebnis getNumDrivers(int* n) override {
    *n = gVerhalten.treiberAnzahl;
    return gVerhalten.anzahl;
  }
  Klang::Ergebnis getDriverInfo(int i, char* name, int laenge) override {
    if (i == gVerhalten.infoFehlerBei) return Klang::GERAET_FEHLT;
    Klang::KopiereUtf8("Karte: Gerät " + std::to_string(i), name, laenge);
    return Klang::OK;
  }
  Klang::Ergebnis getDriverCaps(int i, uint32_t* f, int* rate, int* lautsprecher) override {
    if (i == gVerhalten.capsFehlerBei) return Klang::GERAET_BELEGT;
    *f = Klang::HARDWARE;
    *rate = 48000;
    *lautsprecher = Klang::SURROUND_5_1;
    return Klang::OK;
  }
  Klang::Ergebnis setOutput(int modus) override {
    gAusgabeModi.push_back(modus);
    return gVerhalten.ausgabe;
  }
  Klang::Ergebnis release() override {
    ++gFreigaben;
    const Klang::Ergebnis e = gVerhalten.freigeben;
    delete this;
    return e;
  }
};

Klang::Ergebnis ErstelleFalsches(Klang::System** system) {
  if (gVerhalten.erstellen != Klang::OK) return gVerhalten.erstellen;
  *system = new FalschesSystem;
  return Klang::OK;
}

class AudioTest : public ::testing::Test {
protected:
  void SetUp() override {
    gVerhalten = Verhalten{};
    gAusgabeModi.clear();
    gFreigaben = 0;
    Klang::SetzeFabrik(&ErstelleFalsches);
  }
  void TearDown() override {
    Quarz_Audio::Beenden();
    Quarz_Audio::mTreiber.clear();
    Klang::SetzeFabrik(nullptr);
  }
};

const char* const kKeineTreiber = "!Quarz_Audio::Quarz_Audio(): Keine Audio-Treiber verfügbar.";

struct StartFall {
  const char* name;
  Verhalten verhalten;
  std::vector<std::string> zeilen;  // everything the start and its exit log
  bool systemBleibt;
  std::vector<int> ausgabeModi;
  std::vector<uint8_t> gueltig;  // the driver records' valid flags after the start
};

TEST_F(AudioTest, StartUndFehlerwege) {
  const StartFall faelle[] = {
      {"Version unter dem Minimum",
       [] { Verhalten v; v.versionsNummer = Quarz_Audio::MindestVersion - 1; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): Falsche FMOD-Version liegt neben der Exe.",
        "!  Fehler 0: No errors.", "Audio wird geschlossen."},
       false, {}, {}},
      {"Version genau das Minimum",
       [] { Verhalten v; v.versionsNummer = Quarz_Audio::MindestVersion; return v; }(),
       {kKeineTreiber, "Audio wird geschlossen."}, true, {Klang::AUSGABE_STUMM}, {}},
      {"Erstellen scheitert",
       [] { Verhalten v; v.erstellen = Klang::KEIN_SPEICHER; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): FMOD-Interface konnte nicht erstellt werden.",
        "!  Fehler 43: Not enough memory or resources. "},
       false, {}, {}},
      {"Versionsabfrage scheitert",
       [] { Verhalten v; v.version = Klang::INTERNER_FEHLER; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): Versionsabfrage gescheitert.",
        "!  Fehler 6: Error of the sound layer.", "Audio wird geschlossen."},
       false, {}, {}},
      {"Treiberzahl scheitert",
       [] { Verhalten v; v.anzahl = Klang::DATEI_NICHT_GEFUNDEN; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): Verfügbare Audio-Treiber konnten nicht ermittelt werden",
        "!  Fehler 23: File not found. ", "Audio wird geschlossen."},
       false, {}, {}},
      {"Negative Treiberzahl gilt als keine",
       [] { Verhalten v; v.treiberAnzahl = -3; return v; }(),
       {kKeineTreiber, "Audio wird geschlossen."}, true, {Klang::AUSGABE_STUMM}, {}},
      {"Nicht einmal stumme Ausgabe",
       [] { Verhalten v; v.ausgabe = Klang::NICHT_UNTERSTUETZT; return v; }(),
       {kKeineTreiber,
        "! Quarz_Audio::Quarz_Audio(): Nicht einmal 'kein Sound' konnte initialisiert werden.",
        "!  Fehler 5: Not supported by the sound device.", "Audio wird geschlossen."},
       true, {Klang::AUSGABE_STUMM}, {}},
      {"Drei Treiber, der zweite belegt",
       [] { Verhalten v; v.treiberAnzahl = 3; v.capsFehlerBei = 1; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): Fähigkeiten-Prüfung bei Treiber 1 fehlgeschlagen",
        "!  Fehler 1: The sound device is busy.", "Audio wird geschlossen."},
       true, {}, {1, 0, 1}},
      {"Treiberinfo scheitert",
       [] { Verhalten v; v.treiberAnzahl = 2; v.infoFehlerBei = 0; return v; }(),
       {"!Quarz_Audio::Quarz_Audio(): Fähigkeiten-Prüfung bei Treiber 0 fehlgeschlagen",
        "!  Fehler 3: The sound device is not available.", "Audio wird geschlossen."},
       true, {}, {0, 1}},
      {"Schliessen scheitert",
       [] { Verhalten v; v.freigeben = Klang::EIN_AUSGABE_FEHLER; v.treiberAnzahl = 1; return v; }(),
       {"Audio wird geschlossen.", "!Quarz_Audio::Beenden(): Schliessen von FMOD schlug fehl.",
        "!  Fehler 4: Input/output error of the sound device."},
       true, {}, {1}},
  };
  for (const StartFall& f : faelle) {
    SCOPED_TRACE(f.name);
    SetUp();
    gVerhalten = f.verhalten;
    LogFaenger log;
    {
      Quarz_Audio audio;  // the static object: constructing it logs nothing
      EXPECT_TRUE(log.Zeilen().empty());
      Quarz_Audio::Erstelle();
      EXPECT_EQ(Quarz_Audio::mSystem != nullptr, f.systemBleibt);
      EXPECT_EQ(gAusgabeModi, f.ausgabeModi);
      std::vector<uint8_t> gueltig;
      for (const Quarz_Audio::TreiberInfo& t : Quarz_Audio::mTreiber) gueltig.push_back(t.gueltig);
      EXPECT_EQ(gueltig, f.gueltig);
    }  // exit: shutdown, pools and driver list freed
    EXPECT_EQ(log.Zeilen(), f.zeilen);
    EXPECT_EQ(Quarz_Audio::mSystem, nullptr);
    EXPECT_TRUE(Quarz_Audio::mTreiber.empty());
    EXPECT_EQ(gFreigaben, f.verhalten.erstellen == Klang::OK ? 1 : 0);
    // A later shutdown logs nothing more.
    log.Leere();
    Quarz_Audio::Beenden();
    EXPECT_TRUE(log.Zeilen().empty());
  }
}

TEST_F(AudioTest, TreiberDatensaetze) {
  gVerhalten.treiberAnzahl = 3;
  gVerhalten.capsFehlerBei = 1;
  LogFaenger log;
  Quarz_Audio::Erstelle();
  ASSERT_EQ(Quarz_Audio::mTreiber.size(), 3u);
  const Quarz_Audio::TreiberInfo& gut = Quarz_Audio::mTreiber[0];
  EXPECT_EQ(gut.name, "Karte: Gerät 0");
  EXPECT_EQ(gut.faehigkeiten, Klang::HARDWARE);
  EXPECT_EQ(gut.ausgabeRate, 48000);
  EXPECT_EQ(gut.lautsprecherModus, Klang::SURROUND_5_1);
  // The busy driver keeps its name but the defaults of everything else.
  const Quarz_Audio::TreiberInfo& belegt = Quarz_Audio::mTreiber[1];
  EXPECT_EQ(belegt.name, "Karte: Gerät 1");
  EXPECT_EQ(belegt.faehigkeiten, 0u);
  EXPECT_EQ(belegt.ausgabeRate, 0);
  EXPECT_EQ(belegt.lautsprecherModus, 2);
}

TEST(AudioFehlerText, FesteTexteUndGrenzen) {
  const std::pair<uint32_t, const char*> faelle[] = {
      {0, "No errors."},
      {23, "File not found. "},
      {43, "Not enough memory or resources. "},
      {95, "Error of the sound layer."},
      {96, "Unknown error."},
      {0xFFFFFFFF, "Unknown error."},
  };
  for (const auto& [code, text] : faelle) EXPECT_STREQ(Quarz_Audio::FehlerText(code), text) << code;
}

// Effects and sounds that count how often they are released.
struct ZaehlDSP : Klang::DSP {
  int* entfernt;
  int* freigegeben;
  Klang::Ergebnis antwort;
  ZaehlDSP(int* e, int* f, Klang::Ergebnis a) : entfernt(e), freigegeben(f), antwort(a) {}
  Klang::Ergebnis remove() override {
    ++*entfernt;
    return antwort;
  }
  Klang::Ergebnis release() override {
    ++*freigegeben;
    const Klang::Ergebnis a = antwort;
    delete this;
    return a;
  }
};

struct ZaehlSound : Klang::Sound {
  int* freigegeben;
  Klang::Ergebnis antwort;
  ZaehlSound(int* f, Klang::Ergebnis a) : freigegeben(f), antwort(a) {}
  Klang::Ergebnis release() override {
    ++*freigegeben;
    const Klang::Ergebnis a = antwort;
    delete this;
    return a;
  }
};

TEST_F(AudioTest, BeendenGibtKanaeleUndSamplesEinmalFrei) {
  struct Fall {
    Klang::Ergebnis antwort;
    std::vector<std::string> zeilen;
  };
  const Fall faelle[] = {
      {Klang::OK, {"Audio wird geschlossen."}},
      {Klang::INTERNER_FEHLER,
       {"Audio wird geschlossen.",
        "!Quarz_AudioSample::~Quarz_AudioSample(): Freigeben des Audio-Samples fehlgeschlagen",
        "!  Fehler 6: Error of the sound layer.",
        "!Quarz_AudioKanal::~Quarz_AudioKanal(): Entfernen des Echo-DSPs gescheitert.",
        "!  Fehler 6: Error of the sound layer.",
        "!Quarz_AudioKanal::~Quarz_AudioKanal(): Freigeben des Echo-DSPs gescheitert.",
        "!  Fehler 6: Error of the sound layer."}},
  };
  for (const Fall& f : faelle) {
    SetUp();
    gVerhalten.treiberAnzahl = 1;
    LogFaenger log;
    Quarz_Audio::Erstelle();
    log.Leere();
    int entfernt = 0, dspFrei = 0, soundFrei = 0;
    auto* kanal = new Quarz_AudioKanal;
    kanal->mEchoDSP = new ZaehlDSP(&entfernt, &dspFrei, f.antwort);
    Quarz_Audio::mKanaele.Einfuegen(kanal);
    Quarz_Audio::mKanaele.Einfuegen(new Quarz_AudioKanal);  // without an echo
    auto* sample = new Quarz_AudioSample;
    sample->mSound = new ZaehlSound(&soundFrei, f.antwort);
    Quarz_Audio::mSamples.Einfuegen(sample);

    Quarz_Audio::Beenden();
    EXPECT_EQ(entfernt, 1);
    EXPECT_EQ(dspFrei, 1);  // not a second time by the channel's destructor
    EXPECT_EQ(soundFrei, 1);
    EXPECT_EQ(Quarz_Audio::mKanaele.Anzahl(), 0u);
    EXPECT_EQ(Quarz_Audio::mSamples.Anzahl(), 0u);
    EXPECT_EQ(log.Zeilen(), f.zeilen);
  }
}

TEST(AudioSample, LeseRueckrufFindetDasSample) {
  Quarz_AudioSample sample;
  std::vector<uint32_t> gelesen;
  sample.mLeser = [&](void* daten, uint32_t laenge) {
    EXPECT_NE(daten, nullptr);
    gelesen.push_back(laenge);
  };
  Klang::Sound ohneSample;
  Klang::Sound mitSample;
  mitSample.setUserData(&sample);
  char puffer[64];
  EXPECT_EQ(Quarz_AudioSample::LeseRueckruf(&ohneSample, puffer, 16), Klang::OK);
  EXPECT_EQ(Quarz_AudioSample::LeseRueckruf(nullptr, puffer, 16), Klang::OK);
  EXPECT_TRUE(gelesen.empty());
  EXPECT_EQ(Quarz_AudioSample::LeseRueckruf(&mitSample, puffer, 32), Klang::OK);
  EXPECT_EQ(gelesen, std::vector<uint32_t>{32});
}

}  // namespace
