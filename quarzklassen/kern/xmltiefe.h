#pragma once
// The XML parser recurses once per element level: a hostile file with thousands of levels
// would exhaust the stack. Loaders measure the nesting first and refuse deep files.

// The deepest element nesting of a zero-terminated XML text, counted by a light scan that
// knows comments, CDATA sections, declarations and quoted attribute values. It may count
// too high for odd input, never lower for well-formed input, which is all the guard needs.
int XmlTiefe(const char* text);
