#include "spiel/darstellung/filtereffekt.h"

#include <tinyxml.h>

#include <cassert>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"

float LiesFloatAttribut(const TiXmlElement& element, const char* name, float standard)
{
    float wert = standard;
    if (element.QueryFloatAttribute(name, &wert) != TIXML_SUCCESS)
        return standard;
    return wert;
}

void FilterEffekt::LadeAus(const std::string& name, const TiXmlElement& element, const FilterVerwaltung& verwaltung)
{
    mName = name;
    const TiXmlElement* beschreibung = element.FirstChildElement("beschreibung");
    const char* text = beschreibung ? beschreibung->GetText() : nullptr;
    mBeschreibung = text ? text : "";
    LadeFilter(element, verwaltung);
    LadeTexturen(element);
    LadeParameter(element);
}

void FilterEffekt::LadeFilter(const TiXmlElement& element, const FilterVerwaltung& verwaltung)
{
    size_t anzahl = 0;
    for (const TiXmlElement* f = element.FirstChildElement("filter"); f; f = f->NextSiblingElement("filter"))
        ++anzahl;
    // Filter sets keep pointers to the passes: the list must never move once filled.
    mFilter.reserve(anzahl);
    for (const TiXmlElement* f = element.FirstChildElement("filter"); f; f = f->NextSiblingElement("filter"))
    {
        const char* attribut = f->Attribute("name");
        const std::string filterName =
            attribut ? std::string(attribut) : "Filter" + std::to_string(mFilter.size() + 1);
        assert(mFilter.size() < mFilter.capacity());
        try
        {
            mFilter.emplace_back(filterName, *f, verwaltung);
        }
        catch (const Quarz_Ausnahme& ausnahme)
        {
            gLog.Schreibe("!FilterEffekt::LadeAus(...): Fehler beim Laden des %d. Filters in Effekt \"%s\" - %s.",
                          static_cast<int>(mFilter.size()), mName.c_str(), ausnahme.mMeldung.c_str());
        }
    }
}

void FilterEffekt::LadeTexturen(const TiXmlElement& element)
{
    for (const TiXmlElement* t = element.FirstChildElement("textur"); t; t = t->NextSiblingElement("textur"))
    {
        const char* name = t->Attribute("name");
        if (!name)
        {
            gLog.Schreibe("!FilterEffekt::LadeAus(...): Textureintrag in Filtereffekt \"%s\" hat kein "
                          "\"name\"-Atribut.",
                          mName.c_str());
            continue;
        }
        const char* beschreibung = t->Attribute("beschreibung");
        const char* standard = t->Attribute("standard");
        mTexturen.push_back({name, beschreibung ? beschreibung : "", standard ? standard : ""});
    }
}

void FilterEffekt::LadeParameter(const TiXmlElement& element)
{
    for (const TiXmlElement* p = element.FirstChildElement("param"); p; p = p->NextSiblingElement("param"))
    {
        const int k = static_cast<int>(mParameter.size()) + 1;
        const char* name = p->Attribute("name");
        if (!name)
        {
            gLog.Schreibe("!FilterEffekt::LadeAus(...): Parameter in Filtereffekt \"%s\" hat kein \"name\"-Atribut.",
                          mName.c_str());
            continue;
        }
        const TiXmlElement* konstante = p->FirstChildElement("konstante");
        if (!konstante)
        {
            gLog.Schreibe("!FilterEffekt::LadeAus(...): Der %d. Parameter in Filtereffekt \"%s\" hat kein "
                          "\"konstante\"-Element.",
                          k, mName.c_str());
            continue;
        }
        const char* wert = konstante->Attribute("wert");
        if (!wert)
        {
            gLog.Schreibe("!FilterEffekt::LadeAus(...): Der Konstanteneintrag im %d. Parameter des Filtereffekts "
                          "\"%s\" hat kein \"wert\"-Atribut.",
                          k, mName.c_str());
            continue;
        }
        Param param;
        param.mName = name;
        const TiXmlElement* beschreibung = p->FirstChildElement("beschreibung");
        const char* text = beschreibung ? beschreibung->GetText() : nullptr;
        param.mBeschreibung = text ? text : "";
        param.mKonstantenName = wert;
        if (const TiXmlElement* standard = p->FirstChildElement("standard"))
        {
            param.mStandard[0] = LiesFloatAttribut(*standard, "r", 0.0f);
            param.mStandard[1] = LiesFloatAttribut(*standard, "g", 0.0f);
            param.mStandard[2] = LiesFloatAttribut(*standard, "b", 0.0f);
            param.mStandard[3] = LiesFloatAttribut(*standard, "a", 1.0f);
        }
        mParameter.push_back(std::move(param));
    }
}
