#include "spiel/darstellung/szenenrenderer.h"

#include <algorithm>
#include <cmath>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_tiefezustand.h"
#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/shader/quarz_shadertools.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/grafik/datenpfad.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/welt/szene.h"

namespace Spiel {

namespace {

constexpr uint32_t kVertexBytes = 40;

// cos and sin of the light's two fixed angles: 1.3 about x, 0.3 about y.
constexpr float kCosX = 0.2674989f, kSinX = 0.9635582f;
constexpr float kCosY = 0.9553365f, kSinY = 0.2955202f;

// The main pass's light colours and its clear colour (red 26, green 77, blue 128).
constexpr float kLichtFarbe[4] = {1.5f, 1.3f, 0.6f, 1.0f};
constexpr float kUmFarbe[4] = {0.3f, 0.4f, 0.6f, 1.0f};
constexpr float kHimmel[4] = {26.0f / 255.0f, 77.0f / 255.0f, 128.0f / 255.0f, 0.0f};

// A · B for matrices applied to column vectors.
TMatrix4 Produkt(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 ergebnis;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float summe = 0.0f;
            for (int k = 0; k < 4; ++k)
                summe += a(r, k) * b(k, c);
            ergebnis(r, c) = summe;
        }
    return ergebnis;
}

// Rows (1, 0, 0), (0, c, s), (0, -s, c).
TMatrix4 DrehungX(float c, float s) { return TMatrix4({1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1}); }
// Rows (c, 0, -s), (0, 1, 0), (s, 0, c).
TMatrix4 DrehungY(float c, float s) { return TMatrix4({c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1}); }

Quarz_ZeichenKontext& Kontext() { return *Quarz_Screen3D::GetZeichenKontext(); }

}  // namespace

SzenenRenderer::SzenenRenderer() : mFilterVerwaltung(DatenOrdner())
{
    Quarz_ZeichenKontext& kontext = Kontext();
    try
    {
        mVertexEingabe = kontext.ErzeugeVertexEingabe();
        mVertexEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT3, 0, false);   // position
        mVertexEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT3, 12, false);  // normal
        mVertexEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT4, 24, false);  // colour
        mVertexEingabe->Beenden();
        LadeShaderpaar("start", mStartVS, mStartPS, mStartProgramm);
        LadeShaderpaar("schatten", mSchattenVS, mSchattenPS, mSchattenProgramm);
        mStartKonstanten = SucheKonstanten(mStartProgramm);
        mSchattenKonstanten = SucheKonstanten(mSchattenProgramm);
        mSchattenTextur = kontext.ErzeugeTextur(kSchattenGroesse, kSchattenGroesse, 1, kZielFlags, nullptr);
        Quarz_SamplerBeschr sampler;
        sampler.mFilter = 5;     // linear minification and magnification
        sampler.mAdresse = 21;   // clamp on U, V, W
        sampler.mMaxAnisotropie = 16;
        sampler.mRand[3] = 1.0f;
        mSchattenSampler = kontext.ErzeugeSampler(sampler);
        Quarz_TiefeZustandBeschr tiefe;
        tiefe.mTest = 1;
        tiefe.mSchreiben = 1;
        tiefe.mVergleich = 2;
        mTiefeZustand = kontext.ErzeugeTiefeZustand(tiefe);
    }
    catch (...)
    {
        // No destructor runs for a half-built renderer: what was made goes here.
        GibFrei();
        throw;
    }
}

SzenenRenderer::~SzenenRenderer() { GibFrei(); }

void SzenenRenderer::GibFrei()
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    if (!kontext)
        return;
    Quarz_BasisObjekt* objekte[] = {mSzenenZiel,     mSzenenTextur, mSchattenZiel,  mSchattenTextur, mSchattenSampler,
                                    mZBuffer,        mTiefeZustand, mVertexEingabe, mStartVS,        mSchattenVS,
                                    mStartPS,        mSchattenPS,   mStartProgramm, mSchattenProgramm};
    for (Quarz_BasisObjekt* objekt : objekte)
        kontext->Freigeben(objekt);
    mSzenenZiel = nullptr;
    mSzenenTextur = nullptr;
    mSchattenZiel = nullptr;
    mSchattenTextur = nullptr;
    mSchattenSampler = nullptr;
    mZBuffer = nullptr;
    mTiefeZustand = nullptr;
    mVertexEingabe = nullptr;
    mStartVS = mSchattenVS = nullptr;
    mStartPS = mSchattenPS = nullptr;
    mStartProgramm = mSchattenProgramm = nullptr;
}

