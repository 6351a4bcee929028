#include "gui/simpelrenderer.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cmath>
#include <numbers>
#include <optional>

#include "gui/auswahl.h"
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/hinweis.h"
#include "gui/kurve.h"
#include "gui/text.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_ausnahme.h"

namespace Gui {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// sin(pi t) for the 0.2 s after a tick; exactly 0 once it has run out (sin(pi) is not).
float Puls(int64_t tick) {
  const float t = Klemme(5.0f * SekundenSeit(tick));
  return t < 1.0f ? std::sin(kPi * t) : 0.0f;
}

// A whole-number extent of at least one unit: the sprite batch reads 0 as "the graphic's own
// size", and negative extents mirror. Sizes from the property file arrive as written; an
// infinite or NaN one has no whole number.
bool Zeichenbar(float breite, float hoehe) {
  return std::isfinite(breite) && std::isfinite(hoehe) && breite >= 1.0f && hoehe >= 1.0f;
}

TAlphaFarbe Rahmenfarbe(float f, float rot, float gruen, float blau, float a) {
  return TAlphaFarbe(0.2f * f + rot, 0.2f * f + gruen, 0.2f * f + blau, a);
}

std::string Eintragstext(const Auswahl& a, uint64_t index) {
  return (boost::format("%d/%d %s") % (index + 1) % a.mEintraege.size() % a.mEintraege[index].mText).str();
}

}  // namespace

SimpelRenderer::SimpelRenderer(Quarz_BlockGfx3D* batch, Quarz_Font3D* schrift)
    : mBatch(batch), mSchrift(schrift) {
  if (!mBatch) QUARZ_WIRF("GUI ohne Grafik: \"grafik.png\" nicht geladen", "Gui::SimpelRenderer::SimpelRenderer");
  if (!mSchrift)
    QUARZ_WIRF("GUI ohne Schrift: \"calibrib.ttf\" nicht geladen", "Gui::SimpelRenderer::SimpelRenderer");
}

void SimpelRenderer::Beginne() {
  mBatch->mZentriert = 0;
  mSchrift->SetGroesse(mSchrift->mDateiGroesse);
  // Text waits in the font's batch until the element's rectangles are out: drawn at once it
  // would lie under them, and every label would cost a draw call of its own.
  mSofortVorher = mSchrift->mSofortZeichnen;
  mSchrift->mSofortZeichnen = 0;
}

void SimpelRenderer::Leere() {
  mBatch->Ausgeben();
  mSchrift->Ausgeben();
}

void SimpelRenderer::SetzeBereich(float x, float y, float breite, float hoehe) {
  Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
  if (!kontext) return;
  auto ganz = [](float v) { return v > 0.0f ? static_cast<uint64_t>(v) : uint64_t(0); };
  kontext->SetRenderBereich(ganz(x), ganz(y), ganz(breite), ganz(hoehe));
}

void SimpelRenderer::BeginneElement(Basis* element, const BVektor<float>& position, const BVektor<float>& groesse) {
  Leere();
  mStapel.push_back({position, groesse, element});
  mClipX = position.x;
  mClipY = position.y;
  mClipZ = position.z;
  SetzeBereich(position.x, position.y, groesse.x, groesse.y);
}

void SimpelRenderer::BeendeElement(Basis*) {
  Leere();
  if (!mStapel.empty()) mStapel.pop_back();
  if (!mStapel.empty()) {
    const Ausschnitt& a = mStapel.back();
    mClipX = a.mPosition.x;
    mClipY = a.mPosition.y;
    mClipZ = a.mPosition.z;
    SetzeBereich(a.mPosition.x, a.mPosition.y, a.mGroesse.x, a.mGroesse.y);
    return;
  }
  mClipX = mClipY = mClipZ = 0.0f;
  if (Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext())
    kontext->SetRenderBereich(0, 0, kontext->mZielBreite, kontext->mZielHoehe);
}

void SimpelRenderer::Beende() {
  Leere();
  mSchrift->mSofortZeichnen = mSofortVorher;
}

