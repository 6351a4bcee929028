#include "quarzklassen/quarz_vertexshader.h"

#include "quarzklassen/quarz_ausnahme.h"
#include "quarzklassen/quarz_internhelfer.h"
#include "quarzklassen/quarz_log.h"
#include "quarzklassen/quarz_zeichenkontext.h"

std::atomic<uint32_t> Quarz_VertexShader::sDumpZaehler{0};

namespace {

std::string Profil() {
  const Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  return kontext && !kontext->mImplDX9.mVertexProfil.empty() ? kontext->mImplDX9.mVertexProfil
                                                             : std::string("vs_3_0");
}

}  // namespace

Quarz_VertexShader::Quarz_VertexShader() { mZustand = IM_AUFBAU; }

Quarz_VertexShader::~Quarz_VertexShader() { Plattform::SicherFreigeben(mD3DShader); }

bool Quarz_VertexShader::UebersetzeAusString(const char* quelle,
                                             const Quarz::TShaderDefinitionen& definitionen,
                                             bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  mZustand = IM_AUFBAU;
  static const TArt art{Quarz::SHADER_VERTEX, "Quarz_VertexShader", "VertexShader", "vs%03d.txt",
                        &sDumpZaehler};
  if (!UebersetzeQuelltext(quelle, definitionen, leise, art, Profil())) return false;
  return InternErzeugeShader(leise);
}

bool Quarz_VertexShader::InternErzeugeShader(bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  const auto* code = mCode ? static_cast<const DWORD*>(mCode->GetBufferPointer()) : nullptr;
  if (!geraet || !code || FAILED(geraet->CreateVertexShader(code, &mD3DShader)) || !mD3DShader) {
    mD3DShader = nullptr;
    if (!leise) {
      gLog.Schreibe("!Quarz_VertexShader::ErzeugeShader(...): Shader-Erzeugung gescheitert.");
      QUARZ_MELDE("VertexShader-Erzeugung gescheitert.", "Quarz_VertexShader::InternErzeugeShader");
    }
    return false;
  }
  LiesKonstantenTabelle();
  mZustand = VORHANDEN;
  return true;
}

Quarz_VertexShader* Quarz_ZeichenKontext::ErzeugeVertexShader() {
  return ErzeugeObjekt<Quarz_VertexShader>();
}
