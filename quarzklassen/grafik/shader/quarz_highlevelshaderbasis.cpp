#include "quarzklassen/grafik/shader/quarz_highlevelshaderbasis.h"

#include <cstdio>
#include <cstring>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/grafik/geraet/quarz_internhelfer.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"

namespace {

// Compile flags of the dump-file path: debug information, no optimisation.
constexpr DWORD kDebugFlags = D3DXSHADER_DEBUG | D3DXSHADER_SKIPOPTIMIZATION;
// Structures nest only a few levels in practice; the bound keeps a broken table from looping.
constexpr int kMaxTiefe = 16;

// Writes the text to the file completely, or leaves no file behind.
bool SchreibeDump(const char* datei, const char* text) {
  std::FILE* f = std::fopen(datei, "w");
  if (!f) return false;
  const size_t laenge = std::strlen(text);
  bool ok = std::fwrite(text, 1, laenge, f) == laenge;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) std::remove(datei);
  return ok;
}

// The compiler's messages, line by line with the warning mark.
void LogMeldungen(const char* text) {
  if (!text) return;
  const char* p = text;
  while (*p) {
    const char* ende = std::strchr(p, '\n');
    const size_t n = ende ? static_cast<size_t>(ende - p) : std::strlen(p);
    std::string zeile(p, n);
    if (!zeile.empty() && zeile.back() == '\r') zeile.pop_back();
    if (!zeile.empty()) gLog.Schreibe("?%s", zeile.c_str());
    p += n;
    if (*p) ++p;
  }
}

// The profile the device reported for this kind of shader, or the class's default.
std::string Profil(uint32_t shaderArt, const char* vorgabe) {
  const Quarz_ZeichenKontext* kontext = Quarz::Intern::Kontext();
  if (!kontext) return vorgabe;
  const std::string& profil = shaderArt == Quarz::SHADER_PIXEL ? kontext->mImplDX9.mPixelProfil
                                                                : kontext->mImplDX9.mVertexProfil;
  return profil.empty() ? std::string(vorgabe) : profil;
}

}  // namespace

Quarz_HighLevelShaderBasis::~Quarz_HighLevelShaderBasis() { GibKompilatFrei(); }

void Quarz_HighLevelShaderBasis::GibKompilatFrei() {
  Plattform::SicherFreigeben(mKonstantenTabelle);
  Plattform::SicherFreigeben(mCode);
  Plattform::SicherFreigeben(mMeldungen);
  mNamen.clear();
}

const char* Quarz_HighLevelShaderBasis::GetMeldungen() const {
  if (!mMeldungen || mMeldungen->GetBufferSize() == 0) return nullptr;
  return static_cast<const char*>(mMeldungen->GetBufferPointer());
}

const Quarz_HighLevelShaderBasis::TKonstante* Quarz_HighLevelShaderBasis::FindeKonstante(
    const std::string& name) const {
  const auto it = mNamen.find(name);
  if (it == mNamen.end() || it->second.mSatz == D3DXRS_SAMPLER) return nullptr;
  return &it->second;
}

const Quarz_HighLevelShaderBasis::TKonstante* Quarz_HighLevelShaderBasis::FindeSampler(
    const std::string& name) const {
  const auto it = mNamen.find(name);
  if (it == mNamen.end() || it->second.mSatz != D3DXRS_SAMPLER) return nullptr;
  return &it->second;
}

