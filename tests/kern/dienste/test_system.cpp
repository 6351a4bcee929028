// The system object's folder rules and presence state, and our Linux layer under it.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "hilfen.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"
#include "plattform/system/speicherprobe.h"
#include "plattform/system/system_linux.h"

using namespace testhilfe;

namespace {

std::string Arbeitsordner() {
  char puffer[4096];
  return getcwd(puffer, sizeof puffer) != nullptr ? puffer : "";
}

std::string Schmal(const std::wstring& text) { return WandleUtf32NachUtf8(text); }

}  // namespace

TEST(System, AnwendungsordnerRegeln) {
  const std::string basis = Arbeitsordner();
  struct Fall { std::string programm; std::string anwendung; };
  const Fall faelle[] = {
      {"/spiel/bin64/weilerbau", "/spiel"},
      {"/spiel/bin32/weilerbau", "/spiel"},
      {"/spiel/bin64_test/weilerbau", "/spiel"},
      {"/spiel/bin/weilerbau", "/spiel/bin"},
      {"/spiel/bin6/weilerbau", "/spiel/bin6"},
      {"/spiel/weilerbau", "/spiel"},
      {"/bin64/weilerbau", "/"},
      {"/weilerbau", "/"},  // at the root: no parent to step up to
  };
  for (const Fall& f : faelle) {
    Quarz_System system;
    system.Initialisiere(f.programm, basis, "ich");
    EXPECT_EQ(Schmal(system.mAnwendungsPfad), f.anwendung) << f.programm;
  }
}

