#include "quarzklassen/grafik/shader/quarz_shadertools.h"

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/tspeicher.h"

namespace {

// Reads the whole file with a terminating zero, creates an empty shader through the drawing
// context and compiles the text (not quietly). A file that cannot be read is logged and thrown.
template <class Shader>
Shader* ErzeugeAusDatei(const std::wstring& pfad, const Quarz::TShaderDefinitionen& definitionen,
                        const char* art, const char* funktion,
                        Shader* (Quarz_ZeichenKontext::*erzeuge)()) {
  TSpeicher text;
  if (!text.LadeDatei(pfad, 0)) {
    gLog.Schreibe("!Kann %s-Datei \"%s\" nicht lesen.", art, WandleUtf32NachUtf8(pfad).c_str());
    QUARZ_WIRF("Datei nicht lesbar", funktion);
  }
  text.SetPosition(text.Groesse());
  text.SchreibeU8(0);
  Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  if (!kontext) {
    QUARZ_MELDE("Kein Zeichenkontext", funktion);
    return nullptr;
  }
  Shader* shader = (kontext->*erzeuge)();
  shader->UebersetzeAusString(reinterpret_cast<const char*>(text.Daten()), definitionen, false);
  return shader;
}

}  // namespace

Quarz_VertexShader* Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(
    const std::wstring& pfad, const Quarz::TShaderDefinitionen& definitionen) {
  return ErzeugeAusDatei(pfad, definitionen, "VertexShader",
                         "Quarz_ShaderTools::ErzeugeVertexShaderAusDatei",
                         &Quarz_ZeichenKontext::ErzeugeVertexShader);
}

Quarz_PixelShader* Quarz_ShaderTools::ErzeugePixelShaderAusDatei(
    const std::wstring& pfad, const Quarz::TShaderDefinitionen& definitionen) {
  return ErzeugeAusDatei(pfad, definitionen, "PixelShader",
                         "Quarz_ShaderTools::ErzeugePixelShaderAusDatei",
                         &Quarz_ZeichenKontext::ErzeugePixelShader);
}
