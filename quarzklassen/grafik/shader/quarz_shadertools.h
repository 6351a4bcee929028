#pragma once
// Loading shaders from dialect files.
#include <string>

#include "quarzklassen/grafik/shader/quarz_shaderdialekt.h"

class Quarz_VertexShader;
class Quarz_PixelShader;

class Quarz_ShaderTools {
public:
  // Reads the whole file, creates a vertex shader through the drawing context and compiles it
  // (not quietly). The shader is returned whether or not the compile succeeded. A file that
  // cannot be read is logged and throws Quarz_Ausnahme "Datei nicht lesbar".
  static Quarz_VertexShader* ErzeugeVertexShaderAusDatei(const std::wstring& pfad,
                                                         const Quarz::TShaderDefinitionen& definitionen);
  // The same for a pixel shader.
  static Quarz_PixelShader* ErzeugePixelShaderAusDatei(const std::wstring& pfad,
                                                       const Quarz::TShaderDefinitionen& definitionen);
};
