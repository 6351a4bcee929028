#include "quarzklassen/grafik/konsole/quarz_konsolestandardanzeige.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/schrift/quarz_utf8.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_konsolenbefehl.h"
#include "quarzklassen/kern/quarz_variable.h"

namespace {

// DirectInput key codes the console answers.
enum : uint32_t {
  TASTE_BILD_HOCH = 201, TASTE_BILD_RUNTER = 209, TASTE_RUECKSCHRITT = 14, TASTE_ENTF = 211,
  TASTE_LINKS = 203, TASTE_RECHTS = 205, TASTE_HOCH = 200, TASTE_RUNTER = 208,
  TASTE_EINGABE = 28, TASTE_ZIFFERNBLOCK_EINGABE = 156, TASTE_TAB = 15
};

// Where the message of a log line begins: after the log's prefix "%04d:%06d (t%04x): " when
// the line carries one, else 0. The severity mark is the message's first character.
size_t NachrichtenAnfang(const std::string& zeile) {
  size_t i = 0;
  auto Ziffern = [&](auto istZiffer) {
    const size_t anfang = i;
    while (i < zeile.size() && istZiffer(static_cast<unsigned char>(zeile[i]))) ++i;
    return i > anfang;
  };
  auto Text = [&](const char* t) {
    const size_t n = std::strlen(t);
    if (zeile.compare(i, n, t) != 0) return false;
    i += n;
    return true;
  };
  const bool prefix = Ziffern(::isdigit) && Text(":") && Ziffern(::isdigit) && Text(" (t") &&
                      Ziffern(::isxdigit) && Text("): ");
  return prefix ? i : 0;
}

}  // namespace

Quarz_KonsoleStandardAnzeige::Quarz_KonsoleStandardAnzeige(const std::wstring& schriftPfad)
    : mHintergrund(new Quarz_BlockGfx3D(16, 16, 0)), mSchrift(new Quarz_Font3D) {
  // Graphic 0: half-transparent white, tinted per quad.
  Quarz_Bild weiss(16, 16, Quarz::PF_A8R8G8B8, 1);
  for (uint64_t y = 0; y < 16; ++y)
    std::fill_n(reinterpret_cast<uint32_t*>(weiss.mPixel + y * weiss.mPitch), 16, 0x80FFFFFFu);
  mHintergrund->AddGrafik(0, weiss, 0, 0, 16, 16);
  mSchrift->Laden(schriftPfad);
}

Quarz_KonsoleStandardAnzeige::~Quarz_KonsoleStandardAnzeige() {
  delete mHintergrund;
  delete mSchrift;
}

void Quarz_KonsoleStandardAnzeige::ZeigeZeile(const char* zeile) {
  mZeilen.emplace_back(zeile ? zeile : "");
  // A view on the previous last line follows the new one.
  if (mZeilen.size() >= 2 && mScrollPosition == mZeilen.size() - 2) mScrollPosition = mZeilen.size() - 1;
  if (mZeilen.size() > kMaxZeilen) {
    mZeilen.erase(mZeilen.begin(), mZeilen.begin() + kVerworfeneZeilen);
    mScrollPosition = mScrollPosition > kVerworfeneZeilen ? mScrollPosition - kVerworfeneZeilen : 0;
  }
}

bool Quarz_KonsoleStandardAnzeige::OnKey(ORVIS::Keyboard*, uint32_t taste, bool gedrueckt) {
  if (!gedrueckt) return false;
  switch (taste) {
    case TASTE_BILD_HOCH:
      if (mScrollPosition > 10) --mScrollPosition;
      return true;
    case TASTE_BILD_RUNTER:
      if (!mZeilen.empty() && mScrollPosition < mZeilen.size() - 1) ++mScrollPosition;
      return true;
    // Editing moves over whole code points, so the input stays valid UTF-8.
    case TASTE_RUECKSCHRITT:
      if (mCursor > 0) {
        const size_t anfang = Quarz::VorigerCodepunkt(mEingabe, mCursor);
        mEingabe.erase(anfang, mCursor - anfang);
        mCursor = anfang;
      }
      return true;
    case TASTE_ENTF:
      if (mCursor < mEingabe.size())
        mEingabe.erase(mCursor, Quarz::NaechsterCodepunkt(mEingabe, mCursor) - mCursor);
      return true;
    case TASTE_LINKS:
      if (mCursor > 0) mCursor = Quarz::VorigerCodepunkt(mEingabe, mCursor);
      return true;
    case TASTE_RECHTS:
      if (mCursor < mEingabe.size()) mCursor = Quarz::NaechsterCodepunkt(mEingabe, mCursor);
      return true;
    case TASTE_HOCH:
      if (!mVerlauf.empty() && mVerlaufPosition > 0) {
        if (mVerlaufPosition == mVerlauf.size()) mGemerkteEingabe = mEingabe;
        mEingabe = mVerlauf[--mVerlaufPosition];
        mCursor = mEingabe.size();
      }
      return true;
    case TASTE_RUNTER:
      if (mVerlaufPosition < mVerlauf.size()) {
        ++mVerlaufPosition;
        mEingabe = mVerlaufPosition == mVerlauf.size() ? mGemerkteEingabe : mVerlauf[mVerlaufPosition];
        mCursor = mEingabe.size();
      }
      return true;
    case TASTE_EINGABE:
    case TASTE_ZIFFERNBLOCK_EINGABE:
      if (!mEingabe.empty()) {
        mVerlauf.push_back(mEingabe);
        FuehreAus(mEingabe);
      }
      mEingabe.clear();
      mCursor = 0;
      mScrollPosition = LetzteZeile();
      mVerlaufPosition = mVerlauf.size();
      return true;
    case TASTE_TAB:
      if (mEingabe.empty()) {
        // Commands are case-sensitive: the one they mean is "set".
        mEingabe = "set ";
        mCursor = 4;
      } else {
        const size_t leer = mEingabe.find(' ', mCursor);
        if (leer == std::string::npos) {
          mEingabe += ' ';
          mCursor = mEingabe.size();
        } else {
          mCursor = leer + 1;
        }
      }
      return true;
    default:
      return false;
  }
}

