#include "quarzklassen/grafik/shader/quarz_vertexshader.h"

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

std::atomic<uint32_t> Quarz_VertexShader::sDumpZaehler{0};

const Quarz_HighLevelShaderBasis::TArt Quarz_VertexShader::kArt{
    Quarz::SHADER_VERTEX, "Quarz_VertexShader", "VertexShader", "vs%03d.txt", &sDumpZaehler,
    "vs_3_0"};

Quarz_VertexShader::Quarz_VertexShader() { mZustand = IM_AUFBAU; }

Quarz_VertexShader::~Quarz_VertexShader() { Plattform::SicherFreigeben(mD3DShader); }

bool Quarz_VertexShader::UebersetzeAusString(const char* quelle,
                                             const Quarz::TShaderDefinitionen& definitionen,
                                             bool leise) {
  Plattform::SicherFreigeben(mD3DShader);
  mZustand = IM_AUFBAU;
  return UebersetzeQuelltext(quelle, definitionen, leise, kArt) && InternErzeugeShader(leise);
}

bool Quarz_VertexShader::InternErzeugeShader(bool leise) {
  if (!ErzeugeGeraeteShader(mD3DShader, &IDirect3DDevice9::CreateVertexShader, leise, kArt))
    return false;
  mZustand = VORHANDEN;
  return true;
}

Quarz_VertexShader* Quarz_ZeichenKontext::ErzeugeVertexShader() {
  return ErzeugeObjekt<Quarz_VertexShader>();
}
