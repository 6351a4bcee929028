#include "plattform/eingabe/eingabe_attrappe.h"

#include <algorithm>
#include <cstring>

namespace Plattform {

namespace {

class AttrappenSteuergeraet : public EingabeSteuergeraet {
 public:
  AttrappenSteuergeraet(EingabeAttrappe& schicht, size_t nummer) : mSchicht(schicht), mNummer(nummer) {
    ++mSchicht.mOffeneSteuergeraete;
  }
  ~AttrappenSteuergeraet() override { --mSchicht.mOffeneSteuergeraete; }

  bool SetzeDatenformat() override { return !S().FehlerFormat; }
  bool SetzeKooperation(GLFWwindow*, uint32_t stufe) override {
    return stufe == 5 && !S().FehlerKooperation;
  }
  bool SetzePuffergroesse(uint32_t) override { return !S().FehlerPuffer; }
  bool HoleFaehigkeiten(uint32_t& knoepfe, uint32_t& achsen) override {
    if (S().FehlerFaehigkeiten) return false;
    knoepfe = S().Knoepfe;
    achsen = S().Achsen;
    return true;
  }
  std::vector<uint32_t> AchsenObjekte() override {
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < S().Achsen; ++i) ids.push_back(100 + i);
    return ids;
  }
  bool SetzeAnwendungsDaten(uint32_t, uint64_t daten) override {
    S().AnwendungsDaten.push_back(daten);
    return true;
  }
  bool SetzeBereich(uint32_t, int32_t min, int32_t max) override {
    return min == -32768 && max == 32767 && !S().FehlerBereich;
  }
  int32_t Abfragen() override { return S().AbfrageErgebnis; }
  int32_t Erwerben() override {
    ++S().Erwerbungen;
    return S().ErwerbErgebnis;
  }
  int32_t HoleDaten(std::vector<SteuerDatensatz>& saetze, uint32_t hoechstens) override {
    if (S().DatenErgebnis < 0) return S().DatenErgebnis;
    auto& daten = S().Daten;
    const size_t n = std::min<size_t>(daten.size(), hoechstens);
    saetze.assign(daten.begin(), daten.begin() + n);
    daten.erase(daten.begin(), daten.begin() + n);
    return S().DatenErgebnis;
  }

 private:
  EingabeAttrappe::Steuer& S() { return mSchicht.mSteuer[mNummer]; }
  EingabeAttrappe& mSchicht;
  size_t mNummer;
};

}  // namespace

EingabeAttrappe::EingabeAttrappe() {
  mGeraete = {{1, RohTypTastatur, "Tastatur"}, {2, RohTypMaus, "Maus"}};
}

void EingabeAttrappe::Taste(uint64_t geraet, int glfwTaste, bool gedrueckt, uint32_t text) {
  MeldeTaste(geraet, glfwTaste, gedrueckt);
  if (text != 0) MeldeZeichen(text);
}

void EingabeAttrappe::Knopf(uint64_t geraet, uint32_t knopf, bool gedrueckt) {
  const uint16_t flag = static_cast<uint16_t>((gedrueckt ? 1u : 2u) << (2 * knopf));
  StelleEin(BaueMausSatz(geraet, 0, flag, 0, 0, 0, mWow64));
}

void EingabeAttrappe::Rad(uint64_t geraet, int16_t delta) {
  StelleEin(BaueMausSatz(geraet, 0, RohRadKnopf, delta, 0, 0, mWow64));
}

void EingabeAttrappe::Bewegung(uint64_t geraet, bool absolut, int32_t x, int32_t y) {
  StelleEin(BaueMausSatz(geraet, absolut ? RohMausAbsolut : 0, 0, 0, x, y, mWow64));
}

bool EingabeAttrappe::Einhaengen(GLFWwindow* fenster) {
  mEingehaengt = fenster;
  return true;
}

void EingabeAttrappe::FensterGroesse(int& breite, int& hoehe) {
  breite = mBreite;
  hoehe = mHoehe;
}

bool EingabeAttrappe::HoleCursor(double& x, double& y) {
  x = mCursorX;
  y = mCursorY;
  return true;
}

void EingabeAttrappe::SetzeCursor(double x, double y) {
  mCursorX = x;
  mCursorY = y;
  mCursorGesetzt.emplace_back(x, y);
}

bool EingabeAttrappe::RohGeraeteAnzahl(uint32_t& anzahl) {
  anzahl = static_cast<uint32_t>(mGeraete.size());
  return !mFehlerAnzahl;
}

bool EingabeAttrappe::RohGeraeteListe(std::vector<RohGeraet>& liste) {
  if (mFehlerListe) return false;
  liste.clear();
  for (const auto& g : mGeraete) liste.push_back({g.Handle, g.Typ});
  return true;
}

bool EingabeAttrappe::RohGeraeteName(uint64_t handle, std::string& name) {
  for (const auto& g : mGeraete)
    if (g.Handle == handle) {
      name = g.Name;
      return true;
    }
  return false;
}

bool EingabeAttrappe::RohGeraeteTyp(uint64_t handle, uint32_t& typ) {
  for (const auto& g : mGeraete)
    if (g.Handle == handle) {
      typ = g.Typ;
      return true;
    }
  return false;
}

int EingabeAttrappe::ZuUnicode(uint32_t, uint32_t, uint32_t text, char16_t puffer[3]) {
  if (text == 0) return 0;
  const char16_t zeichen = static_cast<char16_t>(text & 0xFFFF);
  puffer[0] = zeichen;
  if (text & kTot) {
    puffer[1] = zeichen;
    puffer[2] = 0;
    return 2;
  }
  if (text > 0xFFFF) return 0;
  puffer[1] = 0;
  return 1;
}

bool EingabeAttrappe::ErzeugeEingabe() {
  if (mFehlerEingabe) return false;
  ++mOffeneEingaben;
  return true;
}

bool EingabeAttrappe::ErzeugeSystemTastatur() {
  if (mFehlerSystemTastatur) return false;
  ++mOffeneSystemTastaturen;
  return true;
}

bool EingabeAttrappe::TastenName(uint32_t code, std::u16string& name) {
  auto it = mTastenNamen.find(code);
  if (it == mTastenNamen.end()) return false;
  name = it->second;
  return true;
}

std::vector<SteuergeraetEintrag> EingabeAttrappe::ZaehleSteuergeraete() {
  std::vector<SteuergeraetEintrag> liste;
  for (const auto& s : mSteuer) liste.push_back({s.Typ, s.Instanz, s.Produkt});
  return liste;
}

std::unique_ptr<EingabeSteuergeraet> EingabeAttrappe::OeffneSteuergeraet(const Guid& instanz) {
  for (size_t i = 0; i < mSteuer.size(); ++i) {
    if (mSteuer[i].Instanz != instanz) continue;
    if (mSteuer[i].FehlerOeffnen) return nullptr;
    return std::make_unique<AttrappenSteuergeraet>(*this, i);
  }
  return nullptr;
}

bool EingabeAttrappe::PnpGeraete(std::vector<std::string>& ids) {
  if (mFehlerPnp) return false;
  ids = mPnp;
  return true;
}

bool EingabeAttrappe::HoleGamepad(uint32_t index, GamepadZustand& zustand) {
  auto it = mPads.find(index);
  if (it == mPads.end()) return false;
  zustand = it->second;
  return true;
}

}  // namespace Plattform
