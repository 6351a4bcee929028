#include "quarzklassen/grafik/geraet/quarz_zeichenkontextimpldx9.h"

#include <algorithm>
#include <cstring>

#include "plattform/hlsl/d3dx_shader.h"
#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/grafik/geraet/quarz_tiefezustand.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/textur/quarz_wuerfeltextur.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/bild/tbereich.h"

namespace {

constexpr uint32_t kAbwesend = 0xFFF;

const char* const kF = "Quarz_ZeichenKontextImplDX9::";

std::string Fn(const char* name) { return std::string(kF) + name; }

// Not-set values of the render-state shadows, each one no real setting has.
constexpr uint32_t kNichtGesetzt[Quarz_ZeichenKontextImplDX9::RZ_ANZAHL] = {
    0x7FFFFFFF, 0x7FFFFFFF, 334, 0x7FFFFFFF, 432, 543, 543, 0x7FFFFFFF, 432, 2345, 2345, 0x7FFFFFFF};

}  // namespace

Quarz_ZeichenKontextImplDX9::Quarz_ZeichenKontextImplDX9(Quarz_ZeichenKontext* besitzer)
    : mBesitzer(besitzer) {
  SetzeSchattenZurueck();
  Erzeugen();
}

void Quarz_ZeichenKontextImplDX9::FuellePraesentationsParameter() {
  const uint64_t flags = Quarz_Screen3D::mFlags;
  const Quarz_Screen3D::Modus& modus = Quarz_Screen3D::mModus;
  mParameter = D3DPRESENT_PARAMETERS{};
  mParameter.BackBufferFormat = modus.m16Bit == 1 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
  mParameter.SwapEffect = D3DSWAPEFFECT_DISCARD;
  mParameter.hDeviceWindow = Quarz_Screen3D::mFensterHandle;
  mParameter.Windowed = (flags & Quarz_Screen3D::FLAG_VOLLBILD) ? FALSE : TRUE;
  mParameter.EnableAutoDepthStencil = TRUE;
  mParameter.AutoDepthStencilFormat = mTiefenFormat;
  mParameter.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
  mParameter.PresentationInterval =
      (flags & Quarz_Screen3D::FLAG_VSYNC) ? D3DPRESENT_INTERVAL_ONE : D3DPRESENT_INTERVAL_IMMEDIATE;
  // The back buffer always has the screen's size; a window that the window system made
  // larger or smaller than asked for does not change what the engine draws.
  mParameter.BackBufferWidth = static_cast<UINT>(modus.mBreite);
  mParameter.BackBufferHeight = static_cast<UINT>(modus.mHoehe);
  if (flags & Quarz_Screen3D::FLAG_VOLLBILD)
    mParameter.FullScreen_RefreshRateInHz = static_cast<UINT>(modus.mFrequenz);
}