void SimpelRenderer::Rechteck(float x, float y, float breite, float hoehe, const TAlphaFarbe& farbe) {
  if (!Zeichenbar(breite, hoehe)) return;
  ZeichneRechteck(x, y, std::trunc(breite), std::trunc(hoehe), farbe);
}

void SimpelRenderer::ZeichneRechteck(float x, float y, float breite, float hoehe, const TAlphaFarbe& farbe) {
  mBatch->Zeichne(0, BVektor<float>(x - mClipX, y - mClipY, 0.5f), farbe, breite, hoehe, 0.0f);
}

void SimpelRenderer::TextBox(float x, float y, float breite, float hoehe, const std::string& text,
                             const TAlphaFarbe& farbe, uint32_t horizontal, uint32_t vertikal, float skalierung) {
  // A box with no room would leave the font's line breaking nothing to fill.
  if (text.empty() || !Zeichenbar(breite, hoehe)) return;
  ZeichneTextBox(x, y, breite, hoehe, text, farbe, horizontal, vertikal, skalierung);
}

void SimpelRenderer::ZeichneTextBox(float x, float y, float breite, float hoehe, const std::string& text,
                                    const TAlphaFarbe& farbe, uint32_t horizontal, uint32_t vertikal,
                                    float skalierung) {
  mSchrift->mFarbe = farbe;
  mSchrift->SetAusrichtung(horizontal, vertikal);
  mSchrift->SetGroesse(mSchrift->mDateiGroesse * skalierung);
  mSchrift->ZeichneUmbrochen(x - mClipX, y - mClipY, breite, hoehe, "%s", text.c_str());
}

void SimpelRenderer::ZeichneInhalt(float x, float y, float breite, float hoehe, const GrafikVerweis& bild,
                                   const std::string& beschriftung, const TAlphaFarbe& farbe, float skalierung,
                                   bool aktiv) {
  float versatz = 0.0f;
  Quarz_BlockGfx3D* fremd = bild.mBatch;
  if (fremd && fremd->HatGrafik(bild.mIndex)) {
    mBatch->Ausgeben();
    const BVektor<float> sprite = bild.SpriteGroesse();
    // Scaled down to fit the box, never up.
    float faktor = 1.0f;
    if (sprite.x > 0.0f) faktor = std::min(faktor, breite / sprite.x);
    if (sprite.y > 0.0f) faktor = std::min(faktor, hoehe / sprite.y);
    faktor = std::max(faktor, 0.0f);
    const float b = sprite.x * faktor;
    const float h = sprite.y * faktor;
    versatz = std::max(b, hoehe);
    const TAlphaFarbe tint = aktiv ? TAlphaFarbe(1, 1, 1, farbe.a) : TAlphaFarbe(0.5f, 0.5f, 0.5f, farbe.a * 0.5f);
    const uint8_t zentriertVorher = fremd->mZentriert;
    fremd->mZentriert = 1;
    if (Zeichenbar(b, h))
      fremd->Zeichne(bild.mIndex, BVektor<float>(x - mClipX + versatz * 0.5f, y - mClipY + hoehe * 0.5f, 0.5f),
                     tint, b, h, 0.0f);
    fremd->Ausgeben();
    // The image may come from the renderer's own batch, whose rectangles hang from their corner.
    fremd->mZentriert = zentriertVorher;
    versatz += 10.0f;
  }
  if (beschriftung.empty()) return;
  TAlphaFarbe text = farbe;
  if (!aktiv) {
    text.r += (0.5f - text.r) * 0.5f;
    text.g += (0.5f - text.g) * 0.5f;
    text.b += (0.5f - text.b) * 0.5f;
  }
  TextBox(x + versatz, y, breite - versatz, hoehe, beschriftung, text, 1, 4, skalierung);
}

std::optional<SimpelRenderer::Lage> SimpelRenderer::LageVon(const Basis* e) {
  const float alpha = Deckkraft(e);
  if (alpha == 0.0f) return std::nullopt;
  return Lage{alpha, FokusWert(e), e->AbsolutePosition(), e->mGroesse.x, e->mGroesse.y};
}

