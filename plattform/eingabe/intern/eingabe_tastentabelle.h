#pragma once
// The keys of the window system as the keyboard records describe them: make code (scan code
// of set 1), E0/E1 prefix and virtual key. One table serves both directions: GLFW key to
// record, and key code back to virtual key or make code.
#include <cstdint>

namespace Plattform {

struct TastenEintrag {
  int GlfwTaste;
  uint16_t Make;
  uint16_t Flags;     // RohTasteE0 / RohTasteE1
  uint16_t Virtuell;  // virtual key as the record carries it (16 for either shift)
};

// The entry of a GLFW key, null for keys the records cannot express.
const TastenEintrag* SucheGlfwTaste(int taste);

// Virtual key of a key code (make code, +0x80 for E0 keys), telling left and right shift,
// control and alt apart (160..165); 0 when unknown.
uint32_t VirtuellAusCode(uint32_t code);

// Make code of a virtual key; 0 when unknown.
uint32_t MakeAusVirtuell(uint32_t virtuell);

}  // namespace Plattform

namespace Plattform {
// The GLFW key whose record yields this key code; -1 when none does.
int GlfwTasteAusCode(uint32_t code);
}  // namespace Plattform
