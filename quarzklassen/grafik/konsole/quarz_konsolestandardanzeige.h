#pragma once
// The engine's drop-down console: it shows the log's lines over the top 400 pixels of the
// screen, lets the user type a command line with live completion of command and variable names,
// keeps a history of executed lines and hands finished lines to the command executor. It is the
// log's display while it lives and an input handler when the main loop hands it the keys.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "input/inputhandler.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"

class Quarz_BlockGfx3D;
class Quarz_Font3D;

class Quarz_KonsoleStandardAnzeige : public Quarz_KonsoleBasisAnzeige, public ORVIS::InputHandler {
public:
  static constexpr size_t kMaxZeilen = 500;
  static constexpr size_t kVerworfeneZeilen = 100;
  static constexpr float kHoehe = 400.0f;

  explicit Quarz_KonsoleStandardAnzeige(const std::wstring& schriftPfad);
  ~Quarz_KonsoleStandardAnzeige() override;

  void ZeigeZeile(const char* zeile) override;
  bool OnKey(ORVIS::Keyboard* tastatur, uint32_t taste, bool gedrueckt) override;
  bool OnKeyText(ORVIS::Keyboard* tastatur, uint32_t codepunkt) override;
  // Draws the console when it is visible. A line is coloured by the first character of its
  // message (after the log's time prefix): "?" yellow and "!" red (the mark not shown), ">"
  // green, others white.
  void Zeichne();

  std::deque<std::string> mZeilen;
  uint64_t mScrollPosition = 0;  // the line shown lowest
  uint8_t mSichtbar = 0;
  std::string mEingabe;
  uint64_t mCursor = 0;  // byte index into the input, always on a code point boundary
  std::vector<std::string> mVerlauf;
  uint64_t mVerlaufPosition = 0;  // the history's length when not browsing
  std::string mGemerkteEingabe;
  Quarz_BlockGfx3D* mHintergrund;
  Quarz_Font3D* mSchrift;

private:
  // Completes the word before the cursor after a typed character.
  void Vervollstaendige();
  // The last line index, 0 without lines.
  uint64_t LetzteZeile() const { return mZeilen.empty() ? 0 : mZeilen.size() - 1; }
};