void Quarz_ZeichenKontextImplDX9::Erzeugen() {
  mD3D = Direct3DCreate9(D3D_SDK_VERSION);
  if (!mD3D) {
    gLog.Schreibe("!Quarz_ZeichenKontextImplDX9::Quarz_ZeichenKontextImplDX9(): Couldn't create "
                  "Direct3D 9 interface.");
    QUARZ_MELDE("DirectX initialisation failed", Fn("Quarz_ZeichenKontextImplDX9"));
    return;
  }
  FuellePraesentationsParameter();

  D3DDEVTYPE typ = (Quarz_Screen3D::mFlags & Quarz_Screen3D::FLAG_REFERENZ) ? D3DDEVTYPE_REF
                                                                             : D3DDEVTYPE_HAL;
  UINT adapter = D3DADAPTER_DEFAULT;
  for (UINT a = 0; a < mD3D->GetAdapterCount(); ++a) {
    D3DADAPTER_IDENTIFIER9 kennung{};
    if (SUCCEEDED(mD3D->GetAdapterIdentifier(a, 0, &kennung)) &&
        std::strstr(kennung.Description, "PerfHUD")) {
      adapter = a;
      typ = D3DDEVTYPE_REF;
      gLog.Schreibe("NVPerfHUD gefunden, benutze PerfHUD-Adapter %d", static_cast<int>(a));
      break;
    }
  }

  const auto erlaubt = [&](D3DFORMAT f) {
    return SUCCEEDED(mD3D->CheckDeviceFormat(adapter, typ, mParameter.BackBufferFormat,
                                             D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, f));
  };
  if (erlaubt(D3DFMT_D32)) {
    mTiefenFormat = D3DFMT_D32;
    gLog.Schreibe("Quarz_Screen3D::Init(...): 32Bit-ZBuffer gewählt");
  } else if (erlaubt(D3DFMT_D24X8)) {
    mTiefenFormat = D3DFMT_D24X8;
    gLog.Schreibe("Quarz_Screen3D::Init(...): 24Bit-ZBuffer gewählt");
  } else {
    mTiefenFormat = D3DFMT_D16;
    gLog.Schreibe("Quarz_Screen3D::Init(...): 16Bit-ZBuffer gewählt");
  }
  mParameter.AutoDepthStencilFormat = mTiefenFormat;

  const DWORD verhalten =
      D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE | D3DCREATE_FPU_PRESERVE;
  if (FAILED(mD3D->CreateDevice(adapter, typ, Quarz_Screen3D::mFensterHandle, verhalten,
                                &mParameter, &mGeraet)) ||
      !mGeraet) {
    mGeraet = nullptr;
    gLog.Schreibe("!Quarz_ZeichenKontextImplDX9::Quarz_ZeichenKontextImplDX9(): Failed to create "
                  "Direct3D device.");
    QUARZ_MELDE("DirectX device creation failed.", Fn("Quarz_ZeichenKontextImplDX9"));
    return;
  }

  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &mRueckPuffer);
  mGeraet->GetDepthStencilSurface(&mTiefenPuffer);
  mSchattenFarbe[0] = mRueckPuffer;
  mSchattenTiefe = mTiefenPuffer;

  D3DCAPS9 caps{};
  mGeraet->GetDeviceCaps(&caps);
  mBesitzer->mMaxTexturBreite = caps.MaxTextureWidth;
  mBesitzer->mMaxTexturHoehe = caps.MaxTextureHeight;
  mBesitzer->mTexturStufen = 16;
  mBesitzer->mMaxAnisotropie =
      (caps.TextureFilterCaps & D3DPTFILTERCAPS_MINFANISOTROPIC) ? caps.MaxAnisotropy : 0;
  mBesitzer->mRenderzielAnzahl = caps.NumSimultaneousRTs;
  mVertexProfil = D3DXGetVertexShaderProfile(mGeraet);
  mPixelProfil = D3DXGetPixelShaderProfile(mGeraet);
}

Quarz_ZeichenKontextImplDX9::~Quarz_ZeichenKontextImplDX9() {
  if (mGeraet) LoeseBindungen();
  Plattform::SicherFreigeben(mRueckPuffer);
  Plattform::SicherFreigeben(mTiefenPuffer);
  Plattform::SicherFreigeben(mGeraet);
  Plattform::SicherFreigeben(mD3D);
}

void Quarz_ZeichenKontextImplDX9::SetzeSchattenZurueck() {
  mSchattenTiefe = nullptr;
  for (auto& f : mSchattenFarbe) f = nullptr;
  mSchattenDeklaration = nullptr;
  mSchattenVertexShader = nullptr;
  mSchattenPixelShader = nullptr;
  std::memset(mVertexKonstanten, 0, sizeof(mVertexKonstanten));
  std::memset(mPixelKonstanten, 0, sizeof(mPixelKonstanten));
  mVertexNiedrig = mPixelNiedrig = kLeererBereichNiedrig;
  mVertexHoch = mPixelHoch = 0;
  std::copy(std::begin(kNichtGesetzt), std::end(kNichtGesetzt), mRenderZustaende);
  for (auto& s : mSampler) s = SamplerSchatten{};
  for (auto& f : mStromFrequenz) f = 0;
}

