#pragma once
// A slot array indexed by id: an occupancy bit per slot (in 64-bit words) and the entries.
// The capacity is a multiple of 64; setting an id beyond it grows the array to twice the
// highest power of two not above the id.
#include <bit>
#include <cstdint>
#include <vector>

template <class T>
class TBelegungsFeld {
public:
  // Capacity n rounded up to 64. With `behalten` the entries below the new capacity stay;
  // otherwise every slot is empty.
  void SetKapazitaet(uint64_t n, bool behalten) {
    const uint64_t kapazitaet = (n + 63) / 64 * 64;
    if (!behalten) {
      mBelegung.assign(kapazitaet / 64, 0);
      mEintraege.assign(kapazitaet, T{});
    } else {
      mBelegung.resize(kapazitaet / 64, 0);
      mEintraege.resize(kapazitaet, T{});
    }
  }

  void Setze(uint64_t id, const T& eintrag) {
    if (id >= Kapazitaet()) SetKapazitaet(id == 0 ? 64 : 2 * std::bit_floor(id), true);
    mEintraege[id] = eintrag;
    mBelegung[id / 64] |= uint64_t(1) << (id % 64);
  }

  bool Belegt(uint64_t id) const {
    return id < Kapazitaet() && (mBelegung[id / 64] >> (id % 64) & 1);
  }
  // The entry of an occupied id (Belegt must hold).
  const T& operator[](uint64_t id) const { return mEintraege[id]; }
  T& operator[](uint64_t id) { return mEintraege[id]; }

  void Entferne(uint64_t id) {
    if (Belegt(id)) mBelegung[id / 64] &= ~(uint64_t(1) << (id % 64));
  }

  uint64_t Kapazitaet() const { return mEintraege.size(); }

  // Calls f(id, entry) for every occupied slot in id order.
  template <class F>
  void FuerAlle(F f) const {
    for (uint64_t wort = 0; wort < mBelegung.size(); ++wort)
      for (uint64_t bits = mBelegung[wort]; bits; bits &= bits - 1) {
        const uint64_t id = wort * 64 + static_cast<uint64_t>(std::countr_zero(bits));
        f(id, mEintraege[id]);
      }
  }

  void Tausche(TBelegungsFeld& b) {
    mBelegung.swap(b.mBelegung);
    mEintraege.swap(b.mEintraege);
  }

private:
  std::vector<uint64_t> mBelegung;
  std::vector<T> mEintraege;
};
