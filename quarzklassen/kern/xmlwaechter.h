#pragma once
// Every XML file the engine loads goes to the parser (TinyXML) through here. The parser
// recurses once per element level, compares each new attribute of an element with all its
// earlier ones, and steps over a UTF-8 sequence by the length its lead byte announces, even
// across the end of the text: a hostile file could exhaust the stack, keep it busy for
// minutes or make it read foreign memory.
#include <tinyxml.h>

#include <string>
#include <string_view>

// More attributes on one element than any real file needs.
constexpr int XmlHoechsteAttribute = 256;

// Parses `text` into `dokument` when it is safe to: the text counts up to its first NUL
// (where the parser would stop too), with line ends as the parser reads them from a file
// (CR LF and a lone CR become LF), and zero bytes behind it for a step across its end to
// land on. Nesting and attributes are counted as the parser will read them, on any text
// (comments, quotes, unknown nodes and UTF-8 lead bytes end where the parser ends them).
// Returns why the text was refused (nesting deeper than hoechsteTiefe, an element with too
// many attributes, or the parser's error with its row and column), or the empty text when
// the document is loaded.
std::string LiesXmlBewacht(TiXmlDocument& dokument, std::string_view text, int hoechsteTiefe,
                           TiXmlEncoding kodierung);