// Everything the device holds for us is let go, so that a reset finds no resource of ours
// still bound.
void Quarz_ZeichenKontextImplDX9::LoeseBindungen() {
  for (UINT s = 0; s < Quarz_ZeichenKontext::kStroeme; ++s) mGeraet->SetStreamSource(s, nullptr, 0, 0);
  mGeraet->SetIndices(nullptr);
  for (uint32_t e = 0; e < kSamplerEintraege; ++e)
    if (mSampler[e].mTextur) mGeraet->SetTexture(e < 16 ? e : D3DVERTEXTEXTURESAMPLER0 + (e - 16), nullptr);
  for (DWORD z = 1; z < 4; ++z)
    if (mSchattenFarbe[z]) mGeraet->SetRenderTarget(z, nullptr);
  if (mRueckPuffer && mSchattenFarbe[0] != mRueckPuffer) mGeraet->SetRenderTarget(0, mRueckPuffer);
  if (mSchattenTiefe != mTiefenPuffer) mGeraet->SetDepthStencilSurface(mTiefenPuffer);
  mGeraet->SetVertexDeclaration(nullptr);
  mGeraet->SetVertexShader(nullptr);
  mGeraet->SetPixelShader(nullptr);
}

bool Quarz_ZeichenKontextImplDX9::Zuruecksetzen() {
  if (!mGeraet) return false;
  if (mSzeneOffen) {
    mGeraet->EndScene();
    mSzeneOffen = false;
  }
  LoeseBindungen();
  Plattform::SicherFreigeben(mRueckPuffer);
  Plattform::SicherFreigeben(mTiefenPuffer);
  FuellePraesentationsParameter();

  gLog.Schreibe("ReInit Darstellung: Device zurücksetzen");
  const HRESULT hr = Quarz::Intern::SetzeGeraetZurueck([&] { return mGeraet->Reset(&mParameter); });
  const bool ok = SUCCEEDED(hr);
  if (!ok) QUARZ_MELDE("D3D9-Reset gescheitert", Fn("Zuruecksetzen"));

  mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &mRueckPuffer);
  mGeraet->GetDepthStencilSurface(&mTiefenPuffer);
  SetzeSchattenZurueck();
  // A reset binds the device's own back buffer and depth surface again.
  mSchattenFarbe[0] = mRueckPuffer;
  mSchattenTiefe = mTiefenPuffer;
  mGeraetVerloren = !ok;
  return ok;
}

void Quarz_ZeichenKontextImplDX9::SendeKonstanten() {
  if (mVertexNiedrig < mVertexHoch) {
    if (FAILED(mGeraet->SetVertexShaderConstantF(mVertexNiedrig,
                                                 &mVertexKonstanten[mVertexNiedrig * 4],
                                                 mVertexHoch - mVertexNiedrig)))
      QUARZ_MELDE("Vertexkonstanten-Schreiben gescheitert", Fn("InternVorZeichenAufruf"));
  }
  mVertexNiedrig = kLeererBereichNiedrig;
  mVertexHoch = 0;
  if (mPixelNiedrig < mPixelHoch) {
    if (FAILED(mGeraet->SetPixelShaderConstantF(mPixelNiedrig, &mPixelKonstanten[mPixelNiedrig * 4],
                                                mPixelHoch - mPixelNiedrig)))
      QUARZ_MELDE("Pixelkonstanten-Schreiben gescheitert", Fn("InternVorZeichenAufruf"));
  }
  mPixelNiedrig = kLeererBereichNiedrig;
  mPixelHoch = 0;
}

void Quarz_ZeichenKontextImplDX9::InternVorZeichenAufruf(uint32_t instanzen) {
  const Quarz_Programm* programm = mBesitzer->mProgramm;
  const uint64_t stroeme = programm ? std::min<uint64_t>(programm->mStromAnzahl, 4) : 0;
  const uint64_t instanzMaske = programm ? programm->mInstanzMaske : 0;
  if (instanzen == 0) {
    // Only the program's streams are reset; a stream beyond them keeps its shadow, so that a
    // later program using it resets it too.
    for (uint64_t s = 0; s < stroeme; ++s) {
      if (mStromFrequenz[s] != 1) mGeraet->SetStreamSourceFreq(static_cast<UINT>(s), 1);
      mStromFrequenz[s] = 1;
    }
  } else {
    for (uint64_t s = 0; s < stroeme; ++s) {
      const uint32_t soll = (instanzMaske >> s & 1) ? (D3DSTREAMSOURCE_INSTANCEDATA | 1u)
                                                    : (D3DSTREAMSOURCE_INDEXEDDATA | instanzen);
      if (mStromFrequenz[s] != soll) {
        mGeraet->SetStreamSourceFreq(static_cast<UINT>(s), soll);
        mStromFrequenz[s] = soll;
      }
    }
  }
  SendeKonstanten();
  if (!mSzeneOffen) StartZeichnen();
}

