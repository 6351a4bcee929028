#pragma once
// The GUI's renderer: every element is a few tinted rectangles of graphic 0 of one sprite
// batch and a text of one font, faded and animated from the ticks the elements keep.
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "gui/renderer.h"
#include "quarzklassen/kern/talphafarbe.h"

class Quarz_BlockGfx3D;
class Quarz_Font3D;

namespace Gui {

class GrafikVerweis;

class SimpelRenderer : public Renderer {
public:
  // Neither is owned. A missing batch or font is a start-up failure (Quarz_Ausnahme).
  SimpelRenderer(Quarz_BlockGfx3D* batch, Quarz_Font3D* schrift);

  void Beginne() override;
  void BeginneElement(Basis* element, const BVektor<float>& position, const BVektor<float>& groesse) override;
  void BeendeElement(Basis* element) override;
  void Beende() override;
  void ZeichneAuswahl(Auswahl* e) override;
  void ZeichneCheckbox(Checkbox* e) override;
  void ZeichneHinweis(Hinweis* e) override;
  void ZeichneSeite(Seite*) override {}
  void ZeichneButton(Button* e) override;
  void ZeichneText(Text* e) override;
  void ZeichneElement(Basis*) override {}

protected:
  // A rectangle of graphic 0, top-left at (x, y) in surface units, with whole-number extents;
  // nothing below one whole unit.
  void Rechteck(float x, float y, float breite, float hoehe, const TAlphaFarbe& farbe);
  virtual void ZeichneRechteck(float x, float y, float breite, float hoehe, const TAlphaFarbe& farbe);
  // A wrapped text in the box (x, y, w, h); alignments as the font takes them; nothing in a box
  // below one whole unit.
  void TextBox(float x, float y, float breite, float hoehe, const std::string& text, const TAlphaFarbe& farbe,
               uint32_t horizontal, uint32_t vertikal, float skalierung);
  virtual void ZeichneTextBox(float x, float y, float breite, float hoehe, const std::string& text,
                              const TAlphaFarbe& farbe, uint32_t horizontal, uint32_t vertikal, float skalierung);
  // Draws what both batches hold.
  virtual void Leere();
  // An image and a label in a box (buttons and choices).
  void ZeichneInhalt(float x, float y, float breite, float hoehe, const GrafikVerweis& bild,
                     const std::string& beschriftung, const TAlphaFarbe& farbe, float skalierung, bool aktiv);

  struct Ausschnitt {
    BVektor<float> mPosition;
    BVektor<float> mGroesse;
    Basis* mElement;
  };

  Quarz_BlockGfx3D* mBatch;
  Quarz_Font3D* mSchrift;
  float mClipX = 0.0f;
  float mClipY = 0.0f;
  float mClipZ = 0.0f;
  std::deque<Ausschnitt> mStapel;
  uint8_t mSofortVorher = 1;  // the font's own draw-immediately flag, restored by Beende

private:
  // What every draw routine starts from: opacity, focus highlight, absolute place and size.
  struct Lage {
    float alpha;
    float f;
    BVektor<float> p;
    float w;
    float h;
  };
  // Null when the element is fully faded out.
  static std::optional<Lage> LageVon(const Basis* e);
  void Aussen(const Lage& lage, const TAlphaFarbe& farbe);
  void SetzeBereich(float x, float y, float breite, float hoehe);
};

}  // namespace Gui
