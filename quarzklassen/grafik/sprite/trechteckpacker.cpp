#include "quarzklassen/grafik/sprite/trechteckpacker.h"

#include <algorithm>

#include "quarzklassen/kern/tsegmentleser.h"
#include "quarzklassen/kern/tspeicher.h"

uint32_t LiesU32BE(TSpeicher& puffer) { return __builtin_bswap32(puffer.LiesU32()); }
void SchreibeU32BE(TSpeicher& puffer, uint32_t wert) { puffer.SchreibeU32(__builtin_bswap32(wert)); }

namespace {

// Reads count rectangles, but no more than the remaining bytes hold (16 bytes each), so a
// damaged count cannot make a huge list.
void LiesRechtecke(TSpeicher& puffer, uint32_t anzahl, std::vector<TRechteck>& liste) {
  const uint64_t n = std::min<uint64_t>(anzahl, puffer.Rest() / 16);
  liste.reserve(liste.size() + n);
  for (uint64_t i = 0; i < n; ++i) {
    TRechteck r;
    r.mX = LiesU32BE(puffer);
    r.mY = LiesU32BE(puffer);
    r.mBreite = LiesU32BE(puffer);
    r.mHoehe = LiesU32BE(puffer);
    liste.push_back(r);
  }
}

void SchreibeRechtecke(TSpeicher& puffer, const std::vector<TRechteck>& liste) {
  SchreibeU32BE(puffer, static_cast<uint32_t>(liste.size()));
  for (const TRechteck& r : liste) {
    SchreibeU32BE(puffer, static_cast<uint32_t>(r.mX));
    SchreibeU32BE(puffer, static_cast<uint32_t>(r.mY));
    SchreibeU32BE(puffer, static_cast<uint32_t>(r.mBreite));
    SchreibeU32BE(puffer, static_cast<uint32_t>(r.mHoehe));
  }
}

}  // namespace

void TRechteckPacker::Init(uint64_t breite, uint64_t hoehe, uint64_t n) {
  mBinBreite = breite;
  mBinHoehe = hoehe;
  if (n > mBelegt.capacity()) {
    mBelegt.reserve(n);
    if (n > mFrei.capacity()) mFrei.reserve(n);
  }
}

void TRechteckPacker::Leeren() {
  mBelegt.clear();
  mFrei.clear();
}

bool TRechteckPacker::Einfuegen(uint64_t breite, uint64_t hoehe, uint64_t& x, uint64_t& y) {
  if (mBelegt.empty() && mFrei.empty()) mFrei.push_back({0, 0, mBinBreite, mBinHoehe});
  uint64_t besterY = mBinHoehe, besterX = 0;
  for (const TRechteck& f : mFrei) {
    const TRechteck kandidat{f.mX, f.mY, breite, hoehe};
    if (f.mX + breite > mBinBreite || f.mY + hoehe > mBinHoehe) continue;
    if (std::any_of(mBelegt.begin(), mBelegt.end(),
                    [&](const TRechteck& b) { return kandidat.Ueberlappt(b); }))
      continue;
    if (f.mY < besterY) {
      besterY = f.mY;
      besterX = f.mX;
    }
  }
  if (besterY == mBinHoehe) return false;
  const TRechteck r{besterX, besterY, breite, hoehe};
  Belegen(r);
  mBelegt.push_back(r);
  x = besterX;
  y = besterY;
  return true;
}

void TRechteckPacker::Belegen(const TRechteck& r) {
  // A rectangle without area occupies nothing. Carving it would not even end: a free
  // rectangle that spans it leaves two leftovers that merge back into that same rectangle.
  if (r.mBreite == 0 || r.mHoehe == 0) return;
  // Leftovers appended during the walk lie outside r: walking them changes nothing.
  for (size_t i = 0; i < mFrei.size();) {
    const TRechteck f = mFrei[i];
    if (!f.Ueberlappt(r)) {
      ++i;
      continue;
    }
    mFrei.erase(mFrei.begin() + static_cast<std::ptrdiff_t>(i));
    const uint64_t oben = std::max(f.mY, r.mY);
    const uint64_t unten = std::min(r.mY + r.mHoehe, f.mY + f.mHoehe);
    if (f.mY < r.mY) FreiHinzufuegen({f.mX, f.mY, f.mBreite, r.mY - f.mY});
    if (f.mX < r.mX) FreiHinzufuegen({f.mX, oben, r.mX - f.mX, unten - oben});
    if (f.mX + f.mBreite > r.mX + r.mBreite)
      FreiHinzufuegen({r.mX + r.mBreite, oben, f.mX + f.mBreite - (r.mX + r.mBreite), unten - oben});
    if (f.mY + f.mHoehe > r.mY + r.mHoehe)
      FreiHinzufuegen({f.mX, r.mY + r.mHoehe, f.mBreite, f.mY + f.mHoehe - (r.mY + r.mHoehe)});
  }
}

void TRechteckPacker::FreiHinzufuegen(const TRechteck& n) {
  for (TRechteck& f : mFrei) {
    if (f.mX == n.mX && f.mBreite == n.mBreite) {
      if (f.mY == n.mY + n.mHoehe) {
        f.mY -= n.mHoehe;
        f.mHoehe += n.mHoehe;
        return;
      }
      if (f.mY + f.mHoehe == n.mY) {
        f.mHoehe += n.mHoehe;
        return;
      }
    }
    if (f.mY == n.mY && f.mHoehe == n.mHoehe) {
      if (f.mX == n.mX + n.mBreite) {
        f.mX -= n.mBreite;
        f.mBreite += n.mBreite;
        return;
      }
      if (f.mX + f.mBreite == n.mX) {
        f.mBreite += n.mBreite;
        return;
      }
    }
  }
  mFrei.push_back(n);
}

void TRechteckPacker::Laden(TSpeicher& puffer) {
  Leeren();
  const uint32_t erstes = LiesU32BE(puffer);
  if (erstes != kKennung) {
    LiesRechtecke(puffer, LiesU32BE(puffer), mFrei);
    return;
  }
  puffer.Springe(-4);
  TSegmentLeser leser(&puffer, kKennung);
  if (leser.Version() >= 258) {
    mBinBreite = LiesU32BE(puffer);
    mBinHoehe = LiesU32BE(puffer);
  }
  LiesRechtecke(puffer, LiesU32BE(puffer), mBelegt);
  LiesRechtecke(puffer, LiesU32BE(puffer), mFrei);
  leser.PruefeEnde();
}

void TRechteckPacker::Speichern(TSpeicher& puffer) const {
  SchreibeU32BE(puffer, kKennung);
  SchreibeU32BE(puffer, kVersion);
  SchreibeU32BE(puffer, static_cast<uint32_t>(mBinBreite));
  SchreibeU32BE(puffer, static_cast<uint32_t>(mBinHoehe));
  SchreibeRechtecke(puffer, mBelegt);
  SchreibeRechtecke(puffer, mFrei);
  SchreibeU32BE(puffer, TSegmentLeser::EndeKennung(kKennung));
}
