#include "quarzklassen/audio/quarz_audiosample.h"

#include "quarzklassen/audio/quarz_audio.h"

Quarz_AudioSample::~Quarz_AudioSample() {
  if (mSound != nullptr) {
    const Klang::Ergebnis e = mSound->release();
    if (e != Klang::OK)
      Quarz_Audio::MeldeFehler(
          "!Quarz_AudioSample::~Quarz_AudioSample(): Freigeben des Audio-Samples fehlgeschlagen", e);
  }
  mSound = nullptr;
  mLeser = nullptr;
}

Klang::Ergebnis Quarz_AudioSample::LeseRueckruf(Klang::Sound* sound, void* daten,
                                                uint32_t laenge) {
  void* nutzerDaten = nullptr;
  if (sound != nullptr) sound->getUserData(&nutzerDaten);
  auto* sample = static_cast<Quarz_AudioSample*>(nutzerDaten);
  if (sample == nullptr) return Klang::OK;
  if (sample->mLeser) sample->mLeser(daten, laenge);
  return Klang::OK;
}
