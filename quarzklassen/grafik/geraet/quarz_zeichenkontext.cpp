#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <type_traits>

#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/grafik/geraet/quarz_tiefezustand.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"
#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"
#include "quarzklassen/kern/tmatrix4.h"

const Quarz_TiefeZustand* const Quarz_ZeichenKontext::kTiefeUnbekannt =
    reinterpret_cast<const Quarz_TiefeZustand*>(uintptr_t{1});
const Quarz_AlphaZustand* const Quarz_ZeichenKontext::kAlphaUnbekannt =
    reinterpret_cast<const Quarz_AlphaZustand*>(uintptr_t{1});
Quarz_ZeichenKontext* Quarz_ZeichenKontext::sAktiv = nullptr;

namespace {

// Sum that stops at the largest value instead of wrapping (an all-ones size means "to the
// edge").
uint64_t SaettigendeSumme(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// Hands a changed value to the device side, keeps it as the shadow and counts the change; an
// unchanged one costs nothing.
template <class T, class TSetze>
void UebernimmGeaendert(std::type_identity_t<T> wert, T& schatten, uint64_t& zaehler,
                        TSetze setze) {
  if (wert == schatten) return;
  setze(wert);
  schatten = wert;
  ++zaehler;
}

// Makes sure the buffer has its device object. True when that is a new one (the buffer was
// evicted since it was bound), which the device must be given even though the shadow still
// names the same buffer.
template <class TPuffer>
bool BenutzeUndPruefeNeu(TPuffer* puffer) {
  if (!puffer) return false;
  const auto* vorher = puffer->mBuffer;
  puffer->Benutzen();
  return puffer->mBuffer != vorher;
}

// Takes the size of a target just bound (or of the back buffer); binding a target resets the
// device's viewport to the whole target.
void NimmZielGroesse(Quarz_ZeichenKontext& k, uint64_t breite, uint64_t hoehe) {
  k.mZielBreite = breite;
  k.mZielHoehe = hoehe;
  k.mBereichX = k.mBereichY = 0;
  k.mBereichBreite = breite;
  k.mBereichHoehe = hoehe;
  ++k.mZaehler[Quarz_ZeichenKontext::Z_RENDERZIELE];
}

}  // namespace

Quarz_ZeichenKontext::Quarz_ZeichenKontext() : mImpl(&mImplDX9), mImplDX9(this) {
  sAktiv = this;
  SetzeZustandZurueck();
  mStandardAlpha = ErzeugeAlphaZustand(Quarz_AlphaZustandBeschr());
  SetAlphaZustand(mStandardAlpha);
  mStandardTiefe = ErzeugeTiefeZustand(Quarz_TiefeZustandBeschr{0, 0, 2});
  SetTiefeZustand(mStandardTiefe);
  SetRueckseite(0);
}

Quarz_ZeichenKontext::~Quarz_ZeichenKontext() {
  Freigeben(mStandardTiefe);
  Freigeben(mStandardAlpha);
  mStandardTiefe = nullptr;
  mStandardAlpha = nullptr;
  for (auto it = mRegister.begin(); it != mRegister.end(); ++it) {
    Quarz_BasisObjekt* objekt = *it;
    gLog.Schreibe("%s mit AllocID %d nicht freigegeben.",
                  Quarz::Intern::KlassenName(objekt).c_str(), static_cast<int>(objekt->mAllocId));
    mRegister.Entfernen(it.Index());
    delete objekt;
  }
  // The layer shuts down with mImplDX9's destructor, after this body.
  if (sAktiv == this) sAktiv = nullptr;
}

uint64_t Quarz_ZeichenKontext::BildschirmBreite() const {
  return static_cast<uint64_t>(std::max<int64_t>(Quarz_Screen3D::mModus.mBreite, 0));
}
uint64_t Quarz_ZeichenKontext::BildschirmHoehe() const {
  return static_cast<uint64_t>(std::max<int64_t>(Quarz_Screen3D::mModus.mHoehe, 0));
}

// --- factories --------------------------------------------------------------------------------

Quarz_TiefeZustand* Quarz_ZeichenKontext::ErzeugeTiefeZustand(const Quarz_TiefeZustandBeschr& b) {
  return ErzeugeObjekt<Quarz_TiefeZustand>(b);
}
Quarz_AlphaZustand* Quarz_ZeichenKontext::ErzeugeAlphaZustand(const Quarz_AlphaZustandBeschr& b) {
  return ErzeugeObjekt<Quarz_AlphaZustand>(b);
}
Quarz_ZBuffer* Quarz_ZeichenKontext::ErzeugeZBuffer(uint64_t breite, uint64_t hoehe) {
  return ErzeugeObjekt<Quarz_ZBuffer>(breite, hoehe);
}
Quarz_VertexBuffer* Quarz_ZeichenKontext::ErzeugeVertexBuffer(uint64_t groesse, uint32_t flags,
                                                              TInitialInhalt* inhalt) {
  return ErzeugeObjekt<Quarz_VertexBuffer>(groesse, flags, inhalt);
}
Quarz_IndexBuffer* Quarz_ZeichenKontext::ErzeugeIndexBuffer(uint64_t, uint32_t flags,
                                                            TInitialInhalt* inhalt) {
  return ErzeugeObjekt<Quarz_IndexBuffer>(flags, inhalt);
}

void Quarz_ZeichenKontext::Freigeben(Quarz_BasisObjekt* objekt) {
  if (!objekt) return;
  mRegister.Entfernen(objekt->mSlot);
  // A shadow still pointing here would make a later resource at the same address look bound
  // already, and it would silently never reach the device.
  if (mProgramm == objekt) mProgramm = nullptr;
  // The current target goes: drawing returns to the back buffer instead of going on into the
  // surfaces of a target that no longer exists.
  if (mRenderZiel == objekt) SetRenderZiel(nullptr);
  // The state shadows may hold the "not set" marker, which is no object: compared as
  // addresses, it is never taken for a state (nor converted like one).
  const void* adresse = dynamic_cast<const void*>(objekt);
  if (static_cast<const void*>(mTiefeZustand) == adresse) mTiefeZustand = kTiefeUnbekannt;
  if (static_cast<const void*>(mAlphaZustand) == adresse) mAlphaZustand = kAlphaUnbekannt;
  for (uint32_t s = 0; s < kStroeme; ++s)
    if (mStromPuffer[s] == objekt) {
      mStromPuffer[s] = nullptr;
      mImpl->SetVertexBuffer(s, nullptr, 0);
    }
  if (mIndexPuffer == objekt) {
    mIndexPuffer = nullptr;
    mImpl->SetIndexBuffer(nullptr);
  }
  delete objekt;
}

// --- bindings ---------------------------------------------------------------------------------

void Quarz_ZeichenKontext::SetRueckseite(uint32_t modus) {
  UebernimmGeaendert(modus, mRueckseite, mZaehler[Z_RUECKSEITEN],
                     [&](uint32_t m) { mImpl->SetRueckseite(m); });
}

void Quarz_ZeichenKontext::SetProgramm(Quarz_Programm* programm) {
  UebernimmGeaendert(programm, mProgramm, mZaehler[Z_PROGRAMME],
                     [&](Quarz_Programm* p) { mImpl->SetProgramm(p); });
}

void Quarz_ZeichenKontext::SetVertexBuffer(uint32_t strom, Quarz_VertexBuffer* puffer,
                                           uint32_t schritt) {
  if (strom >= kStroeme) {
    QUARZ_MELDE("Ungültiger Vertexkanal", "Quarz_ZeichenKontext::SetVertexBuffer");
    return;
  }
  if (schritt == 0 && mProgramm) schritt = mProgramm->mSchrittweiten[strom];
  const bool neuErzeugt = BenutzeUndPruefeNeu(puffer);
  if (puffer == mStromPuffer[strom] && schritt == mStromSchritt[strom] && !neuErzeugt) return;
  mImpl->SetVertexBuffer(strom, puffer, schritt);
  mStromPuffer[strom] = puffer;
  mStromVersatz[strom] = 0;
  mStromSchritt[strom] = schritt;
  ++mZaehler[Z_VERTEXBUFFER];
}

void Quarz_ZeichenKontext::SetIndexBuffer(Quarz_IndexBuffer* puffer) {
  const bool neuErzeugt = BenutzeUndPruefeNeu(puffer);
  if (puffer == mIndexPuffer && !neuErzeugt) return;
  mImpl->SetIndexBuffer(puffer);
  mIndexPuffer = puffer;
  mIndexVersatz = 0;
  ++mZaehler[Z_INDEXBUFFER];
}

void Quarz_ZeichenKontext::SetTiefeZustand(Quarz_TiefeZustand* zustand) {
  UebernimmGeaendert(zustand ? zustand : mStandardTiefe, mTiefeZustand,
                     mZaehler[Z_TIEFEZUSTAENDE],
                     [&](const Quarz_TiefeZustand* z) { mImpl->SetTiefeZustand(z); });
}

void Quarz_ZeichenKontext::SetAlphaZustand(Quarz_AlphaZustand* zustand) {
  UebernimmGeaendert(zustand ? zustand : mStandardAlpha, mAlphaZustand,
                     mZaehler[Z_ALPHAZUSTAENDE],
                     [&](const Quarz_AlphaZustand* z) { mImpl->SetAlphaZustand(z); });
}

void Quarz_ZeichenKontext::SetTextur(uint32_t samplerIndex, Quarz_Sampler* sampler,
                                     Quarz_BasisObjekt* textur) {
  if (sampler) sampler->Benutzen();
  if (textur) textur->Benutzen();
  mImpl->SetTextur(samplerIndex, sampler, textur);
  ++mZaehler[Z_TEXTUREN];
}

void Quarz_ZeichenKontext::SetRenderZiel(Quarz_Renderziel* ziel) {
  if (ziel == mRenderZiel) {
    SetRenderBereich(0, 0, UINT64_MAX, UINT64_MAX);
    return;
  }
  mImpl->SetRenderZiel(ziel);
  mRenderZiel = ziel;
  mRueckpufferAusstehend = false;
  if (ziel && ziel->mBeschr.mBreite)
    NimmZielGroesse(*this, ziel->mBeschr.mBreite, ziel->mBeschr.mHoehe);
  else
    NimmZielGroesse(*this, BildschirmBreite(), BildschirmHoehe());
}

void Quarz_ZeichenKontext::SetRenderBereich(uint64_t x, uint64_t y, uint64_t breite,
                                            uint64_t hoehe) {
  const uint64_t nx = std::min(mZielBreite, x);
  const uint64_t ny = std::min(mZielHoehe, y);
  const uint64_t nb = std::min(mZielBreite, SaettigendeSumme(nx, breite)) - nx;
  const uint64_t nh = std::min(mZielHoehe, SaettigendeSumme(ny, hoehe)) - ny;
  if (nx == mBereichX && ny == mBereichY && nb == mBereichBreite && nh == mBereichHoehe) return;
  mImpl->SetRenderBereich(nx, ny, nb, nh);
  ++mZaehler[Z_RENDERBEREICHE];
  mBereichX = nx;
  mBereichY = ny;
  mBereichBreite = nb;
  mBereichHoehe = nh;
}

void Quarz_ZeichenKontext::SetProgrammKonstante(uint32_t index, float x, float y, float z, float w) {
  mImpl->SetProgrammKonstante(index, x, y, z, w);
}
void Quarz_ZeichenKontext::SetProgrammKonstante(uint32_t index, float x, float y, float z) {
  mImpl->SetProgrammKonstante(index, x, y, z, 0.0f);
}
void Quarz_ZeichenKontext::SetProgrammKonstante(uint32_t index, float x, float y) {
  mImpl->SetProgrammKonstante(index, x, y, 0.0f, 1.0f);
}
void Quarz_ZeichenKontext::SetProgrammKonstante(uint32_t index, const TMatrix4& matrix) {
  // Register i takes column i: shaders read matrices column by column, so mul(M, v) there is
  // M · v here.
  float werte[16];
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) werte[4 * i + j] = matrix(j, i);
  mImpl->SetProgrammKonstante4x4(index, werte);
}

