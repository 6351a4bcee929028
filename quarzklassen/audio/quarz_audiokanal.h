#pragma once
// A sound channel; owns its echo effect.
#include "plattform/klang/klang.h"

class Quarz_AudioKanal {
public:
  Quarz_AudioKanal() = default;
  ~Quarz_AudioKanal();
  Quarz_AudioKanal(const Quarz_AudioKanal&) = delete;
  Quarz_AudioKanal& operator=(const Quarz_AudioKanal&) = delete;

  // Removes and releases the echo effect (each failure logged) and forgets it, so that no one
  // releases it a second time.
  void GibEchoFrei();

  Klang::DSP* mEchoDSP = nullptr;
};
