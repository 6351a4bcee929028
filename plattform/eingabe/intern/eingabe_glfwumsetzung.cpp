#include "plattform/eingabe/intern/eingabe_glfwumsetzung.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace Plattform {

namespace {

int16_t Zu16(float v) {
  return static_cast<int16_t>(std::clamp(std::lround(v * 32767.0f), -32768L, 32767L));
}

uint8_t Abzug(float v) {
  return static_cast<uint8_t>(std::clamp(std::lround((v + 1.0f) * 0.5f * 255.0f), 0L, 255L));
}

}  // namespace

bool HerstellerUndProdukt(const char* guid, unsigned& hersteller, unsigned& produkt) {
  hersteller = produkt = 0;
  if (!guid || std::strlen(guid) < 20) return false;
  unsigned b[10] = {};
  for (int i = 0; i < 10; ++i) {
    char paar[3] = {guid[2 * i], guid[2 * i + 1], 0};
    char* ende = nullptr;
    b[i] = static_cast<unsigned>(std::strtoul(paar, &ende, 16));
    if (ende != paar + 2) return false;
  }
  hersteller = b[4] | (b[5] << 8);
  produkt = b[8] | (b[9] << 8);
  return true;
}

GamepadZustand GamepadAusGlfw(const float achsen[6], const unsigned char knoepfe[15]) {
  GamepadZustand z;
  z.LinksX = Zu16(achsen[GLFW_GAMEPAD_AXIS_LEFT_X]);
  z.LinksY = Zu16(-achsen[GLFW_GAMEPAD_AXIS_LEFT_Y]);
  z.RechtsX = Zu16(achsen[GLFW_GAMEPAD_AXIS_RIGHT_X]);
  z.RechtsY = Zu16(-achsen[GLFW_GAMEPAD_AXIS_RIGHT_Y]);
  z.LinkerAbzug = Abzug(achsen[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]);
  z.RechterAbzug = Abzug(achsen[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]);
  const struct {
    int knopf;
    uint16_t flag;
  } zuordnung[] = {
      {GLFW_GAMEPAD_BUTTON_A, PadA}, {GLFW_GAMEPAD_BUTTON_B, PadB},
      {GLFW_GAMEPAD_BUTTON_X, PadX}, {GLFW_GAMEPAD_BUTTON_Y, PadY},
      {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, PadLinkeSchulter},
      {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, PadRechteSchulter},
      {GLFW_GAMEPAD_BUTTON_BACK, PadZurueck}, {GLFW_GAMEPAD_BUTTON_START, PadStart},
      {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, PadLinkerStick},
      {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, PadRechterStick},
      {GLFW_GAMEPAD_BUTTON_DPAD_UP, PadHoch}, {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, PadRunter},
      {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, PadLinks}, {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, PadRechts},
  };
  for (const auto& k : zuordnung)
    if (knoepfe[k.knopf] == GLFW_PRESS) z.Knoepfe |= k.flag;
  return z;
}

uint32_t HutWinkel(unsigned char hut) {
  switch (hut) {
    case GLFW_HAT_UP: return 0;
    case GLFW_HAT_RIGHT_UP: return 4500;
    case GLFW_HAT_RIGHT: return 9000;
    case GLFW_HAT_RIGHT_DOWN: return 13500;
    case GLFW_HAT_DOWN: return 18000;
    case GLFW_HAT_LEFT_DOWN: return 22500;
    case GLFW_HAT_LEFT: return 27000;
    case GLFW_HAT_LEFT_UP: return 31500;
    default: return 0xFFFFFFFFu;
  }
}

std::u16string Utf8Zu16(const char* text) {
  std::u16string out;
  if (!text) return out;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p;) {
    uint32_t c = *p++;
    int folge = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (folge) c &= 0x3Fu >> folge;
    for (; folge > 0 && (*p & 0xC0) == 0x80; --folge) c = (c << 6) | (*p++ & 0x3F);
    if (folge > 0 || c > 0x10FFFF) c = 0xFFFD;  // cut short or out of range
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

void SteuerAbgleich::Melde(std::vector<SteuerDatensatz>& saetze, uint32_t versatz,
                           uint32_t daten, uint64_t anwendung) {
  saetze.push_back({versatz, daten, 0, ++mFolge, anwendung});
}

void SteuerAbgleich::Abgleichen(const float* achsen, int achsenAnzahl,
                                const unsigned char* knoepfe, int knopfAnzahl,
                                const unsigned char* huete, int hutAnzahl,
                                std::vector<SteuerDatensatz>& saetze, uint32_t hoechstens) {
  achsenAnzahl = achsen ? std::max(achsenAnzahl, 0) : 0;
  knopfAnzahl = knoepfe ? std::clamp(knopfAnzahl, 0, static_cast<int>(SteuerKnoepfe)) : 0;
  hutAnzahl = huete ? std::clamp(hutAnzahl, 0, 4) : 0;
  mAchsen.resize(achsenAnzahl, 0);
  mKnoepfe.resize(knopfAnzahl, GLFW_RELEASE);
  mHuete.resize(hutAnzahl, GLFW_HAT_CENTERED);
  for (int i = 0; i < achsenAnzahl && saetze.size() < hoechstens; ++i) {
    const int16_t v = Zu16(achsen[i]);
    if (v == mAchsen[i]) continue;
    mAchsen[i] = v;
    const uint64_t anwendung = static_cast<size_t>(i) < mAnwendungsDaten.size() ? mAnwendungsDaten[i] : 0;
    Melde(saetze, SteuerVersatzAchse(i), static_cast<uint32_t>(int32_t(v)), anwendung);
  }
  for (int i = 0; i < knopfAnzahl && saetze.size() < hoechstens; ++i) {
    if (knoepfe[i] == mKnoepfe[i]) continue;
    mKnoepfe[i] = knoepfe[i];
    Melde(saetze, SteuerVersatzKnopf + i, knoepfe[i] == GLFW_PRESS ? 0x80u : 0u, 0);
  }
  for (int i = 0; i < hutAnzahl && saetze.size() < hoechstens; ++i) {
    if (huete[i] == mHuete[i]) continue;
    mHuete[i] = huete[i];
    Melde(saetze, SteuerVersatzHut + 4 * i, HutWinkel(huete[i]), 0);
  }
}

}  // namespace Plattform
