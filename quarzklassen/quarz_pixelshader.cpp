#include "quarzklassen/quarz_pixelshader.h"

#include "quarzklassen/quarz_ausnahme.h"
#include "quarzklassen/quarz_internhelfer.h"
#include "quarzklassen/quarz_log.h"
#include "quarzklassen/quarz_zeichenkontext.h"

std::atomic<uint32_t> Quarz_PixelShader::sDumpZaehler{0};

namespace {

std::string Profil() {
  const Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  return kontext && !kontext->mImplDX9.mPixelProfil.empty() ? kontext->mImplDX9.mPixelProfil
                                                             : std::string("ps_3_0");
}

}  // namespace

const Quarz_HighLevelShaderBasis::TArt Quarz_PixelShader::kArt{
    Quarz::SHADER_PIXEL, "Quarz_PixelShader", "PixelShader", "ps%03d.txt", &sDumpZaehler};

Quarz_PixelShader::Quarz_PixelShader() { mZustand = IM_AUFBAU; }

Quarz_PixelShader::~Quarz_PixelShader() { Plattform::SicherFreigeben(mD3DShader); }

bool Quarz_PixelShader::UebersetzeAusString(const char* quelle,
                                             const Quarz::TShaderDefinitionen& definitionen,
                                             bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  mZustand = IM_AUFBAU;
  if (!UebersetzeQuelltext(quelle, definitionen, leise, kArt, Profil())) return false;
  return InternErzeugeShader(leise);
}

bool Quarz_PixelShader::InternErzeugeShader(bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  IDirect3DDevice9* geraet = Quarz::Intern::Geraet();
  if (!geraet || !Code() || FAILED(geraet->CreatePixelShader(Code(), &mD3DShader)))
    mD3DShader = nullptr;
  if (!SchliesseErzeugungAb(mD3DShader != nullptr, leise, kArt)) return false;
  mZustand = VORHANDEN;
  return true;
}

Quarz_PixelShader* Quarz_ZeichenKontext::ErzeugePixelShader() {
  return ErzeugeObjekt<Quarz_PixelShader>();
}
