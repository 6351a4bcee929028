#include "plattform/eingabe/eingabe_glfw.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

#include "plattform/eingabe/intern/eingabe_glfwumsetzung.h"
#include "plattform/eingabe/intern/eingabe_tastentabelle.h"

namespace Plattform {

namespace {

constexpr uint64_t kTastatur = 1;
constexpr uint64_t kMaus = 2;
constexpr uint8_t kInstanzMarke[4] = {'G', 'L', 'F', 'J'};

Guid InstanzVon(int jid) {
  Guid g{};
  std::memcpy(g.data(), kInstanzMarke, 4);
  g[4] = static_cast<uint8_t>(jid);
  return g;
}

int JoystickVon(const Guid& g) {
  if (std::memcmp(g.data(), kInstanzMarke, 4) != 0 || g[4] > GLFW_JOYSTICK_LAST) return -1;
  return g[4];
}

// Vendor + 65536 x product, the key the plug-and-play ids are matched with.
void HerstellerUndProduktVon(int jid, unsigned& hersteller, unsigned& produkt) {
  HerstellerUndProdukt(glfwGetJoystickGUID(jid), hersteller, produkt);
}

// A GLFW joystick as a buffered controller: each read reports what changed since the last.
class GlfwSteuergeraet : public EingabeSteuergeraet {
 public:
  explicit GlfwSteuergeraet(int jid) : mJid(jid) {}

  bool SetzeDatenformat() override { return true; }
  bool SetzeKooperation(GLFWwindow*, uint32_t) override { return true; }
  bool SetzePuffergroesse(uint32_t) override { return true; }
  bool HoleFaehigkeiten(uint32_t& knoepfe, uint32_t& achsen) override {
    int a = 0, k = 0;
    if (!glfwGetJoystickAxes(mJid, &a) || !glfwGetJoystickButtons(mJid, &k)) return false;
    achsen = static_cast<uint32_t>(a);
    knoepfe = static_cast<uint32_t>(k);
    mAbgleich.mAnwendungsDaten.assign(achsen, 0);
    return true;
  }
  std::vector<uint32_t> AchsenObjekte() override {
    std::vector<uint32_t> ids(mAbgleich.mAnwendungsDaten.size());
    for (uint32_t i = 0; i < ids.size(); ++i) ids[i] = i;
    return ids;
  }
  bool SetzeAnwendungsDaten(uint32_t objekt, uint64_t daten) override {
    if (objekt >= mAbgleich.mAnwendungsDaten.size()) return false;
    mAbgleich.mAnwendungsDaten[objekt] = daten;
    return true;
  }
  bool SetzeBereich(uint32_t objekt, int32_t, int32_t) override {
    return objekt < mAbgleich.mAnwendungsDaten.size();
  }
  int32_t Abfragen() override { return glfwJoystickPresent(mJid) ? DiOk : DiEingabeVerloren; }
  int32_t Erwerben() override { return glfwJoystickPresent(mJid) ? DiOk : DiFehler; }
  int32_t HoleDaten(std::vector<SteuerDatensatz>& saetze, uint32_t hoechstens) override {
    int na = 0, nk = 0, nh = 0;
    const float* achsen = glfwGetJoystickAxes(mJid, &na);
    const unsigned char* knoepfe = glfwGetJoystickButtons(mJid, &nk);
    const unsigned char* huete = glfwGetJoystickHats(mJid, &nh);
    if (!achsen || !knoepfe) return DiFehler;
    mAbgleich.Abgleichen(achsen, na, knoepfe, nk, huete, nh, saetze, hoechstens);
    return DiOk;
  }

 private:
  int mJid;
  SteuerAbgleich mAbgleich;
};

class GlfwEingabe : public EingabeSchicht {
 public:
  ~GlfwEingabe() override { Aushaengen(); }

  bool IstFenster(GLFWwindow* fenster) override { return fenster != nullptr; }
  bool Einhaengen(GLFWwindow* fenster) override;
  void Aushaengen() override;
  bool RegistriereRohEingabe() override { return mFenster != nullptr; }

  void FensterGroesse(int& breite, int& hoehe) override {
    breite = hoehe = 0;
    if (mFenster) glfwGetWindowSize(mFenster, &breite, &hoehe);
  }
  bool HoleCursor(double& x, double& y) override {
    if (!mFenster) return false;
    glfwGetCursorPos(mFenster, &x, &y);
    return true;
  }
  void SetzeCursor(double x, double y) override {
    if (mFenster) glfwSetCursorPos(mFenster, x, y);
  }
  uint32_t Millisekunden() override {
    using namespace std::chrono;
    return static_cast<uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }

