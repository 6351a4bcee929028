#include "quarzklassen/kern/xmlwaechter.h"

#include <algorithm>
#include <cstring>

namespace
{
// The longest step the parser takes over one UTF-8 sequence is 4 bytes.
constexpr std::size_t Polster = 16;

// Behind the next `ende`, or at the terminating NUL. A plain walk: strstr under the
// sanitizers measures the whole rest of the text on every call, so a file of many short tags
// would take quadratic time in the test and fuzz builds.
const char* Ueberspringe(const char* p, const char* ende)
{
    const std::size_t laenge = std::strlen(ende);
    for (; *p; ++p)
        if (*p == ende[0] && std::strncmp(p, ende, laenge) == 0)
            return p + laenge;
    return p;
}

struct Umfang
{
    int tiefe = 0;     // deepest element nesting
    int attribute = 0; // most attributes of one element
};

// A light scan that knows comments, CDATA sections, declarations and quoted attribute
// values; each "=" outside quotes in a start tag counts as an attribute. It may count too
// high for odd input, never lower for well-formed input, which is all the guard needs.
Umfang Vermesse(const char* p)
{
    Umfang umfang;
    int tiefe = 0;
    while (*p)
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }
        if (std::strncmp(p, "<!--", 4) == 0)
            p = Ueberspringe(p + 4, "-->");
        else if (std::strncmp(p, "<![CDATA[", 9) == 0)
            p = Ueberspringe(p + 9, "]]>");
        else if (p[1] == '?' || p[1] == '!')
            p = Ueberspringe(p + 2, ">");
        else if (p[1] == '/')
        {
            // An end tag with nothing open closes nothing: the parser takes it as an unknown
            // node, so stray ones must not buy depth for the elements after them.
            if (tiefe > 0)
                --tiefe;
            p = Ueberspringe(p + 2, ">");
        }
        else
        {
            ++p;
            char zitat = 0;
            char letztes = 0;
            int attribute = 0;
            while (*p && (zitat || *p != '>'))
            {
                if (zitat && *p == zitat)
                    zitat = 0;
                else if (!zitat && (*p == '"' || *p == '\''))
                    zitat = *p;
                else if (!zitat && *p == '=')
                    ++attribute;
                letztes = *p++;
            }
            if (*p)
                ++p;
            umfang.attribute = std::max(umfang.attribute, attribute);
            if (letztes != '/')
                umfang.tiefe = std::max(umfang.tiefe, ++tiefe);
        }
    }
    return umfang;
}

// The text up to its first NUL with LF line ends, and the zero bytes behind it.
std::string FuerParser(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    std::string ergebnis;
    ergebnis.reserve(text.size() + Polster);
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\r')
            ergebnis += text[i];
        else if (i + 1 == text.size() || text[i + 1] != '\n')
            ergebnis += '\n';
    }
    ergebnis.append(Polster, '\0');
    return ergebnis;
}

} // namespace

std::string LiesXmlBewacht(TiXmlDocument& dokument, std::string_view text, int hoechsteTiefe,
                           TiXmlEncoding kodierung)
{
    const std::string vorbereitet = FuerParser(text);
    const Umfang umfang = Vermesse(vorbereitet.c_str());
    if (umfang.tiefe > hoechsteTiefe)
        return "Elemente tiefer als " + std::to_string(hoechsteTiefe) + " Ebenen verschachtelt";
    if (umfang.attribute > XmlHoechsteAttribute)
        return "ein Element mit mehr als " + std::to_string(XmlHoechsteAttribute) + " Attributen";
    dokument.Parse(vorbereitet.c_str(), nullptr, kodierung);
    if (!dokument.Error())
        return {};
    // The parser gives no position (row 0) only when it ran out of text.
    if (dokument.ErrorRow() <= 0)
        return std::string(dokument.ErrorDesc()) + " (am Dateiende)";
    return std::string(dokument.ErrorDesc()) + " (Zeile " + std::to_string(dokument.ErrorRow()) + ", Spalte " +
           std::to_string(dokument.ErrorCol()) + ")";
}
