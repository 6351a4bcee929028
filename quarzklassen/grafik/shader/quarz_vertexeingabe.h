#pragma once
// Which vertex data a program reads from which vertex buffer: channels added one by one, then
// closed into a Direct3D vertex declaration. Each buffer index delivers either per-vertex or
// per-instance data. Semantics follow the rule the shader dialect relies on: the first element
// of the first channel is POSITION0, every later element a TEXCOORD with the running index.
#include <cstdint>

#include "plattform/d3d9/d3d9.h"
#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"

class Quarz_VertexEingabe : public Quarz_NichtVideoObjekt {
public:
  // Channel types.
  enum Kanaltyp : int32_t {
    KANAL_FLOAT1 = 0, KANAL_FLOAT2, KANAL_FLOAT3, KANAL_FLOAT4, KANAL_UBYTE4, KANAL_UBYTE4N,
    KANAL_SHORT2N, KANAL_SHORT4N, KANAL_SHORT2, KANAL_SHORT4,
    KANAL_MATRIX3X3,  // three FLOAT3 rows
    KANAL_MATRIX3X4,  // three FLOAT4 rows
    KANAL_MATRIX4X4,  // four FLOAT4 rows
    KANAL_TYPEN
  };
  static constexpr uint32_t kMaxKanaele = 16;
  static constexpr uint32_t kMaxElemente = 16;  // plus the end element
  static constexpr uint32_t kStroeme = 4;       // buffer indices the drawing context has

  struct TKanal {
    uint64_t mPuffer = 0;
    int32_t mTyp = 0;
    uint64_t mVersatz = 0;
    uint8_t mInstanz = 0;
  };

  Quarz_VertexEingabe();
  ~Quarz_VertexEingabe() override;

  // Adds a channel of `typ` at `versatz` bytes in buffer `puffer`. A channel that would not fit
  // (more than 16 channels or 16 elements, buffer index 4 or more, unknown type, an offset
  // beyond 16 bits, a buffer switching between vertex and instance data) is reported and not
  // added.
  void AddKanal(uint64_t puffer, int32_t typ, uint64_t versatz, bool instanz);
  // Creates the declaration; afterwards the layout may be given to ErzeugeProgramm.
  void Beenden();

  // Bytes of one channel type, or 0 for an unknown one.
  static uint32_t KanalBytes(int32_t typ);

  uint64_t mStromAnzahl = 0;  // highest buffer index used + 1
  uint64_t mBenutzt = 0;      // bit per buffer index
  uint64_t mInstanzMaske = 0;  // bit per buffer index delivering per-instance data
  uint16_t mSchrittweiten[kStroeme] = {0, 0, 0, 0};
  TKanal mKanaele[kMaxKanaele];
  uint32_t mKanalAnzahl = 0;
  D3DVERTEXELEMENT9 mElemente[kMaxElemente + 1] = {};
  uint32_t mElementAnzahl = 0;  // without the end element
  IDirect3DVertexDeclaration9* mDeklaration = nullptr;
};