  bool RohGeraeteAnzahl(uint32_t& anzahl) override {
    anzahl = 2;
    return true;
  }
  bool RohGeraeteListe(std::vector<RohGeraet>& liste) override {
    liste = {{kTastatur, RohTypTastatur}, {kMaus, RohTypMaus}};
    return true;
  }
  bool RohGeraeteName(uint64_t handle, std::string& name) override {
    if (handle != kTastatur && handle != kMaus) return false;
    name = handle == kTastatur ? "GLFW keyboard" : "GLFW mouse";
    return true;
  }
  bool RohGeraeteTyp(uint64_t handle, uint32_t& typ) override {
    if (handle != kTastatur && handle != kMaus) return false;
    typ = handle == kTastatur ? RohTypTastatur : RohTypMaus;
    return true;
  }

  int ZuUnicode(uint32_t, uint32_t, uint32_t text, char16_t puffer[3]) override {
    // GLFW composes dead keys itself; characters beyond one UTF-16 unit give no text.
    if (text == 0 || text > 0xFFFF || (text >= 0xD800 && text <= 0xDFFF)) return 0;
    puffer[0] = static_cast<char16_t>(text);
    puffer[1] = 0;
    return 1;
  }

  bool ErzeugeEingabe() override { return true; }
  void GibEingabeFrei() override {}
  bool ErzeugeSystemTastatur() override { return true; }
  bool SetzeSystemTastaturFormat() override { return true; }
  void GibSystemTastaturFrei() override {}
  bool TastenName(uint32_t code, std::u16string& name) override {
    const int taste = GlfwTasteAusCode(code);
    if (taste < 0) return false;
    const char* text = glfwGetKeyName(taste, 0);
    if (!text) return false;
    name = Utf8Zu16(text);
    return true;
  }

  std::vector<SteuergeraetEintrag> ZaehleSteuergeraete() override;
  std::unique_ptr<EingabeSteuergeraet> OeffneSteuergeraet(const Guid& instanz) override {
    const int jid = JoystickVon(instanz);
    if (jid < 0 || !glfwJoystickPresent(jid)) return nullptr;
    return std::make_unique<GlfwSteuergeraet>(jid);
  }
  bool PnpGeraete(std::vector<std::string>& ids) override;
  bool HoleGamepad(uint32_t index, GamepadZustand& zustand) override;

 private:
  static std::map<GLFWwindow*, GlfwEingabe*>& Fenster() {
    static std::map<GLFWwindow*, GlfwEingabe*> fenster;
    return fenster;
  }
  static GlfwEingabe* Von(GLFWwindow* fenster) {
    auto it = Fenster().find(fenster);
    return it == Fenster().end() ? nullptr : it->second;
  }

  static void Taste(GLFWwindow* fenster, int taste, int scancode, int aktion, int mods);
  static void Zeichen(GLFWwindow* fenster, unsigned int codepunkt);
  static void Knopf(GLFWwindow* fenster, int knopf, int aktion, int mods);
  static void Cursor(GLFWwindow* fenster, double x, double y);
  static void Rad(GLFWwindow* fenster, double x, double y);

