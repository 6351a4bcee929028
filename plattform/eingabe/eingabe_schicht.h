#pragma once
// The platform side of the input library: everything the keyboard, mouse and controller code
// needs from the operating system goes through this one interface. Two implementations exist:
// GlfwEingabe (the real window) and EingabeAttrappe (scripted, for tests).
//
// Keyboard and mouse input arrives as raw records in a fixed byte layout (below). The platform
// queues them as they come; the input library drains the queue once a frame through
// HoleRohPuffer and decodes the bytes itself. Controllers are reached through
// EingabeSteuergeraet (buffered device data) or, for gamepads, through HoleGamepad.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

struct GLFWwindow;

namespace Plattform {

// ---- raw records -------------------------------------------------------------------------
// Header (24 bytes): u32 type at 0, u32 record size at 4, u64 device handle at 8, u64 unused
// at 16. Mouse body: u16 flags at 24 (bit 0: absolute position), u16 button flags at 28,
// i16 button data at 30, i32 x at 36, i32 y at 40. Keyboard body: u16 make code at 24,
// u16 flags at 26 (bit 0 break, bit 1 E0, bit 2 E1), u16 virtual key at 30, u32 unused at 32,
// u32 text at 36 (the code point the platform produced for this key event, 0 for none).
// With the WOW64 layout every offset past the device handle is 8 larger.
constexpr uint32_t RohTypMaus = 0;
constexpr uint32_t RohTypTastatur = 1;
constexpr uint32_t RohTypHid = 2;

constexpr uint32_t RohKopfBytes = 24;
constexpr uint32_t RohMausBytes = 48;
constexpr uint32_t RohTastaturBytes = 40;
// A 32-bit process on a 64-bit system gets records whose header is 8 bytes longer, and every
// body field moves by as much.
constexpr uint32_t RohZusatz(bool wow64) { return wow64 ? 8 : 0; }

constexpr uint16_t RohMausAbsolut = 0x1;
constexpr uint16_t RohTasteLos = 0x1;  // break: the key went up
constexpr uint16_t RohTasteE0 = 0x2;
constexpr uint16_t RohTasteE1 = 0x4;

constexpr uint16_t RohRadKnopf = 0x400;  // button flag: the button data holds a wheel delta
constexpr int RohRadRaste = 120;         // wheel delta of one notch

// Reads a field of a record at its byte offset (the fields of a record are not aligned).
template <class T>
T LiesFeld(const uint8_t* ort) {
  T wert;
  std::memcpy(&wert, ort, sizeof wert);
  return wert;
}

// Builds one record in the layout above (the WOW64 layout when wow64 is set).
std::vector<uint8_t> BaueTastaturSatz(uint64_t geraet, uint16_t make, uint16_t flags,
                                      uint16_t virtuelleTaste, uint32_t text, bool wow64);
std::vector<uint8_t> BaueMausSatz(uint64_t geraet, uint16_t flags, uint16_t knopfFlags,
                                  int16_t knopfDaten, int32_t x, int32_t y, bool wow64);

// One entry of the raw device list.
struct RohGeraet {
  uint64_t Handle = 0;
  uint32_t Typ = RohTypHid;
};

// ---- keyboard translation -----------------------------------------------------------------
enum class TastenAbbildung : uint32_t {
  VirtuellZuScan = 0,   // virtual key -> make code
  ScanZuVirtuell = 3,   // key code -> virtual key, telling left and right keys apart
};

// ---- controllers --------------------------------------------------------------------------
using Guid = std::array<uint8_t, 16>;

// Result codes of the controller calls: 0 exactly success, positive success with a remark,
// negative failure.
constexpr int32_t DiOk = 0;
constexpr int32_t DiKeineWirkung = 1;
constexpr int32_t DiEingabeVerloren = -2;
constexpr int32_t DiFehler = -1;

// Controller types (low byte of the device type) that become controllers.
constexpr uint8_t DiTypJoystick = 20;
constexpr uint8_t DiTypGamepad = 21;
constexpr uint8_t DiTypLenkrad = 22;
constexpr uint8_t DiTypFlug = 23;
constexpr uint8_t DiTypEgo = 24;

struct SteuergeraetEintrag {
  uint8_t Typ = 0;
  Guid Instanz{};
  Guid Produkt{};  // first 32 bits: vendor id + 65536 x product id
};

// One buffered controller change. Offsets of the controller state: axes 0..7 at 0, 4, .. 28,
// hats at 32, 36, 40, 44, buttons 0..127 at 48..175, further axes from 176 on.
struct SteuerDatensatz {
  uint32_t Versatz = 0;
  uint32_t Daten = 0;
  uint32_t Zeit = 0;
  uint32_t Folge = 0;
  uint64_t AnwendungsDaten = 0;
};

constexpr uint32_t SteuerVersatzHut = 32;
constexpr uint32_t SteuerVersatzKnopf = 48;
constexpr uint32_t SteuerKnoepfe = 128;
constexpr uint32_t SteuerVersatzWeitereAchsen = 176;
constexpr uint32_t SteuerVersatzAchse(uint32_t achse) {
  return achse < 8 ? achse * 4 : SteuerVersatzWeitereAchsen + (achse - 8) * 4;
}

// A controller opened through the platform. Released by destruction.
class EingabeSteuergeraet {
 public:
  virtual ~EingabeSteuergeraet() = default;
  virtual bool SetzeDatenformat() = 0;
  virtual bool SetzeKooperation(GLFWwindow* fenster, uint32_t stufe) = 0;
  virtual bool SetzePuffergroesse(uint32_t saetze) = 0;
  virtual bool HoleFaehigkeiten(uint32_t& knoepfe, uint32_t& achsen) = 0;
  // Object ids of every axis, in the device's order.
  virtual std::vector<uint32_t> AchsenObjekte() = 0;
  virtual bool SetzeAnwendungsDaten(uint32_t objekt, uint64_t daten) = 0;
  virtual bool SetzeBereich(uint32_t objekt, int32_t min, int32_t max) = 0;
  virtual int32_t Abfragen() = 0;
  virtual int32_t Erwerben() = 0;
  virtual int32_t HoleDaten(std::vector<SteuerDatensatz>& saetze, uint32_t hoechstens) = 0;
};

// Gamepad state in the fixed pad layout: sticks -32768..32767 with y up, triggers 0..255.
struct GamepadZustand {
  uint16_t Knoepfe = 0;
  uint8_t LinkerAbzug = 0;
  uint8_t RechterAbzug = 0;
  int16_t LinksX = 0, LinksY = 0, RechtsX = 0, RechtsY = 0;
};

constexpr uint16_t PadHoch = 0x0001;
constexpr uint16_t PadRunter = 0x0002;
constexpr uint16_t PadLinks = 0x0004;
constexpr uint16_t PadRechts = 0x0008;
constexpr uint16_t PadStart = 0x0010;
constexpr uint16_t PadZurueck = 0x0020;
constexpr uint16_t PadLinkerStick = 0x0040;
constexpr uint16_t PadRechterStick = 0x0080;
constexpr uint16_t PadLinkeSchulter = 0x0100;
constexpr uint16_t PadRechteSchulter = 0x0200;
constexpr uint16_t PadA = 0x1000;
constexpr uint16_t PadB = 0x2000;
constexpr uint16_t PadX = 0x4000;
constexpr uint16_t PadY = 0x8000;

// ---- the interface ------------------------------------------------------------------------
class EingabeSchicht {
 public:
  virtual ~EingabeSchicht() = default;