void SzenenRenderer::LadeShaderpaar(const std::string& name, Quarz_VertexShader*& vs, Quarz_PixelShader*& ps,
                                    Quarz_Programm*& programm)
{
    Quarz_ZeichenKontext& kontext = Kontext();
    const std::wstring pfad = DatenDatei(WandleUtf8NachUtf32(name));
    Quarz_VertexShader* neuVS = nullptr;
    Quarz_PixelShader* neuPS = nullptr;
    try
    {
        neuVS = Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(pfad + L".vs", {});
        // A shader that did not compile would draw nothing: the game cannot run without it.
        if (!neuVS || neuVS->mZustand != Quarz_BasisObjekt::VORHANDEN)
            QUARZ_WIRF("VertexShader nicht übersetzbar", "Spiel::SzenenRenderer::LadeShaderpaar");
        neuPS = Quarz_ShaderTools::ErzeugePixelShaderAusDatei(pfad + L".ps", {});
        if (!neuPS || neuPS->mZustand != Quarz_BasisObjekt::VORHANDEN)
            QUARZ_WIRF("PixelShader nicht übersetzbar", "Spiel::SzenenRenderer::LadeShaderpaar");
    }
    catch (...)
    {
        kontext.Freigeben(neuVS);
        kontext.Freigeben(neuPS);
        throw;
    }
    vs = neuVS;
    ps = neuPS;
    programm = kontext.ErzeugeProgramm(mVertexEingabe, vs, ps);
}

SzenenRenderer::Konstanten SzenenRenderer::SucheKonstanten(const Quarz_Programm* programm)
{
    Konstanten k;
    k.mWelt = programm->GetKonstantenIndex("WeltMatrix");
    k.mSicht = programm->GetKonstantenIndex("SichtMatrix");
    k.mProj = programm->GetKonstantenIndex("ProjMatrix");
    k.mLichtTransform = programm->GetKonstantenIndex("gLichtTransform");
    k.mLichtRichtung = programm->GetKonstantenIndex("gLichtRichtung");
    k.mLichtFarbe = programm->GetKonstantenIndex("gLichtFarbe");
    k.mUmFarbe = programm->GetKonstantenIndex("gUmFarbe");
    k.mSchattenSampler = programm->GetSamplerIndex("texSchatten");
    return k;
}

TMatrix4 SzenenRenderer::LichtSicht(const BVektor<float>& ziel, float abstand)
{
    const TMatrix4 drehung = Produkt(DrehungY(kCosY, kSinY), DrehungX(kCosX, kSinX));
    return Produkt(TMatrix4::Verschiebung(0.0f, 0.0f, abstand),
                   Produkt(drehung, TMatrix4::Verschiebung(-ziel.x, -ziel.y, -ziel.z)));
}

TMatrix4 SzenenRenderer::LichtProjektion(float abstand)
{
    return TMatrix4({0.8f / abstand, 0, 0, 0, 0, 0.002f, 0, 0, 0, 0, 0.5f / abstand, 0, 0, 0, 0, 1});
}

TMatrix4 SzenenRenderer::KameraSicht(const BVektor<float>& ziel, float abstand, float neigung)
{
    // Ry(0) is the identity: the camera never turns about the vertical.
    return Produkt(TMatrix4::Verschiebung(0.0f, 0.0f, abstand),
                   Produkt(DrehungX(std::cos(neigung), std::sin(neigung)),
                           TMatrix4::Verschiebung(-ziel.x, -ziel.y, -ziel.z)));
}

TMatrix4 SzenenRenderer::KameraProjektion(uint64_t breite, uint64_t hoehe)
{
    const float f = 1.4616959f;  // 1 / tan 0.6
    const float y = -f * static_cast<float>(breite) / static_cast<float>(std::max<uint64_t>(hoehe, 1));
    return TMatrix4({f, 0, 0, 0, 0, y, 0, 0, 0, 0, 1.0001f, -0.10001f, 0, 0, 1, 0});
}

BVektor<float> SzenenRenderer::LichtRichtung(const TMatrix4& lichtSicht)
{
    return BVektor<float>(lichtSicht(2, 0), lichtSicht(2, 1), lichtSicht(2, 2));
}

