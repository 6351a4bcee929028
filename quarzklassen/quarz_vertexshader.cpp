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

const Quarz_HighLevelShaderBasis::TArt Quarz_VertexShader::kArt{
    Quarz::SHADER_VERTEX, "Quarz_VertexShader", "VertexShader", "vs%03d.txt", &sDumpZaehler};

Quarz_VertexShader::Quarz_VertexShader() { mZustand = IM_AUFBAU; }

Quarz_VertexShader::~Quarz_VertexShader() { Plattform::SicherFreigeben(mD3DShader); }

bool Quarz_VertexShader::UebersetzeAusString(const char* quelle,
                                             const Quarz::TShaderDefinitionen& definitionen,
                                             bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  mZustand = IM_AUFBAU;
  if (!UebersetzeQuelltext(quelle, definitionen, leise, kArt, Profil())) return false;
  return InternErzeugeShader(leise);
}

bool Quarz_VertexShader::InternErzeugeShader(bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet || !Code() || FAILED(geraet->CreateVertexShader(Code(), &mD3DShader)))
    mD3DShader = nullptr;
  if (!SchliesseErzeugungAb(mD3DShader != nullptr, leise, kArt)) return false;
  mZustand = VORHANDEN;
  return true;
}

Quarz_VertexShader* Quarz_ZeichenKontext::ErzeugeVertexShader() {
  return ErzeugeObjekt<Quarz_VertexShader>();
}
