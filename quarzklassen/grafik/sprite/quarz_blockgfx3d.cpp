#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"

namespace {

// The quad corner, turned and placed in pixels, then mapped to clip space. Direct3D 9 puts
// pixel centres on whole coordinates: half a pixel left and up makes a 1:1 graphic texel-exact.
// The texture rectangle is inset by half a texel at the drawing scale (more when drawn smaller)
// so lower mip levels do not bleed in the neighbours.
const char* const kVertexShader = R"(
float4 gQuellGroesse;
float4 gZielGroesse;
$rein float2 vertexPos;
$rein float3 instZielPos;
$rein float2 instGroesse;
$rein float4 instGrafik;
$rein float4 instFarbe;
$rein float2 instParam;
$raus float4 fragPos;
$raus float4 fragFarbe;
$raus float2 fragTex;
$raus float4 fragTexGrenz;
#ifdef NORMALEN
$raus float4 fragRotMatrix;
#endif
$main()
{
	float s = sin( instParam.x);
	float c = cos( instParam.x);
	float2 vx = float2( c, s);
	float2 vy = float2( -s, c);
	float2 versatz = ( vertexPos - instParam.y) * instGroesse;
	float2 ecke = instZielPos.xy + versatz.x * vx + versatz.y * vy;
#if GRAFIK_DIRECTX == 9
	ecke += float2( -0.5f, -0.5f);
#endif
	fragPos = float4( ecke * gZielGroesse.xy * float2( 2.0f, -2.0f) + float2( -1.0f, 1.0f), instZielPos.z, 1.0f);
	fragFarbe = instFarbe;
	fragTex = TEXKOORD( ( instGrafik.xy + vertexPos * instGrafik.zw) * gQuellGroesse.xy);
	float m = min( abs( instGroesse.x) / instGrafik.z, abs( instGroesse.y) / instGrafik.w);
	m = exp2( floor( log2( m)));
	float r = 0.5f / clamp( m, 1.0f / 16.0f, 1.0f);
	fragTexGrenz = float4( instGrafik.xy + r, instGrafik.xy + instGrafik.zw - r) * gQuellGroesse.xyxy;
#ifdef NORMALEN
	fragRotMatrix = float4( vx, vy);
#endif
}
)";

const char* const kPixelShader = R"(
DEF_SAMPLER_2D( Textur);
$rein float4 fragFarbe;
$rein float2 fragTex;
$rein float4 fragTexGrenz;
#ifdef NORMALEN
$rein float4 fragRotMatrix;
#endif
$raus float4 ergFarbe;
$main()
{
	float4 farbe = SAMPLE_2D( Textur, clamp( fragTex, fragTexGrenz.xy, fragTexGrenz.zw)) * fragFarbe;
#ifdef NORMALEN
	float2 n = farbe.xy * 2.0f - 1.0f;
	farbe.xy = ( n.x * fragRotMatrix.xy + n.y * fragRotMatrix.zw) * 0.5f + 0.5f;
	farbe.rgb *= abs( farbe.a);
#else
	farbe.rgb *= abs( farbe.a);
	farbe.a = max( farbe.a, 0.0f);
#endif
	ergFarbe = farbe;
}
)";

// The GPU objects every batch shares, made with the first batch and freed with the last.
struct TGemeinsam {
  uint64_t mAnzahl = 0;
  Quarz_ZeichenKontext* mKontext = nullptr;
  Quarz_VertexEingabe* mEingabe = nullptr;
  Quarz_VertexShader* mVs[2] = {};
  Quarz_PixelShader* mPs[2] = {};
  Quarz_Programm* mProgramm[2] = {};
  uint32_t mQuellGroesse[2] = {}, mZielGroesse[2] = {}, mTextur[2] = {};
  Quarz_VertexBuffer* mQuad = nullptr;
  Quarz_IndexBuffer* mIndizes = nullptr;
  Quarz_AlphaZustand* mAlpha = nullptr;
  Quarz_Sampler* mSampler = nullptr;
};
TGemeinsam gGemeinsam;

