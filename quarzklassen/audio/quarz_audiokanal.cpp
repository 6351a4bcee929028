#include "quarzklassen/audio/quarz_audiokanal.h"

#include "quarzklassen/audio/quarz_audio.h"

Quarz_AudioKanal::~Quarz_AudioKanal() { GibEchoFrei(); }

void Quarz_AudioKanal::GibEchoFrei() {
  if (mEchoDSP == nullptr) return;
  Klang::Ergebnis e = mEchoDSP->remove();
  if (e != Klang::OK)
    Quarz_Audio::MeldeFehler(
        "!Quarz_AudioKanal::~Quarz_AudioKanal(): Entfernen des Echo-DSPs gescheitert.", e);
  e = mEchoDSP->release();
  if (e != Klang::OK)
    Quarz_Audio::MeldeFehler(
        "!Quarz_AudioKanal::~Quarz_AudioKanal(): Freigeben des Echo-DSPs gescheitert.", e);
  mEchoDSP = nullptr;
}
