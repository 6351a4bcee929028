#pragma once
// Walks the call stack of a crashed thread frame by frame and turns every frame into a text
// with symbol, source file and line. Subclasses decide where the texts go (Ausgabe) and may
// look at the modules and at each frame on the way.
//
// Everything here runs inside the crash handler: no allocation of its own, fixed-size texts.
#include <cstdint>

namespace Plattform {
struct AbsturzFall;
}

class StackWalker {
public:
  // Option bits.
  enum Optionen : uint32_t {
    OptSymbole = 1,
    OptZeilen = 2,
    OptModulInfo = 4,
    OptDateiVersion = 8,
    OptSymbolPfad = 16,
    OptSymbolServer = 32,
    OptAlle = 63,
  };
  enum EintragsTyp { ErsterEintrag = 0, WeitererEintrag = 1, LetzterEintrag = 2 };

  static constexpr int TextLaenge = 4096;

  // One frame as BeiStapelEintrag receives it.
  struct StapelEintrag {
    uint64_t adresse;  // 0: no valid frame
    char name[TextLaenge];
    char unDName[TextLaenge];
    char unDFullName[TextLaenge];
    uint64_t versatzVonSymbol;
    uint32_t versatzVonZeile;
    uint32_t zeilenNummer;
    char zeilenDatei[TextLaenge];
    uint32_t symbolTyp;
    const char* symbolTypText;
    char modulName[TextLaenge];
    uint64_t basisAdresse;
    char geladenerBildName[TextLaenge];
  };

  StackWalker(uint32_t optionen = OptAlle, const char* symbolPfad = nullptr, uint32_t prozessId = 0,
              void* prozess = nullptr);
  virtual ~StackWalker();
  StackWalker(const StackWalker&) = delete;
  StackWalker& operator=(const StackWalker&) = delete;

  // Walks the stack of the crash described by `fall`; without one, the calling thread's own
  // stack (another thread's stack cannot be read without its crash). False when the modules
  // could not be loaded.
  bool ZeigeAufrufstapel(uint32_t thread, const Plattform::AbsturzFall* fall);
  // Lists the process's modules (once); called by ZeigeAufrufstapel.
  bool LadeModule();

protected:
  virtual void BeiSymbolStart(const char* suchPfad, uint32_t symOptionen, const char* benutzerName);
  virtual void BeiModulGeladen(const char* bild, const char* modul, uint64_t basis, uint32_t groesse);
  virtual void BeiStapelEintrag(EintragsTyp typ, StapelEintrag& eintrag);
  virtual void BeiHilfeFehler(const char* funktion, uint32_t fehler, uint64_t adresse);
  virtual void Ausgabe(const char* text);

  uint32_t mProzessId;
  bool mModuleGeladen = false;
  const char* mSymbolPfad;
  uint32_t mOptionen;

private:
  void FuelleEintrag(uint64_t adresse, bool ruecksprung, StapelEintrag& eintrag);
};
