#include "quarzklassen/audio/quarz_audio.h"

#include <string>

#include "quarzklassen/audio/quarz_audiokanal.h"
#include "quarzklassen/audio/quarz_audiosample.h"
#include "quarzklassen/kern/quarz_log.h"

Klang::System* Quarz_Audio::mSystem = nullptr;
std::vector<Quarz_Audio::TreiberInfo> Quarz_Audio::mTreiber;
TLueckenFeld<Quarz_AudioKanal*> Quarz_Audio::mKanaele;
TLueckenFeld<Quarz_AudioSample*> Quarz_Audio::mSamples;
uint8_t Quarz_Audio::mInitialisiert = 0;

namespace {

constexpr int kNamensLaenge = 256;

void LayerMeldung(const char* zeile) { gLog.SchreibeDebug("%s", zeile); }

// Frees every entry of a pool and empties it.
template <typename T>
void LoescheAlle(TLueckenFeld<T*>& pool) {
  for (auto it = pool.begin(); it != pool.end(); ++it) {
    const uint64_t slot = it.Index();
    T* eintrag = *it;
    pool.Entfernen(slot);
    delete eintrag;
  }
}

}  // namespace

Quarz_Audio::Quarz_Audio() {
  mSystem = nullptr;
  mTreiber.clear();
  mInitialisiert = 0;
}

Quarz_Audio::~Quarz_Audio() {
  Beenden();
  std::vector<TreiberInfo>().swap(mTreiber);
  mKanaele = TLueckenFeld<Quarz_AudioKanal*>();
  mSamples = TLueckenFeld<Quarz_AudioSample*>();
}

void Quarz_Audio::MeldeFehler(const char* zeile, Klang::Ergebnis code) {
  gLog.Schreibe("%s", zeile);
  gLog.Schreibe("!  Fehler %d: %s", static_cast<int>(code), FehlerText(code));
}

void Quarz_Audio::Erstelle() {
  if (mSystem != nullptr) return;  // created already: a second system would be lost
  Klang::SetzeMeldungsZiel(&LayerMeldung);
  Klang::Ergebnis e = Klang::System_Create(&mSystem);
  if (e != Klang::OK) {
    MeldeFehler("!Quarz_Audio::Quarz_Audio(): FMOD-Interface konnte nicht erstellt werden.", e);
    mSystem = nullptr;
    return;
  }

  uint32_t version = 0;
  e = mSystem->getVersion(&version);
  if (e != Klang::OK) {
    MeldeFehler("!Quarz_Audio::Quarz_Audio(): Versionsabfrage gescheitert.", e);
    Beenden();
    return;
  }
  if (version < MindestVersion) {
    MeldeFehler("!Quarz_Audio::Quarz_Audio(): Falsche FMOD-Version liegt neben der Exe.", 0);
    Beenden();
    return;
  }

  int anzahl = 0;
  e = mSystem->getNumDrivers(&anzahl);
  if (e != Klang::OK) {
    MeldeFehler(
        "!Quarz_Audio::Quarz_Audio(): Verfügbare Audio-Treiber konnten nicht ermittelt werden", e);
    Beenden();
    return;
  }
  if (anzahl <= 0) {
    // A negative count means none: reserving it would ask for an absurd size.
    anzahl = 0;
    gLog.Schreibe("!Quarz_Audio::Quarz_Audio(): Keine Audio-Treiber verfügbar.");
    e = mSystem->setOutput(Klang::AUSGABE_STUMM);
    if (e != Klang::OK)
      MeldeFehler(
          "! Quarz_Audio::Quarz_Audio(): Nicht einmal 'kein Sound' konnte initialisiert werden.", e);
  }

  mTreiber.reserve(static_cast<size_t>(anzahl));
  for (int i = 0; i < anzahl; ++i) {
    TreiberInfo info;
    char name[kNamensLaenge] = {};
    e = mSystem->getDriverInfo(i, name, kNamensLaenge);
    if (e == Klang::OK) {
      name[kNamensLaenge - 1] = '\0';
      info.name = name;
      uint32_t faehigkeiten = 0;
      int rate = 0, lautsprecher = 2;
      e = mSystem->getDriverCaps(i, &faehigkeiten, &rate, &lautsprecher);
      if (e == Klang::OK) {
        info.faehigkeiten = faehigkeiten;
        info.ausgabeRate = rate;
        info.lautsprecherModus = lautsprecher;
        info.gueltig = 1;
      }
    }
    if (e != Klang::OK) {
      const std::string zeile = "!Quarz_Audio::Quarz_Audio(): Fähigkeiten-Prüfung bei Treiber " +
                                std::to_string(i) + " fehlgeschlagen";
      MeldeFehler(zeile.c_str(), e);
    } else {
      gLog.SchreibeDebug("Audio-Treiber %d: %s (%d Hz)", i, info.name.c_str(), info.ausgabeRate);
    }
    mTreiber.push_back(std::move(info));
  }
}

void Quarz_Audio::Beenden() {
  if (mSystem == nullptr) return;
  gLog.Schreibe("Audio wird geschlossen.");

  LoescheAlle(mSamples);
  for (Quarz_AudioKanal* kanal : mKanaele) kanal->GibEchoFrei();
  LoescheAlle(mKanaele);

  const Klang::Ergebnis e = mSystem->release();
  if (e != Klang::OK) MeldeFehler("!Quarz_Audio::Beenden(): Schliessen von FMOD schlug fehl.", e);
  mSystem = nullptr;
  mInitialisiert = 0;
  Klang::SetzeMeldungsZiel(nullptr);
}

const char* Quarz_Audio::FehlerText(uint32_t code) {
  switch (code) {
    case Klang::OK: return "No errors.";
    case Klang::GERAET_BELEGT: return "The sound device is busy.";
    case Klang::UNGUELTIGER_PARAMETER: return "Invalid parameter.";
    case Klang::GERAET_FEHLT: return "The sound device is not available.";
    case Klang::EIN_AUSGABE_FEHLER: return "Input/output error of the sound device.";
    case Klang::NICHT_UNTERSTUETZT: return "Not supported by the sound device.";
    case Klang::INTERNER_FEHLER: return "Error of the sound layer.";
    case Klang::DATEI_NICHT_GEFUNDEN: return "File not found. ";
    case Klang::KEIN_SPEICHER: return "Not enough memory or resources. ";
    default: return code <= 95 ? "Error of the sound layer." : "Unknown error.";
  }
}
