#include "quarzklassen/grafik/sprite/tspriteatlas.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

float AlsFloat(uint32_t bits) { return std::bit_cast<float>(bits); }
uint32_t AlsBits(float wert) { return std::bit_cast<uint32_t>(wert); }

}  // namespace

TGrafikSlot TSpriteAtlas::Slot(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe) const {
  const float w = static_cast<float>(mBreite), h = static_cast<float>(mHoehe);
  return {x,
          y,
          breite,
          hoehe,
          (static_cast<float>(x) + 0.02f) / w,
          (static_cast<float>(y) + 0.02f) / h,
          (static_cast<float>(breite) - 0.02f) / w,
          (static_cast<float>(hoehe) - 0.02f) / h};
}

TBereich TSpriteAtlas::Bereich() {
  if (!HatAtlas()) return {};
  return {reinterpret_cast<uint8_t*>(mPixel.data()), Quarz::PF_A8R8G8B8, mBreite, mHoehe,
          mBreite * 4};
}

void TSpriteAtlas::SetKante(uint64_t kante) {
  if (HatAtlas() && mBreite == kante && mHoehe == kante) return;
  if (kante == 0) {
    mBreite = mHoehe = 0;
    mPixel = {};
    mPacker.Leeren();
    mGrafiken = {};
    return;
  }
  const bool hatteAtlas = HatAtlas();
  std::vector<uint32_t> altePixel(kante * kante, 0u);
  altePixel.swap(mPixel);
  TBereich alt{reinterpret_cast<uint8_t*>(altePixel.data()), Quarz::PF_A8R8G8B8, mBreite, mHoehe,
               mBreite * 4};
  TBelegungsFeld<TGrafikSlot> alteGrafiken;
  alteGrafiken.Tausche(mGrafiken);
  mGrafiken.SetKapazitaet(alteGrafiken.Kapazitaet(), false);
  mBreite = mHoehe = kante;
  mPacker.Leeren();
  mPacker.Init(kante, kante, alteGrafiken.Kapazitaet());
  if (!hatteAtlas) return;

  alteGrafiken.FuerAlle([&](uint64_t id, const TGrafikSlot& s) {
    uint64_t x = 0, y = 0;
    if (!mPacker.Einfuegen(s.mBreite, s.mHoehe, x, y)) {
      gLog.Schreibe("!Quarz_BlockGfx3D::SetAtlasGroesse( %llu): Grafik %llu passt nicht mehr in den Atlas.",
                    static_cast<unsigned long long>(kante), static_cast<unsigned long long>(id));
      return;
    }
    mGrafiken.Setze(id, Slot(x, y, s.mBreite, s.mHoehe));
    TBereich ziel = Bereich().LockSubBereich(x, y, s.mBreite, s.mHoehe);
    alt.LockSubBereich(s.mX, s.mY, s.mBreite, s.mHoehe).KopiereIn(ziel);
    Umrande(mGrafiken[id]);
  });
}

TRechteck TSpriteAtlas::MitRand(const TGrafikSlot& s) const {
  const uint64_t x0 = s.mX > 0 ? s.mX - 1 : 0, y0 = s.mY > 0 ? s.mY - 1 : 0;
  const uint64_t x1 = std::min(s.mX + s.mBreite + 1, mBreite);
  const uint64_t y1 = std::min(s.mY + s.mHoehe + 1, mHoehe);
  return {x0, y0, x1 - x0, y1 - y0};
}

void TSpriteAtlas::Umrande(const TGrafikSlot& s) {
  if (s.mBreite == 0 || s.mHoehe == 0) return;
  const TRechteck ring = MitRand(s);
  std::vector<TRechteck> nahe;
  for (const TRechteck& b : mPacker.mBelegt)
    if (b.Ueberlappt(ring)) nahe.push_back(b);
  auto kopiere = [&](uint64_t x, uint64_t y) {
    const TRechteck texel{x, y, 1, 1};
    if (std::any_of(nahe.begin(), nahe.end(), [&](const TRechteck& b) { return b.Ueberlappt(texel); }))
      return;
    const uint64_t qx = std::clamp(x, s.mX, s.mX + s.mBreite - 1);
    const uint64_t qy = std::clamp(y, s.mY, s.mY + s.mHoehe - 1);
    mPixel[y * mBreite + x] = mPixel[qy * mBreite + qx];
  };
  for (uint64_t y = ring.mY; y < ring.mY + ring.mHoehe; ++y) {
    const bool beiseite = y >= s.mY && y < s.mY + s.mHoehe;
    for (uint64_t x = ring.mX; x < ring.mX + ring.mBreite; ++x)
      if (!beiseite || x < s.mX || x >= s.mX + s.mBreite) kopiere(x, y);
  }
}

