#pragma once
// The one object through which the program creates GPU resources and draws. It owns every
// resource through a registry, shadows the bound program, buffers, states, target and render
// region so that unchanged bindings cost nothing, counts state changes per frame, presents the
// frame and survives a lost device by a reset. Direct3D work is done by the embedded layer.
#include <cstdint>
#include <utility>

#include "quarzklassen/grafik/geraet/quarz_basisobjekt.h"
#include "quarzklassen/grafik/geraet/quarz_pixelformat.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontextimpldx9.h"
#include "quarzklassen/kern/tlueckenfeld.h"

class TMatrix4;
class Quarz_VertexBuffer;
class Quarz_IndexBuffer;
class Quarz_ZBuffer;
class Quarz_TiefeZustand;
class Quarz_AlphaZustand;
class Quarz_Sampler;
class Quarz_Textur;
struct TTexturInhalt;
class Quarz_Renderziel;
class Quarz_VertexEingabe;
class Quarz_VertexShader;
class Quarz_PixelShader;
class Quarz_Programm;
struct Quarz_TiefeZustandBeschr;
struct Quarz_AlphaZustandBeschr;
struct Quarz_SamplerBeschr;
struct Quarz_RenderzielBeschr;
struct TBereich;

class Quarz_ZeichenKontext {
public:
  // The per-frame counters, in their order.
  enum Zaehler : uint32_t {
    Z_INDEX_ZEICHNUNGEN, Z_INSTANZ_ZEICHNUNGEN, Z_TEXTUREN, Z_PROGRAMME, Z_RENDERZIELE,
    Z_KONSTANTEN, Z_RENDERBEREICHE, Z_VERTEXBUFFER, Z_INDEXBUFFER, Z_ALPHAZUSTAENDE,
    Z_TIEFEZUSTAENDE, Z_RUECKSEITEN, Z_ANZAHL
  };
  static constexpr uint32_t kStroeme = 4;

  // Creates the device (through the layer) and the default alpha and depth states.
  Quarz_ZeichenKontext();
  // Frees the default states, reports and destroys every resource still registered, and shuts
  // the layer down.
  ~Quarz_ZeichenKontext();
  Quarz_ZeichenKontext(const Quarz_ZeichenKontext&) = delete;
  Quarz_ZeichenKontext& operator=(const Quarz_ZeichenKontext&) = delete;

  // --- factories: every resource is created, numbered and registered here ---
  Quarz_TiefeZustand* ErzeugeTiefeZustand(const Quarz_TiefeZustandBeschr& beschr);
  Quarz_AlphaZustand* ErzeugeAlphaZustand(const Quarz_AlphaZustandBeschr& beschr);
  Quarz_ZBuffer* ErzeugeZBuffer(uint64_t breite, uint64_t hoehe);
  Quarz_VertexBuffer* ErzeugeVertexBuffer(uint64_t groesse, uint32_t flags,
                                          TInitialInhalt* inhalt);
  Quarz_IndexBuffer* ErzeugeIndexBuffer(uint64_t unbenutzt, uint32_t flags,
                                        TInitialInhalt* inhalt);
  // Defined with the texture, state and shader classes.
  Quarz_Sampler* ErzeugeSampler(const Quarz_SamplerBeschr& beschr);
  // The callers pass a mip count third (a render texture asks for one level, an atlas for
  // the whole chain, 0); the pixel format travels in the flags' low byte.
  Quarz_Textur* ErzeugeTextur(uint64_t breite, uint64_t hoehe, uint64_t mipAnzahl,
                              uint32_t flags, TTexturInhalt* inhalt);
  Quarz_Renderziel* ErzeugeRenderziel(const Quarz_RenderzielBeschr& beschr);
  Quarz_VertexEingabe* ErzeugeVertexEingabe();
  Quarz_VertexShader* ErzeugeVertexShader();
  Quarz_PixelShader* ErzeugePixelShader();
  Quarz_Programm* ErzeugeProgramm(Quarz_VertexEingabe* eingabe, Quarz_VertexShader* vs,
                                  Quarz_PixelShader* ps);

  // Constructs a resource and registers it. A constructor that throws leaves nothing behind.
  template <class T, class... Argumente>
  T* ErzeugeObjekt(Argumente&&... argumente) {
    T* objekt = new T(std::forward<Argumente>(argumente)...);
    objekt->mSlot = mRegister.Einfuegen(objekt);
    return objekt;
  }