void Quarz_ZeichenKontextImplDX9::StartZeichnen() {
  if (FAILED(mGeraet->BeginScene())) QUARZ_MELDE("Failed to lock screen.", Fn("StartZeichnen"));
  mSzeneOffen = true;
}

void Quarz_ZeichenKontextImplDX9::SetRenderZiel(Quarz_Renderziel* ziel) {
  if (!mGeraet) return;
  IDirect3DSurface9* farben[4] = {mRueckPuffer, nullptr, nullptr, nullptr};
  IDirect3DSurface9* tiefe = mTiefenPuffer;
  if (ziel) {
    ziel->Benutzen();
    farben[0] = ziel->mFarbOberflaechen[0] ? ziel->mFarbOberflaechen[0] : mRueckPuffer;
    tiefe = ziel->mTiefenOberflaeche;
  }
  for (DWORD i = 0; i < 4; ++i) {
    if (farben[i] == mSchattenFarbe[i]) continue;
    if (FAILED(mGeraet->SetRenderTarget(i, farben[i]))) {
      QUARZ_MELDE("Failed to set render target.", Fn("SetRenderZiel"));
      return;
    }
    mSchattenFarbe[i] = farben[i];
  }
  if (tiefe != mSchattenTiefe) {
    if (FAILED(mGeraet->SetDepthStencilSurface(tiefe)))
      QUARZ_MELDE("Failed to set zbuffer.", Fn("SetRenderZiel"));
    mSchattenTiefe = tiefe;
  }
}

void Quarz_ZeichenKontextImplDX9::SetRenderBereich(uint64_t x, uint64_t y, uint64_t breite,
                                                   uint64_t hoehe) {
  if (!mGeraet) return;
  const D3DVIEWPORT9 vp{static_cast<DWORD>(x), static_cast<DWORD>(y), static_cast<DWORD>(breite),
                        static_cast<DWORD>(hoehe), 0.0f, 1.0f};
  if (FAILED(mGeraet->SetViewport(&vp))) QUARZ_MELDE("Failed to set viewport.", Fn("SetRenderBereich"));
}

void Quarz_ZeichenKontextImplDX9::Leeren(uint32_t was, float r, float g, float b, float a) {
  if (!mGeraet) return;
  // Each channel x 255 + 0.51, truncated; values outside 0..1 are held at the ends instead of
  // spilling into the neighbouring channel.
  const auto kanal = [](float v) -> DWORD {
    const float w = std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.51f;
    return std::min<DWORD>(static_cast<DWORD>(w), 255);
  };
  const D3DCOLOR farbe = D3DCOLOR_ARGB(kanal(a), kanal(r), kanal(g), kanal(b));
  DWORD flags = 0;
  if (was & 1) flags |= D3DCLEAR_TARGET;
  // Stencil 0 goes along, but no stencil flag: none of the depth formats chosen at creation has
  // a stencil part, and clearing one that is missing is an invalid call.
  if (was & 2) flags |= D3DCLEAR_ZBUFFER;
  if (FAILED(mGeraet->Clear(0, nullptr, flags, farbe, 1.0f, 0)))
    QUARZ_MELDE("Failed to clear buffers", Fn("Leeren"));
}

void Quarz_ZeichenKontextImplDX9::SetRueckseite(uint32_t modus) {
  if (!mGeraet) return;
  if (FAILED(mGeraet->SetRenderState(D3DRS_CULLMODE, modus + 1)))
    QUARZ_MELDE("Rückseiten-Änderung gescheitert.", Fn("SetRueckseite"));
}

void Quarz_ZeichenKontextImplDX9::SetProgramm(Quarz_Programm* programm) {
  if (!mGeraet || !programm) return;
  programm->Benutzen();
  if (programm->mDeklaration != mSchattenDeklaration) {
    if (FAILED(mGeraet->SetVertexDeclaration(programm->mDeklaration))) {
      QUARZ_MELDE("Failed to set vertex input declaration.", Fn("SetProgramm"));
      return;
    }
    mSchattenDeklaration = programm->mDeklaration;
  }
  if (programm->mD3DVertexShader != mSchattenVertexShader) {
    if (FAILED(mGeraet->SetVertexShader(programm->mD3DVertexShader))) {
      QUARZ_MELDE("Failed to set vertex shader.", Fn("SetProgramm"));
      return;
    }
    mSchattenVertexShader = programm->mD3DVertexShader;
  }
  if (programm->mD3DPixelShader != mSchattenPixelShader) {
    if (FAILED(mGeraet->SetPixelShader(programm->mD3DPixelShader))) {
      QUARZ_MELDE("Failed to set pixel shader.", Fn("SetProgramm"));
      return;
    }
    mSchattenPixelShader = programm->mD3DPixelShader;
  }
}

