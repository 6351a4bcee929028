#pragma once
// The GUI's key-code space: keyboard keys, pointer buttons and the navigation codes the host
// translates its input into. Codes index 270-entry tables; 270 means none.
#include <cstdint>

namespace Gui {

enum Taste : uint64_t {
  TASTE_ZEIGER1 = 256,  // primary pointer button
  TASTE_ZEIGER2 = 257,  // secondary pointer button
  TASTE_ZEIGER3 = 258,  // third pointer button
  TASTE_HOCH = 261,     // focus up
  TASTE_RUNTER = 262,   // focus down
  TASTE_RECHTS = 263,   // focus right
  TASTE_LINKS = 264,    // focus left
  TASTE_AKTIVIERE = 265,
  TASTE_ZURUECK = 266,
  TASTE_ANZAHL = 270,
  TASTE_KEINE = 270
};

// Key states handed in by the host, and the held bit of the stored state.
enum TastenZustand : uint32_t { ZUSTAND_GEDRUECKT = 1, ZUSTAND_GEHALTEN = 2, ZUSTAND_LOSGELASSEN = 4 };

// "None" for timer ids and other 64-bit handles.
inline constexpr uint64_t KEINE_ID = ~uint64_t(0);

}  // namespace Gui