bool Quarz_HighLevelShaderBasis::UebersetzeQuelltext(const char* quelle,
                                                     const Quarz::TShaderDefinitionen& definitionen,
                                                     bool leise, const TArt& art) {
  GibKompilatFrei();
  const std::string profil = Profil(art.mShaderArt, art.mVorgabeProfil);
  TSpeicher hlsl(512);
  Quarz::UebersetzeShaderDialekt(hlsl, quelle, definitionen, art.mShaderArt);
  const char* text = reinterpret_cast<const char*>(hlsl.Daten());

  HRESULT hr = E_FAIL;
  bool ausDatei = false;
  if (debugShader.mBool) {
    const uint32_t nummer = art.mZaehler->fetch_add(1);
    char datei[32];
    std::snprintf(datei, sizeof datei, art.mDateiMuster, static_cast<int>(nummer));
    // A file that could not be written must not be compiled: it would be missing or a stale
    // one from an earlier run.
    ausDatei = SchreibeDump(datei, text);
    if (ausDatei)
      hr = D3DXCompileShaderFromFileA(datei, nullptr, nullptr, "main", profil.c_str(), kDebugFlags,
                                      &mCode, &mMeldungen, &mKonstantenTabelle);
    else if (!leise)
      gLog.Schreibe("?%s::UebersetzeQuelltext(...): Kann \"%s\" nicht schreiben, übersetze aus "
                    "dem Speicher.", art.mKlasse, datei);
  }
  if (!ausDatei) {
    const DWORD flags = debugShader.mBool ? kDebugFlags : 0;
    hr = D3DXCompileShader(text, static_cast<UINT>(std::strlen(text)), nullptr, nullptr, "main",
                           profil.c_str(), flags, &mCode, &mMeldungen, &mKonstantenTabelle);
  }

  if (FAILED(hr) || !mCode) {
    if (!leise) {
      gLog.Schreibe("!%s::UebersetzeQuelltext(...): Übersetzung gescheitert. DirectX meinte:",
                    art.mKlasse);
      LogMeldungen(GetMeldungen());
      QUARZ_MELDE(std::string(art.mKurz) + "-Übersetzung gescheitert.",
                  std::string(art.mKlasse) + "::UebersetzeAusString");
    }
    return false;
  }
  if (GetMeldungen()) {
    gLog.Schreibe("?%s::UebersetzeQuelltext(...): Bemerkungen von DirectX zum Shader:",
                  art.mKlasse);
    LogMeldungen(GetMeldungen());
  }
  return true;
}

bool Quarz_HighLevelShaderBasis::SchliesseErzeugungAb(bool erzeugt, bool leise, const TArt& art) {
  if (erzeugt) {
    LiesKonstantenTabelle();
    return true;
  }
  if (!leise) {
    gLog.Schreibe("!%s::ErzeugeShader(...): Shader-Erzeugung gescheitert.", art.mKlasse);
    QUARZ_MELDE(std::string(art.mKurz) + "-Erzeugung gescheitert.",
                std::string(art.mKlasse) + "::InternErzeugeShader");
  }
  return false;
}

IDirect3DDevice9* Quarz_HighLevelShaderBasis::Geraet() { return Quarz::Intern::Geraet(); }

const DWORD* Quarz_HighLevelShaderBasis::Code() const {
  return mCode ? static_cast<const DWORD*>(mCode->GetBufferPointer()) : nullptr;
}

void Quarz_HighLevelShaderBasis::LiesKonstantenTabelle() {
  mNamen.clear();
  if (!mKonstantenTabelle) return;
  D3DXCONSTANTTABLE_DESC tabelle{};
  if (FAILED(mKonstantenTabelle->GetDesc(&tabelle))) return;
  for (UINT i = 0; i < tabelle.Constants; ++i)
    if (D3DXHANDLE k = mKonstantenTabelle->GetConstant(nullptr, i)) Laufe(k, std::string(), 0, 0);
}

void Quarz_HighLevelShaderBasis::Betrete(const std::string& name, const D3DXCONSTANT_DESC& d,
                                         uint32_t register_, uint32_t bytes) {
  TKonstante& k = mNamen[name];
  k.mRegister = register_;
  k.mSatz = d.RegisterSet;
  k.mKlasse = d.Class;
  k.mTyp = d.Type;
  k.mBytes = bytes;
}

// The table gives absolute registers (a member's is that of the member in the first element of
// its parent), so what is handed down is only the distance to the element being walked.
void Quarz_HighLevelShaderBasis::Laufe(D3DXHANDLE konstante, const std::string& praefix,
                                       uint32_t versatz, int tiefe) {
  D3DXCONSTANT_DESC d{};
  UINT anzahl = 1;
  if (tiefe > kMaxTiefe || FAILED(mKonstantenTabelle->GetConstantDesc(konstante, &d, &anzahl)) ||
      !d.Name)
    return;
  const std::string name = praefix + d.Name;
  const uint32_t register_ = d.RegisterIndex + versatz;
  Betrete(name, d, register_, d.Bytes);
  if (d.Elements > 1) {
    const uint32_t proElement = d.RegisterCount / d.Elements;
    for (UINT e = 0; e < d.Elements; ++e) {
      const std::string element = name + "[" + std::to_string(e) + "]";
      Betrete(element, d, register_ + e * proElement, d.Bytes / d.Elements);
      for (UINT m = 0; m < d.StructMembers; ++m)
        if (D3DXHANDLE mitglied = mKonstantenTabelle->GetConstant(konstante, m))
          Laufe(mitglied, element + ".", versatz + e * proElement, tiefe + 1);
    }
    return;
  }
  for (UINT m = 0; m < d.StructMembers; ++m)
    if (D3DXHANDLE mitglied = mKonstantenTabelle->GetConstant(konstante, m))
      Laufe(mitglied, name + ".", versatz, tiefe + 1);
}
