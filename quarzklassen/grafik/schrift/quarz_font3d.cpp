#include "quarzklassen/grafik/schrift/quarz_font3d.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plattform/system/system_linux.h"
#include "quarzklassen/grafik/schrift/quarz_utf8.h"
#include "quarzklassen/grafik/schrift/ttruetypeglyphen.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

Quarz_Font3D::Quarz_Font3D()
    : mBatch(new Quarz_BlockGfx3D(0, 0, 0)), mTextPuffer(kTextPuffer, '\0') {}

Quarz_Font3D::~Quarz_Font3D() { delete mBatch; }

bool Quarz_Font3D::Laden(const std::wstring& pfad) {
  const std::string name = WandleUtf32NachUtf8(pfad);
  TSpeicher puffer;
  if (!puffer.LadeDatei(pfad, 0)) {
    gLog.Schreibe("!Quarz_Font3D::Laden( \"%s\"): Datei konnte nicht gelesen werden.", name.c_str());
    return false;
  }
  TSchriftDatei datei;
  datei.mAtlas.mMaxKante = mBatch->mAtlas.mMaxKante;
  if (!datei.Lies(puffer, name)) return false;
  mDateiGroesse = mGroesse = datei.mGroesse;
  mSkalierung = 1.0f;
  mGlyphen = std::move(datei.mGlyphen);
  mBatch->Uebernimm(std::move(datei.mAtlas));
  return true;
}

Quarz_Font3D* Quarz_Font3D::ErzeugeAusTrueType(const std::wstring& pfad) {
  Quarz_Font3D* schrift = nullptr;
  const bool ok = TTrueTypeGlyphen::Rendere(
      pfad, [&] { schrift = new Quarz_Font3D; },
      [&](uint32_t c, const TBereich& quelle, uint64_t x, uint64_t y, uint64_t w, uint64_t h,
          const TGlyphe& g) { schrift->AddBuchstabe(c, quelle, x, y, w, h, g); });
  if (!ok) {
    delete schrift;
    return nullptr;
  }
  return schrift;
}

void Quarz_Font3D::AddBuchstabe(uint32_t codepunkt, const TBereich& quelle, uint64_t x, uint64_t y,
                                uint64_t breite, uint64_t hoehe, const TGlyphe& glyphe) {
  if (mDateiGroesse == 0) {
    mDateiGroesse = mGroesse = 24;
    mSkalierung = 1.0f;
  } else if (mDateiGroesse != 24) {
    // A glyph rendered for another font size: a programming error, so the debugger stops here.
    gLog.Schreibe("!Quarz_Font3D::AddBuchstabe( '%c', ..., %d, %d, %d, %d): Neuer Buchstabe hat abweichende Höhe (%d anstatt %d).",
                  static_cast<char>(codepunkt), static_cast<int>(x), static_cast<int>(y),
                  static_cast<int>(breite), static_cast<int>(hoehe), 24, static_cast<int>(mDateiGroesse));
    Plattform::DebuggerAnhalten();
  }
  mBatch->AddGrafik(codepunkt, quelle, x, y, breite, hoehe);
  TSchriftDatei::SetzeGlyphe(mGlyphen, codepunkt, glyphe);
}

void Quarz_Font3D::SetGroesse(float groesse) {
  mGroesse = groesse;
  // A font without glyphs has no file size to scale from.
  mSkalierung = mDateiGroesse > 0 ? groesse / mDateiGroesse : 1.0f;
}

void Quarz_Font3D::SetAusrichtung(uint32_t horizontal, uint32_t vertikal) {
  mAusrichtungH = horizontal;
  mAusrichtungV = vertikal;
}

void Quarz_Font3D::Zuruecksetzen() {
  mGroesse = mDateiGroesse;
  mSkalierung = 1.0f;
  mAbstand = 0.1f;
  mFarbe = TAlphaFarbe(1, 1, 1, 1);
  mAusrichtungH = mAusrichtungV = 0;
  mRotation = 0;
}

const TGlyphe* Quarz_Font3D::Glyphe(uint32_t codepunkt) const {
  // Older files have 256 records, and any file may hold graphics beyond its records.
  if (codepunkt >= mGlyphen.size() || !mBatch->HatGrafik(codepunkt)) return nullptr;
  return &mGlyphen[codepunkt];
}