void BaueGemeinsam(Quarz_ZeichenKontext& k) {
  TGemeinsam& g = gGemeinsam;
  g.mKontext = &k;
  g.mEingabe = k.ErzeugeVertexEingabe();
  g.mEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT2, 0, false);
  g.mEingabe->AddKanal(1, Quarz_VertexEingabe::KANAL_FLOAT3, 0, true);
  g.mEingabe->AddKanal(1, Quarz_VertexEingabe::KANAL_FLOAT2, 12, true);
  g.mEingabe->AddKanal(1, Quarz_VertexEingabe::KANAL_FLOAT4, 20, true);
  g.mEingabe->AddKanal(1, Quarz_VertexEingabe::KANAL_FLOAT4, 36, true);
  g.mEingabe->AddKanal(1, Quarz_VertexEingabe::KANAL_FLOAT2, 52, true);
  g.mEingabe->Beenden();
  for (int i = 0; i < 2; ++i) {
    Quarz::TShaderDefinitionen definitionen;
    if (i == 1) definitionen.push_back({"NORMALEN", "1"});
    g.mVs[i] = k.ErzeugeVertexShader();
    g.mVs[i]->UebersetzeAusString(kVertexShader, definitionen, false);
    g.mPs[i] = k.ErzeugePixelShader();
    g.mPs[i]->UebersetzeAusString(kPixelShader, definitionen, false);
    g.mProgramm[i] = k.ErzeugeProgramm(g.mEingabe, g.mVs[i], g.mPs[i]);
    g.mQuellGroesse[i] = g.mProgramm[i]->GetKonstantenIndex("gQuellGroesse");
    g.mZielGroesse[i] = g.mProgramm[i]->GetKonstantenIndex("gZielGroesse");
    g.mTextur[i] = g.mProgramm[i]->GetSamplerIndex("Textur");
  }
  float ecken[8] = {0, 0, 1, 0, 0, 1, 1, 1};
  TInitialInhalt quad{ecken, sizeof ecken, 0};
  g.mQuad = k.ErzeugeVertexBuffer(0, 0, &quad);
  uint16_t indizes[6] = {0, 1, 2, 1, 3, 2};
  TInitialInhalt index{indizes, sizeof indizes, 0};
  g.mIndizes = k.ErzeugeIndexBuffer(0, Quarz_IndexBuffer::INDEX_16, &index);
  g.mAlpha = k.ErzeugeAlphaZustand(Quarz_AlphaZustandBeschr(0, 1, 4));
  Quarz_SamplerBeschr sampler;
  sampler.mFilter = 1 | 1 << 2 | 1 << 4 | 1 << 6;
  sampler.mAdresse = 1 | 1 << 2 | 1 << 4;
  sampler.mMaxAnisotropie = 16;
  sampler.mRand[3] = 1.0f;
  g.mSampler = k.ErzeugeSampler(sampler);
}

void GibGemeinsamFrei() {
  TGemeinsam& g = gGemeinsam;
  Quarz_ZeichenKontext* k = g.mKontext;
  // The context may already be gone (its destructor frees what is left).
  if (k && k == Quarz_ZeichenKontext::sAktiv) {
    for (Quarz_BasisObjekt* o : {static_cast<Quarz_BasisObjekt*>(g.mEingabe),
                                 static_cast<Quarz_BasisObjekt*>(g.mVs[0]),
                                 static_cast<Quarz_BasisObjekt*>(g.mPs[0]),
                                 static_cast<Quarz_BasisObjekt*>(g.mProgramm[0]),
                                 static_cast<Quarz_BasisObjekt*>(g.mVs[1]),
                                 static_cast<Quarz_BasisObjekt*>(g.mPs[1]),
                                 static_cast<Quarz_BasisObjekt*>(g.mProgramm[1]),
                                 static_cast<Quarz_BasisObjekt*>(g.mQuad),
                                 static_cast<Quarz_BasisObjekt*>(g.mIndizes),
                                 static_cast<Quarz_BasisObjekt*>(g.mAlpha),
                                 static_cast<Quarz_BasisObjekt*>(g.mSampler)})
      k->Freigeben(o);
  }
  g = TGemeinsam{};
}

