#pragma once
// A nesting bomb that opens with stray end tags, for the tests of every XML loader: a nesting
// guard whose depth count went below zero on them would let the deep part through to the
// parser, which recurses once per level (the real bomb, 300,000 of each, overflows the stack).
#include <string>

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