float Quarz_Font3D::Vorschub(uint32_t codepunkt) const {
  const TGlyphe* g = Glyphe(codepunkt);
  return g ? static_cast<float>(g->mVorschub) * mSkalierung + mGroesse * mAbstand : 0.3f * mGroesse;
}

float Quarz_Font3D::TextBreite(const char* text) const {
  float breite = 0;
  if (!text) return 0;
  for (const char* p = text; uint32_t c = Quarz::LiesCodepunkt(p);) breite += Vorschub(c);
  return breite;
}

void Quarz_Font3D::ZeichneText(float x, float y, const char* text) {
  if (!text || mDateiGroesse <= 0) return;
  y -= 4 * mGroesse / mDateiGroesse;
  const float s = mRotation == 0 ? 0.0f : std::sin(mRotation);
  const float c = mRotation == 0 ? 1.0f : std::cos(mRotation);
  for (const char* p = text; uint32_t cp = Quarz::LiesCodepunkt(p);) {
    if (const TGlyphe* g = Glyphe(cp)) {
      const TGrafikSlot& slot = mBatch->Grafik(cp);
      const float breite = static_cast<float>(slot.mBreite) * mSkalierung;
      const float hoehe = static_cast<float>(slot.mHoehe) * mSkalierung;
      // Size 0 would mean the graphic's own size to the batch: a zero-size glyph draws nothing.
      if (breite != 0 && hoehe != 0)
        mBatch->Zeichne(cp,
                        {x + static_cast<float>(g->mVersatzX) * mSkalierung,
                         y + static_cast<float>(g->mVersatzY) * mSkalierung, 0.5f},
                        mFarbe, breite, hoehe, mRotation);
    }
    const float vorschub = Vorschub(cp);
    x += vorschub * c;
    y += vorschub * s;
  }
}

void Quarz_Font3D::Spuele() {
  if (mSofortZeichnen && !mBatch->mWarteschlange.empty()) {
    mBatch->BereiteAusgabeVor();
    mBatch->ZeichneInstanzen();
  }
}

void Quarz_Font3D::Zeichne(float x, float y, const char* text) {
  if (mAusrichtungH != 0 || mAusrichtungV != 0) {
    const float s = std::sin(mRotation), c = std::cos(mRotation);
    if (mAusrichtungV == 8) {
      x += mGroesse * s;
      y -= mGroesse * c;
    } else if (mAusrichtungV == 4) {
      x += 0.5f * mGroesse * s;
      y -= 0.5f * mGroesse * c;
    }
    const float w = text ? TextBreite(text) : 0.0f;
    if (mAusrichtungH == 1) {
      x -= 0.5f * w * c;
      y -= 0.5f * w * s;
    } else if (mAusrichtungH == 2) {
      x -= w * c;
      y -= w * s;
    }
  }
  ZeichneText(x, y, text);
  Spuele();
}

void Quarz_Font3D::Formatiere(const char* format, va_list argumente) {
  // vsnprintf cuts longer output and always terminates.
  std::vsnprintf(mTextPuffer.data(), kTextPuffer, format, argumente);
}

void Quarz_Font3D::ZeichneFormatiert(float x, float y, const char* format, ...) {
  va_list argumente;
  va_start(argumente, format);
  Formatiere(format, argumente);
  va_end(argumente);
  Zeichne(x, y, mTextPuffer.data());
}

namespace {
// Process-wide scratch tables of ZeichneUmbrochen (drawing is not reentrant).
std::vector<size_t> gZeilenAnfang;
std::vector<float> gZeilenBreite;
}  // namespace