// The context the batch's GPU objects live in, or null (no screen: the batch keeps its atlas
// in main memory only).
Quarz_ZeichenKontext* Kontext() { return Quarz_ZeichenKontext::sAktiv; }

}  // namespace

Quarz_BlockGfx3D::Quarz_BlockGfx3D(uint64_t atlasGroesse, uint64_t maxInstanzen, uint32_t flags)
    : mFlags(flags) {
  Quarz_ZeichenKontext* k = Kontext();
  if (k && k->mMaxTexturBreite)
    mAtlas.mMaxKante = std::min(k->mMaxTexturBreite, std::max<uint64_t>(k->mMaxTexturHoehe, 1));
  SetMaxInstanzen(maxInstanzen);
  SetAtlasGroesse(atlasGroesse);
  mZentriert = 0;
  mAtlasGeaendert = 0;
  if (k) {
    // A context made anew since the last batch starts a new set.
    if (gGemeinsam.mAnzahl && gGemeinsam.mKontext != k) gGemeinsam = TGemeinsam{};
    if (gGemeinsam.mAnzahl++ == 0) BaueGemeinsam(*k);
    mGemeinsamKontext = k;
  }
}

Quarz_BlockGfx3D::~Quarz_BlockGfx3D() {
  // Only a share of the living set counts: a set of an ended context is gone already.
  Quarz_ZeichenKontext* k = Kontext();
  if (k && mGemeinsamKontext == k && gGemeinsam.mKontext == k && gGemeinsam.mAnzahl &&
      --gGemeinsam.mAnzahl == 0)
    GibGemeinsamFrei();
  GibFrei(mTextur);
  GibFrei(mInstanzPuffer);
}

template <class T>
void Quarz_BlockGfx3D::GibFrei(T*& objekt) {
  // Objects of a context that has since ended were freed with it.
  if (objekt && mKontext && mKontext == Kontext()) mKontext->Freigeben(objekt);
  objekt = nullptr;
}

void Quarz_BlockGfx3D::PruefeKontext() {
  // A context that ended took the batch's objects with it: the new one gets new ones.
  if (!mKontext || mKontext == Kontext()) return;
  mKontext = nullptr;
  mTextur = nullptr;
  mInstanzPuffer = nullptr;
  mPufferInstanzen = 0;
  ErneuereTextur();
}

void Quarz_BlockGfx3D::ErneuereTextur() {
  GibFrei(mTextur);
  Quarz_ZeichenKontext* k = Kontext();
  if (!k || !mAtlas.HatAtlas()) return;
  mKontext = k;
  const uint32_t nutzung = (mFlags & FLAG_RENDERZIEL) ? (FLAG_FLUECHTIG | ::FLAG_RENDERZIEL)
                                                      : FLAG_DYNAMISCH;
  // The atlas pixels in main memory are the content: zero where nothing is placed.
  TTexturInhalt inhalt;
  inhalt.mStufen[0] = mAtlas.Bereich();
  mTextur = k->ErzeugeTextur(mAtlas.mBreite, mAtlas.mHoehe, 0, Quarz::PF_A8R8G8B8 | nutzung, &inhalt);
  mAtlasGeaendert = 1;
}

void Quarz_BlockGfx3D::SetAtlasGroesse(uint64_t kante) {
  if (mAtlas.HatAtlas() && mAtlas.mBreite == kante && mAtlas.mHoehe == kante) return;
  mAtlas.SetKante(kante);
  ErneuereTextur();
}