TEST(System, BenutzerordnerWirdMitRechten0700Angelegt) {
  const std::string basis = Arbeitsordner() + "/tief/darunter";
  Quarz_System system;
  system.Initialisiere("/x/bin64/prog", basis, "ich");
  EXPECT_EQ(Schmal(system.mBenutzerPfad), basis + "/Weilerbau");
  struct stat info{};
  ASSERT_EQ(stat((basis + "/Weilerbau").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_EQ(info.st_mode & 0777, 0700u);
  EXPECT_EQ(system.mBenutzerName, "ich");
}

TEST(System, OhneDatenordnerDerAnwendungsordnerOhneNamenEinPlatzhalter) {
  Sammler sammler;
  LaufendesLog log;
  const std::string anwendung = Arbeitsordner() + "/app";
  Quarz_System system;
  system.Initialisiere(anwendung + "/bin64/prog", "", "");
  EXPECT_EQ(Schmal(system.mBenutzerPfad), anwendung + "/Weilerbau");
  EXPECT_TRUE(Plattform::OrdnerExistiert(anwendung + "/Weilerbau"));
  EXPECT_EQ(system.mBenutzerName, "user");
  EXPECT_TRUE(sammler.Enthaelt("?Unable to obtain path to \"AppData\". Trying application directory..."));
  EXPECT_TRUE(sammler.Enthaelt("?Unable to obtain user name. Using dummy name instead..."));
}

TEST(System, NichtAnlegbarerOrdnerWirdGemeldetOhneZuWerfen) {
  Sammler sammler;
  LaufendesLog log;
  SchreibeDatei("datei", "im Weg");
  Quarz_System system;
  EXPECT_NO_THROW(system.Initialisiere("/x/prog", Arbeitsordner() + "/datei", "ich"));
  const std::string erwartet = "!Unable to create user data path \"" + Arbeitsordner() +
                               "/datei/Weilerbau\". This will end in tears.";
  EXPECT_TRUE(sammler.Enthaelt(erwartet));
}

TEST(System, OhneProgrammpfadWirdGeworfen) {
  Sammler sammler;
  LaufendesLog log;
  Quarz_System system;
  try {
    system.Initialisiere("", "/tmp", "ich");
    FAIL() << "nicht geworfen";
  } catch (const Quarz_Ausnahme& a) {
    EXPECT_EQ(a.mMeldung, "Unable to obtain path to game executable.");
    EXPECT_EQ(a.mFunktion, "Quarz_System::Quarz_System");
    EXPECT_EQ(a.mZeile, 28);
  }
  EXPECT_TRUE(sammler.Enthaelt("!Unable to obtain path to executable."));
  EXPECT_TRUE(sammler.Enthaelt("!Now we are all going to die."));
}

TEST(System, PraesenzSignalNurBeiAenderung) {
  Quarz_System system;
  std::vector<Quarz_System::Praesenz> gemeldet;
  system.VerbindePraesenz([&](Quarz_System::Praesenz p) { gemeldet.push_back(p); });
  struct Schritt { bool sichtbar, fokus; Quarz_System::Praesenz erwartet; };
  const Schritt schritte[] = {
      {true, true, Quarz_System::Fokus},        // unchanged: no signal
      {false, false, Quarz_System::Minimiert},  // iconified
      {false, true, Quarz_System::Minimiert},   // focus while iconified: stays
      {true, false, Quarz_System::OhneFokus},   // restored without focus
      {true, true, Quarz_System::Fokus},
      {true, true, Quarz_System::Fokus},
  };
  for (const Schritt& s : schritte) {
    system.SetzeFensterZustand(s.sichtbar, s.fokus);
    EXPECT_EQ(system.mPraesenz, s.erwartet);
  }
  const std::vector<Quarz_System::Praesenz> erwartet = {Quarz_System::Minimiert,
                                                        Quarz_System::OhneFokus, Quarz_System::Fokus};
  EXPECT_EQ(gemeldet, erwartet);
}

TEST(System, GlobalesObjektDiesesProzesses) {
  // The test program lies in <build>/tests: not a bin64 folder, so that is the application folder.
  EXPECT_EQ(Schmal(gSystem.mAnwendungsPfad), std::string(WEILERBAU_BAU) + "/tests");
  // The test harness points XDG_DATA_HOME into the test's own folder.
  EXPECT_EQ(Schmal(gSystem.mBenutzerPfad), std::string(std::getenv("XDG_DATA_HOME")) + "/Weilerbau");
  EXPECT_TRUE(Plattform::OrdnerExistiert(Schmal(gSystem.mBenutzerPfad)));
  EXPECT_FALSE(gSystem.mBenutzerName.empty());
  EXPECT_FALSE(gSystem.mBeenden);
}

TEST(Plattform, DatenordnerAusDerUmgebung) {
  const std::string xdg = std::getenv("XDG_DATA_HOME");
  const char* heim = std::getenv("HOME");
  const std::string altesHeim = heim != nullptr ? heim : "";
  std::string ordner;

  setenv("XDG_DATA_HOME", "relativ/ordner", 1);  // not absolute: ignored
  setenv("HOME", "/heim/ich", 1);
  ASSERT_TRUE(Plattform::AnwendungsDatenOrdner(ordner));
  EXPECT_EQ(ordner, "/heim/ich/.local/share");

  unsetenv("XDG_DATA_HOME");
  unsetenv("HOME");
  if (getpwuid(geteuid()) != nullptr) {  // from the password database, when we are in it
    ASSERT_TRUE(Plattform::AnwendungsDatenOrdner(ordner));
    EXPECT_EQ(ordner, std::string(getpwuid(geteuid())->pw_dir) + "/.local/share");
  }

  setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  if (!altesHeim.empty()) setenv("HOME", altesHeim.c_str(), 1);
  ASSERT_TRUE(Plattform::AnwendungsDatenOrdner(ordner));
  EXPECT_EQ(ordner, xdg);
}

// Ctrl+C, a terminal closing or a plain kill only ask the main loop to end.
TEST(Plattform, BeendenSignaleSetzenNurDenWunsch) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    EXPECT_EXIT(
        {
          Plattform::FangeBeendenSignale();
          if (Plattform::BeendenAngefordert()) std::_Exit(2);
          raise(signal);
          std::_Exit(Plattform::BeendenAngefordert() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "")
        << signal;
  }
}

TEST(Plattform, FesterZufallsStartAusDerUmgebung) {
  struct Fall {
    const char* text;
    bool gilt;
    uint32_t wert;
  };
  const Fall faelle[] = {{"1", true, 1},          {"4294967295", true, 4294967295u},
                         {"4294967296", false, 0}, {"-1", false, 0},
                         {"12x", false, 0},        {"", false, 0}};
  for (const Fall& f : faelle) {
    setenv("WEILERBAU_SEED", f.text, 1);
    uint32_t wert = 0;
    EXPECT_EQ(Plattform::FesterZufallsStart(wert), f.gilt) << f.text;
    if (f.gilt) {
      EXPECT_EQ(wert, f.wert) << f.text;
    }
  }
  unsetenv("WEILERBAU_SEED");
  uint32_t wert = 0;
  EXPECT_FALSE(Plattform::FesterZufallsStart(wert));
}

// With the fixed step the counter moves only by frames, each exactly 1/60 s.
TEST(Plattform, FesterTaktZaehltNurBilder) {
  EXPECT_EXIT(
      {
        setenv("WEILERBAU_FESTER_TAKT", "1", 1);
        if (!Plattform::FesterTakt()) std::_Exit(1);
        const int64_t a = Plattform::LeistungsZaehler();
        usleep(2000);
        if (Plattform::LeistungsZaehler() != a) std::_Exit(2);
        Plattform::NaechstesBild();
        Plattform::NaechstesBild();
        const int64_t schritt = Plattform::LeistungsFrequenz() / 60;
        std::_Exit(Plattform::LeistungsZaehler() - a == 2 * schritt ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}

// The soak runs' memory sample counts live allocations: 50 MB in small blocks show while they
// are held and are gone once freed, though the allocator may keep the pages.
TEST(Plattform, SpeicherprobeZaehltLebendeBloecke) {
  EXPECT_EXIT(
      {
        setenv("WEILERBAU_SPEICHERPROBE", "0.001", 1);
        if (!std::freopen("proben.txt", "w", stdout)) std::_Exit(1);
        Plattform::Speicherprobe();
        std::vector<char*> bloecke(200000);
        for (char*& b : bloecke) {
          b = static_cast<char*>(std::malloc(256));
          std::memset(b, 1, 256);
        }
        usleep(3000);
        Plattform::Speicherprobe();
        for (char* b : bloecke) std::free(b);
        usleep(3000);
        Plattform::Speicherprobe();
        std::fclose(stdout);
        FILE* f = std::fopen("proben.txt", "r");
        double sekunden = 0;
        unsigned long long lebend[3] = {};
        long resident = 0;
        for (unsigned long long& l : lebend)
          if (!f || std::fscanf(f, "Speicherprobe: %lf s, lebend %llu B, resident %ld kB\n", &sekunden, &l,
                                &resident) != 3 || resident <= 0)
            std::_Exit(2);
        const unsigned long long mb40 = 40ull << 20;
        std::_Exit(lebend[1] >= lebend[0] + mb40 && lebend[2] + mb40 <= lebend[1] ? 0 : 3);
      },
      ::testing::ExitedWithCode(0), "");
}