void SzenenRenderer::ErzeugeZiele(uint64_t breite, uint64_t hoehe)
{
    Quarz_ZeichenKontext& kontext = Kontext();
    kontext.Freigeben(mSzenenZiel);
    kontext.Freigeben(mSzenenTextur);
    kontext.Freigeben(mSchattenZiel);
    kontext.Freigeben(mZBuffer);
    // One depth buffer serves both targets: as large as the larger of each side.
    mZBuffer = kontext.ErzeugeZBuffer(std::max(breite, kSchattenGroesse), std::max(hoehe, kSchattenGroesse));
    mSchattenZiel = kontext.ErzeugeRenderziel(Quarz_RenderzielBeschr(mSchattenTextur, mZBuffer));
    mSzenenTextur = kontext.ErzeugeTextur(breite, hoehe, 1, kZielFlags, nullptr);
    mSzenenZiel = kontext.ErzeugeRenderziel(Quarz_RenderzielBeschr(mSzenenTextur, mZBuffer));
}

void SzenenRenderer::Zeichne(const Szene& szene, const BVektor<float>& ziel, float abstand, float neigung,
                             FilterSatz& filter)
{
    Quarz_ZeichenKontext& kontext = Kontext();
    const uint64_t breite = kontext.BildschirmBreite(), hoehe = kontext.BildschirmHoehe();
    if (!mSzenenTextur || mSzenenTextur->mBreite != breite || mSzenenTextur->mHoehe != hoehe)
        ErzeugeZiele(breite, hoehe);

    kontext.SetRenderZiel(mSchattenZiel);
    kontext.SetTiefeZustand(mTiefeZustand);
    kontext.SetAlphaZustand(nullptr);
    kontext.SetRueckseite(0);
    kontext.Leeren(3, 0.0f, 0.0f, 0.0f, 0.0f);
    const TMatrix4 lichtSicht = LichtSicht(ziel, abstand);
    mLichtRichtung = LichtRichtung(lichtSicht);
    mLichtTransform = Produkt(LichtProjektion(abstand), lichtSicht);
    ZeichnePass(szene, true, mLichtTransform, TMatrix4::Einheit());

    kontext.SetRenderZiel(mSzenenZiel);
    kontext.SetTiefeZustand(mTiefeZustand);
    kontext.SetRueckseite(2);
    kontext.Leeren(3, kHimmel[0], kHimmel[1], kHimmel[2], kHimmel[3]);
    ZeichnePass(szene, false, KameraSicht(ziel, abstand, neigung), KameraProjektion(breite, hoehe));

    FilterSatz::Zielangabe zielangabe;
    zielangabe.mX = kontext.mBereichX;
    zielangabe.mY = kontext.mBereichY;
    zielangabe.mBreite = kontext.mBereichBreite;
    zielangabe.mHoehe = kontext.mBereichHoehe;
    filter.Anwenden(mSzenenTextur, zielangabe, mFilterVerwaltung.Quad());
}

void SzenenRenderer::ZeichnePass(const Szene& szene, bool schatten, const TMatrix4& sicht,
                                 const TMatrix4& projektion)
{
    Quarz_ZeichenKontext& kontext = Kontext();
    const Konstanten& k = schatten ? mSchattenKonstanten : mStartKonstanten;
    kontext.SetProgramm(schatten ? mSchattenProgramm : mStartProgramm);
    if (!schatten)
    {
        kontext.SetProgrammKonstante(k.mLichtTransform, mLichtTransform);
        kontext.SetProgrammKonstante(k.mLichtRichtung, mLichtRichtung.x, mLichtRichtung.y, mLichtRichtung.z, 0.0f);
        kontext.SetProgrammKonstante(k.mLichtFarbe, kLichtFarbe[0], kLichtFarbe[1], kLichtFarbe[2], kLichtFarbe[3]);
        kontext.SetProgrammKonstante(k.mUmFarbe, kUmFarbe[0], kUmFarbe[1], kUmFarbe[2], kUmFarbe[3]);
        kontext.SetTextur(k.mSchattenSampler, mSchattenSampler, mSchattenTextur);
    }
    kontext.SetProgrammKonstante(k.mSicht, sicht);
    kontext.SetProgrammKonstante(k.mProj, projektion);
    for (const RenderInstanz& instanz : szene.mInstanzen)
    {
        // An instance of an unknown model has no buffers (and no triangles): nothing to draw.
        if (!instanz.mVertexPuffer || !instanz.mIndexPuffer || instanz.mDreiecke == 0)
            continue;
        kontext.SetProgrammKonstante(k.mWelt, instanz.mWeltMatrix);
        kontext.SetVertexBuffer(0, instanz.mVertexPuffer, kVertexBytes);
        kontext.SetIndexBuffer(instanz.mIndexPuffer);
        kontext.ZeichneIndexElemente(0, static_cast<uint32_t>(instanz.mDreiecke));
    }
}

}  // namespace Spiel