  // Unregisters and destroys a resource (null is ignored). Bindings that point at it are
  // forgotten, so a new resource at the same address is bound for real.
  void Freigeben(Quarz_BasisObjekt* objekt);

  // --- bindings (each does nothing when unchanged) ---
  void SetRueckseite(uint32_t modus);  // 0 none, 1 clockwise, 2 counter-clockwise
  void SetProgramm(Quarz_Programm* programm);
  void SetVertexBuffer(uint32_t strom, Quarz_VertexBuffer* puffer, uint32_t schritt = 0);
  void SetIndexBuffer(Quarz_IndexBuffer* puffer);
  void SetTiefeZustand(Quarz_TiefeZustand* zustand);
  void SetAlphaZustand(Quarz_AlphaZustand* zustand);
  void SetTextur(uint32_t samplerIndex, Quarz_Sampler* sampler, Quarz_BasisObjekt* textur);
  void SetRenderZiel(Quarz_Renderziel* ziel);
  void SetRenderBereich(uint64_t x, uint64_t y, uint64_t breite, uint64_t hoehe);
  void SetProgrammKonstante(uint32_t index, float x, float y, float z, float w);
  void SetProgrammKonstante(uint32_t index, float x, float y, float z);
  void SetProgrammKonstante(uint32_t index, float x, float y);
  void SetProgrammKonstante(uint32_t index, const TMatrix4& matrix);

  // --- drawing ---
  void ZeichneIndexElemente(uint32_t unbenutzt, uint32_t primitive);
  void ZeichneIndexInstanzen(uint32_t unbenutzt1, uint32_t unbenutzt2, uint32_t instanzen);
  // bit 0 colour, bit 1 depth (to 1.0, stencil 0); colour as RGBA floats.
  void Leeren(uint32_t was, float r, float g, float b, float a);
  void Praesentiere();
  bool Zuruecksetzen();
  // Copies the back buffer into the region; false when it could not be read (reported), the
  // region then unchanged.
  bool LiesBildschirmInhalt(TBereich& ziel);
  void ZeigeStatistik();

  // Binding shadows back to "nothing set" (after construction and every device reset).
  void SetzeZustandZurueck();
  void NulleZaehler();

  // The screen's size (the back buffer's).
  uint64_t BildschirmBreite() const;
  uint64_t BildschirmHoehe() const;

  // Capabilities, filled by the layer at creation.
  uint64_t mMaxTexturBreite = 0;
  uint64_t mMaxTexturHoehe = 0;
  uint64_t mTexturStufen = 16;
  uint64_t mMaxAnisotropie = 0;
  uint64_t mRenderzielAnzahl = 0;

  TLueckenFeld<Quarz_BasisObjekt*> mRegister;

  uint64_t mBereichX = 0, mBereichY = 0, mBereichBreite = 0, mBereichHoehe = 0;
  uint64_t mZielBreite = 0, mZielHoehe = 0;
  bool mRueckpufferAusstehend = false;
  Quarz_Renderziel* mRenderZiel = nullptr;
  Quarz_Programm* mProgramm = nullptr;
  uint32_t mRueckseite = 3;  // 3: not set since the last state reset
  // (Quarz_TiefeZustand*)1 and (Quarz_AlphaZustand*)1: not set since the last state reset.
  const Quarz_TiefeZustand* mTiefeZustand = nullptr;
  const Quarz_AlphaZustand* mAlphaZustand = nullptr;
  Quarz_VertexBuffer* mStromPuffer[kStroeme] = {};
  uint64_t mStromVersatz[kStroeme] = {};
  uint64_t mStromSchritt[kStroeme] = {};
  Quarz_IndexBuffer* mIndexPuffer = nullptr;
  uint64_t mIndexVersatz = 0;
  uint64_t mZaehler[Z_ANZAHL] = {};

  Quarz_ZeichenKontextImplDX9* mImpl;
  Quarz_AlphaZustand* mStandardAlpha = nullptr;
  Quarz_TiefeZustand* mStandardTiefe = nullptr;
  Quarz_ZeichenKontextImplDX9 mImplDX9;

  // Marker for "not set since the last state reset".
  static const Quarz_TiefeZustand* const kTiefeUnbekannt;
  static const Quarz_AlphaZustand* const kAlphaUnbekannt;

  // The living context (the one the resources use), or null.
  static Quarz_ZeichenKontext* sAktiv;
};
