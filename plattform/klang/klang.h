#pragma once
// Our sound layer: the system object the audio system creates, asks for its version and its
// output drivers, switches to silent output and releases; sounds and effects with their
// clean-up. The real back end lies over ALSA; tests put a back end of their own in its place.
//
// Results are numbers in one scheme for every back end (0 is success); Quarz_Audio::FehlerText
// gives their texts.
#include <cstdint>
#include <string>

namespace Klang {

using Ergebnis = uint32_t;

enum : Ergebnis {
  OK = 0,
  GERAET_BELEGT = 1,         // the device is in use by another program
  UNGUELTIGER_PARAMETER = 2, // e.g. a driver index outside the list
  GERAET_FEHLT = 3,          // the device or card is gone
  EIN_AUSGABE_FEHLER = 4,
  NICHT_UNTERSTUETZT = 5,
  INTERNER_FEHLER = 6,       // any other error of the back end
  DATEI_NICHT_GEFUNDEN = 23,
  KEIN_SPEICHER = 43,
};

// Output modes of setOutput.
enum Ausgabe : int { AUSGABE_AUTOMATISCH = 0, AUSGABE_STUMM = 2 };

// Speaker modes a driver reports.
enum Lautsprecher : int { MONO = 1, STEREO = 2, QUAD = 3, SURROUND_5_1 = 5, SURROUND_7_1 = 6 };

// Capability bits of a driver.
enum Faehigkeit : uint32_t { HARDWARE = 1, MEHRKANAL = 2, FLIESSKOMMA = 4 };

class DSP {
public:
  virtual ~DSP() = default;
  virtual Ergebnis remove() { return OK; }
  virtual Ergebnis release() {
    delete this;
    return OK;
  }
};

class Sound {
public:
  virtual ~Sound() = default;
  virtual Ergebnis release() {
    delete this;
    return OK;
  }
  Ergebnis setUserData(void* daten) {
    mNutzerDaten = daten;
    return OK;
  }
  Ergebnis getUserData(void** daten) const {
    *daten = mNutzerDaten;
    return OK;
  }

private:
  void* mNutzerDaten = nullptr;
};

class System {
public:
  virtual ~System() = default;
  virtual Ergebnis getVersion(uint32_t* version) = 0;
  virtual Ergebnis getNumDrivers(int* anzahl) = 0;
  // The driver's name, cut to fit `laenge` bytes with its terminator.
  virtual Ergebnis getDriverInfo(int treiber, char* name, int laenge) = 0;
  virtual Ergebnis getDriverCaps(int treiber, uint32_t* faehigkeiten, int* rate,
                                 int* lautsprecher) = 0;
  virtual Ergebnis setOutput(int ausgabe) = 0;
  // Frees the system (the object is gone afterwards).
  virtual Ergebnis release() = 0;
};

// The version our layer reports.
constexpr uint32_t kVersion = 0x00044460;

// Creates the system of the current back end (ALSA unless a test set another).
Ergebnis System_Create(System** system);
using Fabrik = Ergebnis (*)(System** system);
void SetzeFabrik(Fabrik fabrik);  // nullptr: back to ALSA

// Where the back end's own diagnostics go (one line each); nullptr drops them.
using MeldungsZiel = void (*)(const char* zeile);
void SetzeMeldungsZiel(MeldungsZiel ziel);
void Melde(const char* zeile);

// The result for a negative errno of the back end.
Ergebnis AusFehlerNummer(int fehler);

// Copies text into a buffer of `groesse` bytes (terminator included), cut at a character
// boundary of UTF-8.
void KopiereUtf8(const std::string& text, char* ziel, int groesse);

}  // namespace Klang