void Quarz_BlockGfx3D::SetMaxInstanzen(uint64_t anzahl) {
  anzahl = std::min<uint64_t>(anzahl, TSpriteAtlas::kMaxInstanzen);
  mWarteschlange.reserve(anzahl);
  GibFrei(mInstanzPuffer);
  mPufferInstanzen = 0;
  Quarz_ZeichenKontext* k = Kontext();
  if (anzahl > 0 && k) {
    mKontext = k;
    mInstanzPuffer = k->ErzeugeVertexBuffer(anzahl * sizeof(TSpriteInstanz),
                                            FLAG_DYNAMISCH | FLAG_FLUECHTIG, nullptr);
    if (mInstanzPuffer) mPufferInstanzen = anzahl;
  }
}

bool Quarz_BlockGfx3D::PlatziereGrafik(uint64_t id, uint64_t breite, uint64_t hoehe) {
  const uint64_t vorher = mAtlas.mBreite;
  if (!mAtlas.Platziere(id, breite, hoehe)) return false;
  if (mAtlas.mBreite != vorher) ErneuereTextur();
  mAtlasGeaendert = 1;
  return true;
}

void Quarz_BlockGfx3D::AddGrafik(uint64_t id, const TBereich& quelle, uint64_t x, uint64_t y,
                                 uint64_t breite, uint64_t hoehe) {
  if (quelle.mFormat != Quarz::PF_A8R8G8B8) {
    char meldung[200];
    std::snprintf(meldung, sizeof meldung,
                  "Quarz_BlockGfx3D::AddGrafik( %d, ..., %d, %d, %d, %d): Quellgrafik muss vom Format A8R8G8B8 sein.",
                  static_cast<int>(id), static_cast<int>(x), static_cast<int>(y),
                  static_cast<int>(breite), static_cast<int>(hoehe));
    QUARZ_MELDE(meldung, "Quarz_BlockGfx3D::AddGrafik");
  }
  PruefeKontext();
  const uint64_t vorher = mAtlas.mBreite;
  if (!mAtlas.Add(id, quelle, x, y, breite, hoehe)) return;
  mAtlasGeaendert = 1;
  if (mAtlas.mBreite != vorher) {
    ErneuereTextur();  // made from the atlas pixels, the new graphic included
    return;
  }
  if (!mTextur || breite == 0 || hoehe == 0) return;
  const TRechteck r = mAtlas.MitRand(mAtlas.mGrafiken[id]);
  TBereich teil = mAtlas.Bereich().LockSubBereich(r.mX, r.mY, r.mBreite, r.mHoehe);
  mTextur->SchreibeTeilInhalt(r.mX, r.mY, teil);
}

void Quarz_BlockGfx3D::Zeichne(uint64_t id, const BVektor<float>& position,
                               const TAlphaFarbe& farbe, float breite, float hoehe,
                               float rotation) {
  if (!mAtlas.mGrafiken.Belegt(id)) return;
  const TGrafikSlot& s = mAtlas.mGrafiken[id];
  const float grafikBreite = static_cast<float>(s.mBreite), grafikHoehe = static_cast<float>(s.mHoehe);
  mWarteschlange.push_back({{position.x, position.y, position.z},
                            {breite == 0.0f ? grafikBreite : breite, hoehe == 0.0f ? grafikHoehe : hoehe},
                            {static_cast<float>(s.mX), static_cast<float>(s.mY), grafikBreite, grafikHoehe},
                            {farbe.r, farbe.g, farbe.b, farbe.a},
                            {rotation, mZentriert ? 0.5f : 0.0f}});
}

void Quarz_BlockGfx3D::Ausgeben() {
  if (mWarteschlange.empty()) return;
  BereiteAusgabeVor();
  ZeichneInstanzen();
}

void Quarz_BlockGfx3D::AktualisiereMips() {
  mAtlasGeaendert = 0;
  if (!mTextur) return;
  mTextur->Benutzen();
  mTextur->ErzeugeMipMaps();
}

