#pragma once
// Draws many small images ("graphics") from one atlas texture as instanced quads: every draw
// request appends a 60-byte instance record to a queue, and one instanced draw per batch of
// records puts the queue on screen. Graphics are added from images at run time (the atlas
// grows by doubling when full) or loaded with the whole atlas from an "FX3D" block. All
// batches share one set of GPU objects, made with the first batch and freed with the last.
#include <cstdint>
#include <vector>

#include "quarzklassen/grafik/sprite/tspriteatlas.h"
#include "quarzklassen/kern/bvektor.h"
#include "quarzklassen/kern/talphafarbe.h"

class Quarz_Textur;
class Quarz_VertexBuffer;
class Quarz_AlphaZustand;
class Quarz_ZeichenKontext;
class TSpeicher;

// One draw request, as the vertex shader reads it from stream 1.
struct TSpriteInstanz {
  float mZielPos[3];  // pixels from the render region's top-left; z = depth
  float mGroesse[2];  // pixels; may be negative (mirrored)
  float mGrafik[4];   // the graphic's atlas rectangle in pixels
  float mFarbe[4];    // RGBA multiplied with the texel
  float mParam[2];    // rotation in radians, pivot
};
static_assert(sizeof(TSpriteInstanz) == 60);

class Quarz_BlockGfx3D {
public:
  static constexpr uint32_t FLAG_NORMALEN = 1;     // draw with the normal-rotating program
  static constexpr uint32_t FLAG_RENDERZIEL = 2;   // the atlas is a volatile render target

  Quarz_BlockGfx3D(uint64_t atlasGroesse, uint64_t maxInstanzen, uint32_t flags);
  ~Quarz_BlockGfx3D();
  Quarz_BlockGfx3D(const Quarz_BlockGfx3D&) = delete;
  Quarz_BlockGfx3D& operator=(const Quarz_BlockGfx3D&) = delete;

  // Makes the atlas s x s and re-packs every graphic into it in id order.
  void SetAtlasGroesse(uint64_t kante);
  // Room for n instances per draw call (capped at TSpriteAtlas::kMaxInstanzen).
  void SetMaxInstanzen(uint64_t anzahl);
  // Finds room for a w x h graphic, growing the atlas when needed; false when there is none.
  bool PlatziereGrafik(uint64_t id, uint64_t breite, uint64_t hoehe);
  // Adds the source's sub-rectangle (x, y, w, h) as graphic id. An id in use is placed anew;
  // its old rectangle stays taken.
  void AddGrafik(uint64_t id, const TBereich& quelle, uint64_t x, uint64_t y, uint64_t breite,
                 uint64_t hoehe);
  // Queues graphic id; width or height 0 means the graphic's own. Unknown ids draw nothing.
  void Zeichne(uint64_t id, const BVektor<float>& position, const TAlphaFarbe& farbe,
               float breite, float hoehe, float rotation);
  // Binds and draws the queue when it is not empty.
  void Ausgeben();
  // Binds program, atlas, constants, states and streams (and regenerates the atlas mips when
  // it changed).
  void BereiteAusgabeVor();
  // Draws the queue in rounds of the instance buffer's size and empties it.
  void ZeichneInstanzen();
  // Lets the GPU regenerate the atlas's lower mip levels.
  void AktualisiereMips();
  // Loads graphics, packer and atlas from an "FX3D" block; the batch stays as it was unless
  // the whole block is sound.
  bool Laden(TSpeicher& puffer);
  // Takes over an atlas read elsewhere (a font file) as Laden does after reading.
  void Uebernimm(TSpriteAtlas&& atlas);

  // Whether graphic id exists, and its slot.
  bool HatGrafik(uint64_t id) const { return mAtlas.mGrafiken.Belegt(id); }
  const TGrafikSlot& Grafik(uint64_t id) const { return mAtlas.mGrafiken[id]; }

  uint32_t mFlags = 0;
  Quarz_Textur* mTextur = nullptr;  // null while there is no atlas
  TSpriteAtlas mAtlas;              // packer, graphics and the atlas pixels in main memory
  uint8_t mZentriert = 0;
  uint8_t mAtlasGeaendert = 0;
  Quarz_VertexBuffer* mInstanzPuffer = nullptr;
  uint64_t mPufferInstanzen = 0;
  std::vector<TSpriteInstanz> mWarteschlange;
  Quarz_AlphaZustand* mAlphaZustand = nullptr;  // null: the shared premultiplied-alpha state
  Quarz_ZeichenKontext* mKontext = nullptr;     // where the texture and buffer were made
  Quarz_ZeichenKontext* mGemeinsamKontext = nullptr;  // whose shared objects the batch holds

private:
  // Frees a GPU object of the batch through its context, while that context lives.
  template <class T>
  void GibFrei(T*& objekt);
  // Forgets the objects of a context that has ended and makes them in the current one.
  void PruefeKontext();
  // Makes the texture anew from the atlas pixels (or frees it when there is no atlas).
  void ErneuereTextur();
};
