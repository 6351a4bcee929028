#pragma once
// The contract between our HLSL compiler (plattform_hlsl) and our Direct3D 9 stand-in
// (plattform_d3d9): what a "compiled shader" is on this platform.
//
// On Direct3D 9 the compiler hands out byte code that the device takes as a DWORD array.
// Here the compiler hands out GLSL text plus the tables the device needs to feed that GLSL the
// Direct3D 9 way (float4 constant registers, sampler registers, vertex input semantics).
// The whole record is serialised into the compiler's output buffer; the device's
// CreateVertexShader/CreatePixelShader read it back from the same bytes.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace Plattform {

struct TShaderCode {
  enum Stufe : uint32_t { Vertex = 0, Pixel = 1 };

  // One copy from the device's register file into this shader's uniform block, replayed
  // before each draw: `Bytes` bytes from register `Register` (16 bytes each, consecutive
  // registers for larger ranges) to byte `Versatz` of the block.
  // `Umwandlung` says how: Direct3D 9 keeps every constant in float registers, even an `int`,
  // `uint` or `bool` one, while the uniform block stores those as 32-bit integers. So each
  // 4-byte component is either copied as it is (Kopieren), or the float is converted
  // (truncated toward zero, clamped to the target's range; bools come out 0 or 1 for
  // 0.0 or 1.0) to int32 (NachInt) or uint32 (NachUint). Entries with a conversion never span
  // more than one register. (Added to the record after its first version.)
  struct Kopie {
    enum Art : uint32_t { Kopieren = 0, NachInt = 1, NachUint = 2 };
    uint32_t Register = 0;
    uint32_t Versatz = 0;
    uint32_t Bytes = 0;
    uint32_t Umwandlung = Kopieren;
  };
  // A sampler of this shader: Direct3D sampler register and the GLSL uniform's name.
  struct Sampler {
    uint32_t Register = 0;
    std::string Name;
  };
  // A vertex input: the GLSL attribute location the compiler gave it (POSITIONk -> k,
  // TEXCOORDn -> n + 1) and its HLSL semantic, for diagnostics.
  struct Eingang {
    uint32_t Ort = 0;
    std::string Semantik;
  };

  uint32_t Stufe = Vertex;
  // Complete GLSL source, "#version" line included. A vertex stage declares
  // `uniform vec2 weilerbau_halbpixel;` which the device sets to (1/viewport width,
  // 1/viewport height) before drawing (Direct3D 9's pixel centres). Varyings are named after
  // their semantic, so the two stages link by name; block and sampler names carry the stage.
  std::string Glsl;
  std::string BlockName;        // name of the uniform block holding the constants ("" if none)
  uint32_t BlockBytes = 0;      // size of that block
  std::vector<Kopie> Kopien;
  std::vector<Sampler> Samplers;
  std::vector<Eingang> Eingaenge;

  std::vector<uint8_t> Serialisiere() const;
  static std::optional<TShaderCode> Deserialisiere(const void* daten, size_t bytes);
};

// --- inline serialisation: a magic word, then fields in order, little-endian host order ---

namespace ShaderCodeDetail {
constexpr uint32_t Magie = 0x51534843u;  // "CHSQ"
// Words and length-prefixed texts, appended to a byte vector or a string.
template <class Puffer>
void Wort(Puffer& o, uint32_t w) {
  const size_t ende = o.size();
  o.resize(ende + 4);
  std::memcpy(o.data() + ende, &w, 4);
}
template <class Puffer>
void Text(Puffer& o, const std::string& s) {
  Wort(o, static_cast<uint32_t>(s.size()));
  o.insert(o.end(), s.begin(), s.end());
}
struct Leser {
  const uint8_t* p;
  size_t rest;
  bool ok = true;
  uint32_t Wort() {
    uint32_t w = 0;
    if (rest < 4) { ok = false; return 0; }
    std::memcpy(&w, p, 4);
    p += 4; rest -= 4;
    return w;
  }
  std::string Text() {
    uint32_t n = Wort();
    if (!ok || n > rest) { ok = false; return {}; }
    std::string s(reinterpret_cast<const char*>(p), n);
    p += n; rest -= n;
    return s;
  }
};
}  // namespace ShaderCodeDetail

inline std::vector<uint8_t> TShaderCode::Serialisiere() const {
  using namespace ShaderCodeDetail;
  std::vector<uint8_t> o;
  Wort(o, Magie);
  Wort(o, Stufe);
  Text(o, Glsl);
  Text(o, BlockName);
  Wort(o, BlockBytes);
  Wort(o, static_cast<uint32_t>(Kopien.size()));
  for (const auto& k : Kopien) { Wort(o, k.Register); Wort(o, k.Versatz); Wort(o, k.Bytes); Wort(o, k.Umwandlung); }
  Wort(o, static_cast<uint32_t>(Samplers.size()));
  for (const auto& s : Samplers) { Wort(o, s.Register); Text(o, s.Name); }
  Wort(o, static_cast<uint32_t>(Eingaenge.size()));
  for (const auto& e : Eingaenge) { Wort(o, e.Ort); Text(o, e.Semantik); }
  return o;
}

inline std::optional<TShaderCode> TShaderCode::Deserialisiere(const void* daten, size_t bytes) {
  using namespace ShaderCodeDetail;
  Leser l{static_cast<const uint8_t*>(daten), bytes};
  if (l.Wort() != Magie) return std::nullopt;
  TShaderCode c;
  c.Stufe = l.Wort();
  c.Glsl = l.Text();
  c.BlockName = l.Text();
  c.BlockBytes = l.Wort();
  // Counts are bounded by the bytes left, so a damaged record cannot ask for a huge allocation.
  uint32_t n = l.Wort();
  if (n > l.rest / 16) return std::nullopt;
  c.Kopien.resize(n);
  for (auto& k : c.Kopien) {
    k.Register = l.Wort(); k.Versatz = l.Wort(); k.Bytes = l.Wort(); k.Umwandlung = l.Wort();
    if (k.Umwandlung > TShaderCode::Kopie::NachUint) return std::nullopt;
  }
  n = l.Wort();
  if (n > l.rest / 8) return std::nullopt;
  c.Samplers.resize(n);
  for (auto& s : c.Samplers) { s.Register = l.Wort(); s.Name = l.Text(); }
  n = l.Wort();
  if (n > l.rest / 8) return std::nullopt;
  c.Eingaenge.resize(n);
  for (auto& e : c.Eingaenge) { e.Ort = l.Wort(); e.Semantik = l.Text(); }
  if (!l.ok || c.Stufe > Pixel) return std::nullopt;
  return c;
}

}  // namespace Plattform