bool Quarz_KonsoleStandardAnzeige::OnKeyText(ORVIS::Keyboard*, uint32_t codepunkt) {
  if (codepunkt == 0 || (codepunkt != ' ' && !mSchrift->Glyphe(codepunkt))) return false;
  const std::string zeichen = Quarz::CodepunktNachUtf8(codepunkt);
  mEingabe.insert(mCursor, zeichen);
  mCursor += zeichen.size();
  Vervollstaendige();
  return true;
}

void Quarz_KonsoleStandardAnzeige::Vervollstaendige() {
  size_t anfang = 0;
  for (size_t i = std::min<size_t>(mCursor, mEingabe.size() - 1) + 1; i-- > 0;)
    if (mEingabe[i] == ' ') {
      anfang = i + 1;
      break;
    }
  if (mCursor <= anfang) return;
  const std::string praefix = mEingabe.substr(anfang, mCursor - anfang);
  const size_t leer = mEingabe.find(' ', mCursor);
  const size_t wortEnde = leer == std::string::npos ? mEingabe.size() : leer;
  const std::string kandidat = anfang == 0 ? Quarz_KonsolenBefehl::Vervollstaendige(praefix)
                                           : Quarz_Variable::Vervollstaendige(praefix);
  mEingabe.erase(mCursor, wortEnde - mCursor);
  // The completion stands after the cursor: the next character typed replaces it again.
  if (kandidat.size() > praefix.size()) mEingabe.insert(mCursor, kandidat, praefix.size());
}

void Quarz_KonsoleStandardAnzeige::Zeichne() {
  if (!mSichtbar) return;
  const float breite = static_cast<float>(Quarz_Screen3D::mModus.mBreite);
  Quarz_Font3D& schrift = *mSchrift;
  schrift.Zuruecksetzen();
  schrift.mSofortZeichnen = 0;
  const float groesse = schrift.mDateiGroesse;

  mHintergrund->Zeichne(0, {0, 0, 0.5f}, TAlphaFarbe(0.2f, 0.3f, 0.5f, 0.5f), breite, kHoehe, 0);
  mHintergrund->Zeichne(0, {0, kHoehe, 0.5f}, TAlphaFarbe(0.5f, 0.5f, 0.5f, 0.5f), breite, groesse + 6, 0);

  // Without a font there is no text, only the quads.
  if (groesse > 0) {
    if (!mZeilen.empty()) {
      uint64_t index = std::min<uint64_t>(mScrollPosition, LetzteZeile());
      for (float y = kHoehe - groesse; y >= 0; y -= groesse) {
        std::string zeile = mZeilen[index];
        const size_t nachricht = NachrichtenAnfang(zeile);
        const char marke = nachricht < zeile.size() ? zeile[nachricht] : '\0';
        schrift.mFarbe = TAlphaFarbe(1, 1, 1, 1);
        if (marke == '?' || marke == '!') {
          schrift.mFarbe = marke == '?' ? TAlphaFarbe(1, 1, 0, 1) : TAlphaFarbe(1, 0, 0, 1);
          zeile.erase(nachricht, 1);  // the mark itself is not shown
        } else if (marke == '>') {
          schrift.mFarbe = TAlphaFarbe(0, 1, 0, 1);
        }
        schrift.Zeichne(5, y, zeile.c_str());
        if (index == 0) break;
        --index;
      }
    }
    schrift.mFarbe = TAlphaFarbe(0, 1, 0, 1);
    schrift.ZeichneFormatiert(5, kHoehe + 3, ">%s", mEingabe.c_str());
    const float bisCursor = schrift.TextBreite(mEingabe.substr(0, mCursor).c_str());
    mHintergrund->Zeichne(0, {schrift.TextBreite(">") + bisCursor + 5, kHoehe, 0.5f},
                          TAlphaFarbe(1, 1, 0, 1), 2, groesse + 6, 0);
  }
  mHintergrund->Ausgeben();
  schrift.Ausgeben();
}
