#include "quarzklassen/kern/xmlwaechter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// The longest step the parser takes over one UTF-8 sequence is 4 bytes.
constexpr std::size_t Polster = 16;

// The parser's own readers of white space, names and fixed texts; its base class keeps them
// for its node classes.
struct ParserLesen : TiXmlBase
{
    using TiXmlBase::IsAlpha;
    using TiXmlBase::ReadName;
    using TiXmlBase::SkipWhiteSpace;
    using TiXmlBase::StringEqual;
};

enum class Art
{
    Element,
    Deklaration,
    Kommentar,
    CData,
    Unbekannt
};

// Walks the text the way the parser will, without building a document. Only the nesting of
// elements and the choice of encoding are followed here; where every other node and every
// attribute ends is left to the parser's own node parsers, so the walk and the parse agree on
// any text, however broken. The walk stops where the parser would fail (it reads nothing
// behind that point) or where a limit is passed; a duplicate attribute, which ends the parse,
// is not looked for, so the walk may go on and count more than the parser reaches, never less.
class Vermessung
{
public:
    Vermessung(TiXmlEncoding kodierung, int hoechsteTiefe) : mKodierung(kodierung), mHoechsteTiefe(hoechsteTiefe) {}

    // Why the text must not go to the parser, or the empty text.
    std::string Grund(const char* p)
    {
        if (*p == '\0')
            return {};
        if (mKodierung == TIXML_ENCODING_UNKNOWN && std::strncmp(p, "\xEF\xBB\xBF", 3) == 0)
            mKodierung = TIXML_ENCODING_UTF8;
        p = Weiss(p);
        while (p && *p == '<')
        {
            const Art art = Erkenne(p);
            if (art == Art::Element)
                p = Element(p);
            else
            {
                p = Knoten(art, p);
                // A declaration outside the elements names the encoding while none is chosen.
                if (art == Art::Deklaration && mKodierung == TIXML_ENCODING_UNKNOWN)
                    mKodierung = KodierungAus(mDeklaration.Encoding());
            }
            p = Weiss(p);
        }
        return mGrund;
    }

private:
    const char* Weiss(const char* p) const { return ParserLesen::SkipWhiteSpace(p, mKodierung); }

    // What the parser takes the node at `p` (a '<') for. Its fixed texts all begin with "<?"
    // or "<!": most tags are told from them by their second byte alone.
    Art Erkenne(const char* p) const
    {
        if (p[1] != '?' && p[1] != '!')
            return ParserLesen::IsAlpha(static_cast<unsigned char>(p[1]), mKodierung) || p[1] == '_' ? Art::Element
                                                                                                    : Art::Unbekannt;
        if (ParserLesen::StringEqual(p, "<?xml", true, mKodierung))
            return Art::Deklaration;
        if (ParserLesen::StringEqual(p, "<!--", false, mKodierung))
            return Art::Kommentar;
        if (ParserLesen::StringEqual(p, "<![CDATA[", false, mKodierung))
            return Art::CData;
        return Art::Unbekannt;
    }