bool TSpriteAtlas::PasstAlles(uint64_t kante, uint64_t breite, uint64_t hoehe) const {
  TRechteckPacker probe;
  probe.Init(kante, kante, 0);
  uint64_t x = 0, y = 0;
  bool passt = true;
  mGrafiken.FuerAlle([&](uint64_t, const TGrafikSlot& s) {
    passt = passt && probe.Einfuegen(s.mBreite, s.mHoehe, x, y);
  });
  return passt && probe.Einfuegen(breite, hoehe, x, y);
}

bool TSpriteAtlas::Platziere(uint64_t id, uint64_t breite, uint64_t hoehe) {
  uint64_t x = 0, y = 0;
  if (!mPacker.Einfuegen(breite, hoehe, x, y)) {
    // Find the final size first, so the graphics are re-packed once and never inside a
    // re-pack; growth stops at the device's limit.
    uint64_t kante = HatAtlas() ? 2 * std::bit_floor(mBreite) : kErsteKante;
    while (kante <= mMaxKante && !PasstAlles(kante, breite, hoehe)) kante *= 2;
    if (kante > mMaxKante) {
      gLog.Schreibe("!Quarz_BlockGfx3D::PlatziereGrafik( %llu, %llu, %llu): Kein Platz im Atlas bis %llu x %llu.",
                    static_cast<unsigned long long>(id), static_cast<unsigned long long>(breite),
                    static_cast<unsigned long long>(hoehe), static_cast<unsigned long long>(mMaxKante),
                    static_cast<unsigned long long>(mMaxKante));
      return false;
    }
    SetKante(kante);
    if (!mPacker.Einfuegen(breite, hoehe, x, y)) return false;
  }
  mGrafiken.Setze(id, Slot(x, y, breite, hoehe));
  return true;
}

bool TSpriteAtlas::Add(uint64_t id, const TBereich& quelle, uint64_t x, uint64_t y,
                       uint64_t breite, uint64_t hoehe) {
  if (x > quelle.mBreite || breite > quelle.mBreite - x || y > quelle.mHoehe ||
      hoehe > quelle.mHoehe - y) {
    gLog.Schreibe("!Quarz_BlockGfx3D::AddGrafik( %llu, ..., %llu, %llu, %llu, %llu): Rechteck liegt außerhalb der Quellgrafik (%llu x %llu).",
                  static_cast<unsigned long long>(id), static_cast<unsigned long long>(x),
                  static_cast<unsigned long long>(y), static_cast<unsigned long long>(breite),
                  static_cast<unsigned long long>(hoehe),
                  static_cast<unsigned long long>(quelle.mBreite),
                  static_cast<unsigned long long>(quelle.mHoehe));
    return false;
  }
  if (!Platziere(id, breite, hoehe)) return false;
  if (breite == 0 || hoehe == 0) return true;
  const TGrafikSlot& s = mGrafiken[id];
  TBereich ziel = Bereich().LockSubBereich(s.mX, s.mY, breite, hoehe);
  quelle.LockSubBereich(x, y, breite, hoehe).KopiereIn(ziel);
  Umrande(s);
  return true;
}

