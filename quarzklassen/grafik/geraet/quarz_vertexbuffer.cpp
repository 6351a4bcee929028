#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"

Quarz_VertexBuffer::Quarz_VertexBuffer(uint64_t groesse, uint32_t flags, TInitialInhalt* inhalt)
    : mFlags(flags) {
  const uint64_t inhaltBytes = inhalt && inhalt->mDaten ? inhalt->mBytes : 0;
  mGroesse = groesse ? groesse : (inhalt ? inhalt->mBytes : 0);
  if (mGroesse == 0) QUARZ_MELDE("Ungültige Buffergröße", "Quarz_VertexBuffer::Quarz_VertexBuffer");
  if (!(mFlags & FLAG_DYNAMISCH) && inhaltBytes != mGroesse) {
    gLog.Schreibe(
        "!Quarz_VertexBuffer::Quarz_VertexBuffer( %d, %d, ...): VertexBuffer ohne FLAG_DYNAMISCH "
        "kann nachträglich nicht mehr beschrieben werden. Vorgabedaten müssen daher den Buffer "
        "vollständig ausfüllen.",
        static_cast<int>(mGroesse), static_cast<int>(mFlags));
    QUARZ_MELDE("Initialdaten müssen zum Buffer passen", "Quarz_VertexBuffer::Quarz_VertexBuffer");
  }
  // Content beyond the buffer's end is cut off: copying all of it would write past the buffer.
  const uint64_t kopierBytes = std::min(inhaltBytes, mGroesse);

  mZustand = FREIGEGEBEN;
  Benutzen();
  // A buffer whose creation failed gets nothing uploaded; its kept copy fills it on a later use.
  if (kopierBytes && mZustand == VORHANDEN && !LadeHoch(inhalt->mDaten, kopierBytes))
    QUARZ_MELDE("Schreiben der Initialdaten gescheitert", "Quarz_VertexBuffer::Quarz_VertexBuffer");

  if (mFlags & FLAG_FLUECHTIG || mGroesse == 0) return;
  if (inhaltBytes == mGroesse && inhalt->mUebergabe == 1) {
    mKopie = static_cast<uint8_t*>(inhalt->mDaten);
    inhalt->mDaten = nullptr;
    return;
  }
  mKopie = static_cast<uint8_t*>(std::calloc(mGroesse, 1));
  if (mKopie && kopierBytes) std::memcpy(mKopie, inhalt->mDaten, kopierBytes);
}

Quarz_VertexBuffer::~Quarz_VertexBuffer() {
  if (mZustand == VORHANDEN) Plattform::SicherFreigeben(mBuffer);
  std::free(mKopie);
}

bool Quarz_VertexBuffer::LadeHoch(const void* daten, uint64_t bytes) {
  return Quarz::Intern::FuelleBuffer(mBuffer, daten, bytes, (mFlags & FLAG_DYNAMISCH) != 0);
}

void Quarz_VertexBuffer::Benutzen() {
  Quarz_BasisObjekt::Benutzen();
  if (mZustand != FREIGEGEBEN) return;
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet) return;
  const DWORD nutzung = D3DUSAGE_WRITEONLY | ((mFlags & FLAG_DYNAMISCH) ? D3DUSAGE_DYNAMIC : 0);
  const HRESULT hr = Quarz::Intern::ErzeugeMitPlatz(
      [&] {
        return geraet->CreateVertexBuffer(static_cast<UINT>(mGroesse), nutzung, 0, D3DPOOL_DEFAULT,
                                          &mBuffer, nullptr);
      },
      false);
  if (FAILED(hr)) {
    mBuffer = nullptr;
    gLog.Schreibe("!Quarz_VertexBuffer::Quarz_VertexBuffer( %d): Failed to create vertex buffer",
                  static_cast<int>(mGroesse));
    QUARZ_MELDE("VertexBuffer creation failed", "Quarz_VertexBuffer::Benutzen");
    return;
  }
  mZustand = VORHANDEN;
  if (mKopie && !LadeHoch(mKopie, mGroesse))
    QUARZ_MELDE("Schreiben des Bufferinhalts gescheitert", "Quarz_VertexBuffer::Benutzen");
}

void Quarz_VertexBuffer::SchreibeInhalt(TInitialInhalt* inhalt) {
  if (!inhalt) return;
  if (!(mFlags & FLAG_DYNAMISCH)) {
    QUARZ_MELDE("Nachträgliches Ändern des Inhalts nur bei dynamischer Ressource möglich",
                "Quarz_VertexBuffer::SchreibeInhalt");
    return;
  }
  if (inhalt->mBytes > mGroesse) {
    QUARZ_MELDE("Neuer Inhalt zu groß für Buffer", "Quarz_VertexBuffer::SchreibeInhalt");
    return;
  }
  if (inhalt->mDaten && inhalt->mBytes) {
    Benutzen();
    if (mZustand == VORHANDEN && !LadeHoch(inhalt->mDaten, inhalt->mBytes))
      QUARZ_MELDE("Schreiben des Bufferinhalts gescheitert", "Quarz_VertexBuffer::SchreibeInhalt");
    if (mKopie) std::memcpy(mKopie, inhalt->mDaten, inhalt->mBytes);
  }
  if (inhalt->mUebergabe == 1) {
    std::free(inhalt->mDaten);
    inhalt->mDaten = nullptr;
    inhalt->mBytes = 0;
  }
}

void Quarz_VertexBuffer::VorZuruecksetzen() {
  if (mZustand != VORHANDEN) return;
  Plattform::SicherFreigeben(mBuffer);
  mZustand = FREIGEGEBEN;
}