void Quarz_ZeichenKontextImplDX9::SetProgrammKonstante(uint32_t index, float x, float y, float z,
                                                       float w) {
  const float werte[4] = {x, y, z, w};
  SchreibeKonstanten(index, werte, 1);
}

void Quarz_ZeichenKontextImplDX9::SetProgrammKonstante4x4(uint32_t index, const float* werte) {
  SchreibeKonstanten(index, werte, 4);
}

void Quarz_ZeichenKontextImplDX9::SchreibeKonstanten(uint32_t index, const float* werte,
                                                     uint32_t anzahl) {
  // One stage: the absent marker is tested first (0xFFF is above both limits and is not a
  // fault); a block reaching past the register file is reported and skipped.
  const auto stufe = [&](uint32_t reg, uint32_t registerAnzahl, float* datei, uint32_t& niedrig,
                         uint32_t& hoch) {
    if (reg == kAbwesend) return;
    if (reg + anzahl > registerAnzahl) {
      QUARZ_MELDE("Ungültiger Konstantenindex", Fn("SetProgrammKonstante"));
      return;
    }
    std::memcpy(&datei[reg * 4], werte, anzahl * 4 * sizeof(float));
    niedrig = std::min(niedrig, reg);
    hoch = std::max(hoch, reg + anzahl);
  };
  stufe(index & 0xFFF, kVertexRegister, mVertexKonstanten, mVertexNiedrig, mVertexHoch);
  stufe((index >> 12) & 0xFFF, kPixelRegister, mPixelKonstanten, mPixelNiedrig, mPixelHoch);
  ++mBesitzer->mZaehler[Quarz_ZeichenKontext::Z_KONSTANTEN];
}

bool Quarz_ZeichenKontextImplDX9::SetzeZustand(RenderZustand schatten, D3DRENDERSTATETYPE typ,
                                               DWORD wert) {
  if (mRenderZustaende[schatten] == wert) return true;
  if (FAILED(mGeraet->SetRenderState(typ, wert))) return false;
  mRenderZustaende[schatten] = wert;
  return true;
}

void Quarz_ZeichenKontextImplDX9::SetTiefeZustand(const Quarz_TiefeZustand* zustand) {
  if (!mGeraet || !zustand) return;
  if (!SetzeZustand(RZ_TIEFE_TEST, D3DRS_ZENABLE, zustand->mTest))
    QUARZ_MELDE("ZBuffer-Test-Einstellung gescheitert", Fn("SetTiefeZustand"));
  if (!SetzeZustand(RZ_TIEFE_SCHREIBEN, D3DRS_ZWRITEENABLE, zustand->mSchreiben))
    QUARZ_MELDE("ZBuffer-Schreiben-Einstellung gescheitert", Fn("SetTiefeZustand"));
  if (!SetzeZustand(RZ_TIEFE_FUNKTION, D3DRS_ZFUNC, zustand->mVergleich))
    QUARZ_MELDE("ZBuffer-Testfunktion-Einstellung gescheitert", Fn("SetTiefeZustand"));
}

