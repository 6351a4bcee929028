#pragma once
// The engine's sound system: creates the sound layer's system object, checks its version,
// lists the output drivers with their capabilities, falls back to silent output without a
// driver, and releases everything at exit. All state is class-wide; one object (gAudio, in the
// game only) carries the start-up and the exit.
#include <cstdint>
#include <string>
#include <vector>

#include "plattform/klang/klang.h"
#include "quarzklassen/kern/tlueckenfeld.h"

class Quarz_AudioKanal;
class Quarz_AudioSample;

class Quarz_Audio {
public:
  struct TreiberInfo {
    std::string name;             // as the layer reports it, at most 256 bytes
    uint32_t faehigkeiten = 0;    // the layer's capability bits
    int32_t ausgabeRate = 0;      // control-panel output rate
    int32_t lautsprecherModus = 2;  // control-panel speaker mode (stereo)
    uint8_t gueltig = 0;          // the capability query succeeded
  };

  static constexpr uint32_t MindestVersion = 0x44450;

  // Clears the state. The creation steps run in Erstelle, which the program calls right after
  // the log started, so that their diagnostics reach the log.
  Quarz_Audio();
  // Exit: shuts down and frees the driver list and the pools.
  ~Quarz_Audio();
  Quarz_Audio(const Quarz_Audio&) = delete;
  Quarz_Audio& operator=(const Quarz_Audio&) = delete;

  // Creates the system, checks the version and lists the drivers.
  static void Erstelle();
  // Shutdown; does nothing without a system.
  static void Beenden();
  static const char* FehlerText(uint32_t code);

  static Klang::System* mSystem;
  static std::vector<TreiberInfo> mTreiber;
  static TLueckenFeld<Quarz_AudioKanal*> mKanaele;
  static TLueckenFeld<Quarz_AudioSample*> mSamples;
  static uint8_t mInitialisiert;

  // A failed call: the error line, then "!  Fehler <code>: <text>".
  static void MeldeFehler(const char* zeile, Klang::Ergebnis code);
};
