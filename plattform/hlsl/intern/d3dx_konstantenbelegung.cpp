#include "plattform/hlsl/intern/d3dx_konstantenbelegung.h"

#include <algorithm>

namespace Plattform {

namespace {

constexpr uint32_t RegisterBytes = 16;

uint32_t Aufrunden(uint32_t wert, uint32_t auf) { return (wert + auf - 1) / auf * auf; }

bool IstMatrix(const spirv_cross::SPIRType& t) { return t.columns > 1; }

struct TWunsch {
  std::string Name;
  uint64_t Bedarf;
};

// Where each wish starts: a fixed register where the source names one, else the lowest run of
// free registers, in the order given. `art` names the register set in messages.
bool Verteile(const std::vector<TWunsch>& wuensche, uint32_t grenze,
              const TKonstantenBelegung::TFesteRegister& fest, const char* art,
              std::vector<uint32_t>& starts, std::string& fehler) {
  std::vector<const std::string*> belegt(grenze, nullptr);
  starts.assign(wuensche.size(), 0);
  std::vector<bool> gesetzt(wuensche.size(), false);
  const auto belege = [&](size_t i, uint32_t start) {
    for (uint64_t r = start; r < start + wuensche[i].Bedarf; ++r) belegt[r] = &wuensche[i].Name;
    starts[i] = start;
    gesetzt[i] = true;
  };
  for (size_t i = 0; i < wuensche.size(); ++i) {
    const auto f = fest.find(wuensche[i].Name);
    if (f == fest.end()) continue;
    const std::string ort = std::string(art) + std::to_string(f->second);
    if (f->second + wuensche[i].Bedarf > grenze) {
      fehler = "'" + wuensche[i].Name + "' at register " + ort + " needs " +
               std::to_string(wuensche[i].Bedarf) + " registers, only " +
               std::to_string(grenze) + " are available";
      return false;
    }
    for (uint64_t r = f->second; r < f->second + wuensche[i].Bedarf; ++r)
      if (belegt[r]) {
        fehler = "'" + wuensche[i].Name + "' and '" + *belegt[r] + "' both take register " +
                 art + std::to_string(r);
        return false;
      }
    belege(i, f->second);
  }
  for (size_t i = 0; i < wuensche.size(); ++i) {
    if (gesetzt[i]) continue;
    uint64_t start = 0, frei = 0;
    for (uint64_t r = 0; r < grenze && frei < wuensche[i].Bedarf; ++r) {
      if (belegt[r]) {
        frei = 0;
        start = r + 1;
      } else {
        ++frei;
      }
    }
    if (frei < wuensche[i].Bedarf) {
      uint64_t summe = 0;
      for (const TWunsch& w : wuensche) summe += w.Bedarf;
      fehler = "'" + wuensche[i].Name + "' does not fit: the shader needs " +
               std::to_string(summe) + " registers, only " + std::to_string(grenze) +
               " are available";
      return false;
    }
    belege(i, static_cast<uint32_t>(start));
  }
  return true;
}

}  // namespace

bool TKonstantenBelegung::ZeilenweiseGespeichert(uint32_t strukturTyp, uint32_t mitglied) const {
  return mCompiler.has_member_decoration(strukturTyp, mitglied, spv::DecorationRowMajor);
}

TKonstantenBelegung::TMass TKonstantenBelegung::LegeAus(uint32_t typId, bool zeilenweise) {
  const auto& t = mCompiler.get_type(typId);
  if (!t.array.empty()) {
    const TMass element = LegeAus(t.parent_type, zeilenweise);
    const uint32_t schritt = Aufrunden(element.Groesse, RegisterBytes);
    mCompiler.set_decoration(typId, spv::DecorationArrayStride, schritt);
    mSchrittweiten[typId] = schritt;
    return {RegisterBytes, schritt * t.array.back()};
  }
  if (t.basetype == spirv_cross::SPIRType::Struct) return LegeStrukturAus(t.self);
  if (IstMatrix(t)) {
    const uint32_t vektoren = zeilenweise ? t.vecsize : t.columns;
    return {RegisterBytes, RegisterBytes * vektoren};
  }
  const uint32_t ausrichtung = t.vecsize == 1 ? 4 : t.vecsize == 2 ? 8 : 16;
  return {ausrichtung, 4 * t.vecsize};
}

TKonstantenBelegung::TMass TKonstantenBelegung::LegeStrukturAus(uint32_t typId) {
  const auto bekannt = mStrukturMasse.find(typId);
  if (bekannt != mStrukturMasse.end()) return bekannt->second;
  const auto& t = mCompiler.get_type(typId);
  uint32_t versatz = 0;
  for (uint32_t i = 0; i < t.member_types.size(); ++i) {
    const uint32_t mitgliedTyp = t.member_types[i];
    const TMass mass = LegeAus(mitgliedTyp, ZeilenweiseGespeichert(typId, i));
    versatz = Aufrunden(versatz, mass.Ausrichtung);
    mCompiler.set_member_decoration(typId, i, spv::DecorationOffset, versatz);
    if (IstMatrix(mCompiler.get_type(mitgliedTyp)))
      mCompiler.set_member_decoration(typId, i, spv::DecorationMatrixStride, RegisterBytes);
    versatz += mass.Groesse;
  }
  const TMass mass{RegisterBytes, Aufrunden(versatz, RegisterBytes)};
  mStrukturMasse[typId] = mass;
  return mass;
}

uint64_t TKonstantenBelegung::RegisterBedarf(uint32_t typId, bool zeilenweise) const {
  const auto& t = mCompiler.get_type(typId);
  const uint64_t ueber = uint64_t{mGrenze} + 1;
  if (!t.array.empty()) {
    uint64_t anzahl = 1;
    for (size_t i = 0; i < t.array.size(); ++i)
      anzahl = std::min<uint64_t>(anzahl * std::max<uint32_t>(t.array[i], 1), ueber);
    return std::min(anzahl * RegisterBedarf(ElementTyp(typId), zeilenweise), ueber);
  }
  if (t.basetype == spirv_cross::SPIRType::Struct) {
    uint64_t summe = 0;
    for (uint32_t i = 0; i < t.member_types.size(); ++i)
      summe = std::min(summe + RegisterBedarf(t.member_types[i], ZeilenweiseGespeichert(t.self, i)),
                       ueber);
    return summe;
  }
  if (IstMatrix(t)) return zeilenweise ? t.vecsize : t.columns;
  return 1;
}

uint32_t TKonstantenBelegung::ElementTyp(uint32_t typId) const {
  while (!mCompiler.get_type(typId).array.empty()) typId = mCompiler.get_type(typId).parent_type;
  return typId;
}

std::vector<uint32_t> TKonstantenBelegung::ElementVersaetze(uint32_t typId) const {
  const auto& t = mCompiler.get_type(typId);
  const uint32_t schritt = mSchrittweiten.at(typId);
  const auto& innen = mCompiler.get_type(t.parent_type);
  const std::vector<uint32_t> innere =
      innen.array.empty() ? std::vector<uint32_t>{0} : ElementVersaetze(t.parent_type);
  std::vector<uint32_t> versaetze;
  versaetze.reserve(innere.size() * t.array.back());
  for (uint32_t i = 0; i < t.array.back(); ++i)
    for (uint32_t v : innere) versaetze.push_back(i * schritt + v);
  return versaetze;
}

void TKonstantenBelegung::FuegeKopieHinzu(uint32_t reg, uint32_t versatz, uint32_t bytes,
                                          uint32_t umwandlung) {
  // Whole registers that follow each other in both files travel as one copy.
  if (!mKopien.empty() && umwandlung == TShaderCode::Kopie::Kopieren) {
    auto& letzte = mKopien.back();
    if (letzte.Umwandlung == TShaderCode::Kopie::Kopieren && letzte.Bytes % RegisterBytes == 0 &&
        letzte.Register + letzte.Bytes / RegisterBytes == reg &&
        letzte.Versatz + letzte.Bytes == versatz) {
      letzte.Bytes += bytes;
      return;
    }
  }
  mKopien.push_back({reg, versatz, bytes, umwandlung});
}

TKonstante TKonstantenBelegung::Beschreibe(uint32_t typId, const std::string& name,
                                           uint32_t strukturTyp, uint32_t mitglied,
                                           uint32_t versatz, std::string& fehler) {
  const auto& t = mCompiler.get_type(typId);
  if (t.array.empty()) return BeschreibeEinzeln(typId, name, strukturTyp, mitglied, versatz, fehler);

  // Each element takes at least one register: a count beyond the limit cannot fit anyway, and
  // checking first keeps a huge array from being walked.
  uint64_t anzahl = 1;
  for (size_t i = 0; i < t.array.size(); ++i) {
    if (!t.array_size_literal[i]) {
      fehler = "array size of '" + name + "' is not a constant";
      return {};
    }
    anzahl *= t.array[i];
    if (anzahl > mGrenze) {
      fehler = "array '" + name + "' needs more constant registers than available";
      return {};
    }
  }
  const uint32_t elementTyp = ElementTyp(typId);
  const std::vector<uint32_t> versaetze = ElementVersaetze(typId);
  TKonstante ganz;
  for (size_t i = 0; i < versaetze.size() && fehler.empty(); ++i) {
    TKonstante element =
        BeschreibeEinzeln(elementTyp, name, strukturTyp, mitglied, versatz + versaetze[i], fehler);
    if (i == 0) ganz = element;
    if (versaetze.size() > 1) ganz.Einzelne.push_back(std::move(element));
  }
  ganz.Elemente = static_cast<uint32_t>(versaetze.size());
  ganz.RegisterAnzahl = mNaechstesRegister - ganz.RegisterIndex;
  ganz.Bytes *= ganz.Elemente;
  return ganz;
}

TKonstante TKonstantenBelegung::BeschreibeEinzeln(uint32_t typId, const std::string& name,
                                                  uint32_t strukturTyp, uint32_t mitglied,
                                                  uint32_t versatz, std::string& fehler) {
  const auto& t = mCompiler.get_type(typId);
  TKonstante k;
  k.Name = name;
  k.RegisterIndex = mNaechstesRegister;
  if (t.basetype == spirv_cross::SPIRType::Struct) {
    k.Klasse = D3DXPC_STRUCT;
    k.Typ = D3DXPT_VOID;
    k.Zeilen = k.Spalten = 1;
    for (uint32_t i = 0; i < t.member_types.size() && fehler.empty(); ++i) {
      const uint32_t mitgliedVersatz =
          mCompiler.get_member_decoration(t.self, i, spv::DecorationOffset);
      TKonstante m = Beschreibe(t.member_types[i], mCompiler.get_member_name(t.self, i), t.self,
                                i, versatz + mitgliedVersatz, fehler);
      k.Bytes += m.Bytes;
      k.Mitglieder.push_back(std::move(m));
    }
    k.RegisterAnzahl = mNaechstesRegister - k.RegisterIndex;
    return k;
  }

  uint32_t umwandlung = TShaderCode::Kopie::Kopieren;
  switch (t.basetype) {
    case spirv_cross::SPIRType::Float: k.Typ = D3DXPT_FLOAT; break;
    case spirv_cross::SPIRType::Int:
      k.Typ = D3DXPT_INT;
      umwandlung = TShaderCode::Kopie::NachInt;
      break;
    case spirv_cross::SPIRType::UInt:
      // glslang keeps bools of a uniform block as uint; uint itself is no Direct3D 9 type.
      k.Typ = D3DXPT_BOOL;
      umwandlung = TShaderCode::Kopie::NachUint;
      break;
    default:
      fehler = "constant '" + name + "' has a type that float4 registers cannot hold";
      return k;
  }
  if (t.width != 32) {
    fehler = "constant '" + name + "' has a type that float4 registers cannot hold";
    return k;
  }

  uint32_t vektoren = 1, komponenten = t.vecsize;
  if (IstMatrix(t)) {
    // HLSL's rows are the SPIR-V columns. A row-major SPIR-V matrix is HLSL's column-major
    // default: each stored vector is one HLSL column, one register.
    const bool zeilenweise = ZeilenweiseGespeichert(strukturTyp, mitglied);
    k.Klasse = zeilenweise ? D3DXPC_MATRIX_COLUMNS : D3DXPC_MATRIX_ROWS;
    k.Zeilen = t.columns;
    k.Spalten = t.vecsize;
    vektoren = zeilenweise ? t.vecsize : t.columns;
    komponenten = zeilenweise ? t.columns : t.vecsize;
  } else {
    k.Klasse = t.vecsize == 1 ? D3DXPC_SCALAR : D3DXPC_VECTOR;
    k.Zeilen = 1;
    k.Spalten = t.vecsize;
  }
  for (uint32_t v = 0; v < vektoren; ++v)
    FuegeKopieHinzu(k.RegisterIndex + v, versatz + v * RegisterBytes, 4 * komponenten, umwandlung);
  k.RegisterAnzahl = vektoren;
  k.Bytes = 4 * k.Zeilen * k.Spalten;
  mNaechstesRegister += vektoren;
  return k;
}

bool TKonstantenBelegung::BelegeBlock(uint32_t blockTypId, uint32_t registerGrenze,
                                      const std::vector<bool>& benutzt, const TFesteRegister& fest,
                                      std::string& fehler) {
  mGrenze = registerGrenze;
  const auto& block = mCompiler.get_type(blockTypId);
  mBlockBytes = LegeStrukturAus(block.self).Groesse;
  std::vector<uint32_t> mitglieder;
  std::vector<TWunsch> wuensche;
  for (uint32_t i = 0; i < block.member_types.size(); ++i) {
    if (i >= benutzt.size() || !benutzt[i]) continue;
    mitglieder.push_back(i);
    wuensche.push_back({mCompiler.get_member_name(block.self, i),
                        RegisterBedarf(block.member_types[i], ZeilenweiseGespeichert(block.self, i))});
  }
  std::vector<uint32_t> starts;
  if (!Verteile(wuensche, registerGrenze, fest, "c", starts, fehler)) {
    fehler = "constant " + fehler;
    return false;
  }
  for (size_t n = 0; n < mitglieder.size() && fehler.empty(); ++n) {
    const uint32_t i = mitglieder[n];
    const uint32_t versatz = mCompiler.get_member_decoration(block.self, i, spv::DecorationOffset);
    mNaechstesRegister = starts[n];
    mKonstanten.push_back(
        Beschreibe(block.member_types[i], wuensche[n].Name, block.self, i, versatz, fehler));
  }
  return fehler.empty();
}

bool TKonstantenBelegung::BelegeSampler(const std::vector<spirv_cross::Resource>& sampler,
                                        const std::vector<std::string>& glslNamen, uint32_t grenze,
                                        const TFesteRegister& fest, std::string& fehler) {
  std::vector<TWunsch> wuensche;
  for (const auto& s : sampler) {
    uint64_t anzahl = 1;
    for (uint32_t d : mCompiler.get_type(s.type_id).array)
      anzahl = std::min<uint64_t>(anzahl * d, uint64_t{grenze} + 1);
    wuensche.push_back({s.name, anzahl});
  }
  std::vector<uint32_t> starts;
  if (!Verteile(wuensche, grenze, fest, "s", starts, fehler)) {
    fehler = "sampler " + fehler;
    return false;
  }
  for (size_t i = 0; i < sampler.size(); ++i) {
    const auto& t = mCompiler.get_type(sampler[i].type_id);
    const uint32_t anzahl = static_cast<uint32_t>(wuensche[i].Bedarf);
    TKonstante k;
    k.Name = sampler[i].name;
    k.RegisterSatz = D3DXRS_SAMPLER;
    k.RegisterIndex = starts[i];
    k.RegisterAnzahl = anzahl;
    k.Klasse = D3DXPC_OBJECT;
    switch (t.image.dim) {
      case spv::Dim1D: k.Typ = D3DXPT_SAMPLER1D; break;
      case spv::Dim3D: k.Typ = D3DXPT_SAMPLER3D; break;
      case spv::DimCube: k.Typ = D3DXPT_SAMPLERCUBE; break;
      default: k.Typ = D3DXPT_SAMPLER2D; break;
    }
    k.Elemente = anzahl;
    k.Bytes = 4 * anzahl;
    if (anzahl == 1) {
      mSampler.push_back({starts[i], glslNamen[i]});
    } else {
      for (uint32_t e = 0; e < anzahl; ++e) {
        mSampler.push_back({starts[i] + e, glslNamen[i] + "[" + std::to_string(e) + "]"});
        TKonstante element = k;
        element.RegisterIndex = starts[i] + e;
        element.RegisterAnzahl = 1;
        element.Elemente = 1;
        element.Bytes = 4;
        k.Einzelne.push_back(element);
      }
    }
    mKonstanten.push_back(std::move(k));
  }
  return true;
}

}  // namespace Plattform
