#pragma once
// Nesting bombs for the tests of every XML loader. The parser recurses once per element level:
// 100,000 levels overflow the stack, so each of these must be refused before it is parsed.
#include <string>
#include <vector>

// A bomb that opens with stray end tags: a nesting guard whose depth count went below zero on
// them would let the deep part through.
inline std::string XmlBombe(int anzahl)
{
    std::string text;
    text.reserve(7 * static_cast<std::size_t>(anzahl));
    for (int i = 0; i < anzahl; ++i)
        text += "</a>";
    for (int i = 0; i < anzahl; ++i)
        text += "<a>";
    return text;
}

// Bombs behind text that the parser reads otherwise than a plain scan of tags, comments and
// quotes would: an unknown node ends at its first '>' whatever its quotes, a declaration's
// quoted value runs on past '>', and in UTF-8 a lead byte makes the parser step over as many
// bytes as it announces (over a '<' in text, over the closing quote of a value). Each hides
// the start of a comment or a quote that never closes, followed by `anzahl` open elements.
inline std::vector<std::string> GetarnteXmlBomben(int anzahl)
{
    std::string tief;
    tief.reserve(3 * static_cast<std::size_t>(anzahl));
    for (int i = 0; i < anzahl; ++i)
        tief += "<a>";
    std::vector<std::string> bomben;
    for (const char* tarnung : {"<1 a=\">", "<?xml version=\"><!--\"?>", "<r>\xF0<!--", "<r a=\"\xF0\"><!--\">"})
        bomben.push_back(tarnung + tief);
    return bomben;
}
