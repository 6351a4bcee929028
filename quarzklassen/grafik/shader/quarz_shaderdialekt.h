#pragma once
// The engine's shader dialect: HLSL for Direct3D 9 shader model 3 without an entry signature,
// plus "$rein <declaration>;" (an input), "$raus <declaration>;" (an output) and "$main()" (where
// the entry's parameter list begins). The translation prepends the caller's defines and the
// prelude, runs everything through the shader preprocessor and writes a `main` with Direct3D 9
// semantics whose numbering matches the vertex input layout (Quarz_VertexEingabe): the first
// vertex input is POSITION0, every later register a TEXCOORD with the running index.
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "quarzklassen/kern/tspeicher.h"

namespace Quarz {

// (name, value) pairs, each becoming "#define name value" ahead of the prelude.
using TShaderDefinitionen = std::vector<std::pair<std::string, std::string>>;

enum ShaderArt : uint32_t { SHADER_VERTEX = 0, SHADER_PIXEL = 1 };

// Most inputs and most outputs one shader may declare.
constexpr uint32_t kMaxShaderDeklarationen = 16;

// The fixed prelude every shader is translated with: the sampling macros, helpers and, last,
// "#line 1" so that messages count lines from the shader's own first line.
extern const char* const ShaderVorspann;

// Translates `quelle` (NUL-terminated dialect text) into NUL-terminated HLSL with the entry
// point "main", written into `ergebnis` from its start (the size counts the NUL). Preprocessor
// messages go to the log, one line each. A declaration that cannot be numbered safely, or one
// beyond the sixteenth of its kind, is logged and refused; the result then carries an #error
// line so that it cannot compile with shifted semantics.
TSpeicher& UebersetzeShaderDialekt(TSpeicher& ergebnis, const char* quelle,
                                   const TShaderDefinitionen& definitionen, uint32_t art);

// Input registers a declaration takes (one per matrix row or array element), or 0 when its
// shape has no safe numbering (other matrix shapes, arrays beyond four elements, arrays of
// matrices). `grund` then says why.
uint32_t ShaderDeklarationRegister(const std::string& deklaration, std::string* grund = nullptr);

// --- preprocessor callbacks (the user data is the translation's reading state) --------------

// The next piece of the defines, the prelude and the source, in this order; null at the end.
char* ShaderPPLiesEingabe(char* puffer, int groesse, void* nutzer, FILE* strom);
// One output character into the preprocessed text.
void ShaderPPSchreibeAusgabe(int zeichen, void* nutzer);
// A piece of a message; complete lines go to the log.
void ShaderPPMeldeFehler(void* nutzer, const char* format, va_list argumente);
// Opens an include file below the application folder.
FILE* ShaderPPOeffneInclude(const char* name, const char* modus);

}  // namespace Quarz
