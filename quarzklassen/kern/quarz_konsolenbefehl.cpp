#include "quarzklassen/kern/quarz_konsolenbefehl.h"

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_register.h"
#include "quarzklassen/kern/quarz_system.h"

constinit Quarz_KonsolenBefehl::Register* gBefehle = nullptr;

Quarz_KonsolenBefehl::Quarz_KonsolenBefehl(const char* name, Behandler behandler)
    : mName(name), mBehandler(behandler) {
  Registriere(this);
}

Quarz_KonsolenBefehl::Register* Quarz_KonsolenBefehl::Befehle() { return gBefehle; }

void Quarz_KonsolenBefehl::Registriere(Quarz_KonsolenBefehl* befehl) {
  Quarz_Register::Eintragen(gBefehle, befehl);
}

Quarz_KonsolenBefehl* Quarz_KonsolenBefehl::Finde(const std::string& name) {
  return Quarz_Register::Finde(gBefehle, name);
}

std::string Quarz_KonsolenBefehl::Vervollstaendige(const std::string& praefix) {
  return Quarz_Register::Vervollstaendige(gBefehle, praefix);
}

void BefehlQuit(const std::string&) { gSystem.mBeenden = true; }

void BefehlHelp(const std::string&) {
  gLog.Schreibe("Definierte Konsolenbefehle sind:");
  if (gBefehle == nullptr) {
    gLog.Schreibe("!Keine Konsolenbefehle definiert.");
    return;
  }
  for (const auto& [name, befehl] : *gBefehle) gLog.Schreibe(" - %s", name.c_str());
}

static Quarz_KonsolenBefehl gBefehlQuit("quit", BefehlQuit);
static Quarz_KonsolenBefehl gBefehlHelp("help", BefehlHelp);
