// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "quarzklassen/kern/quarz_system.h"

#include <cstdio>
#include <cstdlib>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_System gSystem;

namespace {

// The folder that holds a path's last component: "/a/b" -> "/a", "/a" -> "/", "a" -> "".
std::string Elternordner(const std::string& pfad) {
  const size_t pos = pfad.find_last_of('/');
  if (pos == std::string::npos) return {};
  if (pos == 0) return "/";
  return pfad.substr(0, pos);
}

std::string LetzteKomponente(const std::string& pfad) {
  const size_t pos = pfad.find_last_of('/');
  return pos == std::string::npos ? pfad : pfad.substr(pos + 1);
}

bool HatEltern(const std::string& ordner) { return !ordner.empty() && ordner != "/"; }

std::string Anhaengen(const std::string& ordner, const char* name) {
  if (ordner.empty()) return name;
  return ordner.back() == '/' ? ordner + name : ordner + "/" + name;
}

}  // namespace

Quarz_System::Quarz_System() {
  std::string programm;
  if (!Plattform::ProgrammPfad(programm)) programm.clear();
  std::string daten;
  if (!Plattform::AnwendungsDatenOrdner(daten)) daten.clear();
  try {
    Initialisiere(programm, daten, Plattform::BenutzerName());
  } catch (const Quarz_Ausnahme& a) {
    // Static initialisation: no handler above us yet. Say why and end the process.
    std::fprintf(stderr, "%s (%s, %s:%lld)\n", a.mMeldung.c_str(), a.mFunktion.c_str(),
                 a.mDatei.c_str(), static_cast<long long>(a.mZeile));
    std::_Exit(EXIT_FAILURE);
  }
}

void Quarz_System::Initialisiere(const std::string& programmPfad,
                                 const std::string& anwendungsDaten,
                                 const std::string& benutzerName) {
  mPraesenz = Fokus;
  mSichtbar = true;
  mFokus = true;
  mBeenden = false;

  if (programmPfad.empty()) {
    gLog.Schreibe("!Unable to obtain path to executable.");
    gLog.Schreibe("!Now we are all going to die.");
    Quarz_Ausnahme::Wirf("Unable to obtain path to game executable.", "Quarz_System::Quarz_System",
                         "quarz_system.cpp", 28);
  }

  // The program may lie in a build folder bin64 (or bin32); the data sit beside that folder.
  std::string anwendung = Elternordner(programmPfad);
  if (HatEltern(anwendung)) {
    const std::string letzte = LetzteKomponente(anwendung).substr(0, 5);
    if (letzte == "bin32" || letzte == "bin64") anwendung = Elternordner(anwendung);
  }
  mAnwendungsPfad = WandleUtf8NachUtf32(anwendung);

  std::string benutzer = anwendungsDaten;
  if (benutzer.empty()) {
    gLog.Schreibe("?Unable to obtain path to \"AppData\". Trying application directory...");
    benutzer = anwendung;
  }
  benutzer = Anhaengen(benutzer, "Weilerbau");
  mBenutzerPfad = WandleUtf8NachUtf32(benutzer);

  if (!Plattform::OrdnerExistiert(benutzer) && !Plattform::ErstelleOrdner(benutzer))
    gLog.Schreibe("!Unable to create user data path \"%s\". This will end in tears.",
                  benutzer.c_str());

  mBenutzerName = benutzerName;
  if (mBenutzerName.empty()) {
    gLog.Schreibe("?Unable to obtain user name. Using dummy name instead...");
    mBenutzerName = "user";
  }
}

void Quarz_System::SetzeFensterZustand(bool sichtbar, bool fokus) {
  mSichtbar = sichtbar;
  mFokus = fokus;
  const Praesenz neu = !sichtbar ? Minimiert : (fokus ? Fokus : OhneFokus);
  if (neu == mPraesenz) return;
  mPraesenz = neu;
  mPraesenzSignal(neu);
}

boost::signals2::connection Quarz_System::VerbindePraesenz(
    const std::function<void(Praesenz)>& slot) {
  return mPraesenzSignal.connect(slot);
}
