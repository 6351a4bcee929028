#include "plattform/eingabe/eingabe_schicht.h"

#include <cstring>

#include "plattform/eingabe/intern/eingabe_tastentabelle.h"

namespace Plattform {

namespace {

void Schreibe16(std::vector<uint8_t>& s, size_t ort, uint16_t w) { std::memcpy(&s[ort], &w, 2); }
void Schreibe32(std::vector<uint8_t>& s, size_t ort, uint32_t w) { std::memcpy(&s[ort], &w, 4); }

std::vector<uint8_t> Kopf(uint32_t typ, uint32_t groesse, uint64_t geraet, bool wow64) {
  const uint32_t extra = RohZusatz(wow64);
  std::vector<uint8_t> s(groesse + extra, 0);
  Schreibe32(s, 0, typ);
  Schreibe32(s, 4, groesse + extra);
  std::memcpy(&s[8], &geraet, 8);
  return s;
}

// Precomposed forms of the five marks a dead key can leave pending.
struct Zusammensetzung {
  char16_t Marke;
  char16_t Basis;
  char16_t Ergebnis;
};

constexpr Zusammensetzung kZusammensetzungen[] = {
    // grave
    {0x300, 'A', 0xC0}, {0x300, 'E', 0xC8}, {0x300, 'I', 0xCC}, {0x300, 'O', 0xD2},
    {0x300, 'U', 0xD9}, {0x300, 'a', 0xE0}, {0x300, 'e', 0xE8}, {0x300, 'i', 0xEC},
    {0x300, 'o', 0xF2}, {0x300, 'u', 0xF9},
    // acute
    {0x301, 'A', 0xC1}, {0x301, 'E', 0xC9}, {0x301, 'I', 0xCD}, {0x301, 'O', 0xD3},
    {0x301, 'U', 0xDA}, {0x301, 'Y', 0xDD}, {0x301, 'a', 0xE1}, {0x301, 'e', 0xE9},
    {0x301, 'i', 0xED}, {0x301, 'o', 0xF3}, {0x301, 'u', 0xFA}, {0x301, 'y', 0xFD},
    {0x301, 'C', 0x106}, {0x301, 'c', 0x107}, {0x301, 'N', 0x143}, {0x301, 'n', 0x144},
    {0x301, 'S', 0x15A}, {0x301, 's', 0x15B}, {0x301, 'Z', 0x179}, {0x301, 'z', 0x17A},
    // circumflex
    {0x302, 'A', 0xC2}, {0x302, 'E', 0xCA}, {0x302, 'I', 0xCE}, {0x302, 'O', 0xD4},
    {0x302, 'U', 0xDB}, {0x302, 'a', 0xE2}, {0x302, 'e', 0xEA}, {0x302, 'i', 0xEE},
    {0x302, 'o', 0xF4}, {0x302, 'u', 0xFB}, {0x302, 'C', 0x108}, {0x302, 'c', 0x109},
    {0x302, 'G', 0x11C}, {0x302, 'g', 0x11D}, {0x302, 'H', 0x124}, {0x302, 'h', 0x125},
    {0x302, 'J', 0x134}, {0x302, 'j', 0x135}, {0x302, 'S', 0x15C}, {0x302, 's', 0x15D},
    {0x302, 'W', 0x174}, {0x302, 'w', 0x175}, {0x302, 'Y', 0x176}, {0x302, 'y', 0x177},
    // diaeresis
    {0x308, 'A', 0xC4}, {0x308, 'E', 0xCB}, {0x308, 'I', 0xCF}, {0x308, 'O', 0xD6},
    {0x308, 'U', 0xDC}, {0x308, 'a', 0xE4}, {0x308, 'e', 0xEB}, {0x308, 'i', 0xEF},
    {0x308, 'o', 0xF6}, {0x308, 'u', 0xFC}, {0x308, 'y', 0xFF}, {0x308, 'Y', 0x178},
    // cedilla
    {0x327, 'C', 0xC7}, {0x327, 'c', 0xE7}, {0x327, 'S', 0x15E}, {0x327, 's', 0x15F},
    {0x327, 'T', 0x162}, {0x327, 't', 0x163}, {0x327, 'G', 0x122}, {0x327, 'g', 0x123},
    {0x327, 'K', 0x136}, {0x327, 'k', 0x137}, {0x327, 'L', 0x13B}, {0x327, 'l', 0x13C},
    {0x327, 'N', 0x145}, {0x327, 'n', 0x146}, {0x327, 'R', 0x156}, {0x327, 'r', 0x157},
};

}  // namespace

std::vector<uint8_t> BaueTastaturSatz(uint64_t geraet, uint16_t make, uint16_t flags,
                                      uint16_t virtuelleTaste, uint32_t text, bool wow64) {
  auto s = Kopf(RohTypTastatur, RohTastaturBytes, geraet, wow64);
  const size_t v = RohZusatz(wow64);
  Schreibe16(s, 24 + v, make);
  Schreibe16(s, 26 + v, flags);
  Schreibe16(s, 30 + v, virtuelleTaste);
  Schreibe32(s, 36 + v, text);
  return s;
}

std::vector<uint8_t> BaueMausSatz(uint64_t geraet, uint16_t flags, uint16_t knopfFlags,
                                  int16_t knopfDaten, int32_t x, int32_t y, bool wow64) {
  auto s = Kopf(RohTypMaus, RohMausBytes, geraet, wow64);
  const size_t v = RohZusatz(wow64);
  Schreibe16(s, 24 + v, flags);
  Schreibe16(s, 28 + v, knopfFlags);
  Schreibe16(s, 30 + v, static_cast<uint16_t>(knopfDaten));
  Schreibe32(s, 36 + v, static_cast<uint32_t>(x));
  Schreibe32(s, 40 + v, static_cast<uint32_t>(y));
  return s;
}

int32_t EingabeSchicht::HoleRohPuffer(uint8_t* puffer, uint32_t& groesse, uint32_t kopfGroesse) {
  if (kopfGroesse != RohKopfBytes || !puffer) return -1;
  uint32_t ort = 0;
  int32_t anzahl = 0;
  while (!mWarteschlange.empty()) {
    const auto& satz = mWarteschlange.front();
    if (ort + satz.size() > groesse) break;
    std::memcpy(puffer + ort, satz.data(), satz.size());
    ort += static_cast<uint32_t>((satz.size() + 7) & ~size_t(7));
    mWarteschlange.pop_front();
    ++anzahl;
  }
  if (anzahl == 0 && !mWarteschlange.empty()) {
    // A record larger than the whole buffer could never be read: drop it, so that it does
    // not block the ones behind it.
    if (mWarteschlange.front().size() > groesse) mWarteschlange.pop_front();
    return -1;
  }
  return anzahl;
}

uint32_t EingabeSchicht::BildeTaste(uint32_t code, TastenAbbildung art) {
  if (art == TastenAbbildung::VirtuellZuScan) return MakeAusVirtuell(code);
  return VirtuellAusCode(code);
}

int EingabeSchicht::Zusammensetzen(const char16_t* ein, int n, char16_t* aus, int platz) {
  if (!ein || !aus || n <= 0 || platz <= 0) return 0;
  int laenge = 0;
  while (laenge < n && ein[laenge] != 0) ++laenge;
  if (laenge >= 2) {
    for (const auto& z : kZusammensetzungen) {
      if (z.Basis != ein[0] || z.Marke != ein[1]) continue;
      aus[0] = z.Ergebnis;
      int k = 1;
      for (int i = 2; i < laenge && k < platz; ++i) aus[k++] = ein[i];
      return k;
    }
  }
  const int k = laenge < platz ? laenge : platz;
  for (int i = 0; i < k; ++i) aus[i] = ein[i];
  return k;
}

void EingabeSchicht::StelleEin(std::vector<uint8_t> satz) {
  if (mWarteschlange.size() >= kHoechstWartend) mWarteschlange.pop_front();
  mWarteschlange.push_back(std::move(satz));
}

void EingabeSchicht::MeldeTaste(uint64_t geraet, int taste, bool gedrueckt, bool wiederholung) {
  mTextErwartet = false;
  if (wiederholung) return;
  const TastenEintrag* e = SucheGlfwTaste(taste);
  if (!e) return;
  const uint16_t flags = static_cast<uint16_t>(e->Flags | (gedrueckt ? 0 : RohTasteLos));
  StelleEin(BaueTastaturSatz(geraet, e->Make, flags, e->Virtuell, 0, IstWow64()));
  mTextErwartet = gedrueckt;
}

void EingabeSchicht::MeldeZeichen(uint32_t codepunkt) {
  if (!mTextErwartet || mWarteschlange.empty()) return;
  mTextErwartet = false;
  auto& satz = mWarteschlange.back();
  if (LiesFeld<uint32_t>(&satz[0]) != RohTypTastatur) return;
  const size_t v = satz.size() > RohTastaturBytes ? 8 : 0;
  Schreibe32(satz, 36 + v, codepunkt);
}

}  // namespace Plattform