    static TiXmlEncoding KodierungAus(const char* name)
    {
        if (*name == '\0' || ParserLesen::StringEqual(name, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
            ParserLesen::StringEqual(name, "UTF8", true, TIXML_ENCODING_UNKNOWN))
            return TIXML_ENCODING_UTF8;
        return TIXML_ENCODING_LEGACY;
    }

    // Behind any node but an element, by the parser's node parser; null where it fails.
    const char* Knoten(Art art, const char* p)
    {
        switch (art)
        {
        case Art::Deklaration:
            return mDeklaration.Parse(p, nullptr, mKodierung);
        case Art::Kommentar:
            return mKommentar.Parse(p, nullptr, mKodierung);
        case Art::CData:
            mCData.SetCDATA(true);
            return mCData.Parse(p, nullptr, mKodierung);
        default:
            return mUnbekannt.Parse(p, nullptr, mKodierung);
        }
    }

    // An element from its '<' to behind its end tag, with every element inside it, in a loop
    // rather than by recursion. Null where the parser fails or a limit is passed.
    const char* Element(const char* p)
    {
        const bool verdichtet = TiXmlBase::IsWhiteSpaceCondensed();
        int tiefe = 0;
        p = StartTag(p, tiefe);
        // One step of the innermost open element's content at a time.
        while (p && tiefe > 0)
        {
            const char* mitWeiss = p;
            if (verdichtet)
                p = Weiss(p);
            if (!p || !*p)
                return nullptr;
            if (*p != '<')
            {
                mText.SetCDATA(false);
                p = mText.Parse(verdichtet ? p : mitWeiss, nullptr, mKodierung);
            }
            else if (p[1] == '/')
                p = EndTag(p, tiefe);
            else if (const Art art = Erkenne(p); art == Art::Element)
                p = StartTag(p, tiefe);
            else
                p = Knoten(art, p);
        }
        return p;
    }

    // Name and attributes from the '<'. Behind "/>" for an empty element; behind ">" for one
    // whose content follows, which `tiefe` then counts.
    const char* StartTag(const char* p, int& tiefe)
    {
        if (mNamen.size() <= static_cast<std::size_t>(tiefe))
            mNamen.resize(static_cast<std::size_t>(tiefe) + 1);
        p = ParserLesen::ReadName(Weiss(p + 1), &mNamen[static_cast<std::size_t>(tiefe)], mKodierung);
        if (!p || !*p)
            return nullptr;
        for (int attribute = 0;;)
        {
            p = Weiss(p);
            if (!p)
                return nullptr;
            if (*p == '/')
                return p[1] == '>' ? p + 2 : nullptr;
            if (*p == '>')
            {
                if (++tiefe > mHoechsteTiefe)
                    return Abweisen("Elemente tiefer als " + std::to_string(mHoechsteTiefe) + " Ebenen verschachtelt");
                return p + 1;
            }
            p = mAttribut.Parse(p, nullptr, mKodierung);
            if (!p || !*p)
                return nullptr;
            if (++attribute > XmlHoechsteAttribute)
                return Abweisen("ein Element mit mehr als " + std::to_string(XmlHoechsteAttribute) + " Attributen");
        }
    }

    // Behind the end tag of the innermost open element at `p` ("</"), which closes it.
    const char* EndTag(const char* p, int& tiefe)
    {
        const std::string& name = mNamen[static_cast<std::size_t>(tiefe) - 1];
        if (std::strncmp(p + 2, name.c_str(), name.size()) != 0)
            return nullptr;
        p = Weiss(p + 2 + name.size());
        if (!p || *p != '>')
            return nullptr;
        --tiefe;
        return p + 1;
    }

    const char* Abweisen(std::string grund)
    {
        mGrund = std::move(grund);
        return nullptr;
    }

    TiXmlEncoding mKodierung;
    const int mHoechsteTiefe;
    std::string mGrund;
    std::vector<std::string> mNamen; // of the open elements, outermost first
    // One node of each kind, used again for each node.
    TiXmlAttribute mAttribut;
    TiXmlText mText{""};
    TiXmlText mCData{""};
    TiXmlComment mKommentar;
    TiXmlUnknown mUnbekannt;
    TiXmlDeclaration mDeklaration;
};

// The text up to its first NUL with LF line ends, and the zero bytes behind it.
std::string FuerParser(std::string_view text)
{
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    std::string ergebnis;
    ergebnis.reserve(text.size() + Polster);
    // Run by run between carriage returns, not byte by byte: every load goes through this copy.
    for (;;)
    {
        const std::size_t cr = std::min(text.size(), text.find('\r'));
        ergebnis.append(text.substr(0, cr));
        if (cr == text.size())
            break;
        ergebnis += '\n';
        text.remove_prefix(cr + 1 < text.size() && text[cr + 1] == '\n' ? cr + 2 : cr + 1);
    }
    ergebnis.append(Polster, '\0');
    return ergebnis;
}

} // namespace

std::string LiesXmlBewacht(TiXmlDocument& dokument, std::string_view text, int hoechsteTiefe,
                           TiXmlEncoding kodierung)
{
    const std::string vorbereitet = FuerParser(text);
    std::string grund = Vermessung(kodierung, hoechsteTiefe).Grund(vorbereitet.c_str());
    if (!grund.empty())
        return grund;
    dokument.Parse(vorbereitet.c_str(), nullptr, kodierung);
    if (!dokument.Error())
        return {};
    // The parser gives no position (row 0) only when it ran out of text.
    if (dokument.ErrorRow() <= 0)
        return std::string(dokument.ErrorDesc()) + " (am Dateiende)";
    return std::string(dokument.ErrorDesc()) + " (Zeile " + std::to_string(dokument.ErrorRow()) + ", Spalte " +
           std::to_string(dokument.ErrorCol()) + ")";
}