// The outer frame of the active widgets grows by 4 units per side with the focus highlight.
void SimpelRenderer::Aussen(const Lage& l, const TAlphaFarbe& farbe) {
  Rechteck(l.p.x - 4 * l.f, l.p.y - 4 * l.f, l.w + 8 * l.f, l.h + 8 * l.f, farbe);
}

void SimpelRenderer::ZeichneButton(Button* e) {
  const std::optional<Lage> l = LageVon(e);
  if (!l) return;
  const auto [alpha, f, p, w, h] = *l;
  const bool aktiv = e->mAktiviert != 0;
  Aussen(*l, aktiv ? Rahmenfarbe(f, 0.2f, 0.2f, 0.4f, 0.8f * alpha) : TAlphaFarbe(0.7f, 0.7f, 0.7f, 0.8f * alpha));
  if (w >= 4 && h >= 4) {
    Rechteck(p.x + 2, p.y + 2, w - 4, h - 4,
             aktiv ? Rahmenfarbe(f, 0.6f, 0.6f, 0.8f, alpha) : TAlphaFarbe(0.8f, 0.8f, 0.8f, 0.8f * alpha));
    ZeichneInhalt(p.x + 2, p.y + 2, w - 4, h - 4, e->mBild, e->mBeschriftung, TAlphaFarbe(0, 0, 0, alpha),
                  e->Skalierung(), aktiv);
  }
  const float puls = Puls(e->mDruckZeit);
  if (puls > 0.0f) {
    const float r = 20.0f * puls + 2.0f;
    Rechteck(p.x + 2 - r, p.y + 2 - r, w - 4 + 2 * r, h - 4 + 2 * r, TAlphaFarbe(1, 1, 1, puls * 0.5f));
  }
}

void SimpelRenderer::ZeichneCheckbox(Checkbox* e) {
  const std::optional<Lage> l = LageVon(e);
  if (!l) return;
  const auto [alpha, f, p, w, h] = *l;
  Aussen(*l, e->mAktiviert ? Rahmenfarbe(f, 0.1f, 0.1f, 0.2f, 1.8f * alpha) : TAlphaFarbe(0.7f, 0.7f, 0.7f, 0.8f * alpha));
  TextBox(p.x + 5, p.y + 5, w - 10, h - 10, e->mBeschriftung, TAlphaFarbe(1, 1, 1, alpha), 0, 4, e->Skalierung());

  const float s = std::min(w - 10, h - 10);
  const float k = 0.3f * Puls(e->mUmschaltZeit) + 0.5f;
  const float seite = k * s;
  const float bx = p.x + 5 + (w - 10 - s) + (0.5f - k * 0.5f) * s;
  const float by = p.y + 5 + (0.5f - k * 0.5f) * s;
  Rechteck(bx, by, seite, seite, TAlphaFarbe(1, 1, 1, alpha));

  float m = Kurve(Klemme(5.0f * SekundenSeit(e->mAnZeit)), 10);
  if (!e->mWert) m *= Kurve(Klemme(5.0f * SekundenSeit(e->mAusZeit)), 11);
  Rechteck(bx + 0.1f * seite, by + 0.1f * seite, 0.8f * seite, 0.8f * seite,
           TAlphaFarbe(0.6f * m, 0.6f * m, 0.8f * m, alpha));
}

