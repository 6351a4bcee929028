#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"

#include <algorithm>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace {

constexpr const char* kAddKanal = "Quarz_VertexEingabe::AddKanal";

struct TTypInfo {
  uint32_t mBytes;
  BYTE mDeklTyp;
  uint32_t mElemente;
  uint32_t mElementSchritt;
};

constexpr TTypInfo kTypen[Quarz_VertexEingabe::KANAL_TYPEN] = {
    {4, D3DDECLTYPE_FLOAT1, 1, 0},   {8, D3DDECLTYPE_FLOAT2, 1, 0},
    {12, D3DDECLTYPE_FLOAT3, 1, 0},  {16, D3DDECLTYPE_FLOAT4, 1, 0},
    {4, D3DDECLTYPE_UBYTE4, 1, 0},   {4, D3DDECLTYPE_UBYTE4N, 1, 0},
    {4, D3DDECLTYPE_SHORT2N, 1, 0},  {8, D3DDECLTYPE_SHORT4N, 1, 0},
    {4, D3DDECLTYPE_SHORT2, 1, 0},   {8, D3DDECLTYPE_SHORT4, 1, 0},
    {36, D3DDECLTYPE_FLOAT3, 3, 12}, {48, D3DDECLTYPE_FLOAT4, 3, 16},
    {64, D3DDECLTYPE_FLOAT4, 4, 16},
};

}  // namespace

Quarz_VertexEingabe::Quarz_VertexEingabe() { mZustand = IM_AUFBAU; }

Quarz_VertexEingabe::~Quarz_VertexEingabe() { Plattform::SicherFreigeben(mDeklaration); }

uint32_t Quarz_VertexEingabe::KanalBytes(int32_t typ) {
  return typ >= 0 && typ < KANAL_TYPEN ? kTypen[typ].mBytes : 0;
}

void Quarz_VertexEingabe::AddKanal(uint64_t puffer, int32_t typ, uint64_t versatz, bool instanz) {
  if (mKanalAnzahl >= kMaxKanaele) {
    QUARZ_MELDE("Zuviele Vertexdaten-Kanäle", kAddKanal);
    return;
  }
  // The drawing context has four streams; a larger index would shift bits out of the masks
  // and write past the strides.
  if (puffer >= kStroeme) {
    QUARZ_MELDE("BufferIndex muss kleiner als 4 sein.", kAddKanal);
    return;
  }
  if (typ < 0 || typ >= KANAL_TYPEN) {
    QUARZ_MELDE("Unbekannter Vertexdaten-Kanaltyp", kAddKanal);
    return;
  }
  const TTypInfo& info = kTypen[typ];
  // Strides and element offsets are 16-bit in the declaration; a larger one would wrap.
  if (versatz + info.mBytes > 0xFFFF) {
    QUARZ_MELDE("Versatz des Vertexdaten-Kanals zu groß", kAddKanal);
    return;
  }
  // The declaration holds 16 elements and its end; matrix channels bring three or four.
  if (mElementAnzahl + info.mElemente > kMaxElemente) {
    QUARZ_MELDE("Zuviele Vertexdaten-Elemente", kAddKanal);
    return;
  }
  const uint64_t bit = uint64_t{1} << puffer;
  if ((mBenutzt & bit) && ((mInstanzMaske & bit) != 0) != instanz) {
    QUARZ_MELDE("BufferIndex darf nicht gleichzeitig Vertex- und Instanzdaten liefern.",
                kAddKanal);
    return;
  }
  mBenutzt |= bit;
  if (instanz) mInstanzMaske |= bit;
  mStromAnzahl = std::max<uint64_t>(mStromAnzahl, puffer + 1);
  mSchrittweiten[puffer] =
      static_cast<uint16_t>(std::max<uint64_t>(mSchrittweiten[puffer], versatz + info.mBytes));
  mKanaele[mKanalAnzahl++] = TKanal{puffer, typ, versatz, static_cast<uint8_t>(instanz)};

  const uint32_t vorher = mElementAnzahl;
  for (uint32_t i = 0; i < info.mElemente; ++i) {
    D3DVERTEXELEMENT9& e = mElemente[mElementAnzahl++];
    e.Stream = static_cast<WORD>(puffer);
    e.Offset = static_cast<WORD>(versatz + i * info.mElementSchritt);
    e.Type = info.mDeklTyp;
    e.Method = D3DDECLMETHOD_DEFAULT;
    e.Usage = vorher == 0 ? D3DDECLUSAGE_POSITION : D3DDECLUSAGE_TEXCOORD;
    e.UsageIndex = static_cast<BYTE>(vorher == 0 ? i : vorher - 1 + i);
  }
}

void Quarz_VertexEingabe::Beenden() {
  mElemente[mElementAnzahl] = D3DVERTEXELEMENT9 D3DDECL_END();
  // Closing twice builds the declaration anew instead of leaking the first one.
  Plattform::SicherFreigeben(mDeklaration);
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet || FAILED(geraet->CreateVertexDeclaration(mElemente, &mDeklaration)) ||
      !mDeklaration) {
    mDeklaration = nullptr;
    gLog.Schreibe("!Quarz_VertexEingabe::Beenden(): Failed to create vertex input declaration.");
    QUARZ_MELDE("Failed to create vertex input declaration.", "Quarz_VertexEingabe::Beenden");
  }
  mZustand = VORHANDEN;
}

Quarz_VertexEingabe* Quarz_ZeichenKontext::ErzeugeVertexEingabe() {
  return ErzeugeObjekt<Quarz_VertexEingabe>();
}
