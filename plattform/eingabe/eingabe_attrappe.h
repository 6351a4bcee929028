#pragma once
// A scripted input layer for tests: device lists and names, queued records, cursor, window
// size, gamepads, a clock, and a failure switch for every construction step. It counts what
// is open, so a test can see that everything was released again.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "plattform/eingabe/eingabe_schicht.h"

namespace Plattform {

class EingabeAttrappe : public EingabeSchicht {
 public:
  // Text marker for a dead key: the key shows the character but types nothing yet.
  static constexpr uint32_t kTot = 0x80000000u;

  struct Geraet {
    uint64_t Handle = 0;
    uint32_t Typ = RohTypHid;
    std::string Name;
  };

  struct Steuer {
    uint8_t Typ = DiTypGamepad;
    Guid Instanz{};
    Guid Produkt{};
    uint32_t Knoepfe = 0;
    uint32_t Achsen = 0;
    // Failure switches, one per opening step.
    bool FehlerOeffnen = false, FehlerFormat = false, FehlerKooperation = false;
    bool FehlerPuffer = false, FehlerFaehigkeiten = false, FehlerBereich = false;
    // Scripted reads: the records the next read returns, and the results of the calls.
    std::vector<SteuerDatensatz> Daten;
    int32_t AbfrageErgebnis = DiOk;
    int32_t ErwerbErgebnis = DiOk;
    int32_t DatenErgebnis = DiOk;
    // What the library did.
    int Erwerbungen = 0;
    std::vector<uint64_t> AnwendungsDaten;
  };

  EingabeAttrappe();

  // ---- script ----
  bool mIstFenster = true;
  bool mWow64 = false;
  bool mFehlerEingabe = false, mFehlerSystemTastatur = false, mFehlerTastaturFormat = false;
  bool mFehlerAnzahl = false, mFehlerListe = false, mFehlerRegistrierung = false;
  bool mFehlerPnp = false;
  std::vector<Geraet> mGeraete;
  int mBreite = 800, mHoehe = 600;
  double mCursorX = 0, mCursorY = 0;
  uint32_t mZeit = 0;
  std::map<uint32_t, std::u16string> mTastenNamen;
  std::vector<Steuer> mSteuer;
  std::vector<std::string> mPnp;
  std::map<uint32_t, GamepadZustand> mPads;  // a slot without an entry reads as unplugged

  // ---- what happened ----
  GLFWwindow* mEingehaengt = nullptr;
  int mOffeneEingaben = 0, mOffeneSystemTastaturen = 0, mOffeneSteuergeraete = 0;
  std::vector<std::pair<double, double>> mCursorGesetzt;

  // ---- injection ----
  // A GLFW key on the keyboard with this handle; text: the character the window system
  // reports right after the key event (with kTot for a dead key).
  void Taste(uint64_t geraet, int glfwTaste, bool gedrueckt, uint32_t text = 0);
  void Knopf(uint64_t geraet, uint32_t knopf, bool gedrueckt);
  void Rad(uint64_t geraet, int16_t delta);
  void Bewegung(uint64_t geraet, bool absolut, int32_t x, int32_t y);

  // ---- the layer ----
  bool IstFenster(GLFWwindow*) override { return mIstFenster; }
  bool IstWow64() override { return mWow64; }
  bool Einhaengen(GLFWwindow* fenster) override;
  void Aushaengen() override { mEingehaengt = nullptr; }
  bool RegistriereRohEingabe() override { return !mFehlerRegistrierung; }
  void FensterGroesse(int& breite, int& hoehe) override;
  bool HoleCursor(double& x, double& y) override;
  void SetzeCursor(double x, double y) override;
  uint32_t Millisekunden() override { return mZeit; }
  bool RohGeraeteAnzahl(uint32_t& anzahl) override;
  bool RohGeraeteListe(std::vector<RohGeraet>& liste) override;
  bool RohGeraeteName(uint64_t handle, std::string& name) override;
  bool RohGeraeteTyp(uint64_t handle, uint32_t& typ) override;
  int ZuUnicode(uint32_t virtuelleTaste, uint32_t code, uint32_t text, char16_t puffer[3]) override;
  bool ErzeugeEingabe() override;
  void GibEingabeFrei() override { --mOffeneEingaben; }
  bool ErzeugeSystemTastatur() override;
  bool SetzeSystemTastaturFormat() override { return !mFehlerTastaturFormat; }
  void GibSystemTastaturFrei() override { --mOffeneSystemTastaturen; }
  bool TastenName(uint32_t code, std::u16string& name) override;
  std::vector<SteuergeraetEintrag> ZaehleSteuergeraete() override;
  std::unique_ptr<EingabeSteuergeraet> OeffneSteuergeraet(const Guid& instanz) override;
  bool PnpGeraete(std::vector<std::string>& ids) override;
  bool HoleGamepad(uint32_t index, GamepadZustand& zustand) override;
};

}  // namespace Plattform