// --- drawing ----------------------------------------------------------------------------------

void Quarz_ZeichenKontext::ZeichneIndexElemente(uint32_t, uint32_t primitive) {
  mImpl->ZeichneIndexElemente(primitive);
  ++mZaehler[Z_INDEX_ZEICHNUNGEN];
}

void Quarz_ZeichenKontext::ZeichneIndexInstanzen(uint32_t, uint32_t, uint32_t instanzen) {
  mImpl->ZeichneIndexInstanzen(instanzen);
  ++mZaehler[Z_INSTANZ_ZEICHNUNGEN];
}

void Quarz_ZeichenKontext::Leeren(uint32_t was, float r, float g, float b, float a) {
  mImpl->Leeren(was, r, g, b, a);
}

void Quarz_ZeichenKontext::NulleZaehler() {
  for (auto& z : mZaehler) z = 0;
}

void Quarz_ZeichenKontext::Praesentiere() {
  const HRESULT hr = mImpl->Praesentiere();
  if (hr == D3DERR_DEVICELOST || mImpl->mGeraetVerloren) {
    mImpl->mGeraetVerloren = true;
    if (gSystem.mPraesenz != Quarz_System::Minimiert && mImpl->mGeraet) {
      HRESULT stufe = mImpl->mGeraet->TestCooperativeLevel();
      if (stufe != D3D_OK) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        stufe = mImpl->mGeraet->TestCooperativeLevel();
      }
      if (stufe == D3DERR_DEVICELOST) {
        NulleZaehler();
        return;
      }
      if (stufe == D3DERR_DEVICENOTRESET) Zuruecksetzen();
      else mImpl->mGeraetVerloren = false;
    }
  }
  NulleZaehler();
}

