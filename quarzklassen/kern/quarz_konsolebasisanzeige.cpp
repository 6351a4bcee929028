#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"

#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_KonsoleBasisAnzeige::Quarz_KonsoleBasisAnzeige() : mLog(&gLog) {
  mLog->mAnzeige = this;  // a later display replaces an earlier one
}

Quarz_KonsoleBasisAnzeige::~Quarz_KonsoleBasisAnzeige() {
  // A newer display may have taken over; leave it registered.
  if (mLog->mAnzeige == this) mLog->mAnzeige = nullptr;
}

void Quarz_KonsoleBasisAnzeige::FuehreAus(const std::string& zeile) {
  gLog.Schreibe(">%s", zeile.c_str());
  if (Quarz_KonsolenBefehl::Befehle() == nullptr) {
    gLog.Schreibe("!Keine Konsolenbefehle definiert.");
    return;
  }
  const size_t leer = zeile.find(' ');
  if (leer == 0) return;  // a line that begins with a blank names no command
  const std::string wort = zeile.substr(0, leer);
  const std::string rest = leer == std::string::npos ? std::string() : zeile.substr(leer + 1);
  if (Quarz_KonsolenBefehl* befehl = Quarz_KonsolenBefehl::Finde(wort))
    befehl->mBehandler(rest);
  else
    gLog.Schreibe("!Unbekannter Befehl \"%s\"", wort.c_str());
}
