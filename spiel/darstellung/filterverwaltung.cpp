#include "spiel/darstellung/filterverwaltung.h"

#include <tinyxml.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "quarzklassen/grafik/geraet/quarz_indexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_vertexbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_sampler.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"
#include "quarzklassen/kern/xmlwaechter.h"

namespace {

const std::string kPraefix = "filter.";
const std::string kSuffix = ".xml";

// Deeper files are refused before the parser, which recurses per level, sees them.
constexpr int kHoechsteTiefe = 256;

// The quad in clip space with texture coordinates in texture row order (x, y, z, w, u, v).
const float kQuadVertices[4][6] = {
    {-1.0f, -1.0f, 0.1f, 1.0f, 0.0f, 1.0f},
    {1.0f, -1.0f, 0.1f, 1.0f, 1.0f, 1.0f},
    {-1.0f, 1.0f, 0.1f, 1.0f, 0.0f, 0.0f},
    {1.0f, 1.0f, 0.1f, 1.0f, 1.0f, 0.0f},
};
const uint16_t kQuadIndizes[6] = {0, 1, 2, 1, 3, 2};

// The pass-through copy: the frame texel for texel onto the destination (the back buffer has
// no alpha, so none is carried).
const char* const kDurchreichVS = R"(
float4 gPosOffset;
float4 gBildGroesse;
$rein float4 pos;
$rein float2 uv;
$raus float4 position;
$raus float2 tex;
$main()
{
	// gPosOffset is half a pixel in units of the region's size; clip space spans two of them.
	position = float4( pos.xy + 2.0f * gPosOffset.xy * pos.w, pos.zw);
	tex = uv * gBildGroesse.xy;
}
)";
const char* const kDurchreichPS = R"(
DEF_SAMPLER_2D( texBild);
$rein float2 tex;
$raus float4 farbe;
$main()
{
	farbe = float4( SAMPLE_2D( texBild, tex).rgb, 1.0f);
}
)";

}  // namespace

FilterVerwaltung::FilterVerwaltung(const std::wstring& ordner) : mOrdner(ordner)
{
    ErzeugeQuad();
    ErzeugeDurchreichen();
    LadeEffekte();
}

FilterVerwaltung::~FilterVerwaltung()
{
    mEffekte.clear();
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    if (!kontext)
        return;
    kontext->Freigeben(mDurchreichen);
    kontext->Freigeben(mDurchreichVS);
    kontext->Freigeben(mDurchreichPS);
    kontext->Freigeben(mQuadVertices);
    kontext->Freigeben(mQuadEingabe);
    kontext->Freigeben(mQuadIndizes);
    for (Quarz_Sampler* sampler : mSampler)
        kontext->Freigeben(sampler);
}

void FilterVerwaltung::ErzeugeQuad()
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    if (!kontext)
    {
        gLog.Schreibe("!FilterVerwaltung::FilterVerwaltung(): Kein Zeichenkontext, Filter bleiben ohne Wirkung.");
        return;
    }
    mQuadEingabe = kontext->ErzeugeVertexEingabe();
    mQuadEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT4, 0, false);
    mQuadEingabe->AddKanal(0, Quarz_VertexEingabe::KANAL_FLOAT2, 16, false);
    mQuadEingabe->Beenden();
    TInitialInhalt vertices{const_cast<float*>(&kQuadVertices[0][0]), sizeof(kQuadVertices), 0};
    mQuadVertices = kontext->ErzeugeVertexBuffer(sizeof(kQuadVertices), 0, &vertices);
    TInitialInhalt indizes{const_cast<uint16_t*>(kQuadIndizes), sizeof(kQuadIndizes), 0};
    mQuadIndizes = kontext->ErzeugeIndexBuffer(0, Quarz_IndexBuffer::INDEX_16, &indizes);
    // Point or linear filtering, wrapping or clamping: [0] (0, 0), [1] (0, 21), [2] (21, 0), [3] (21, 21).
    for (int i = 0; i < 4; ++i)
    {
        Quarz_SamplerBeschr beschr;
        beschr.mFilter = (i & 2) ? 21 : 0;
        beschr.mAdresse = (i & 1) ? 21 : 0;
        beschr.mMaxAnisotropie = 16;
        beschr.mRand[3] = 1.0f;
        mSampler[i] = kontext->ErzeugeSampler(beschr);
    }
}

