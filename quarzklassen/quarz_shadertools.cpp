#include "quarzklassen/quarz_shadertools.h"

#include "quarzklassen/quarz_ausnahme.h"
#include "quarzklassen/quarz_internhelfer.h"
#include "quarzklassen/quarz_log.h"
#include "quarzklassen/quarz_pixelshader.h"
#include "quarzklassen/quarz_vertexshader.h"
#include "quarzklassen/quarz_zeichenkontext.h"
#include "quarzklassen/textkodierung.h"
#include "quarzklassen/tspeicher.h"

namespace {

// The file's bytes with a terminating zero; throws when it cannot be read.
void LiesShaderDatei(TSpeicher& text, const std::wstring& pfad, const char* art,
                     const char* funktion) {
  if (!text.LadeDatei(pfad, 0)) {
    gLog.Schreibe("!Kann %s-Datei \"%s\" nicht lesen.", art, WandleUtf32NachUtf8(pfad).c_str());
    QUARZ_WIRF("Datei nicht lesbar", funktion);
  }
  text.SetPosition(text.Groesse());
  text.SchreibeU8(0);
}

}  // namespace

Quarz_VertexShader* Quarz_ShaderTools::ErzeugeVertexShaderAusDatei(
    const std::wstring& pfad, const Quarz::TShaderDefinitionen& definitionen) {
  TSpeicher text;
  LiesShaderDatei(text, pfad, "VertexShader", "Quarz_ShaderTools::ErzeugeVertexShaderAusDatei");
  Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  if (!kontext) {
    QUARZ_MELDE("Kein Zeichenkontext", "Quarz_ShaderTools::ErzeugeVertexShaderAusDatei");
    return nullptr;
  }
  Quarz_VertexShader* shader = kontext->ErzeugeVertexShader();
  shader->UebersetzeAusString(reinterpret_cast<const char*>(text.Daten()), definitionen, false);
  return shader;
}

Quarz_PixelShader* Quarz_ShaderTools::ErzeugePixelShaderAusDatei(
    const std::wstring& pfad, const Quarz::TShaderDefinitionen& definitionen) {
  TSpeicher text;
  LiesShaderDatei(text, pfad, "PixelShader", "Quarz_ShaderTools::ErzeugePixelShaderAusDatei");
  Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  if (!kontext) {
    QUARZ_MELDE("Kein Zeichenkontext", "Quarz_ShaderTools::ErzeugePixelShaderAusDatei");
    return nullptr;
  }
  Quarz_PixelShader* shader = kontext->ErzeugePixelShader();
  shader->UebersetzeAusString(reinterpret_cast<const char*>(text.Daten()), definitionen, false);
  return shader;
}
