#include "spiel/darstellung/filter.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <utility>

#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "spiel/darstellung/filterverwaltung.h"

namespace Spiel {

namespace {

// Logs a fault of the pass and gives up on it.
[[noreturn]] void Scheitere(const char* meldung)
{
    gLog.Schreibe("%s", meldung);
    QUARZ_WIRF("Laden des Filters gescheitert", "Spiel::Filter::Filter");
}

// Blend factor ids of the four words an effect file may use; -1 for any other word.
int32_t BlendFaktor(const char* wort)
{
    if (!std::strcmp(wort, "null"))
        return 0;
    if (!std::strcmp(wort, "eins"))
        return 1;
    if (!std::strcmp(wort, "alpha"))
        return 2;
    if (!std::strcmp(wort, "invalpha"))
        return 4;
    return -1;
}

// The compiler's messages, one "!" line per line of text.
void LogMeldungen(const char* meldungen)
{
    if (!meldungen)
        return;
    const char* zeile = meldungen;
    while (*zeile)
    {
        const char* ende = std::strchr(zeile, '\n');
        const size_t laenge = ende ? static_cast<size_t>(ende - zeile) : std::strlen(zeile);
        if (laenge)
            gLog.Schreibe("!%.*s", static_cast<int>(laenge), zeile);
        zeile += laenge + (ende ? 1 : 0);
    }
}

// The text of a child element, or null when the child is missing or has no text.
const char* KindText(const TiXmlElement& element, const char* name)
{
    const TiXmlElement* kind = element.FirstChildElement(name);
    const char* text = kind ? kind->GetText() : nullptr;
    return text && *text ? text : nullptr;
}

}  // namespace

Filter::Filter(std::string name) : mName(std::move(name)) {}

Filter::Filter(const std::string& name, const TiXmlElement& element, const FilterVerwaltung& verwaltung)
    : mName(name)
{
    try
    {
        LadeAus(element, verwaltung);
    }
    catch (...)
    {
        // A destructor does not run for a half-built object: what was made goes here.
        GibFrei();
        throw;
    }
}

Filter::~Filter() { GibFrei(); }

Filter::Filter(Filter&& anderer) noexcept
    : mName(std::move(anderer.mName)), mEingaben(std::move(anderer.mEingaben)),
      mAusgabeName(std::move(anderer.mAusgabeName)), mTeiler(anderer.mTeiler),
      mAlphaZustand(std::exchange(anderer.mAlphaZustand, nullptr)),
      mVertexShaderQuelle(std::move(anderer.mVertexShaderQuelle)),
      mPixelShaderQuelle(std::move(anderer.mPixelShaderQuelle)),
      mVertexShader(std::exchange(anderer.mVertexShader, nullptr)),
      mPixelShader(std::exchange(anderer.mPixelShader, nullptr)),
      mProgramm(std::exchange(anderer.mProgramm, nullptr))
{
}

Filter& Filter::operator=(Filter&& anderer) noexcept
{
    if (this != &anderer)
    {
        GibFrei();
        mName = std::move(anderer.mName);
        mEingaben = std::move(anderer.mEingaben);
        mAusgabeName = std::move(anderer.mAusgabeName);
        mTeiler = anderer.mTeiler;
        mAlphaZustand = std::exchange(anderer.mAlphaZustand, nullptr);
        mVertexShaderQuelle = std::move(anderer.mVertexShaderQuelle);
        mPixelShaderQuelle = std::move(anderer.mPixelShaderQuelle);
        mVertexShader = std::exchange(anderer.mVertexShader, nullptr);
        mPixelShader = std::exchange(anderer.mPixelShader, nullptr);
        mProgramm = std::exchange(anderer.mProgramm, nullptr);
    }
    return *this;
}

void Filter::GibFrei()
{
    if (!mVertexShader && !mPixelShader && !mProgramm && !mAlphaZustand)
        return;
    if (Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext())
    {
        kontext->Freigeben(mVertexShader);
        kontext->Freigeben(mPixelShader);
        kontext->Freigeben(mProgramm);
        kontext->Freigeben(mAlphaZustand);
    }
    mVertexShader = nullptr;
    mPixelShader = nullptr;
    mProgramm = nullptr;
    mAlphaZustand = nullptr;
}

uint64_t Filter::LiesTeiler(const char* text)
{
    // atoi would read "-1" or "99999999999" into a huge unsigned divisor.
    while (std::isspace(static_cast<unsigned char>(*text)))
        ++text;
    if (*text == '+')
        ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text)))
        return 0;
    uint64_t wert = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text)
    {
        wert = wert * 10 + static_cast<uint64_t>(*text - '0');
        if (wert > kMaxTeiler)
            return 0;
    }
    return wert;
}