void Quarz_ZeichenKontextImplDX9::SetAlphaZustand(const Quarz_AlphaZustand* zustand) {
  if (!mGeraet || !zustand) return;
  bool ok = SetzeZustand(RZ_BLEND_AKTIV, D3DRS_ALPHABLENDENABLE, zustand->mBlendAktiv);
  if (zustand->mBlendAktiv) {
    ok &= SetzeZustand(RZ_BLEND_OP, D3DRS_BLENDOP, zustand->mBlendOp);
    ok &= SetzeZustand(RZ_QUELL_BLEND, D3DRS_SRCBLEND, zustand->mQuellBlend);
    ok &= SetzeZustand(RZ_ZIEL_BLEND, D3DRS_DESTBLEND, zustand->mZielBlend);
    ok &= SetzeZustand(RZ_ALPHA_GETRENNT, D3DRS_SEPARATEALPHABLENDENABLE, zustand->mAlphaGetrennt);
    if (zustand->mAlphaGetrennt) {
      ok &= SetzeZustand(RZ_ALPHA_BLEND_OP, D3DRS_BLENDOPALPHA, zustand->mAlphaBlendOp);
      ok &= SetzeZustand(RZ_ALPHA_QUELL_BLEND, D3DRS_SRCBLENDALPHA, zustand->mAlphaQuellBlend);
      ok &= SetzeZustand(RZ_ALPHA_ZIEL_BLEND, D3DRS_DESTBLENDALPHA, zustand->mAlphaZielBlend);
    }
  }
  ok &= SetzeZustand(RZ_SCHREIB_MASKE, D3DRS_COLORWRITEENABLE, zustand->mSchreibMaske);
  if (!ok) QUARZ_MELDE("AlphaBlend-Einstellung gescheitert", Fn("SetAlphaZustand"));
}

void Quarz_ZeichenKontextImplDX9::SetVertexBuffer(uint32_t strom, Quarz_VertexBuffer* puffer,
                                                  uint32_t schritt) {
  if (!mGeraet) return;
  IDirect3DVertexBuffer9* d3d = puffer ? puffer->mBuffer : nullptr;
  if (FAILED(mGeraet->SetStreamSource(strom, d3d, 0, schritt)))
    QUARZ_MELDE("VertexBuffer-Zuweisung gescheitert", Fn("SetVertexBuffer"));
}

void Quarz_ZeichenKontextImplDX9::SetIndexBuffer(Quarz_IndexBuffer* puffer) {
  if (!mGeraet) return;
  if (FAILED(mGeraet->SetIndices(puffer ? puffer->mBuffer : nullptr)))
    QUARZ_MELDE("IndexBuffer-Zuweisung gescheitert", Fn("SetIndexBuffer"));
}

IDirect3DBaseTexture9* Quarz_ZeichenKontextImplDX9::D3DTexturVon(Quarz_BasisObjekt* textur) {
  if (auto* t = dynamic_cast<Quarz_Textur*>(textur)) return t->mTextur;
  if (auto* w = dynamic_cast<Quarz_WuerfelTextur*>(textur)) return w->mTextur;
  return nullptr;
}

void Quarz_ZeichenKontextImplDX9::SetzeSamplerStufe(uint32_t eintrag, DWORD stufe,
                                                    const Quarz_Sampler* sampler,
                                                    IDirect3DBaseTexture9* textur) {
  SamplerSchatten& s = mSampler[eintrag];
  if (textur != s.mTextur) {
    if (FAILED(mGeraet->SetTexture(stufe, textur)))
      QUARZ_MELDE("Texturzuweisung gescheitert", Fn("SetTextur"));
    s.mTextur = textur;
  }
  if (!sampler || !textur) return;
  bool ok = true;
  const auto setze = [&](D3DSAMPLERSTATETYPE typ, DWORD wert) {
    ok &= SUCCEEDED(mGeraet->SetSamplerState(stufe, typ, wert));
  };
  if (sampler->mBeschr.mAdresse != s.mAdressSchluessel) {
    setze(D3DSAMP_ADDRESSU, sampler->mAdresseU);
    setze(D3DSAMP_ADDRESSV, sampler->mAdresseV);
    s.mAdressSchluessel = sampler->mBeschr.mAdresse;
  }
  if (sampler->mBeschr.mFilter != s.mFilterSchluessel) {
    setze(D3DSAMP_MINFILTER, sampler->mMinFilter);
    setze(D3DSAMP_MAGFILTER, sampler->mMagFilter);
    setze(D3DSAMP_MIPFILTER, sampler->mMipFilter);
    s.mFilterSchluessel = sampler->mBeschr.mFilter;
  }
  if (sampler->mNutztRand && sampler->mRandFarbe != s.mRandFarbe) {
    setze(D3DSAMP_BORDERCOLOR, sampler->mRandFarbe);
    s.mRandFarbe = sampler->mRandFarbe;
  }
  if (sampler->mNutztAnisotropie && sampler->mMaxAnisotropie != s.mMaxAnisotropie) {
    setze(D3DSAMP_MAXANISOTROPY, sampler->mMaxAnisotropie);
    s.mMaxAnisotropie = sampler->mMaxAnisotropie;
  }
  if (sampler->mMaxMipStufe != s.mMaxMipStufe) {
    setze(D3DSAMP_MAXMIPLEVEL, sampler->mMaxMipStufe);
    s.mMaxMipStufe = sampler->mMaxMipStufe;
  }
  if (!ok) QUARZ_MELDE("Sampler-Zuweisung gescheitert", Fn("SetTextur"));
}

