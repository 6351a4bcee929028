#include "quarzklassen/kern/stackwalker.h"

#include <cstring>

#include "plattform/absturz/absturz_linux.h"
#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_system.h"

namespace {

constexpr size_t kMaxFrames = 128;  // a stack overflow has ~100,000: the top tells the story
constexpr const char* kSymbolTypen[] = {"-nosymbols-", "COFF",   "CV",  "PDB",    "-exported-",
                                        "-deferred-",  "SYM",    "DIA", "Virtual"};

void Kopiere(char* ziel, const char* text) {
  const size_t n = std::strlen(text);
  const size_t k = n < StackWalker::TextLaenge - 1 ? n : StackWalker::TextLaenge - 1;
  std::memcpy(ziel, text, k);
  ziel[k] = '\0';
}

}  // namespace

StackWalker::StackWalker(uint32_t optionen, const char* symbolPfad, uint32_t prozessId, void*)
    : mProzessId(prozessId ? prozessId : Plattform::ProzessId()),
      mSymbolPfad(symbolPfad),
      mOptionen(optionen) {}

StackWalker::~StackWalker() = default;

bool StackWalker::LadeModule() {
  if (mModuleGeladen) return true;
  Plattform::AbsturzText pfad;
  if (mOptionen & OptSymbolPfad) {
    // Where the debug information is looked for: the owner's path, then the current folder.
    if (mSymbolPfad) pfad.Text(mSymbolPfad).Text(";");
    pfad.Text(".;");
    char ordner[1024];
    if (Plattform::AktuellerOrdner(ordner, sizeof(ordner))) pfad.Text(ordner).Text(";");
  }
  BeiSymbolStart(pfad.Daten(), mOptionen, gSystem.mBenutzerName.c_str());
  Plattform::FuerJedesModul(
      [](const Plattform::ModulOrt& modul, void* selbst) {
        static_cast<StackWalker*>(selbst)->BeiModulGeladen(
            modul.pfad, Plattform::DateiNameVon(modul.pfad), modul.basis,
            static_cast<uint32_t>(modul.ende - modul.basis));
      },
      this);
  mModuleGeladen = true;
  return true;
}

void StackWalker::FuelleEintrag(uint64_t adresse, bool ruecksprung, StapelEintrag& e) {
  std::memset(&e, 0, sizeof(e));
  e.adresse = adresse;
  e.symbolTypText = kSymbolTypen[0];
  // A return address points behind the call: its line is the call's line.
  Plattform::SymbolInfo info;
  const bool gefunden = Plattform::Symbolisiere(ruecksprung ? adresse - 1 : adresse, info);
  if (mOptionen & OptSymbole) {
    if (info.roh[0]) {
      Kopiere(e.name, info.roh);
      Kopiere(e.unDName, info.name);
      Kopiere(e.unDFullName, info.name);
      e.versatzVonSymbol = info.symbolVersatz;
    } else {
      BeiHilfeFehler("SymGetSymFromAddr64", 0, adresse);
    }
  }
  if (mOptionen & OptZeilen) {
    if (info.datei[0]) {
      Kopiere(e.zeilenDatei, info.datei);
      e.zeilenNummer = info.zeile;
    } else {
      BeiHilfeFehler("SymGetLineFromAddr64", 0, adresse);
    }
  }
  if (mOptionen & OptModulInfo) {
    Plattform::ModulOrt modul;
    if (Plattform::FindeModul(adresse, modul)) {
      Kopiere(e.modulName, Plattform::DateiNameVon(modul.pfad));
      Kopiere(e.geladenerBildName, modul.pfad);
      e.basisAdresse = modul.basis;
      e.symbolTyp = !gefunden ? 0 : info.datei[0] ? 3 : 4;
      e.symbolTypText = kSymbolTypen[e.symbolTyp];
    } else {
      BeiHilfeFehler("SymGetModuleInfo64", 0, adresse);
    }
  }
}

bool StackWalker::ZeigeAufrufstapel(uint32_t thread, const Plattform::AbsturzFall* fall) {
  if (!LadeModule()) return false;
  Plattform::AbsturzFall hier;
  if (fall == nullptr) {
    // Only the calling thread's own stack can be walked without its crash context.
    if (thread != 0 && thread != Plattform::ThreadId()) return false;
    fall = &hier;
  }
  uint64_t frames[kMaxFrames];
  const size_t anzahl = Plattform::RoheFrames(*fall, frames, kMaxFrames);
  static StapelEintrag eintrag;  // 24 KiB: kept off the (alternate) signal stack
  for (size_t i = 0; i < anzahl; ++i) {
    if (frames[i] == 0) break;
    FuelleEintrag(frames[i], i > 0, eintrag);
    BeiStapelEintrag(i == 0 ? ErsterEintrag : WeitererEintrag, eintrag);
  }
  std::memset(&eintrag, 0, sizeof(eintrag));
  BeiStapelEintrag(LetzterEintrag, eintrag);
  Ausgabe("\n");
  return true;
}

void StackWalker::BeiSymbolStart(const char* suchPfad, uint32_t symOptionen,
                                 const char* benutzerName) {
  Plattform::AbsturzText text;
  text.Text("SymInit: Symbol-SearchPath: '").Text(suchPfad).Text("', symOptions: ");
  text.Dez(symOptionen).Text(", UserName: '").Text(benutzerName).Text("'\n");
  Ausgabe(text.Daten());
  uint32_t major, minor, patch;
  Plattform::SystemVersion(major, minor, patch);
  text.Leeren();
  text.Text("OS-Version: ").Dez(major).Text(".").Dez(minor).Text(".").Dez(patch);
  text.Text(" (Linux) 0x8201\n");
  Ausgabe(text.Daten());
}

void StackWalker::BeiModulGeladen(const char*, const char*, uint64_t, uint32_t) {}

void StackWalker::BeiStapelEintrag(EintragsTyp typ, StapelEintrag& e) {
  if (typ == LetzterEintrag || e.adresse == 0) return;
  const char* name = e.unDFullName[0] ? e.unDFullName
                     : e.unDName[0]   ? e.unDName
                     : e.name[0]      ? e.name
                                      : "(function-name not available)";
  Plattform::AbsturzText text;
  if (e.zeilenDatei[0]) {
    text.Text(e.zeilenDatei).Text(" (").Dez(e.zeilenNummer).Text("): ").Text(name).Text("\n");
  } else {
    text.Hex(e.adresse, 16).Text(" (").Text(e.modulName[0] ? e.modulName : "(module-name not available)");
    text.Text("): (filename not available): ").Text(name).Text("\n");
  }
  Ausgabe(text.Daten());
}

void StackWalker::BeiHilfeFehler(const char*, uint32_t, uint64_t) {}

void StackWalker::Ausgabe(const char* text) {
  // Without a debugger's output window, standard error stands in for it.
  Plattform::SchreibeAlles(2, text, std::strlen(text));
}