  // Window.
  virtual bool IstFenster(GLFWwindow* fenster) = 0;
  virtual bool IstWow64() { return false; }
  // Starts queueing raw records for the window; Aushaengen restores what was there before.
  virtual bool Einhaengen(GLFWwindow* fenster) = 0;
  virtual void Aushaengen() = 0;
  virtual bool RegistriereRohEingabe() = 0;
  // Window size and cursor, in client pixels.
  virtual void FensterGroesse(int& breite, int& hoehe) = 0;
  virtual bool HoleCursor(double& x, double& y) = 0;
  virtual void SetzeCursor(double x, double y) = 0;
  // Monotonic milliseconds (wraps at 2^32).
  virtual uint32_t Millisekunden() = 0;

  // Raw devices.
  virtual bool RohGeraeteAnzahl(uint32_t& anzahl) = 0;
  virtual bool RohGeraeteListe(std::vector<RohGeraet>& liste) = 0;
  virtual bool RohGeraeteName(uint64_t handle, std::string& name) = 0;
  virtual bool RohGeraeteTyp(uint64_t handle, uint32_t& typ) = 0;
  // Copies queued records into the buffer, each starting on a multiple of 8 bytes; returns
  // their count (0 when none are queued, -1 on error). groesse is the buffer's size.
  virtual int32_t HoleRohPuffer(uint8_t* puffer, uint32_t& groesse, uint32_t kopfGroesse);