bool Quarz_ZeichenKontext::Zuruecksetzen() {
  for (auto it = mRegister.begin(); it != mRegister.end(); ++it)
    if ((*it)->IstVideoRAMResource()) (*it)->VorZuruecksetzen();
  const bool ok = mImpl->Zuruecksetzen();
  for (auto it = mRegister.begin(); it != mRegister.end(); ++it)
    if ((*it)->IstVideoRAMResource()) (*it)->NachZuruecksetzen();
  SetzeZustandZurueck();
  // The back buffer is pending after the state reset: bind it and take the screen's size.
  mImpl->SetRenderZiel(nullptr);
  mRueckpufferAusstehend = false;
  NimmZielGroesse(*this, BildschirmBreite(), BildschirmHoehe());
  return ok;
}

void Quarz_ZeichenKontext::SetzeZustandZurueck() {
  mRueckpufferAusstehend = true;
  mZielBreite = BildschirmBreite();
  mZielHoehe = BildschirmHoehe();
  mBereichX = mBereichY = 0;
  mBereichBreite = mZielBreite;
  mBereichHoehe = mZielHoehe;
  mRenderZiel = nullptr;
  mProgramm = nullptr;
  mRueckseite = 3;
  mTiefeZustand = kTiefeUnbekannt;
  mAlphaZustand = kAlphaUnbekannt;
  for (uint32_t s = 0; s < kStroeme; ++s) {
    mStromPuffer[s] = nullptr;
    mStromVersatz[s] = 0;
    mStromSchritt[s] = 0;
  }
  mIndexPuffer = nullptr;
  mIndexVersatz = 0;
}

