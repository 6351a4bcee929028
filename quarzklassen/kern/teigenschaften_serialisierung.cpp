#include "quarzklassen/kern/teigenschaften_serialisierung.h"

#include <string>

#include <boost/lexical_cast.hpp>
#include <tinyxml.h>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"
#include "quarzklassen/kern/xmlwaechter.h"

namespace
{
const char* const kDatei = Quarz_DateiName(__FILE__);
} // namespace

void TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::string& pfad)
{
    LadeEigenschaftenAusXml(wurzel, WandleUtf8NachUtf32(pfad));
}

void TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::wstring& pfad)
{
    const std::string name = WandleUtf32NachUtf8(pfad);
    TSpeicher inhalt;
    if (!inhalt.LadeDatei(pfad, 0))
    {
        // Missing, a folder, or not readable: the exception alone would not say which file.
        gLog.Schreibe("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"%s\" fehlt oder ist keine lesbare "
                      "Datei, Datei nicht geladen.",
                      name.c_str());
        NichtGeladen();
    }
    LadeAusText(wurzel, std::string_view(reinterpret_cast<const char*>(inhalt.Daten()), inhalt.Groesse()), name);
}

void TEigenschaften_Serialisierung::LadeEigenschaftenAusText(TEigenschaften& wurzel, std::string_view text)
{
    LadeAusText(wurzel, text, std::string());
}

void TEigenschaften_Serialisierung::LadeAusText(TEigenschaften& wurzel, std::string_view text, const std::string& name)
{
    TiXmlDocument dokument;
    const std::string grund = LiesXmlBewacht(dokument, text, HoechsteTiefe, TIXML_DEFAULT_ENCODING);
    if (!grund.empty())
    {
        // The reason first: the exception names only the loader.
        if (name.empty())
            gLog.Schreibe("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: %s, Datei nicht geladen.",
                          grund.c_str());
        else
            gLog.Schreibe("!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"%s\": %s, Datei nicht geladen.",
                          name.c_str(), grund.c_str());
        NichtGeladen();
    }
    const TiXmlElement* element = dokument.FirstChildElement();
    if (element)
        LadeElement(wurzel, *element, std::string());
}

void TEigenschaften_Serialisierung::NichtGeladen()
{
    Quarz_Ausnahme::Wirf("Datei nicht geladen", "TEigenschaften_Serialisierung::LadeEigenschaftenAusXml", kDatei, 167);
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
