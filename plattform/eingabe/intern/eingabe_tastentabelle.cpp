#include "plattform/eingabe/intern/eingabe_tastentabelle.h"

#include <GLFW/glfw3.h>

#include "plattform/eingabe/eingabe_schicht.h"

namespace Plattform {

namespace {

constexpr uint16_t E0 = RohTasteE0;
constexpr uint16_t E1 = RohTasteE1;

// Virtual keys that the table needs by name.
enum : uint16_t {
  VkZurueck = 8, VkTab = 9, VkEnter = 13, VkUmschalt = 16, VkStrg = 17, VkAlt = 18,
  VkPause = 19, VkFeststell = 20, VkEscape = 27, VkLeer = 32, VkBildHoch = 33,
  VkBildRunter = 34, VkEnde = 35, VkPos1 = 36, VkLinks = 37, VkHoch = 38, VkRechts = 39,
  VkRunter = 40, VkDruck = 44, VkEinfg = 45, VkEntf = 46, VkSystemLinks = 91,
  VkSystemRechts = 92, VkMenue = 93, VkBlock0 = 96, VkMal = 106, VkPlus = 107,
  VkMinus = 109, VkKomma = 110, VkGeteilt = 111, VkF1 = 112, VkNum = 144, VkRollen = 145,
  VkUmschaltLinks = 160, VkUmschaltRechts = 161, VkStrgLinks = 162, VkStrgRechts = 163,
  VkAltLinks = 164, VkAltRechts = 165, VkOem1 = 186, VkOemPlus = 187, VkOemKomma = 188,
  VkOemMinus = 189, VkOemPunkt = 190, VkOem2 = 191, VkOem3 = 192, VkOem4 = 219,
  VkOem5 = 220, VkOem6 = 221, VkOem7 = 222, VkOem102 = 226, VkBlockGleich = 146,
};

constexpr TastenEintrag kTabelle[] = {
    {GLFW_KEY_ESCAPE, 0x01, 0, VkEscape},
    {GLFW_KEY_1, 0x02, 0, '1'}, {GLFW_KEY_2, 0x03, 0, '2'}, {GLFW_KEY_3, 0x04, 0, '3'},
    {GLFW_KEY_4, 0x05, 0, '4'}, {GLFW_KEY_5, 0x06, 0, '5'}, {GLFW_KEY_6, 0x07, 0, '6'},
    {GLFW_KEY_7, 0x08, 0, '7'}, {GLFW_KEY_8, 0x09, 0, '8'}, {GLFW_KEY_9, 0x0A, 0, '9'},
    {GLFW_KEY_0, 0x0B, 0, '0'},
    {GLFW_KEY_MINUS, 0x0C, 0, VkOemMinus}, {GLFW_KEY_EQUAL, 0x0D, 0, VkOemPlus},
    {GLFW_KEY_BACKSPACE, 0x0E, 0, VkZurueck}, {GLFW_KEY_TAB, 0x0F, 0, VkTab},
    {GLFW_KEY_Q, 0x10, 0, 'Q'}, {GLFW_KEY_W, 0x11, 0, 'W'}, {GLFW_KEY_E, 0x12, 0, 'E'},
    {GLFW_KEY_R, 0x13, 0, 'R'}, {GLFW_KEY_T, 0x14, 0, 'T'}, {GLFW_KEY_Y, 0x15, 0, 'Y'},
    {GLFW_KEY_U, 0x16, 0, 'U'}, {GLFW_KEY_I, 0x17, 0, 'I'}, {GLFW_KEY_O, 0x18, 0, 'O'},
    {GLFW_KEY_P, 0x19, 0, 'P'},
    {GLFW_KEY_LEFT_BRACKET, 0x1A, 0, VkOem4}, {GLFW_KEY_RIGHT_BRACKET, 0x1B, 0, VkOem6},
    {GLFW_KEY_ENTER, 0x1C, 0, VkEnter}, {GLFW_KEY_LEFT_CONTROL, 0x1D, 0, VkStrg},
    {GLFW_KEY_A, 0x1E, 0, 'A'}, {GLFW_KEY_S, 0x1F, 0, 'S'}, {GLFW_KEY_D, 0x20, 0, 'D'},
    {GLFW_KEY_F, 0x21, 0, 'F'}, {GLFW_KEY_G, 0x22, 0, 'G'}, {GLFW_KEY_H, 0x23, 0, 'H'},
    {GLFW_KEY_J, 0x24, 0, 'J'}, {GLFW_KEY_K, 0x25, 0, 'K'}, {GLFW_KEY_L, 0x26, 0, 'L'},
    {GLFW_KEY_SEMICOLON, 0x27, 0, VkOem1}, {GLFW_KEY_APOSTROPHE, 0x28, 0, VkOem7},
    {GLFW_KEY_GRAVE_ACCENT, 0x29, 0, VkOem3}, {GLFW_KEY_LEFT_SHIFT, 0x2A, 0, VkUmschalt},
    {GLFW_KEY_BACKSLASH, 0x2B, 0, VkOem5},
    {GLFW_KEY_Z, 0x2C, 0, 'Z'}, {GLFW_KEY_X, 0x2D, 0, 'X'}, {GLFW_KEY_C, 0x2E, 0, 'C'},
    {GLFW_KEY_V, 0x2F, 0, 'V'}, {GLFW_KEY_B, 0x30, 0, 'B'}, {GLFW_KEY_N, 0x31, 0, 'N'},
    {GLFW_KEY_M, 0x32, 0, 'M'},
    {GLFW_KEY_COMMA, 0x33, 0, VkOemKomma}, {GLFW_KEY_PERIOD, 0x34, 0, VkOemPunkt},
    {GLFW_KEY_SLASH, 0x35, 0, VkOem2}, {GLFW_KEY_RIGHT_SHIFT, 0x36, 0, VkUmschalt},
    {GLFW_KEY_KP_MULTIPLY, 0x37, 0, VkMal}, {GLFW_KEY_LEFT_ALT, 0x38, 0, VkAlt},
    {GLFW_KEY_SPACE, 0x39, 0, VkLeer}, {GLFW_KEY_CAPS_LOCK, 0x3A, 0, VkFeststell},
    {GLFW_KEY_F1, 0x3B, 0, VkF1 + 0}, {GLFW_KEY_F2, 0x3C, 0, VkF1 + 1},
    {GLFW_KEY_F3, 0x3D, 0, VkF1 + 2}, {GLFW_KEY_F4, 0x3E, 0, VkF1 + 3},
    {GLFW_KEY_F5, 0x3F, 0, VkF1 + 4}, {GLFW_KEY_F6, 0x40, 0, VkF1 + 5},
    {GLFW_KEY_F7, 0x41, 0, VkF1 + 6}, {GLFW_KEY_F8, 0x42, 0, VkF1 + 7},
    {GLFW_KEY_F9, 0x43, 0, VkF1 + 8}, {GLFW_KEY_F10, 0x44, 0, VkF1 + 9},
    {GLFW_KEY_NUM_LOCK, 0x45, 0, VkNum}, {GLFW_KEY_SCROLL_LOCK, 0x46, 0, VkRollen},
    {GLFW_KEY_KP_7, 0x47, 0, VkBlock0 + 7}, {GLFW_KEY_KP_8, 0x48, 0, VkBlock0 + 8},
    {GLFW_KEY_KP_9, 0x49, 0, VkBlock0 + 9}, {GLFW_KEY_KP_SUBTRACT, 0x4A, 0, VkMinus},
    {GLFW_KEY_KP_4, 0x4B, 0, VkBlock0 + 4}, {GLFW_KEY_KP_5, 0x4C, 0, VkBlock0 + 5},
    {GLFW_KEY_KP_6, 0x4D, 0, VkBlock0 + 6}, {GLFW_KEY_KP_ADD, 0x4E, 0, VkPlus},
    {GLFW_KEY_KP_1, 0x4F, 0, VkBlock0 + 1}, {GLFW_KEY_KP_2, 0x50, 0, VkBlock0 + 2},
    {GLFW_KEY_KP_3, 0x51, 0, VkBlock0 + 3}, {GLFW_KEY_KP_0, 0x52, 0, VkBlock0 + 0},
    {GLFW_KEY_KP_DECIMAL, 0x53, 0, VkKomma},
    {GLFW_KEY_WORLD_2, 0x56, 0, VkOem102},
    {GLFW_KEY_F11, 0x57, 0, VkF1 + 10}, {GLFW_KEY_F12, 0x58, 0, VkF1 + 11},
    {GLFW_KEY_KP_EQUAL, 0x59, 0, VkBlockGleich},
    {GLFW_KEY_F13, 0x64, 0, VkF1 + 12}, {GLFW_KEY_F14, 0x65, 0, VkF1 + 13},
    {GLFW_KEY_F15, 0x66, 0, VkF1 + 14}, {GLFW_KEY_F16, 0x67, 0, VkF1 + 15},
    {GLFW_KEY_F17, 0x68, 0, VkF1 + 16}, {GLFW_KEY_F18, 0x69, 0, VkF1 + 17},
    {GLFW_KEY_F19, 0x6A, 0, VkF1 + 18}, {GLFW_KEY_F20, 0x6B, 0, VkF1 + 19},
    {GLFW_KEY_F21, 0x6C, 0, VkF1 + 20}, {GLFW_KEY_F22, 0x6D, 0, VkF1 + 21},
    {GLFW_KEY_F23, 0x6E, 0, VkF1 + 22}, {GLFW_KEY_F24, 0x76, 0, VkF1 + 23},
    // Keys with the E0 prefix.
    {GLFW_KEY_KP_ENTER, 0x1C, E0, VkEnter}, {GLFW_KEY_RIGHT_CONTROL, 0x1D, E0, VkStrg},
    {GLFW_KEY_KP_DIVIDE, 0x35, E0, VkGeteilt}, {GLFW_KEY_PRINT_SCREEN, 0x37, E0, VkDruck},
    {GLFW_KEY_RIGHT_ALT, 0x38, E0, VkAlt},
    {GLFW_KEY_HOME, 0x47, E0, VkPos1}, {GLFW_KEY_UP, 0x48, E0, VkHoch},
    {GLFW_KEY_PAGE_UP, 0x49, E0, VkBildHoch}, {GLFW_KEY_LEFT, 0x4B, E0, VkLinks},
    {GLFW_KEY_RIGHT, 0x4D, E0, VkRechts}, {GLFW_KEY_END, 0x4F, E0, VkEnde},
    {GLFW_KEY_DOWN, 0x50, E0, VkRunter}, {GLFW_KEY_PAGE_DOWN, 0x51, E0, VkBildRunter},
    {GLFW_KEY_INSERT, 0x52, E0, VkEinfg}, {GLFW_KEY_DELETE, 0x53, E0, VkEntf},
    {GLFW_KEY_LEFT_SUPER, 0x5B, E0, VkSystemLinks},
    {GLFW_KEY_RIGHT_SUPER, 0x5C, E0, VkSystemRechts}, {GLFW_KEY_MENU, 0x5D, E0, VkMenue},
    // Pause arrives as the E1 sequence of control and num lock.
    {GLFW_KEY_PAUSE, 0x1D, E1, VkPause},
};

uint32_t CodeVon(const TastenEintrag& e) {
  if (e.Flags & E1) return e.Virtuell == VkPause ? 0xC5 : 0;
  return (e.Flags & E0) ? (e.Make | 0x80u) : e.Make;
}

}  // namespace

const TastenEintrag* SucheGlfwTaste(int taste) {
  for (const auto& e : kTabelle)
    if (e.GlfwTaste == taste) return &e;
  return nullptr;
}

uint32_t VirtuellAusCode(uint32_t code) {
  // The keys that come in a left and a right variant have their own virtual keys here.
  switch (code) {
    case 0x2A: return VkUmschaltLinks;
    case 0x36: return VkUmschaltRechts;
    case 0x1D: return VkStrgLinks;
    case 0x9D: return VkStrgRechts;
    case 0x38: return VkAltLinks;
    case 0xB8: return VkAltRechts;
    default: break;
  }
  for (const auto& e : kTabelle)
    if (CodeVon(e) == code) return e.Virtuell;
  return 0;
}

uint32_t MakeAusVirtuell(uint32_t virtuell) {
  if (virtuell == 0) return 0;
  const TastenEintrag* erster = nullptr;
  for (const auto& e : kTabelle) {
    if (e.Virtuell != virtuell || (e.Flags & E1)) continue;
    if (!(e.Flags & E0)) return e.Make;  // the key without prefix wins
    if (!erster) erster = &e;
  }
  return erster ? erster->Make : 0;
}

}  // namespace Plattform

namespace Plattform {

int GlfwTasteAusCode(uint32_t code) {
  for (const auto& e : kTabelle)
    if (CodeVon(e) == code) return e.GlfwTaste;
  return -1;
}

}  // namespace Plattform