bool Quarz_ZeichenKontext::LiesBildschirmInhalt(TBereich& ziel) { return mImpl->LiesBildschirmInhalt(ziel); }

// --- statistics ("videoram") ------------------------------------------------------------------

namespace {

int Kb(uint64_t bytes) { return static_cast<int>(bytes / 1024); }

// Count and bytes of one group.
struct TGruppe {
  uint64_t anzahl = 0, bytes = 0;
  void Zaehle(uint64_t b) { ++anzahl; bytes += b; }
};

// One kind of resource with its "davon" lines: all of them, those in video memory, the dynamic
// ones, the render targets (textures only) and those offline.
struct TGruppen {
  TGruppe alle, imVideoRam, dynamisch, renderziele, offline;
  void Zaehle(uint64_t bytes, uint64_t flags, bool vorhanden) {
    alle.Zaehle(bytes);
    (vorhanden ? imVideoRam : offline).Zaehle(bytes);
    if (flags & FLAG_DYNAMISCH) dynamisch.Zaehle(bytes);
    if (flags & FLAG_RENDERZIEL) renderziele.Zaehle(bytes);
  }
  void Schreibe(const char* name, bool mitRenderzielen) const {
    const auto zeile = [](const char* format, const TGruppe& g) {
      gLog.Schreibe(format, static_cast<int>(g.anzahl), Kb(g.bytes));
    };
    gLog.Schreibe("%s", "");
    gLog.Schreibe("%d %s (%d kb)", static_cast<int>(alle.anzahl), name, Kb(alle.bytes));
    zeile("  davon %d im VideoRAM (%d kb)", imVideoRam);
    zeile("  davon %d dynamisch (%d kb)", dynamisch);
    if (mitRenderzielen) zeile("  davon %d Renderziele (%d kb)", renderziele);
    zeile("  davon %d offline (%d kb)", offline);
  }
};

uint64_t TexturBytes(Quarz_Pixelformat format, uint64_t breite, uint64_t hoehe, uint64_t stufen) {
  uint64_t summe = 0;
  for (uint64_t s = 0; s < std::max<uint64_t>(stufen, 1); ++s) {
    summe += Quarz::GetBildBytes(format, breite, hoehe);
    breite = std::max<uint64_t>(breite / 2, 1);
    hoehe = std::max<uint64_t>(hoehe / 2, 1);
  }
  return summe;
}

}  // namespace

