#include "quarzklassen/quarz_konsolenbefehl.h"

#include "quarzklassen/quarz_log.h"
#include "quarzklassen/quarz_system.h"

constinit Quarz_KonsolenBefehl::Register* gBefehle = nullptr;

Quarz_KonsolenBefehl::Quarz_KonsolenBefehl(const char* name, Behandler behandler)
    : mName(name), mBehandler(behandler) {
  Registriere(this);
}

Quarz_KonsolenBefehl::Register* Quarz_KonsolenBefehl::Befehle() { return gBefehle; }

void Quarz_KonsolenBefehl::Registriere(Quarz_KonsolenBefehl* befehl) {
  // Created by the first registration, whichever file's static initialiser runs first.
  if (gBefehle == nullptr) gBefehle = new Register;
  (*gBefehle)[befehl->mName] = befehl;  // the last registration of a name wins
}

Quarz_KonsolenBefehl* Quarz_KonsolenBefehl::Finde(const std::string& name) {
  if (gBefehle == nullptr) return nullptr;
  const auto it = gBefehle->find(name);
  return it == gBefehle->end() ? nullptr : it->second;
}

std::string Quarz_KonsolenBefehl::Vervollstaendige(const std::string& praefix) {
  if (gBefehle == nullptr) return {};
  const auto it = gBefehle->lower_bound(praefix);
  if (it == gBefehle->end() || it->first.compare(0, praefix.size(), praefix) != 0) return {};
  return it->first;
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