bool TSpriteAtlas::Laden(TSpeicher& puffer) {
  const uint64_t anfang = puffer.Position();
  if (LiesU32BE(puffer) != kKennung) {
    puffer.SetPosition(anfang);
    return false;
  }
  auto Fehler = [&](const char* was) {
    gLog.Schreibe("!Quarz_BlockGfx3D::Laden(): %s", was);
    return false;
  };
  TSpriteAtlas neu;
  neu.mMaxKante = mMaxKante;
  const int32_t version = static_cast<int32_t>(LiesU32BE(puffer));
  if (version < 261) puffer.Springe(8);
  neu.mMaxInstanzen = LiesU32BE(puffer);
  if (neu.mMaxInstanzen > kMaxInstanzen) return Fehler("Instanzanzahl ist zu groß.");
  neu.mZentriert = puffer.LiesU8() == 1;
  if (version >= 258) neu.mFlags = LiesU32BE(puffer);
  LiesU32BE(puffer);
  const uint32_t slots = LiesU32BE(puffer);
  // Every slot takes at least its presence byte.
  if (slots > puffer.Rest()) return Fehler("Grafikanzahl übersteigt die Daten.");
  neu.mGrafiken.SetKapazitaet(slots, false);
  for (uint32_t id = 0; id < slots; ++id) {
    if (puffer.LiesU8() != 1) continue;
    TGrafikSlot s;
    s.mX = LiesU32BE(puffer);
    s.mY = LiesU32BE(puffer);
    s.mBreite = LiesU32BE(puffer);
    s.mHoehe = LiesU32BE(puffer);
    s.mU = AlsFloat(LiesU32BE(puffer));
    s.mV = AlsFloat(LiesU32BE(puffer));
    s.mUBreite = AlsFloat(LiesU32BE(puffer));
    s.mVHoehe = AlsFloat(LiesU32BE(puffer));
    neu.mGrafiken.Setze(id, s);
  }
  neu.mPacker.Laden(puffer);
  LiesU32BE(puffer);
  const uint64_t breite = LiesU32BE(puffer);
  const uint64_t hoehe = version >= 259 ? LiesU32BE(puffer) : breite;
  if (hoehe > 0) {
    if (breite == 0 || breite > mMaxKante || hoehe > mMaxKante)
      return Fehler("Atlasgröße ist ungültig.");
    if (breite * hoehe * 4 > puffer.Rest()) return Fehler("Atlaspixel fehlen.");
    neu.mBreite = breite;
    neu.mHoehe = hoehe;
    neu.mPixel.resize(breite * hoehe);
    puffer.LiesMemEndianKorrekt(neu.mPixel.data(), breite * hoehe * 4);
    // Graphics are copied out of the atlas when it is re-packed: each must lie inside it.
    bool innen = true;
    neu.mGrafiken.FuerAlle([&](uint64_t, const TGrafikSlot& s) {
      innen = innen && s.mX + s.mBreite <= breite && s.mY + s.mHoehe <= hoehe;
    });
    if (!innen) return Fehler("Grafik liegt außerhalb des Atlas.");
  }
  // Without an atlas the packer keeps the stored width and a height of 0.
  neu.mPacker.mBinBreite = breite;
  neu.mPacker.mBinHoehe = hoehe;
  std::swap(*this, neu);
  return true;
}

void TSpriteAtlas::Speichern(TSpeicher& puffer) const {
  SchreibeU32BE(puffer, kKennung);
  SchreibeU32BE(puffer, kVersion);
  SchreibeU32BE(puffer, static_cast<uint32_t>(mMaxInstanzen));
  puffer.SchreibeU8(mZentriert);
  SchreibeU32BE(puffer, mFlags);
  SchreibeU32BE(puffer, 0);
  SchreibeU32BE(puffer, static_cast<uint32_t>(mGrafiken.Kapazitaet()));
  for (uint64_t id = 0; id < mGrafiken.Kapazitaet(); ++id) {
    if (!mGrafiken.Belegt(id)) {
      puffer.SchreibeU8(0);
      continue;
    }
    const TGrafikSlot& s = mGrafiken[id];
    puffer.SchreibeU8(1);
    for (uint32_t wert : {static_cast<uint32_t>(s.mX), static_cast<uint32_t>(s.mY),
                          static_cast<uint32_t>(s.mBreite), static_cast<uint32_t>(s.mHoehe),
                          AlsBits(s.mU), AlsBits(s.mV), AlsBits(s.mUBreite), AlsBits(s.mVHoehe)})
      SchreibeU32BE(puffer, wert);
  }
  mPacker.Speichern(puffer);
  SchreibeU32BE(puffer, 0);
  SchreibeU32BE(puffer, static_cast<uint32_t>(mBreite));
  SchreibeU32BE(puffer, static_cast<uint32_t>(mHoehe));
  for (uint32_t pixel : mPixel) SchreibeU32BE(puffer, pixel);
}
