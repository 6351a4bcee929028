#pragma once
// A console command: a name bound to a handler that receives the rest of the typed line.
// Commands are statically allocated records that register themselves by name.
#include <map>
#include <string>

class Quarz_KonsolenBefehl {
public:
  using Behandler = void (*)(const std::string& rest);

  Quarz_KonsolenBefehl(const char* name, Behandler behandler);
  Quarz_KonsolenBefehl(const Quarz_KonsolenBefehl&) = delete;
  Quarz_KonsolenBefehl& operator=(const Quarz_KonsolenBefehl&) = delete;

  // The record with exactly that name, or null.
  static Quarz_KonsolenBefehl* Finde(const std::string& name);
  // First command name (in name order) beginning with praefix; empty when none.
  static std::string Vervollstaendige(const std::string& praefix);

  // The registry, created on first use (registration order across files does not matter).
  // Null until the first command registers.
  using Register = std::map<std::string, Quarz_KonsolenBefehl*>;
  static Register* Befehle();
  static void Registriere(Quarz_KonsolenBefehl* befehl);

  std::string mName;
  Behandler mBehandler;
};

// The registry; null until the first command registers.
extern constinit Quarz_KonsolenBefehl::Register* gBefehle;

// Handlers of the built-in commands "quit" and "help".
void BefehlQuit(const std::string& rest);
void BefehlHelp(const std::string& rest);