void Quarz_ZeichenKontext::ZeigeStatistik() {
  uint64_t alle = 0, programme = 0, eingaben = 0, vertexShader = 0, pixelShader = 0;
  uint64_t renderziele = 0, sampler = 0, alphas = 0, tiefen = 0;
  TGruppen vb, ib, tex, cube;
  for (auto it = mRegister.begin(); it != mRegister.end(); ++it) {
    Quarz_BasisObjekt* o = *it;
    const bool imVideoRam = o->mZustand == Quarz_BasisObjekt::VORHANDEN;
    ++alle;
    if (dynamic_cast<Quarz_Programm*>(o)) ++programme;
    else if (dynamic_cast<Quarz_VertexEingabe*>(o)) ++eingaben;
    else if (dynamic_cast<Quarz_VertexShader*>(o)) ++vertexShader;
    else if (dynamic_cast<Quarz_PixelShader*>(o)) ++pixelShader;
    else if (dynamic_cast<Quarz_Renderziel*>(o)) ++renderziele;
    else if (dynamic_cast<Quarz_Sampler*>(o)) ++sampler;
    else if (dynamic_cast<Quarz_AlphaZustand*>(o)) ++alphas;
    else if (dynamic_cast<Quarz_TiefeZustand*>(o)) ++tiefen;
    else if (const auto* v = dynamic_cast<Quarz_VertexBuffer*>(o))
      vb.Zaehle(v->mGroesse, v->mFlags, imVideoRam);
    else if (const auto* i = dynamic_cast<Quarz_IndexBuffer*>(o))
      ib.Zaehle(i->mGroesse, i->mFlags, imVideoRam);
    else if (const auto* t = dynamic_cast<Quarz_Textur*>(o))
      tex.Zaehle(TexturBytes(t->mFormat, t->mBreite, t->mHoehe, t->mMipAnzahl), t->mFlags,
                 imVideoRam);
    else if (const auto* w = dynamic_cast<Quarz_WuerfelTextur*>(o))
      cube.Zaehle(6 * TexturBytes(w->mFormat, w->mKante, w->mKante, w->mMipAnzahl), w->mFlags,
                  imVideoRam);
  }
  const uint64_t gesamt = vb.alle.bytes + ib.alle.bytes + tex.alle.bytes + cube.alle.bytes;
  gLog.Schreibe("Insgesamt %d Resourcen mit einer Gesamtgröße von schätzungsweise %d kb.",
                static_cast<int>(alle), Kb(gesamt));
  gLog.Schreibe("%d Shader-Programme von", static_cast<int>(programme));
  gLog.Schreibe("%d VertexEingaben, %d VertexShader, %d PixelShader", static_cast<int>(eingaben),
                static_cast<int>(vertexShader), static_cast<int>(pixelShader));
  gLog.Schreibe("%d Renderziele, %d Sampler-Konfigs, %d Alpha-Konfigs, %d Alpha-Zustände",
                static_cast<int>(renderziele), static_cast<int>(sampler), static_cast<int>(alphas),
                static_cast<int>(tiefen));
  vb.Schreibe("VertexBuffer", false);
  ib.Schreibe("IndexBuffer", false);
  tex.Schreibe("Texturen", true);
  cube.Schreibe("CubeMaps", true);
}
