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
    // Loads the file below the root node. A file that cannot be opened, does not parse or is
    // refused (nested too deep, too many attributes on an element) throws Quarz_Ausnahme
    // ("Datei nicht geladen") and loads nothing; the reason is logged first, in one line
    // naming the file. A single value that does not convert is logged and its node gets no
    // value.
    static void LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::wstring& pfad);
    static void LadeEigenschaftenAusXml(TEigenschaften& wurzel, const std::string& pfad);
    // The same for an XML text already in memory; it ends at its first NUL.
    static void LadeEigenschaftenAusText(TEigenschaften& wurzel, std::string_view text);
    // Loads one element into a node, recursively.
    static void LadeElement(TEigenschaften& knoten, const TiXmlElement& element);

    // Deeper nesting is refused before parsing: the XML parser recurses once per level.
    static constexpr int HoechsteTiefe = 256;

private:
    [[noreturn]] static void NichtGeladen();
    // `name`: the file the text came from, for the refusal's line (empty: none).
    static void LadeAusText(TEigenschaften& wurzel, std::string_view text, const std::string& name);
    static void LadeElement(TEigenschaften& knoten, const TiXmlElement& element, const std::string& schluessel);
};
