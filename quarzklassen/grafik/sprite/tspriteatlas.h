#pragma once
// What a sprite batch knows about its atlas apart from the GPU: the graphics' rectangles, the
// packer, the atlas size with its growth, and the atlas pixels in main memory. The batch mirrors
// these pixels into its texture; tools that need no drawing device (the font file generator)
// build atlases with this class alone, exactly as a batch would.
#include <cstdint>
#include <vector>

#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/sprite/tbelegungsfeld.h"
#include "quarzklassen/grafik/sprite/trechteckpacker.h"

class TSpeicher;

// A graphic's place in the atlas, with its texture rectangle for the atlas size at placing.
struct TGrafikSlot {
  uint64_t mX = 0, mY = 0, mBreite = 0, mHoehe = 0;
  float mU = 0, mV = 0, mUBreite = 0, mVHoehe = 0;
  bool operator==(const TGrafikSlot&) const = default;
};

class TSpriteAtlas {
public:
  static constexpr uint32_t kKennung = 0x46583344u;  // "FX3D"
  static constexpr uint32_t kVersion = 261;
  static constexpr uint64_t kErsteKante = 512;
  // Bounds for damaged blocks: instance buffers beyond this are no real batch.
  static constexpr uint64_t kMaxInstanzen = 1u << 20;

  // Re-packs every graphic in id order into an atlas of kante x kante (0: no atlas and no
  // graphics), keeping their pixels. Graphics that do not fit a smaller atlas are dropped
  // with a log line. Nothing happens when the atlas already has that size.
  void SetKante(uint64_t kante);
  // Finds room for a w x h graphic under id, growing the atlas by doubling (every graphic
  // re-packed once, at the final size). False, with a log line, when even the largest allowed
  // atlas cannot hold it; nothing changes then.
  bool Platziere(uint64_t id, uint64_t breite, uint64_t hoehe);
  // Places the source's sub-rectangle (x, y, w, h) and copies its pixels into the atlas, with
  // its edge repeated into the free texels right around it (Umrande). False (with a log line)
  // when the rectangle is not inside the source or no room is found.
  bool Add(uint64_t id, const TBereich& quelle, uint64_t x, uint64_t y, uint64_t breite,
           uint64_t hoehe);
  // The graphic's rectangle with the one-texel ring around it, cut to the atlas: what Add
  // writes.
  TRechteck MitRand(const TGrafikSlot& s) const;

  // Reads an "FX3D" block at the buffer's position. The state changes only when the whole
  // block is sound; a wrong magic returns false without a message, a damaged block logs one.
  bool Laden(TSpeicher& puffer);
  // Writes the state as an "FX3D" block of the newest version.
  void Speichern(TSpeicher& puffer) const;

  // The atlas pixels as a region (empty without an atlas).
  TBereich Bereich();
  bool HatAtlas() const { return mBreite > 0 && mHoehe > 0; }

  uint64_t mBreite = 0;
  uint64_t mHoehe = 0;
  std::vector<uint32_t> mPixel;  // 0xAARRGGBB, row after row
  TRechteckPacker mPacker;
  TBelegungsFeld<TGrafikSlot> mGrafiken;
  // The largest edge the atlas may grow to (the device's texture limit).
  uint64_t mMaxKante = 8192;
  // Carried by the block: instance count, centred pivots, batch flags.
  uint64_t mMaxInstanzen = 0;
  uint8_t mZentriert = 0;
  uint32_t mFlags = 0;

private:
  // The slot for (x, y, w, h) in the current atlas.
  TGrafikSlot Slot(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe) const;
  // Whether every graphic in id order and then a w x h one fit a fresh atlas of this edge.
  bool PasstAlles(uint64_t kante, uint64_t breite, uint64_t hoehe) const;
  // Copies the graphic's outermost texels into the texels of the ring around it that no
  // placed graphic holds. Filters read past a graphic's edge: the software rasteriser's
  // anisotropic filter takes every texel within one texel of the clamped coordinate, even
  // when magnifying. A stretched graphic then meets its own edge there, not the empty atlas
  // (transparent black), which would draw a dark seam along its edge.
  void Umrande(const TGrafikSlot& s);
};
