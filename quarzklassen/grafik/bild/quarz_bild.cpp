#include "quarzklassen/grafik/bild/quarz_bild.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

// Number of levels down to 1 x 1 (1 for an empty image).
uint64_t VolleKette(uint64_t breite, uint64_t hoehe) {
  if (breite == 0 || hoehe == 0) return 1;
  return static_cast<uint64_t>(std::bit_width(std::max(breite, hoehe)));
}

bool IstSignatur(const uint8_t* daten, const char* text, uint64_t laenge) {
  return std::memcmp(daten, text, laenge) == 0;
}

const uint8_t kPngSignatur[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

Quarz_Bild::Quarz_Bild(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format,
                       uint64_t mipAnzahl) {
  SetGroesse(breite, hoehe, format, mipAnzahl);
}

Quarz_Bild::~Quarz_Bild() {
  if (mCubeMap && !mIstMipStufe && mSeiten[kBasisSeite] != this) VerlasseWuerfel();
  GibAllesFrei();
}

void Quarz_Bild::VerlasseWuerfel() {
  for (Quarz_Bild* stufe = this; stufe; stufe = stufe->mNaechsteStufe)
    for (Quarz_Bild* andere : stufe->mSeiten)
      if (andere && andere != stufe)
        for (Quarz_Bild*& eintrag : andere->mSeiten)
          if (eintrag == stufe) eintrag = nullptr;
}

void Quarz_Bild::GibAllesFrei() {
  if (IstBasisSeite())
    for (int s = 0; s < kSeiten; ++s)
      if (s != kBasisSeite) delete mSeiten[s];
  for (Quarz_Bild*& seite : mSeiten) seite = nullptr;
  mCubeMap = 0;
  std::free(mPixel);
  mPixel = nullptr;
  delete mNaechsteStufe;
  mNaechsteStufe = nullptr;
  mBreite = mHoehe = mPitch = 0;
  mMipAnzahl = 1;
}

bool Quarz_Bild::Belege(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format) {
  const bool block = Quarz::IstBlockFormat(format);
  const uint64_t w = block ? (breite + 3) / 4 * 4 : breite;
  const uint64_t h = block ? (hoehe + 3) / 4 * 4 : hoehe;
  uint64_t pitch = 0;
  uint64_t bytes = 0;
  bool ueberlauf = format >= Quarz::PF_ANZAHL || w < breite || h < hoehe ||
                   __builtin_mul_overflow(w, uint64_t{Quarz::GetBitsProPixel(format)}, &pitch);
  pitch /= 8;
  ueberlauf = ueberlauf || __builtin_mul_overflow(pitch, h, &bytes);
  mFormat = format;
  uint8_t* pixel = nullptr;
  if (!ueberlauf && bytes > 0) pixel = static_cast<uint8_t*>(std::malloc(bytes));
  if (ueberlauf || (bytes > 0 && !pixel)) {
    // A size that cannot be held leaves an empty image: a width and height without a buffer
    // behind them would send every later pixel access into unowned memory.
    gLog.Schreibe(
        "!Quarz_Bild::SetGroesse( %d, %d, %d, ...):  Speicher für das Bild kann nicht "
        "belegt werden.",
        static_cast<int>(breite), static_cast<int>(hoehe), static_cast<int>(format));
    mBreite = mHoehe = mPitch = 0;
    mFormat = format < Quarz::PF_ANZAHL ? format : 0;
    return false;
  }
  mPixel = pixel;
  mBreite = breite;
  mHoehe = hoehe;
  mPitch = pitch;
  return true;
}

void Quarz_Bild::SetGroesse(uint64_t breite, uint64_t hoehe, Quarz_Pixelformat format,
                            uint64_t mipAnzahl) {
  if (mCubeMap && mSeiten[kBasisSeite] != this) {
    gLog.Schreibe(
        "!Quarz_Bild::SetGroesse( %d, %d, %d, %d):  Umbau einer CubeMap zu einem 2D-Bild darf "
        "nur von der Basisseite (Links) ausgehen.",
        static_cast<int>(breite), static_cast<int>(hoehe), static_cast<int>(format),
        static_cast<int>(mipAnzahl));
    return;
  }
  if (mIstMipStufe) {
    gLog.Schreibe(
        "!Quarz_Bild::SetGroesse( %d, %d, %d, %d):  Umdimensionierung ist für MipMaps nicht "
        "zulässig.",
        static_cast<int>(breite), static_cast<int>(hoehe), static_cast<int>(format),
        static_cast<int>(mipAnzahl));
    return;
  }
  GibAllesFrei();
  Belege(breite, hoehe, format);
  SetMipStufen(mipAnzahl);
}

void Quarz_Bild::SetMipStufen(uint64_t anzahl) {
  BaueKette(anzahl);
  if (!mCubeMap) return;
  if (IstBasisSeite())
    for (int s = 0; s < kSeiten; ++s)
      if (s != kBasisSeite && mSeiten[s]) mSeiten[s]->BaueKette(anzahl);
  // Levels made or deleted above must not be left out of, or dangle in, the face links.
  if (mSeiten[kBasisSeite]) mSeiten[kBasisSeite]->VerknuepfeSeiten();
}

void Quarz_Bild::BaueKette(uint64_t anzahl) {
  const uint64_t voll = VolleKette(mBreite, mHoehe);
  if (anzahl == 0 || anzahl > voll) anzahl = voll;
  if (anzahl == 1) {
    delete mNaechsteStufe;
    mNaechsteStufe = nullptr;
  } else if (!mNaechsteStufe) {
    mNaechsteStufe = new Quarz_Bild(std::max<uint64_t>(1, mBreite / 2),
                                    std::max<uint64_t>(1, mHoehe / 2), mFormat, anzahl - 1);
    mNaechsteStufe->mIstMipStufe = 1;
  } else {
    mNaechsteStufe->BaueKette(anzahl - 1);
  }
  mMipAnzahl = anzahl;
}

void Quarz_Bild::SetCubeMapGroesse(uint64_t kante, Quarz_Pixelformat format,
                                   uint64_t mipAnzahl) {
  if (mIstMipStufe) {
    gLog.Schreibe(
        "!Quarz_Bild::SetCubeMapGroesse( %d, %d, %d):  Umdimensionierung ist für MipMaps nicht "
        "zulässig.",
        static_cast<int>(kante), static_cast<int>(format), static_cast<int>(mipAnzahl));
    return;
  }
  if (mCubeMap && mSeiten[kBasisSeite] != this) {
    // A second base face inside a cube map would be freed twice: by the old base and itself.
    gLog.Schreibe(
        "!Quarz_Bild::SetCubeMapGroesse( %d, %d, %d):  Umbau einer CubeMap darf nur von der "
        "Basisseite (Links) ausgehen.",
        static_cast<int>(kante), static_cast<int>(format), static_cast<int>(mipAnzahl));
    return;
  }
  GibAllesFrei();
  if (!Belege(kante, kante, format)) return;
  Quarz_Bild* seiten[kSeiten] = {};
  bool ganz = true;
  for (int s : {2, 0, 1, 4, 5}) {
    seiten[s] = new Quarz_Bild(kante, kante, format, mipAnzahl);
    ganz = ganz && seiten[s]->mBreite == kante;
  }
  if (!ganz) {
    for (Quarz_Bild* seite : seiten) delete seite;
    std::free(mPixel);
    mPixel = nullptr;
    mBreite = mHoehe = mPitch = 0;
    return;
  }
  seiten[kBasisSeite] = this;
  std::copy(std::begin(seiten), std::end(seiten), mSeiten);
  mCubeMap = 1;
  SetMipStufen(mipAnzahl);
}

void Quarz_Bild::VerknuepfeSeiten() {
  // Level by level, every face's image of that level points at all six of that level.
  Quarz_Bild* stufe[kSeiten];
  std::copy(std::begin(mSeiten), std::end(mSeiten), stufe);
  for (;;) {
    bool weiter = false;
    for (Quarz_Bild* bild : stufe) {
      if (!bild) continue;
      bild->mCubeMap = 1;
      std::copy(std::begin(stufe), std::end(stufe), bild->mSeiten);
      weiter = true;
    }
    if (!weiter) return;
    for (Quarz_Bild*& bild : stufe)
      if (bild) bild = bild->mNaechsteStufe;
  }
}

TTexturInhalt Quarz_Bild::LockAlleStufen() const {
  TTexturInhalt inhalt;
  const Quarz_Bild* stufe = this;
  for (int k = 0; k < TTexturInhalt::kMaxStufen && stufe && static_cast<uint64_t>(k) < mMipAnzahl;
       ++k, stufe = stufe->mNaechsteStufe)
    inhalt.mStufen[k] = stufe->LockBereich();
  inhalt.mUebergabe = 0;
  return inhalt;
}

const Quarz_Bild* Quarz_Bild::GetMipStufe(const Quarz_Bild* bild, uint64_t n) {
  for (; bild && n > 0; --n) {
    if (n >= bild->mMipAnzahl) return nullptr;
    bild = bild->mNaechsteStufe;
  }
  return bild;
}

Quarz_Bild* Quarz_Bild::GetMipStufe(Quarz_Bild* bild, uint64_t n) {
  return const_cast<Quarz_Bild*>(GetMipStufe(static_cast<const Quarz_Bild*>(bild), n));
}

bool Quarz_Bild::LadeBildAusDatei(const std::wstring& pfad) {
  TSpeicher speicher(1000000);
  if (!speicher.LadeDatei(pfad, 0)) {
    gLog.Schreibe("!Quarz_Bild::LadeBildAusDatei( \"%s\"):  Datei konnte nicht geladen werden.",
                  WandleUtf32NachUtf8(pfad).c_str());
    return false;
  }
  return LadeBildAusSpeicher(speicher);
}

bool Quarz_Bild::LadeBildAusSpeicher(TSpeicher& speicher) {
  const uint8_t* daten = speicher.Daten() + speicher.Position();
  const uint64_t rest = speicher.Rest();
  if (rest >= sizeof kPngSignatur && std::memcmp(daten, kPngSignatur, sizeof kPngSignatur) == 0)
    return LadePNG(speicher);
  if (rest >= 4 && (IstSignatur(daten, "DDS ", 4) || IstSignatur(daten, "KRVD", 4)))
    return LadeDDS(speicher);
  gLog.Schreibe("!Quarz_Bild::LadeBildAusDatei():  Dateiformat nicht erkennbar.");
  return false;
}
