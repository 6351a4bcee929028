#pragma once
// The engine's image in main memory: a pixel buffer in one engine pixel format, optionally with
// a chain of mip levels and optionally the base face of a six-face cube map. The image begins
// with its own whole-image region, so it can be used wherever a region is expected.
//
// Mip chain: the image owns level 1 (mNaechsteStufe), which owns level 2, and so on; levels
// refuse to be resized. Cube map: face 3 (-X, "Links") is the base, the object itself, and
// owns the other five faces; every face and level points at the six faces of its level.
#include <cstdint>
#include <string>

#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/bild/ttexturinhalt.h"

class TSpeicher;

class Quarz_Bild : public TBereich {
public:
  static constexpr int kSeiten = 6;
  static constexpr int kBasisSeite = 3;  // -X, "Links"
  // Largest width or height a file may ask for; larger headers are refused before anything
  // is allocated.
  static constexpr uint64_t kMaxDateiKante = 16384;

  Quarz_Bild() = default;
  Quarz_Bild(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format, uint64_t mipAnzahl);
  ~Quarz_Bild();
  Quarz_Bild(const Quarz_Bild&) = delete;
  Quarz_Bild& operator=(const Quarz_Bild&) = delete;

  // A 2D image of that size with that many levels (0: the full chain). A size whose buffer
  // cannot be held gives a 0 x 0 image and a log line.
  void SetGroesse(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format, uint64_t mipAnzahl);
  // A cube map of six kante x kante faces whose base is this image.
  void SetCubeMapGroesse(uint64_t kante, Quarz_Pixelformat format, uint64_t mipAnzahl);
  // (Re)builds the chain; 0 and counts beyond the full chain mean the full chain.
  void SetMipStufen(uint64_t anzahl);

  // The whole-image region.
  TBereich LockBereich() const { return LockSubBereich(0, 0, mBreite, mHoehe); }
  // One whole-level region per level (at most 16) for texture creation; the image keeps its
  // pixels (hand-over flag 0).
  TTexturInhalt LockAlleStufen() const;
  // Level n of the image's chain (0 = the image); null when the chain is shorter.
  static Quarz_Bild* GetMipStufe(Quarz_Bild* bild, uint64_t n);
  static const Quarz_Bild* GetMipStufe(const Quarz_Bild* bild, uint64_t n);

  // Loads a PNG or DDS file, told apart by its first bytes.
  bool LadeBildAusDatei(const std::wstring& pfad);
  bool LadeBildAusSpeicher(TSpeicher& speicher);
  // 8-bit RGB or RGBA, not interlaced; the image becomes A8R8G8B8.
  bool LadePNG(TSpeicher& speicher);
  // 2D images and cube maps with their levels; masked uncompressed files become A8R8G8B8.
  bool LadeDDS(TSpeicher& speicher);
  // Writes an A8R8G8B8 image as 8-bit RGB (alpha dropped). On failure a log line, no file
  // left behind, and false.
  bool SpeicherePNG(const std::wstring& pfad) const;

  bool IstCubeMap() const { return mCubeMap != 0; }
  bool IstMipStufe() const { return mIstMipStufe != 0; }

  uint64_t mMipAnzahl = 1;
  uint8_t mIstMipStufe = 0;
  Quarz_Bild* mNaechsteStufe = nullptr;
  uint8_t mCubeMap = 0;
  Quarz_Bild* mSeiten[kSeiten] = {};

private:
  bool IstBasisSeite() const { return mCubeMap && !mIstMipStufe && mSeiten[kBasisSeite] == this; }
  // Takes this face (not the base) and every level of it out of the face tables of its cube
  // map, so that the base does not free it a second time.
  void VerlasseWuerfel();
  // Frees the buffer, the chain and, on a base face, the other faces; the image becomes an
  // empty 2D image.
  void GibAllesFrei();
  // Width, height, pitch, format and buffer; false (and 0 x 0) when the buffer cannot be had.
  bool Belege(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format);
  // The chain alone, without the other faces and the face links.
  void BaueKette(uint64_t anzahl);
  void VerknuepfeSeiten();
};