void Quarz_ZeichenKontextImplDX9::SetTextur(uint32_t index, const Quarz_Sampler* sampler,
                                            Quarz_BasisObjekt* textur) {
  if (!mGeraet || index == 65535) return;
  IDirect3DBaseTexture9* d3d = D3DTexturVon(textur);
  const uint32_t vertex = (index >> 8) & 0xFF;
  const uint32_t pixel = index & 0xFF;
  if (vertex < 4) SetzeSamplerStufe(16 + vertex, D3DVERTEXTEXTURESAMPLER0 + vertex, sampler, d3d);
  if (pixel < 16) SetzeSamplerStufe(pixel, pixel, sampler, d3d);
}

bool Quarz_ZeichenKontextImplDX9::ZeichneIndexElemente(uint32_t primitive) {
  return Zeichne(0, primitive, "ZeichneIndexElemente");
}

// Instanced: two triangles per instance.
bool Quarz_ZeichenKontextImplDX9::ZeichneIndexInstanzen(uint32_t instanzen) {
  return Zeichne(instanzen, 2, "ZeichneIndexInstanzen");
}

// An indexed triangle list from index 0; the vertex count is what the buffer on stream 0 holds
// at the program's stride for that stream.
bool Quarz_ZeichenKontextImplDX9::Zeichne(uint32_t instanzen, uint32_t primitive,
                                          const char* funktion) {
  if (!mGeraet) return false;
  InternVorZeichenAufruf(instanzen);
  const Quarz_Programm* programm = mBesitzer->mProgramm;
  const Quarz_VertexBuffer* strom0 = mBesitzer->mStromPuffer[0];
  const uint64_t schritt = programm ? programm->mSchrittweiten[0] : 0;
  const UINT vertices = strom0 && schritt ? static_cast<UINT>(strom0->mGroesse / schritt) : 0;
  if (FAILED(mGeraet->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, vertices, 0, primitive))) {
    QUARZ_MELDE("Zeichnen gescheitert", Fn(funktion));
    return false;
  }
  return true;
}

HRESULT Quarz_ZeichenKontextImplDX9::Praesentiere() {
  if (!mGeraet) return D3DERR_INVALIDCALL;
  if (mSzeneOffen) {
    mGeraet->EndScene();
    mSzeneOffen = false;
  }
  return mGeraet->Present(nullptr, nullptr, nullptr, nullptr);
}

bool Quarz_ZeichenKontextImplDX9::LiesBildschirmInhalt(TBereich& ziel) {
  if (!mGeraet) return false;
  IDirect3DSurface9* puffer = nullptr;
  if (FAILED(mGeraet->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &puffer)) || !puffer) {
    QUARZ_MELDE("Failed to get backbuffer.", Fn("LiesBildschirmInhalt"));
    return false;
  }
  D3DLOCKED_RECT gesperrt{};
  if (FAILED(puffer->LockRect(&gesperrt, nullptr, D3DLOCK_READONLY)) || !gesperrt.pBits) {
    QUARZ_MELDE("Failed to lock backbuffer.", Fn("LiesBildschirmInhalt"));
    puffer->Release();
    return false;
  }
  const Quarz_Pixelformat format = Quarz_Screen3D::mModus.m16Bit == 1 ? Quarz::PF_R5G6B5
                                                                       : Quarz::PF_A8R8G8B8;
  TBereich quelle;
  quelle.mPixel = static_cast<uint8_t*>(gesperrt.pBits);
  quelle.mFormat = format;
  quelle.mBreite = mBesitzer->BildschirmBreite();
  quelle.mHoehe = mBesitzer->BildschirmHoehe();
  quelle.mPitch = static_cast<uint64_t>(gesperrt.Pitch);
  quelle.KopiereIn(ziel);
  puffer->UnlockRect();
  puffer->Release();
  return true;
}