  GLFWwindow* mFenster = nullptr;
  GLFWkeyfun mVorherTaste = nullptr;
  GLFWcharfun mVorherZeichen = nullptr;
  GLFWmousebuttonfun mVorherKnopf = nullptr;
  GLFWcursorposfun mVorherCursor = nullptr;
  GLFWscrollfun mVorherRad = nullptr;
  std::vector<int> mPads;  // joystick of each pad slot, in the order of the last scan
};

bool GlfwEingabe::Einhaengen(GLFWwindow* fenster) {
  if (!fenster || mFenster) return false;
  mFenster = fenster;
  Fenster()[fenster] = this;
  mVorherTaste = glfwSetKeyCallback(fenster, &GlfwEingabe::Taste);
  mVorherZeichen = glfwSetCharCallback(fenster, &GlfwEingabe::Zeichen);
  mVorherKnopf = glfwSetMouseButtonCallback(fenster, &GlfwEingabe::Knopf);
  mVorherCursor = glfwSetCursorPosCallback(fenster, &GlfwEingabe::Cursor);
  mVorherRad = glfwSetScrollCallback(fenster, &GlfwEingabe::Rad);
  return true;
}

void GlfwEingabe::Aushaengen() {
  if (!mFenster) return;
  glfwSetKeyCallback(mFenster, mVorherTaste);
  glfwSetCharCallback(mFenster, mVorherZeichen);
  glfwSetMouseButtonCallback(mFenster, mVorherKnopf);
  glfwSetCursorPosCallback(mFenster, mVorherCursor);
  glfwSetScrollCallback(mFenster, mVorherRad);
  Fenster().erase(mFenster);
  mFenster = nullptr;
  mWarteschlange.clear();
}

void GlfwEingabe::Taste(GLFWwindow* fenster, int taste, int scancode, int aktion, int mods) {
  GlfwEingabe* s = Von(fenster);
  if (!s) return;
  s->MeldeTaste(kTastatur, taste, aktion == GLFW_PRESS, aktion == GLFW_REPEAT);
  if (s->mVorherTaste) s->mVorherTaste(fenster, taste, scancode, aktion, mods);
}

void GlfwEingabe::Zeichen(GLFWwindow* fenster, unsigned int codepunkt) {
  GlfwEingabe* s = Von(fenster);
  if (!s) return;
  s->MeldeZeichen(codepunkt);
  if (s->mVorherZeichen) s->mVorherZeichen(fenster, codepunkt);
}

void GlfwEingabe::Knopf(GLFWwindow* fenster, int knopf, int aktion, int mods) {
  GlfwEingabe* s = Von(fenster);
  if (!s) return;
  // The records carry buttons 0 to 4 (left, right, middle, two side buttons).
  if (knopf >= 0 && knopf < 5) {
    const uint16_t flag = static_cast<uint16_t>((aktion == GLFW_PRESS ? 1u : 2u) << (2 * knopf));
    s->StelleEin(BaueMausSatz(kMaus, 0, flag, 0, 0, 0, false));
  }
  if (s->mVorherKnopf) s->mVorherKnopf(fenster, knopf, aktion, mods);
}

void GlfwEingabe::Cursor(GLFWwindow* fenster, double x, double y) {
  GlfwEingabe* s = Von(fenster);
  if (!s) return;
  const auto ganz = [](double v) {
    return static_cast<int32_t>(std::clamp(std::floor(v), -1.0e9, 1.0e9));
  };
  s->StelleEin(BaueMausSatz(kMaus, RohMausAbsolut, 0, 0, ganz(x), ganz(y), false));
  if (s->mVorherCursor) s->mVorherCursor(fenster, x, y);
}

void GlfwEingabe::Rad(GLFWwindow* fenster, double x, double y) {
  GlfwEingabe* s = Von(fenster);
  if (!s) return;
  const double delta = std::clamp(std::round(y * RohRadRaste), -32768.0, 32767.0);
  if (delta != 0) s->StelleEin(BaueMausSatz(kMaus, 0, RohRadKnopf, static_cast<int16_t>(delta), 0, 0, false));
  if (s->mVorherRad) s->mVorherRad(fenster, x, y);
}

std::vector<SteuergeraetEintrag> GlfwEingabe::ZaehleSteuergeraete() {
  std::vector<SteuergeraetEintrag> liste;
  for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
    if (!glfwJoystickPresent(jid)) continue;
    SteuergeraetEintrag e;
    e.Typ = glfwJoystickIsGamepad(jid) ? DiTypGamepad : DiTypJoystick;
    e.Instanz = InstanzVon(jid);
    unsigned hersteller, produkt;
    HerstellerUndProduktVon(jid, hersteller, produkt);
    const uint32_t schluessel = hersteller + 65536u * produkt;
    std::memcpy(e.Produkt.data(), &schluessel, 4);
    liste.push_back(e);
  }
  return liste;
}

bool GlfwEingabe::PnpGeraete(std::vector<std::string>& ids) {
  // Every joystick with a gamepad mapping is announced as a pad; the slots follow this order.
  ids.clear();
  mPads.clear();
  for (int jid = GLFW_JOYSTICK_1; jid <= GLFW_JOYSTICK_LAST; ++jid) {
    if (!glfwJoystickPresent(jid) || !glfwJoystickIsGamepad(jid)) continue;
    unsigned hersteller, produkt;
    HerstellerUndProduktVon(jid, hersteller, produkt);
    char text[80];
    std::snprintf(text, sizeof text, "HID\\VID_%04X&PID_%04X&IG_%02X\\%d", hersteller, produkt,
                  static_cast<unsigned>(mPads.size()), jid);
    ids.emplace_back(text);
    mPads.push_back(jid);
  }
  return true;
}

bool GlfwEingabe::HoleGamepad(uint32_t index, GamepadZustand& zustand) {
  if (index >= mPads.size()) return false;
  GLFWgamepadstate s;
  if (!glfwGetGamepadState(mPads[index], &s)) return false;
  zustand = GamepadAusGlfw(s.axes, s.buttons);
  return true;
}

}  // namespace

std::unique_ptr<EingabeSchicht> ErzeugeGlfwEingabe() { return std::make_unique<GlfwEingabe>(); }

}  // namespace Plattform