void Filter::LadeAus(const TiXmlElement& element, const FilterVerwaltung& verwaltung)
{
    LiesEingaben(element);
    LiesAusgabe(element);
    if (!Quarz_Screen3D::GetZeichenKontext())
        Scheitere("!Filter::LadeAus(...): Kein Zeichenkontext.");
    LiesBlending(element);
    if (element.FirstChildElement("alphatest"))
        gLog.Schreibe("?Filter::LadeAus(...): Element <alphatest> wird nicht mehr unterstützt.");
    UebersetzeShader(element);
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    mProgramm = kontext->ErzeugeProgramm(verwaltung.mQuadEingabe, mVertexShader, mPixelShader);
}

void Filter::LiesEingaben(const TiXmlElement& element)
{
    for (const TiXmlElement* e = element.FirstChildElement("eingabe"); e; e = e->NextSiblingElement("eingabe"))
    {
        const int i = static_cast<int>(mEingaben.size()) + 1;
        Eingabe eingabe;
        const char* name = e->Attribute("name");
        const char* sampler = e->Attribute("sampler");
        const char* konstante = e->Attribute("konstante");
        const char* koords = e->Attribute("koords");
        const char* filter = e->Attribute("filter");
        char meldung[256];
        if (!name)
        {
            std::snprintf(meldung, sizeof meldung,
                          "!Filter::LadeAus(...): %d. Eingabe muss einen Namen über \"name\" definieren.", i);
            Scheitere(meldung);
        }
        if (!sampler)
        {
            std::snprintf(meldung, sizeof meldung,
                          "!Filter::LadeAus(...): %d. Eingabe muss einen Textursampler über \"sampler\" definieren.",
                          i);
            Scheitere(meldung);
        }
        if (!konstante)
        {
            std::snprintf(meldung, sizeof meldung,
                          "!Filter::LadeAus(...): %d. Eingabe muss eine Shaderkonstante über \"konstante\" "
                          "definieren.",
                          i);
            Scheitere(meldung);
        }
        if (koords && std::strcmp(koords, "begrenzen") && std::strcmp(koords, "wiederholen"))
        {
            std::snprintf(meldung, sizeof meldung,
                          "!Filter::LadeAus(...): Ungültige Texkoord-Einstellung in der %d. Eingabe. Gültige Werte "
                          "sind \"begrenzen\" und \"wiederholen\".",
                          i);
            Scheitere(meldung);
        }
        if (filter && std::strcmp(filter, "punkt") && std::strcmp(filter, "linear"))
        {
            std::snprintf(meldung, sizeof meldung,
                          "!Filter::LadeAus(...): Ungültige Texturfilter-Einstellung in der %d. Eingabe. Gültige "
                          "Werte sind \"punkt\" und \"linear\".",
                          i);
            Scheitere(meldung);
        }
        eingabe.mBildName = name;
        eingabe.mSamplerName = sampler;
        eingabe.mKonstantenName = konstante;
        eingabe.mAdressCode = koords && !std::strcmp(koords, "wiederholen") ? kWiederholen : kBegrenzen;
        eingabe.mFilterCode = filter && !std::strcmp(filter, "linear") ? kLinear : kPunkt;
        mEingaben.push_back(std::move(eingabe));
    }
}

