#pragma once
// The process-wide system object gSystem: where the program lies, where the user's data goes,
// who the user is, whether the window is focused, unfocused or minimised, and the quit flag.
#include <boost/signals2/signal.hpp>
#include <cstdint>
#include <functional>
#include <string>

class Quarz_System {
public:
  enum Praesenz : uint32_t { Fokus = 0, OhneFokus = 1, Minimiert = 2 };

  // Resolves the program folder, the user-data folder (created when missing) and the user name.
  // Throws Quarz_Ausnahme when the program's own path cannot be found.
  Quarz_System();
  Quarz_System(const Quarz_System&) = delete;
  Quarz_System& operator=(const Quarz_System&) = delete;

  // The construction steps, taking the platform's answers as arguments (empty = unavailable),
  // so that every path of the rules can be exercised. Used by the constructor.
  void Initialisiere(const std::string& programmPfad, const std::string& anwendungsDaten,
                     const std::string& benutzerName);

  // Sets presence, visibility and focus from the window's state and fires mPraesenzSignal when
  // the presence changed. While iconified the presence stays Minimiert whatever the focus does.
  void SetzeFensterZustand(bool sichtbar, bool fokus);

  // Connects a slot to mPraesenzSignal. Prefer it to calling connect directly: g++ 12 gives a
  // false maybe-uninitialized warning inside boost's connect at -O2, kept quiet in one place.
  boost::signals2::connection VerbindePraesenz(const std::function<void(Praesenz)>& slot);

  Praesenz mPraesenz = Fokus;
  bool mSichtbar = true;
  bool mFokus = true;
  bool mBeenden = false;
  std::wstring mBenutzerPfad;     // user-data folder: log, "spiel.cfg", screenshots
  std::wstring mAnwendungsPfad;   // application folder: base of the data folder "Daten"
  std::string mBenutzerName;      // UTF-8
  std::function<void()> mEreignisAbfrage;  // polls the window system once per frame when set
  boost::signals2::signal<void(Praesenz)> mPraesenzSignal;
};

extern Quarz_System gSystem;