void Quarz_Font3D::ZeichneUmbrochen(float x, float y, float maxBreite, float maxHoehe,
                                    const char* format, ...) {
  va_list argumente;
  va_start(argumente, format);
  Formatiere(format, argumente);
  va_end(argumente);
  char* text = mTextPuffer.data();

  const float punkteBreite = TextBreite("...");
  const float zeilenHoehe = mDateiGroesse * mSkalierung;
  const float zeilen = zeilenHoehe > 0 ? std::trunc(maxHoehe / zeilenHoehe) : 1.0f;
  const size_t maxZeilen = zeilen >= 1.0f ? static_cast<size_t>(std::min(zeilen, 1e6f)) : 1;
  gZeilenAnfang.clear();
  gZeilenBreite.clear();

  size_t pos = 0;
  while (text[pos] && gZeilenAnfang.size() < maxZeilen) {
    const size_t i = gZeilenAnfang.size();
    gZeilenAnfang.push_back(pos);
    const float verfuegbar = i + 1 == maxZeilen ? std::max(maxBreite - punkteBreite, punkteBreite) : maxBreite;
    float breite = 0;
    size_t ende = pos;
    bool hatUmbruch = false, hartesEnde = false;
    size_t umbruch = pos;
    float umbruchBreite = 0;
    if (verfuegbar > 0) {
      while (true) {
        const char* p = text + ende;
        const uint32_t c = Quarz::LiesCodepunkt(p);
        const size_t danach = static_cast<size_t>(p - text);
        if (c == 0) {
          hartesEnde = true;
          break;
        }
        if (c == 10) {
          ende = danach;
          hartesEnde = true;
          break;
        }
        const float vorschub = Vorschub(c);
        if (!Glyphe(c)) {
          umbruch = danach;
          umbruchBreite = breite;
          hatUmbruch = true;
        }
        if (breite + vorschub > verfuegbar) break;
        breite += vorschub;
        ende = danach;
        if (breite >= verfuegbar) break;
      }
    }
    if (!hartesEnde && hatUmbruch) {
      ende = umbruch;
      breite = umbruchBreite;
    }
    // A glyph wider than the line still takes its line: every line makes progress.
    if (ende == pos) {
      const char* p = text + pos;
      const uint32_t c = Quarz::LiesCodepunkt(p);
      ende = static_cast<size_t>(p - text);
      breite = Vorschub(c);
    }
    gZeilenBreite.push_back(breite);
    pos = ende;
    if (gZeilenAnfang.size() == maxZeilen && text[pos]) {
      // Cut here and end the last line in "..."; near the buffer's end the cut moves back to a
      // code point boundary so the dots and the terminator fit.
      while (pos + 4 > kTextPuffer && pos > gZeilenAnfang.back()) {
        size_t zurueck = pos - 1;
        while (zurueck > gZeilenAnfang.back() && (static_cast<unsigned char>(text[zurueck]) & 0xC0) == 0x80) --zurueck;
        const char* p = text + zurueck;
        gZeilenBreite.back() = std::max(0.0f, gZeilenBreite.back() - Vorschub(Quarz::LiesCodepunkt(p)));
        pos = zurueck;
      }
      if (pos + 4 > kTextPuffer) {
        text[pos] = '\0';  // a last line of at most two bytes at the very end: no room for dots
        break;
      }
      std::memcpy(text + pos, "...", 4);
      gZeilenBreite.back() += punkteBreite;
      pos += 3;
    }
  }

  const size_t n = gZeilenAnfang.size();
  const float block = static_cast<float>(n) * zeilenHoehe + static_cast<float>(n ? n - 1 : 0);
  if (mAusrichtungV == 4) y += (maxHoehe - block) * 0.5f;
  else if (mAusrichtungV == 8) y += maxHoehe - block;
  for (size_t i = 0; i < n; ++i) {
    float zx = x;
    if (mAusrichtungH == 1) zx = x + (maxBreite - gZeilenBreite[i]) * 0.5f;
    else if (mAusrichtungH == 2) zx = x + maxBreite - gZeilenBreite[i];
    // The line alone: the text is cut at the next line's start for the call.
    const size_t ende = i + 1 < n ? gZeilenAnfang[i + 1] : pos;
    const char gemerkt = text[ende];
    text[ende] = '\0';
    ZeichneText(zx, y + static_cast<float>(i) * (zeilenHoehe + 1), text + gZeilenAnfang[i]);
    text[ende] = gemerkt;
  }
  Spuele();
}

void Quarz_Font3D::Ausgeben() {
  mBatch->mZentriert = 0;
  mBatch->Ausgeben();
}

void Quarz_Font3D::AktualisiereMips() { mBatch->AktualisiereMips(); }
