#pragma once
// The conversions of the GLFW input layer that need no window: joystick ids, gamepad state,
// joystick snapshots to buffered change records, key names.
#include <cstdint>
#include <string>
#include <vector>

#include "plattform/eingabe/eingabe_schicht.h"

namespace Plattform {

// Vendor and product id from a joystick GUID string (16 bytes in hex; vendor at bytes 4-5,
// product at 8-9, little-endian). False, both 0, when the text is not such a GUID.
bool HerstellerUndProdukt(const char* guid, unsigned& hersteller, unsigned& produkt);

// GLFW's mapped gamepad state (axes -1..1 with y down, triggers -1..1 at rest -1; buttons in
// GLFW's gamepad order) in the pad layout: sticks with y up, triggers 0..255.
GamepadZustand GamepadAusGlfw(const float achsen[6], const unsigned char knoepfe[15]);

// Hat direction as the controller state reports it: hundredths of a degree clockwise from up,
// all bits set when centred.
uint32_t HutWinkel(unsigned char hut);

std::u16string Utf8Zu16(const char* text);

// Turns successive snapshots of one joystick into change records, as a buffered controller
// reports them. Changes beyond the record limit stay for the next call.
class SteuerAbgleich {
 public:
  // Application data of each axis object (the object id is the axis number).
  std::vector<uint64_t> mAnwendungsDaten;

  void Abgleichen(const float* achsen, int achsenAnzahl, const unsigned char* knoepfe,
                  int knopfAnzahl, const unsigned char* huete, int hutAnzahl,
                  std::vector<SteuerDatensatz>& saetze, uint32_t hoechstens);

 private:
  void Melde(std::vector<SteuerDatensatz>& saetze, uint32_t versatz, uint32_t daten,
             uint64_t anwendung);

  uint32_t mFolge = 0;
  std::vector<int16_t> mAchsen;
  std::vector<unsigned char> mKnoepfe;
  std::vector<unsigned char> mHuete;
};

}  // namespace Plattform