void Quarz_BlockGfx3D::BereiteAusgabeVor() {
  PruefeKontext();
  Quarz_ZeichenKontext* k = Kontext();
  if (!mInstanzPuffer) SetMaxInstanzen(512);
  if (mAtlasGeaendert) AktualisiereMips();
  if (!k || !gGemeinsam.mAnzahl || gGemeinsam.mKontext != k) return;
  const int p = (mFlags & FLAG_NORMALEN) ? 1 : 0;
  k->SetProgramm(gGemeinsam.mProgramm[p]);
  k->SetTextur(gGemeinsam.mTextur[p], gGemeinsam.mSampler, mTextur);
  // Without an atlas nothing is drawn (ZeichneInstanzen drops the queue), so no size divides.
  if (mAtlas.HatAtlas())
    k->SetProgrammKonstante(gGemeinsam.mQuellGroesse[p], 1.0f / static_cast<float>(mAtlas.mBreite),
                            1.0f / static_cast<float>(mAtlas.mHoehe), 0.0f, 1.0f);
  const float zielBreite = static_cast<float>(std::max<uint64_t>(k->mBereichBreite, 1));
  const float zielHoehe = static_cast<float>(std::max<uint64_t>(k->mBereichHoehe, 1));
  k->SetProgrammKonstante(gGemeinsam.mZielGroesse[p], 1.0f / zielBreite, 1.0f / zielHoehe, 0.0f, 1.0f);
  k->SetAlphaZustand(mAlphaZustand ? mAlphaZustand : gGemeinsam.mAlpha);
  k->SetTiefeZustand(nullptr);
  k->SetVertexBuffer(0, gGemeinsam.mQuad, 8);
  k->SetVertexBuffer(1, mInstanzPuffer, sizeof(TSpriteInstanz));
  k->SetIndexBuffer(gGemeinsam.mIndizes);
}

void Quarz_BlockGfx3D::ZeichneInstanzen() {
  Quarz_ZeichenKontext* k = Kontext();
  if (!k || !mInstanzPuffer || !mAtlas.HatAtlas() || !gGemeinsam.mAnzahl || gGemeinsam.mKontext != k) {
    // Without a buffer the rounds would take nothing and never end: the queue is dropped.
    if (!mWarteschlange.empty() && k && !mInstanzPuffer)
      gLog.Schreibe("!Quarz_BlockGfx3D::ZeichneInstanzen(): Kein Instanzpuffer, %zu Instanzen verworfen.",
                    mWarteschlange.size());
    mWarteschlange.clear();
    return;
  }
  for (size_t erste = 0; erste < mWarteschlange.size();) {
    const size_t anzahl = std::min<size_t>(mWarteschlange.size() - erste, mPufferInstanzen);
    TInitialInhalt inhalt{&mWarteschlange[erste], anzahl * sizeof(TSpriteInstanz), 0};
    mInstanzPuffer->SchreibeInhalt(&inhalt);
    k->ZeichneIndexInstanzen(0, 0, static_cast<uint32_t>(anzahl));
    erste += anzahl;
  }
  mWarteschlange.clear();
}

bool Quarz_BlockGfx3D::Laden(TSpeicher& puffer) {
  TSpriteAtlas atlas;
  atlas.mMaxKante = mAtlas.mMaxKante;
  if (!atlas.Laden(puffer)) return false;
  Uebernimm(std::move(atlas));
  return true;
}

void Quarz_BlockGfx3D::Uebernimm(TSpriteAtlas&& atlas) {
  const uint64_t maxKante = mAtlas.mMaxKante;
  mAtlas = std::move(atlas);
  mAtlas.mMaxKante = maxKante;
  mZentriert = mAtlas.mZentriert;
  mFlags = mAtlas.mFlags;
  SetMaxInstanzen(mAtlas.mMaxInstanzen);
  ErneuereTextur();
  // The loaded atlas has its content: its mips are made once now.
  AktualisiereMips();
}
