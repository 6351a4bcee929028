#pragma once
// Loads property trees from XML: element names are the keys, element text is the value and
// the attribute "typ" names its type (none: "float"). The root element's own tag is not a key.

#include <string>
#include <string_view>

#include "quarzklassen/kern/teigenschaften.h"

class TiXmlElement;

class TEigenschaften_Serialisierung
{
public:
    // Loads the file below the root node. A file that cannot be opened throws Quarz_Ausnahme
    // ("Datei nicht geladen"). A file that does not parse is logged and loads nothing
    // (result false); a value that does not convert is logged and its node gets no value.
    static bool LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::wstring& pfad);
    static bool LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::string& pfad);
    // The same for an XML text already in memory (zero-terminated).
    static bool LadeEigenschaftenAusText(TEigenschaften& wurzel, const char* text);
    // Loads one element into a node, recursively.
    static void LadeElement(TEigenschaften& knoten, const TiXmlElement& element);

    // Deeper nesting is refused before parsing: the XML parser recurses once per level.
    static constexpr int HoechsteTiefe = 256;

private:
    static void LadeElement(TEigenschaften& knoten, const TiXmlElement& element, const std::string& schluessel);
};
