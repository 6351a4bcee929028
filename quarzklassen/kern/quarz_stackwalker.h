#pragma once
// The engine's stack walker: every text becomes one crash-report line in the log.
#include "quarzklassen/kern/stackwalker.h"

class Quarz_StackWalker : public StackWalker {
public:
  Quarz_StackWalker() : StackWalker(OptAlle, nullptr) {}

protected:
  void Ausgabe(const char* text) override;
};
