#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"

#include <cstdlib>
#include <cstring>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_IndexBuffer::Quarz_IndexBuffer(uint32_t flags, TInitialInhalt* inhalt)
    : mFlags(flags & ~0xFFu), mFormat(static_cast<uint8_t>(flags & 0xFF)) {
  const bool hatDaten = inhalt && inhalt->mDaten && inhalt->mBytes;
  mGroesse = inhalt ? inhalt->mBytes : 0;
  if (mGroesse == 0) QUARZ_MELDE("Ungültige Buffergröße", "Quarz_IndexBuffer::Quarz_IndexBuffer");
  if (mFormat == 0) QUARZ_MELDE("Ungültiges Indexformat", "Quarz_IndexBuffer::Quarz_IndexBuffer");
  if (!(mFlags & FLAG_DYNAMISCH) && mGroesse && !hatDaten)
    QUARZ_MELDE("Initialdaten müssen statischen Buffer ausfüllen",
                "Quarz_IndexBuffer::Quarz_IndexBuffer");

  mZustand = FREIGEGEBEN;
  Benutzen();
  if (hatDaten && mZustand == VORHANDEN && !LadeHoch(inhalt->mDaten, mGroesse))
    QUARZ_MELDE("Schreiben der Initialdaten gescheitert", "Quarz_IndexBuffer::Quarz_IndexBuffer");

  if (!(mFlags & FLAG_FLUECHTIG) && mGroesse) {
    if (hatDaten && inhalt->mUebergabe == 1) {
      mKopie = static_cast<uint8_t*>(inhalt->mDaten);
      inhalt->mDaten = nullptr;
    } else {
      mKopie = static_cast<uint8_t*>(std::calloc(mGroesse, 1));
      if (mKopie && hatDaten) std::memcpy(mKopie, inhalt->mDaten, mGroesse);
    }
  }
  // Handed-over memory that was not kept is the buffer's to free.
  if (inhalt && inhalt->mUebergabe == 1 && inhalt->mDaten) {
    std::free(inhalt->mDaten);
    inhalt->mDaten = nullptr;
    inhalt->mBytes = 0;
  }
}

Quarz_IndexBuffer::~Quarz_IndexBuffer() {
  if (mZustand == VORHANDEN) Plattform::SicherFreigeben(mBuffer);
  std::free(mKopie);
}

bool Quarz_IndexBuffer::LadeHoch(const void* daten, uint64_t bytes) {
  return Quarz::Intern::FuelleBuffer(mBuffer, daten, bytes, (mFlags & FLAG_DYNAMISCH) != 0);
}

void Quarz_IndexBuffer::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  if (mZustand != FREIGEGEBEN) return;
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet) return;
  const DWORD nutzung = D3DUSAGE_WRITEONLY | ((mFlags & FLAG_DYNAMISCH) ? D3DUSAGE_DYNAMIC : 0);
  const D3DFORMAT format = mFormat == INDEX_32 ? D3DFMT_INDEX32 : D3DFMT_INDEX16;
  const HRESULT hr = Quarz::Intern::ErzeugeMitPlatz(
      [&] {
        return geraet->CreateIndexBuffer(static_cast<UINT>(mGroesse), nutzung, format,
                                         D3DPOOL_DEFAULT, &mBuffer, nullptr);
      },
      false);
  if (FAILED(hr)) {
    mBuffer = nullptr;
    gLog.Schreibe("!Quarz_IndexBuffer::Quarz_IndexBuffer( %d): Failed to create index buffer",
                  static_cast<int>(mGroesse));
    QUARZ_MELDE("IndexBuffer creation failed", "Quarz_IndexBuffer::Benutzen");
    return;
  }
  mZustand = VORHANDEN;
  if (mKopie && !LadeHoch(mKopie, mGroesse))
    QUARZ_MELDE("Schreiben des Bufferinhalts gescheitert", "Quarz_IndexBuffer::Benutzen");
}

void Quarz_IndexBuffer::VorZuruecksetzen() {
  if (mZustand != VORHANDEN) return;
  Plattform::SicherFreigeben(mBuffer);
  mZustand = FREIGEGEBEN;
}