void FilterVerwaltung::ErzeugeDurchreichen()
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    if (!kontext)
        return;
    mDurchreichVS = kontext->ErzeugeVertexShader();
    mDurchreichPS = kontext->ErzeugePixelShader();
    if (mDurchreichVS->UebersetzeAusString(kDurchreichVS, {}, false) &&
        mDurchreichPS->UebersetzeAusString(kDurchreichPS, {}, false))
        mDurchreichen = kontext->ErzeugeProgramm(mQuadEingabe, mDurchreichVS, mDurchreichPS);
    else
        gLog.Schreibe("!FilterVerwaltung::FilterVerwaltung(): Das eingebaute Kopierprogramm ließ sich nicht "
                      "übersetzen.");
}

std::vector<std::wstring> FilterVerwaltung::EffektDateien(const std::wstring& ordner)
{
    namespace fs = std::filesystem;
    std::vector<std::wstring> dateien;
    const std::string ordnerUtf8 = WandleUtf32NachUtf8(ordner);
    std::error_code fehler;
    fs::directory_iterator eintrag(fs::path(ordnerUtf8), fehler);
    if (fehler)
    {
        gLog.Schreibe("!FilterVerwaltung::FilterVerwaltung(): Ordner \"%s\" ist nicht lesbar - %s.",
                      ordnerUtf8.c_str(), fehler.message().c_str());
        return dateien;
    }
    std::vector<std::string> namen;
    for (const fs::directory_iterator ende; eintrag != ende; eintrag.increment(fehler))
    {
        std::error_code artFehler;
        if (!eintrag->is_regular_file(artFehler))
            continue;
        const std::string name = eintrag->path().filename().string();
        // "filter.xml" passes both tests with the dot shared but leaves no name to cut.
        if (name.size() < kPraefix.size() + kSuffix.size())
            continue;
        if (name.compare(0, kPraefix.size(), kPraefix) == 0 &&
            name.compare(name.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0)
            namen.push_back(name);
    }
    if (fehler)
        gLog.Schreibe("!FilterVerwaltung::FilterVerwaltung(): Ordner \"%s\" ist nicht vollständig lesbar - %s.",
                      ordnerUtf8.c_str(), fehler.message().c_str());
    // The listing comes in no particular order; loading follows the names.
    std::sort(namen.begin(), namen.end());
    for (const std::string& name : namen)
        dateien.push_back(WandleUtf8NachUtf32((fs::path(ordnerUtf8) / name).string()));
    return dateien;
}

void FilterVerwaltung::LadeEffekte()
{
    const std::vector<std::wstring> dateien = EffektDateien(mOrdner);
    // Filter sets keep pointers to the effects: the list must never move once filled.
    mEffekte.reserve(dateien.size());
    for (const std::wstring& datei : dateien)
        InternLadeEffekt(datei);
}

void FilterVerwaltung::InternLadeEffekt(const std::wstring& pfad)
{
    const std::string pfadUtf8 = WandleUtf32NachUtf8(pfad);
    const std::string dateiName = std::filesystem::path(pfadUtf8).filename().string();
    TSpeicher inhalt;
    if (!inhalt.LadeDatei(pfad, 0))
    {
        gLog.Schreibe("!FilterVerwaltung::InternLadeEffekt(): Datei \"%s\" ist nicht lesbar.", dateiName.c_str());
        gLog.Schreibe("!Zeile %d: %s", 0, "Failed to open file");
        return;
    }
    // LadeDatei leaves zero bytes behind the content; a zero byte inside ends the text.
    LadeEffektAusText(reinterpret_cast<const char*>(inhalt.Daten()), pfadUtf8);
}

void FilterVerwaltung::LadeEffektAusText(const char* text, const std::string& pfadUtf8)
{
    const std::string dateiName = std::filesystem::path(pfadUtf8).filename().string();
    TiXmlDocument dokument;
    const std::string grund = LiesXmlBewacht(dokument, text, kHoechsteTiefe, TIXML_ENCODING_UTF8);
    if (!grund.empty())
    {
        gLog.Schreibe("!FilterVerwaltung::InternLadeEffekt(): Datei \"%s\" ist nicht lesbar.", dateiName.c_str());
        // A file the guard refuses never reached the parser: its reason stands in for the parser's.
        if (dokument.Error())
            gLog.Schreibe("!Zeile %d: %s", dokument.ErrorRow(), dokument.ErrorDesc());
        else
            gLog.Schreibe("!Zeile %d: %s", 0, grund.c_str());
        return;
    }
    const TiXmlElement* element = dokument.FirstChildElement();
    if (!element)
    {
        gLog.Schreibe("!FilterVerwaltung::InternLadeEffekt(): Datei \"%s\" ist nicht lesbar.", pfadUtf8.c_str());
        return;
    }
    if (dateiName.size() < kPraefix.size() + kSuffix.size())
        return;
    const std::string name = dateiName.substr(kPraefix.size(), dateiName.size() - kPraefix.size() - kSuffix.size());
    FilterEffekt effekt;
    try
    {
        effekt.LadeAus(name, *element, *this);
    }
    catch (const Quarz_Ausnahme& ausnahme)
    {
        gLog.Schreibe("?FilterVerwaltung::InternLadeEffekt(): Laden des Filtereffekts \"%s\" ist gescheitert - "
                      "\"%s\".",
                      pfadUtf8.c_str(), ausnahme.mMeldung.c_str());
        return;
    }
    // Filter sets may point into the list: it is reserved for the folder's files and must not
    // grow beyond that. (Moving the effect keeps its passes where they are.)
    if (mEffekte.size() == mEffekte.capacity())
    {
        gLog.Schreibe("!FilterVerwaltung::InternLadeEffekt(): Kein Platz für den Filtereffekt aus \"%s\".",
                      pfadUtf8.c_str());
        return;
    }
    mEffekte.push_back(std::move(effekt));
}

FilterEffekt* FilterVerwaltung::SucheEffekt(const std::string& name)
{
    for (FilterEffekt& effekt : mEffekte)
        if (effekt.mName == name)
            return &effekt;
    return nullptr;
}

FilterEffekt* FilterVerwaltung::SucheAktivierbarenEffekt(const std::string& name)
{
    FilterEffekt* effekt = SucheEffekt(name);
    if (!effekt)
    {
        gLog.Schreibe("!FilterVerwaltung: Kein Filtereffekt \"%s\" geladen (Datei \"filter.%s.xml\" im Ordner "
                      "\"%s\"). Das Bild wird ohne ihn gezeigt.",
                      name.c_str(), name.c_str(), WandleUtf32NachUtf8(mOrdner).c_str());
        return nullptr;
    }
    if (effekt->mFilter.empty())
    {
        gLog.Schreibe("!FilterVerwaltung: Filtereffekt \"%s\" hat keinen ladbaren Filter. Das Bild wird ohne ihn "
                      "gezeigt.",
                      name.c_str());
        return nullptr;
    }
    return effekt;
}

FilterSatz::QuadResourcen FilterVerwaltung::Quad() const
{
    FilterSatz::QuadResourcen quad;
    quad.mVertices = mQuadVertices;
    quad.mIndizes = mQuadIndizes;
    std::copy(std::begin(mSampler), std::end(mSampler), quad.mSampler);
    quad.mDurchreichen = mDurchreichen;
    return quad;
}
