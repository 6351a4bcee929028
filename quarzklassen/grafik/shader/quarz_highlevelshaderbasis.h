#pragma once
// What the vertex and the pixel shader share: compiling dialect source (translation, optional
// dump file, the HLSL compiler), the compiler's code, messages and constant table, and the map
// from constant and sampler names to registers that the constant-table walk fills.
#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "plattform/d3d9/d3d9.h"
#include "plattform/hlsl/d3dx_shader.h"
#include "quarzklassen/grafik/shader/quarz_shaderdialekt.h"

class Quarz_HighLevelShaderBasis {
public:
  // One entry of the name map.
  struct TKonstante {
    uint32_t mRegister = 0;
    D3DXREGISTER_SET mSatz = D3DXRS_FLOAT4;
    D3DXPARAMETER_CLASS mKlasse = D3DXPC_SCALAR;
    D3DXPARAMETER_TYPE mTyp = D3DXPT_FLOAT;
    uint32_t mBytes = 0;
  };

  Quarz_HighLevelShaderBasis() = default;
  virtual ~Quarz_HighLevelShaderBasis();
  Quarz_HighLevelShaderBasis(const Quarz_HighLevelShaderBasis&) = delete;
  Quarz_HighLevelShaderBasis& operator=(const Quarz_HighLevelShaderBasis&) = delete;

  // The compiler's message text, or null when it had nothing to say.
  const char* GetMeldungen() const;
  // The entry of a constant (not a sampler), or null.
  const TKonstante* FindeKonstante(const std::string& name) const;
  // The entry of a sampler, or null.
  const TKonstante* FindeSampler(const std::string& name) const;

  ID3DXConstantTable* mKonstantenTabelle = nullptr;
  std::unordered_map<std::string, TKonstante> mNamen;
  ID3DXBuffer* mCode = nullptr;
  ID3DXBuffer* mMeldungen = nullptr;

protected:
  // The per-class words and numbers of a compile.
  struct TArt {
    uint32_t mShaderArt;            // Quarz::SHADER_VERTEX or SHADER_PIXEL
    const char* mKlasse;            // "Quarz_VertexShader"
    const char* mKurz;              // "VertexShader"
    const char* mDateiMuster;       // "vs%03d.txt"
    std::atomic<uint32_t>* mZaehler;  // numbers of the dump files
    const char* mVorgabeProfil;     // "vs_3_0", when the context names none
  };

  // Steps 1 to 4 of a compile: translate, dump (with debugShader on), compile with the
  // context's profile, report. Leaves code, messages and constant table behind; false when the
  // compile failed.
  bool UebersetzeQuelltext(const char* quelle, const Quarz::TShaderDefinitionen& definitionen,
                           bool leise, const TArt& art);
  // Step 5: (re)makes the device shader from the code with the device's `erzeuge` call; a
  // failure leaves `shader` null and is reported unless quiet, success fills the name map.
  template <class TD3DShader>
  bool ErzeugeGeraeteShader(TD3DShader*& shader,
                            HRESULT (IDirect3DDevice9::*erzeuge)(const DWORD*, TD3DShader**),
                            bool leise, const TArt& art) {
    Plattform::SicherFreigeben(shader);
    IDirect3DDevice9* geraet = Geraet();
    if (!geraet || !Code() || FAILED((geraet->*erzeuge)(Code(), &shader))) shader = nullptr;
    return SchliesseErzeugungAb(shader != nullptr, leise, art);
  }
  // The compiled code, or null.
  const DWORD* Code() const;
  // Fills the name map from the constant table.
  void LiesKonstantenTabelle();
  // Releases code, messages and table and clears the map.
  void GibKompilatFrei();

private:
  // The current context's device, or null.
  static IDirect3DDevice9* Geraet();
  // A failure is reported unless quiet; success fills the name map. Returns `erzeugt`.
  bool SchliesseErzeugungAb(bool erzeugt, bool leise, const TArt& art);
  void Betrete(const std::string& name, const D3DXCONSTANT_DESC& d, uint32_t register_,
               uint32_t bytes);
  void Laufe(D3DXHANDLE konstante, const std::string& praefix, uint32_t versatz, int tiefe);
};
