#include "quarzklassen/grafik/shader/quarz_pixelshader.h"

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

std::atomic<uint32_t> Quarz_PixelShader::sDumpZaehler{0};

const Quarz_HighLevelShaderBasis::TArt Quarz_PixelShader::kArt{
    Quarz::SHADER_PIXEL, "Quarz_PixelShader", "PixelShader", "ps%03d.txt", &sDumpZaehler,
    "ps_3_0"};

Quarz_PixelShader::Quarz_PixelShader() { mZustand = IM_AUFBAU; }

Quarz_PixelShader::~Quarz_PixelShader() { Plattform::SicherFreigeben(mD3DShader); }

bool Quarz_PixelShader::UebersetzeAusString(const char* quelle,
                                            const Quarz::TShaderDefinitionen& definitionen,
                                            bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  mZustand = IM_AUFBAU;
  return UebersetzeQuelltext(quelle, definitionen, leise, kArt) && InternErzeugeShader(leise);
}

bool Quarz_PixelShader::InternErzeugeShader(bool leise) {
  if (!ErzeugeGeraeteShader(mD3DShader, &IDirect3DDevice9::CreatePixelShader, leise, kArt))
    return false;
  mZustand = VORHANDEN;
  return true;
}

Quarz_PixelShader* Quarz_ZeichenKontext::ErzeugePixelShader() {
  return ErzeugeObjekt<Quarz_PixelShader>();
}
