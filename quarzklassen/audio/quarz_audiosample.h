#pragma once
// A sample: a sound of the layer (owned) and the callable that supplies its PCM data.
#include <cstdint>
#include <functional>

#include "plattform/klang/klang.h"

class Quarz_AudioSample {
public:
  using Leser = std::function<void(void* daten, uint32_t laenge)>;

  Quarz_AudioSample() = default;
  ~Quarz_AudioSample();
  Quarz_AudioSample(const Quarz_AudioSample&) = delete;
  Quarz_AudioSample& operator=(const Quarz_AudioSample&) = delete;

  // The sound's read callback: finds the sample through the sound's user data and lets its
  // callable fill the data. Always 0.
  static Klang::Ergebnis LeseRueckruf(Klang::Sound* sound, void* daten, uint32_t laenge);

  Klang::Sound* mSound = nullptr;
  Leser mLeser;
};