void SimpelRenderer::ZeichneAuswahl(Auswahl* e) {
  const std::optional<Lage> l = LageVon(e);
  if (!l) return;
  const auto [alpha, f, p, w, h] = *l;
  const bool aktiv = e->mAktiviert != 0;
  Aussen(*l, aktiv ? Rahmenfarbe(f, 0.2f, 0.2f, 0.4f, 1.3f * alpha) : TAlphaFarbe(0.3f, 0.3f, 0.3f, 0.3f * alpha));
  if (e->mEintraege.empty()) return;
  const float x = p.x + 5, y = p.y + 5, bw = w - 10, bh = h - 10;
  const float t = Klemme(5.0f * SekundenSeit(e->mWechselZeit));
  const float wurzel = std::sqrt(t);
  const float ein = 1.0f - wurzel;
  const float seite = e->mRichtung ? 1.0f : -1.0f;
  const uint64_t aktuell = std::min<uint64_t>(e->mAktuell, e->mEintraege.size() - 1);
  ZeichneInhalt(x + seite * ein * bw, y, bw, bh, e->mEintraege[aktuell].mBild, Eintragstext(*e, aktuell),
                TAlphaFarbe(1, 1, 1, (1.0f - ein) * alpha), e->Skalierung(), aktiv);
  if (wurzel != 1.0f && e->mVorher < e->mEintraege.size()) {
    const float q = t * t;
    ZeichneInhalt(x - seite * q * bw, y, bw, bh, e->mEintraege[e->mVorher].mBild, Eintragstext(*e, e->mVorher),
                  TAlphaFarbe(1, 1, 1, (1.0f - q) * alpha), e->Skalierung(), aktiv);
  }
}

void SimpelRenderer::ZeichneText(Text* e) {
  const float alpha = Deckkraft(e);
  if (alpha == 0.0f) return;
  const BVektor<float> p = e->AbsolutePosition();
  const float w = e->mGroesse.x, h = e->mGroesse.y;
  Rechteck(p.x, p.y, w, h, TAlphaFarbe(0.2f, 0.2f, 0.2f, 0.7f * alpha));
  if (w < 4 || h < 4) return;
  // Alignment from the element's own properties only.
  auto eigen = [e](const char* schluessel) {
    const TEigenschaften* k = e->mEigenschaften.Finde(schluessel);
    const float* wert = k ? k->Hole<float>() : nullptr;
    return wert ? *wert : 0.5f;
  };
  const float rh = eigen("richt_horiz"), rv = eigen("richt_vert");
  const uint32_t horizontal = rh < 0.3f ? 0 : rh > 0.7f ? 2 : 1;
  const uint32_t vertikal = rv < 0.3f ? 0 : rv > 0.7f ? 8 : 4;
  TextBox(p.x + 2, p.y + 2, w - 4, h - 4, e->mText, TAlphaFarbe(1, 1, 1, alpha), horizontal, vertikal,
          e->Skalierung());
}

void SimpelRenderer::ZeichneHinweis(Hinweis* e) {
  const float alpha = Deckkraft(e);
  if (alpha == 0.0f) return;
  const BVektor<float> p = e->AbsolutePosition();
  const float w = e->mGroesse.x, h = e->mGroesse.y;
  if (const Basis* besitzer = e->mBesitzer) {
    const BVektor<float> o = besitzer->AbsoluteMitte();
    const BVektor<float> c = e->AbsoluteMitte();
    auto vorzeichen = [](float v) { return v > 0.0f ? 1.0f : v < 0.0f ? -1.0f : 0.0f; };
    const float sx = vorzeichen(c.x - o.x), sy = vorzeichen(c.y - o.y);
    const float startX = o.x + 0.35f * sx * besitzer->mGroesse.x;
    const float startY = o.y + 0.35f * sy * besitzer->mGroesse.y;
    for (int i = 1; i <= 20; ++i) {
      const float k = (i / 21.0f) * (i / 21.0f);
      const float mx = startX + k * (c.x - startX), my = startY + k * (c.y - startY);
      Rechteck(mx - k * w * 0.5f, my - k * h * 0.5f, k * w, k * h, TAlphaFarbe(0.8f, 0.8f, 0.8f, 0.105f * alpha));
    }
  }
  Rechteck(p.x, p.y, w, h, TAlphaFarbe(0.8f, 0.8f, 0.8f, 0.7f * alpha));
  TextBox(p.x + 5, p.y + 5, w - 10, h - 10, e->mText, TAlphaFarbe(0, 0, 0, alpha), 1, 4, e->Skalierung());
}

}  // namespace Gui
