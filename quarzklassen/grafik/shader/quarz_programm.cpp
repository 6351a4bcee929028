#include "quarzklassen/grafik/shader/quarz_programm.h"

#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_vertexeingabe.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace {

template <class T>
T* Behalte(T* objekt) {
  if (objekt) objekt->AddRef();
  return objekt;
}

}  // namespace

Quarz_Programm::Quarz_Programm(Quarz_VertexEingabe* eingabe, Quarz_VertexShader* vs,
                               Quarz_PixelShader* ps)
    : mVertexEingabe(eingabe), mVertexShader(vs), mPixelShader(ps) {
  if (eingabe) {
    mStromAnzahl = eingabe->mStromAnzahl;
    mInstanzMaske = eingabe->mInstanzMaske;
    for (int s = 0; s < 4; ++s) mSchrittweiten[s] = eingabe->mSchrittweiten[s];
    mDeklaration = Behalte(eingabe->mDeklaration);
  }
  if (vs) mD3DVertexShader = Behalte(vs->mD3DShader);
  if (ps) mD3DPixelShader = Behalte(ps->mD3DShader);
}

Quarz_Programm::~Quarz_Programm() {
  Plattform::SicherFreigeben(mDeklaration);
  Plattform::SicherFreigeben(mD3DVertexShader);
  Plattform::SicherFreigeben(mD3DPixelShader);
}

uint32_t Quarz_Programm::GetKonstantenIndex(const std::string& name) const {
  uint32_t vertex = kKeineKonstante, pixel = kKeineKonstante;
  if (mVertexShader)
    if (const auto* k = mVertexShader->FindeKonstante(name)) vertex = k->mRegister & 0xFFF;
  if (mPixelShader)
    if (const auto* k = mPixelShader->FindeKonstante(name)) pixel = k->mRegister & 0xFFF;
  return vertex | (pixel << 12);
}

uint32_t Quarz_Programm::GetSamplerIndex(const std::string& name) const {
  uint32_t vertex = kKeinSampler, pixel = kKeinSampler;
  if (mVertexShader)
    if (const auto* k = mVertexShader->FindeSampler(name)) vertex = k->mRegister & 0xFF;
  if (mPixelShader)
    if (const auto* k = mPixelShader->FindeSampler(name)) pixel = k->mRegister & 0xFF;
  return (vertex << 8) | pixel;
}

Quarz_Programm* Quarz_ZeichenKontext::ErzeugeProgramm(Quarz_VertexEingabe* eingabe,
                                                      Quarz_VertexShader* vs,
                                                      Quarz_PixelShader* ps) {
  return ErzeugeObjekt<Quarz_Programm>(eingabe, vs, ps);
}
