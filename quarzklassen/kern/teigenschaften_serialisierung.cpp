#include "quarzklassen/kern/teigenschaften_serialisierung.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <boost/lexical_cast.hpp>
#include <tinyxml.h>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"
#include "quarzklassen/kern/xmltiefe.h"

namespace
{
const char* const kDatei = Quarz_DateiName(__FILE__);

// Files written on Windows end their lines in CR LF, old Mac files in CR: the parser
// sees LF only, as it does when it reads a file itself.
void NurLF(TSpeicher& inhalt)
{
    uint8_t* daten = inhalt.Daten();
    for (uint64_t i = 0; i < inhalt.Groesse(); ++i)
        if (daten[i] == '\r')
            daten[i] = '\n';
}
} // namespace

bool TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::string& pfad)
{
    return LadeEigenschaftenAusXml(wurzel, WandleUtf8NachUtf32(pfad));
}

bool TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::wstring& pfad)
{
    TSpeicher inhalt;
    if (!inhalt.LadeDatei(pfad, 1))
        Quarz_Ausnahme::Wirf("Datei nicht geladen", "TEigenschaften_Serialisierung::LadeEigenschaftenAusXml", kDatei,
                             167);
    NurLF(inhalt);
    // LadeDatei leaves zero bytes behind the content: the text is terminated. A zero byte
    // inside the file ends the text there, as it would for the parser reading the file.
    return LadeEigenschaftenAusText(wurzel, reinterpret_cast<const char*>(inhalt.Daten()));
}

bool TEigenschaften_Serialisierung::LadeEigenschaftenAusText(TEigenschaften& wurzel, const char* text)
{
    if (XmlTiefe(text) > HoechsteTiefe)
    {
        gLog.Schreibe("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: Elemente tiefer als %d Ebenen "
                      "verschachtelt, Datei nicht geladen.",
                      HoechsteTiefe);
        return false;
    }
    // The parser steps over a UTF-8 sequence by the length its lead byte announces, even when
    // the text ends inside it; zero bytes behind the terminator stop it there instead of in
    // foreign memory.
    std::string gepolstert(text);
    gepolstert.append(16, '\0');
    TiXmlDocument dokument;
    dokument.Parse(gepolstert.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (dokument.Error())
    {
        gLog.Schreibe("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: %s (Zeile %d, Spalte %d), Datei "
                      "nicht geladen.",
                      dokument.ErrorDesc(), dokument.ErrorRow(), dokument.ErrorCol());
        return false;
    }
    const TiXmlElement* element = dokument.FirstChildElement();
    if (element)
        LadeElement(wurzel, *element, std::string());
    return true;
}

void TEigenschaften_Serialisierung::LadeElement(TEigenschaften& knoten, const TiXmlElement& element)
{
    LadeElement(knoten, element, std::string());
}

void TEigenschaften_Serialisierung::LadeElement(TEigenschaften& knoten, const TiXmlElement& element,
                                                const std::string& schluessel)
{
    const char* typ = element.Attribute("typ");
    const TiXmlNode* erstes = element.FirstChild();
    if (erstes && erstes->ToText())
    {
        const std::string text = erstes->Value();
        try
        {
            knoten.SetzeWert(typ ? typ : "", text);
        }
        catch (const boost::bad_lexical_cast&)
        {
            // Bad data drops the value, never the game.
            gLog.Schreibe("!TEigenschaften_Serialisierung::LadeElement: \"%s\" ist kein Wert vom Typ \"%s\" (Schlüssel "
                          "\"%s\").",
                          text.c_str(), typ ? typ : "float", schluessel.c_str());
        }
    }
    for (const TiXmlElement* kind = element.FirstChildElement(); kind; kind = kind->NextSiblingElement())
    {
        const std::string name = kind->ValueStr();
        LadeElement(knoten.Kind(name), *kind, schluessel.empty() ? name : schluessel + "." + name);
    }
}