  // Keyboard translation: key codes, text, dead-key composition.
  virtual uint32_t BildeTaste(uint32_t code, TastenAbbildung art);
  // The text of a key event: fills up to 3 UTF-16 units; 1 = one character, 2 = a dead key
  // was typed (the dead character twice), 0 = no text.
  virtual int ZuUnicode(uint32_t virtuelleTaste, uint32_t code, uint32_t text,
                        char16_t puffer[3]) = 0;
  // Composes a character with a combining mark to its precomposed form; returns the number
  // of units written (the input unchanged when there is nothing to compose), 0 on failure.
  virtual int Zusammensetzen(const char16_t* ein, int n, char16_t* aus, int platz);

  // The system keyboard: used only to name keys.
  virtual bool ErzeugeEingabe() = 0;
  virtual void GibEingabeFrei() = 0;
  virtual bool ErzeugeSystemTastatur() = 0;
  virtual bool SetzeSystemTastaturFormat() = 0;
  virtual void GibSystemTastaturFrei() = 0;
  virtual bool TastenName(uint32_t code, std::u16string& name) = 0;

  // Controllers.
  virtual std::vector<SteuergeraetEintrag> ZaehleSteuergeraete() = 0;
  virtual std::unique_ptr<EingabeSteuergeraet> OeffneSteuergeraet(const Guid& instanz) = 0;
  // Plug-and-play ids of the attached devices; false when the scan failed.
  virtual bool PnpGeraete(std::vector<std::string>& ids) = 0;
  virtual bool HoleGamepad(uint32_t index, GamepadZustand& zustand) = 0;

  // Queue side, for the implementations. A key event of the window system (taste: a GLFW
  // key number): presses and releases are queued; the system's own repeats queue nothing
  // (the library repeats keys itself), nor do keys the records cannot express.
  void MeldeTaste(uint64_t geraet, int taste, bool gedrueckt, bool wiederholung = false);
  // A typed character: attached to the press that the last key event queued. It is dropped
  // when that event queued no press (a repeat, a release, an unknown key), so that it never
  // lands on an earlier key, and when the press already has its character.
  void MeldeZeichen(uint32_t codepunkt);
  // Queues a record. Past kHoechstWartend records the oldest go: a system that is not
  // updated must not grow without bound.
  void StelleEin(std::vector<uint8_t> satz);
  static constexpr size_t kHoechstWartend = 8192;
  size_t Wartend() const { return mWarteschlange.size(); }

 protected:
  std::deque<std::vector<uint8_t>> mWarteschlange;

 private:
  bool mTextErwartet = false;  // the last key event queued a press that has no text yet
};

}  // namespace Plattform