void Filter::LiesAusgabe(const TiXmlElement& element)
{
    const TiXmlElement* ausgabe = element.FirstChildElement("ausgabe");
    if (!ausgabe)
        return;
    const char* name = ausgabe->Attribute("name");
    if (!name)
        Scheitere("!Filter::LadeAus(...): Die Ausgabe muss einen Namen über \"name\" definieren.");
    mAusgabeName = name;
    const char* teiler = ausgabe->Attribute("teiler");
    if (mAusgabeName == "ergebnis" || !teiler)
        return;
    mTeiler = LiesTeiler(teiler);
    if (mTeiler == 0)
    {
        gLog.Schreibe("!Filter::LadeAus(...): Ungültige Angabe im Attribut \"teiler\" der Ausgabebild-Angabe.");
        mTeiler = 1;
    }
}

void Filter::LiesBlending(const TiXmlElement& element)
{
    const TiXmlElement* blending = element.FirstChildElement("alphablending");
    if (!blending)
        return;
    const char* quelle = blending->Attribute("quelle");
    const char* ziel = blending->Attribute("ziel");
    const int32_t quellFaktor = quelle ? BlendFaktor(quelle) : 1;
    const int32_t zielFaktor = ziel ? BlendFaktor(ziel) : 0;
    if (quellFaktor < 0)
        Scheitere("!Filter::LadeAus(...): Ungültige AlphaBlending-Angabe im Attribut \"quelle\". Gültige Werte sind "
                  "\"eins\", \"null\", \"alpha\" und \"invalpha\".");
    if (zielFaktor < 0)
        Scheitere("!Filter::LadeAus(...): Ungültige AlphaBlending-Angabe im Attribut \"ziel\". Gültige Werte sind "
                  "\"eins\", \"null\", \"alpha\" und \"invalpha\".");
    // One and zero is no blending: the context's default state does that already.
    if (quellFaktor != 1 || zielFaktor != 0)
        mAlphaZustand = Quarz_Screen3D::GetZeichenKontext()->ErzeugeAlphaZustand(
            Quarz_AlphaZustandBeschr(0, quellFaktor, zielFaktor));
}

void Filter::UebersetzeShader(const TiXmlElement& element)
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    const char* vs = KindText(element, "vertexShader");
    if (!vs)
        Scheitere("!Filter::LadeAus(...): Filter muss VertexShader-Code definieren.");
    mVertexShaderQuelle = vs;
    mVertexShader = kontext->ErzeugeVertexShader();
    if (!mVertexShader->UebersetzeAusString(mVertexShaderQuelle.c_str(), {}, true))
    {
        gLog.Schreibe("!Filter::LadeAus(...): Fehler beim Kompilieren des VertexShaders.");
        LogMeldungen(mVertexShader->GetMeldungen());
        kontext->Freigeben(mVertexShader);
        mVertexShader = nullptr;
        QUARZ_WIRF("Laden des Filters gescheitert", "Spiel::Filter::Filter");
    }
    const char* ps = KindText(element, "pixelShader");
    if (!ps)
        Scheitere("!Filter::LadeAus(...): Filter muss ein PixelShader-Skript definieren.");
    mPixelShaderQuelle = ps;
    mPixelShader = kontext->ErzeugePixelShader();
    if (!mPixelShader->UebersetzeAusString(mPixelShaderQuelle.c_str(), {}, true))
    {
        gLog.Schreibe("!Filter::LadeAus(...): Fehler beim Kompilieren des PixelShaders.");
        LogMeldungen(mPixelShader->GetMeldungen());
        kontext->Freigeben(mPixelShader);
        mPixelShader = nullptr;
        QUARZ_WIRF("Laden des Filters gescheitert", "Spiel::Filter::Filter");
    }
}

}  // namespace Spiel
