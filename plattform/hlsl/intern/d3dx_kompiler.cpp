#include "plattform/hlsl/intern/d3dx_kompiler.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <set>

#include <spirv_cross/spirv_glsl.hpp>

#include "plattform/hlsl/intern/d3dx_glslanglauf.h"
#include "plattform/hlsl/intern/d3dx_konstantenbelegung.h"

namespace Plattform {

namespace {

// The line epilogue SPIRV-Cross writes last for a flipped y; the half-pixel shift comes after.
const char* const FlipZeile = "gl_Position.y = -gl_Position.y;";
const char* const HalbpixelUniform = "uniform vec2 weilerbau_halbpixel;\n";
const char* const HalbpixelZeile = "\n    gl_Position.xy += weilerbau_halbpixel * gl_Position.w;";

bool IstNamenszeichen(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Semantics are case-insensitive, and one without a number has index 0.
std::string NormaleSemantik(std::string semantik) {
  for (char& c : semantik) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!semantik.empty() && !std::isdigit(static_cast<unsigned char>(semantik.back())))
    semantik += '0';
  return semantik;
}

// Splits "TEXCOORD12" into "TEXCOORD" and 12; false without a number.
bool TeileSemantik(const std::string& semantik, std::string& name, uint32_t& index) {
  size_t p = semantik.size();
  while (p > 0 && std::isdigit(static_cast<unsigned char>(semantik[p - 1]))) --p;
  if (p == semantik.size() || semantik.size() - p > 3) return false;
  name = semantik.substr(0, p);
  index = static_cast<uint32_t>(std::stoul(semantik.substr(p)));
  return true;
}

// Locations a vertex input takes: one per matrix column and array element.
uint32_t Ortsbreite(const spirv_cross::SPIRType& t) {
  uint64_t breite = t.columns > 1 ? t.columns : 1;
  for (uint32_t d : t.array) breite *= d;
  return static_cast<uint32_t>(std::min<uint64_t>(breite, 1000));
}

// SPIRV-Cross's GLSL writer, able to turn a pixel input into a value of the pixel itself.
class TGlslSchreiber : public spirv_cross::CompilerGLSL {
 public:
  using CompilerGLSL::CompilerGLSL;
  // The input becomes a plain global that main sets to `wert` before anything else runs.
  void BerechneEingang(uint32_t variable, std::string wert) {
    get<spirv_cross::SPIRVariable>(variable).storage = spv::StorageClassPrivate;
    global_variables.push_back(variable);
    get<spirv_cross::SPIRFunction>(ir.default_entry_point)
        .fixup_hooks_in.push_back([this, variable, wert = std::move(wert)] {
          statement(to_name(variable), " = ", wert, ";");
        });
  }
};

// Everything between SPIR-V and GLSL: one object per shader being compiled.
class TUebersetzung {
 public:
  TUebersetzung(std::vector<uint32_t> spirv, const THlslKompiler::TAuftrag& auftrag,
                std::vector<std::string> reihenfolge,
                const std::vector<TGlslangSatz::TExpliziterRegister>& register_)
      : mC(std::move(spirv)), mAuftrag(auftrag), mReihenfolge(std::move(reihenfolge)),
        mBelegung(mC) {
    for (const auto& r : register_) (r.Satz == 's' ? mFesteSampler : mFesteKonstanten)[r.Name] = r.Index;
  }

  bool Fuehre(THlslKompiler::TErgebnis& ergebnis);
  const std::string& Fehlertext() const { return mFehler; }

 private:
  bool Vertex() const { return mAuftrag.Stufe == TShaderCode::Vertex; }
  std::string Vorsilbe() const { return Vertex() ? "weilerbau_vs_" : "weilerbau_ps_"; }
  bool Fehler(const std::string& text) {
    mFehler += "ERROR: " + (mAuftrag.QuellName.empty() ? std::string() : mAuftrag.QuellName + ": ") +
               text + "\n";
    return false;
  }
  bool PruefeRessourcen();
  bool Eingaenge(TShaderCode& code);
  bool Ausgaenge();
  bool PixelEingaenge();
  bool Konstanten();
  bool Sampler();
  bool SchreibeGlsl(TShaderCode& code);

  TGlslSchreiber mC;
  const THlslKompiler::TAuftrag& mAuftrag;
  std::vector<std::string> mReihenfolge;
  TKonstantenBelegung mBelegung;
  TKonstantenBelegung::TFesteRegister mFesteKonstanten, mFesteSampler;
  spirv_cross::ShaderResources mRes;
  std::string mBlockName;
  std::string mFehler;
};

bool TUebersetzung::PruefeRessourcen() {
  if (!mRes.storage_buffers.empty() || !mRes.storage_images.empty() ||
      !mRes.separate_images.empty() || !mRes.separate_samplers.empty() ||
      !mRes.atomic_counters.empty() || !mRes.push_constant_buffers.empty() ||
      !mRes.subpass_inputs.empty())
    return Fehler("only constants and sampler2D/samplerCUBE/sampler3D samplers are supported");
  if (mRes.uniform_buffers.size() > 1)
    return Fehler("constant buffers are not supported; declare constants globally");
  return true;
}

// Vertex inputs sit where the device's vertex declaration puts them: POSITIONk at k,
// TEXCOORDn at n + 1.
bool TUebersetzung::Eingaenge(TShaderCode& code) {
  std::set<uint32_t> belegt;
  for (const auto& r : mRes.stage_inputs) {
    const std::string semantik =
        NormaleSemantik(mC.get_decoration_string(r.id, spv::DecorationUserSemantic));
    std::string name;
    uint32_t index = 0;
    if (!TeileSemantik(semantik, name, index) || (name != "POSITION" && name != "TEXCOORD"))
      return Fehler("vertex input semantic '" + semantik + "' is not supported (POSITION0, TEXCOORDn)");
    const uint32_t ort = name == "POSITION" ? index : index + 1;
    const uint32_t breite = Ortsbreite(mC.get_type(r.type_id));
    for (uint32_t o = ort; o < ort + breite; ++o)
      if (!belegt.insert(o).second)
        return Fehler("vertex input '" + semantik + "' overlaps another input");
    mC.set_decoration(r.id, spv::DecorationLocation, ort);
    code.Eingaenge.push_back({ort, semantik});
  }
  return true;
}

// Vertex outputs and pixel inputs are linked by name, so both take the semantic's name.
bool TUebersetzung::Ausgaenge() {
  std::set<std::string> namen;
  if (Vertex()) {
    bool position = false;
    for (const auto& b : mRes.builtin_outputs) position |= b.builtin == spv::BuiltInPosition;
    for (const auto& r : mRes.stage_outputs) {
      const std::string semantik =
          NormaleSemantik(mC.get_decoration_string(r.id, spv::DecorationUserSemantic));
      if (semantik.rfind("POSITION", 0) == 0)
        return Fehler("vertex output '" + semantik +
                      "' is not taken as the position; declare it as an out parameter or the "
                      "return value of main");
      if (!namen.insert(semantik).second)
        return Fehler("vertex output semantic '" + semantik + "' used twice");
      mC.set_name(r.id, "weilerbau_" + semantik);
      mC.unset_decoration(r.id, spv::DecorationLocation);
    }
    if (!position) return Fehler("vertex shader writes no POSITION");
    return true;
  }
  // Pixel outputs: COLORn goes to render target n.
  for (const auto& r : mRes.stage_outputs) {
    const std::string semantik =
        NormaleSemantik(mC.get_decoration_string(r.id, spv::DecorationUserSemantic));
    std::string name;
    uint32_t index = 0;
    if (!TeileSemantik(semantik, name, index) || (name != "COLOR" && name != "SV_TARGET") ||
        index > 3)
      return Fehler("pixel output semantic '" + semantik + "' is not supported (COLOR0 to COLOR3)");
    if (!namen.insert(std::to_string(index)).second)
      return Fehler("pixel output '" + semantik + "' written twice");
    mC.set_decoration(r.id, spv::DecorationLocation, index);
  }
  return true;
}

// VPOS and VFACE come from no vertex stage: they are the pixel's own position and facing.
bool TUebersetzung::PixelEingaenge() {
  std::set<std::string> namen;
  for (const auto& r : mRes.stage_inputs) {
    const std::string semantik =
        NormaleSemantik(mC.get_decoration_string(r.id, spv::DecorationUserSemantic));
    if (!namen.insert(semantik).second)
      return Fehler("pixel input semantic '" + semantik + "' used twice");
    mC.set_name(r.id, "weilerbau_" + semantik);
    mC.unset_decoration(r.id, spv::DecorationLocation);
    const auto& typ = mC.get_type(r.type_id);
    const bool gleitkomma = typ.basetype == spirv_cross::SPIRType::Float && typ.width == 32 &&
                            typ.columns == 1 && typ.array.empty();
    if (semantik == "VPOS0") {
      if (!gleitkomma || typ.vecsize != 2)
        return Fehler("pixel input VPOS must be a float2");
      // Direct3D 9 puts pixel centres on whole numbers; the rows are stored top-down, so
      // OpenGL's window y is already Direct3D's row.
      mC.BerechneEingang(r.id, "gl_FragCoord.xy - vec2(0.5)");
    } else if (semantik == "VFACE0") {
      if (!gleitkomma || typ.vecsize != 1)
        return Fehler("pixel input VFACE must be a float");
      // Direct3D's clockwise front faces are OpenGL's front faces here (rows top-down).
      mC.BerechneEingang(r.id, "gl_FrontFacing ? 1.0 : -1.0");
    }
  }
  return true;
}

bool TUebersetzung::Konstanten() {
  if (mRes.uniform_buffers.empty()) return true;
  const auto& r = mRes.uniform_buffers.front();
  // Both stages live in one GL program, so their blocks need names of their own.
  mBlockName = Vertex() ? "WeilerbauVSKonst" : "WeilerbauPSKonst";
  mC.set_name(r.base_type_id, mBlockName);
  mC.set_name(r.id, Vorsilbe() + "konst");
  mC.unset_decoration(r.id, spv::DecorationBinding);
  mC.unset_decoration(r.id, spv::DecorationDescriptorSet);
  // Constants the shader never reads get no register, as on Direct3D 9.
  std::vector<bool> benutzt(mC.get_type(r.base_type_id).member_types.size(), false);
  for (const auto& bereich : mC.get_active_buffer_ranges(r.id))
    if (bereich.index < benutzt.size()) benutzt[bereich.index] = true;
  std::string fehler;
  const uint32_t grenze = Vertex() ? THlslKompiler::VertexRegister : THlslKompiler::PixelRegister;
  if (!mBelegung.BelegeBlock(r.base_type_id, grenze, benutzt, mFesteKonstanten, fehler))
    return Fehler(fehler);
  return true;
}

bool TUebersetzung::Sampler() {
  // Samplers the shader never reads get no register, as on Direct3D 9.
  const auto aktiv = mC.get_active_interface_variables();
  std::vector<spirv_cross::Resource> sampler;
  for (const auto& r : mRes.sampled_images)
    if (aktiv.count(r.id)) sampler.push_back(r);
  // Sampler registers follow the order of declaration, as they would on Direct3D 9.
  auto rang = [&](const spirv_cross::Resource& r) {
    const auto p = std::find(mReihenfolge.begin(), mReihenfolge.end(), r.name);
    return p - mReihenfolge.begin();
  };
  std::stable_sort(sampler.begin(), sampler.end(),
                   [&](const auto& a, const auto& b) { return rang(a) < rang(b); });
  uint64_t anzahl = 0;
  for (const auto& r : sampler) {
    uint64_t n = 1;
    for (uint32_t d : mC.get_type(r.type_id).array) n = std::min<uint64_t>(n * d, 1u << 20);
    anzahl += n;
  }
  const uint32_t grenze = Vertex() ? THlslKompiler::VertexSampler : THlslKompiler::PixelSampler;
  if (anzahl > grenze)
    return Fehler("shader uses " + std::to_string(anzahl) + " samplers, only " +
                  std::to_string(grenze) + " are available");
  // Every sampler, read or not, is declared in the GLSL: each carries its stage in its name.
  for (const auto& r : mRes.sampled_images) {
    mC.set_name(r.id, Vorsilbe() + r.name);
    mC.unset_decoration(r.id, spv::DecorationBinding);
    mC.unset_decoration(r.id, spv::DecorationDescriptorSet);
  }
  std::vector<std::string> glslNamen;
  for (const auto& r : sampler) glslNamen.push_back(Vorsilbe() + r.name);
  std::string fehler;
  if (!mBelegung.BelegeSampler(sampler, glslNamen, grenze, mFesteSampler, fehler))
    return Fehler(fehler);
  return true;
}

// The half-pixel shift follows every y flip SPIRV-Cross wrote (one per return of main).
bool TUebersetzung::SchreibeGlsl(TShaderCode& code) {
  spirv_cross::CompilerGLSL::Options optionen = mC.get_common_options();
  optionen.version = 330;
  optionen.es = false;
  optionen.enable_420pack_extension = false;
  optionen.vertex.flip_vert_y = true;
  optionen.vertex.fixup_clipspace = true;
  mC.set_common_options(optionen);
  std::string glsl = mC.compile();
  if (Vertex()) {
    size_t p = 0, gefunden = 0;
    while ((p = glsl.find(FlipZeile, p)) != std::string::npos) {
      p += std::char_traits<char>::length(FlipZeile);
      glsl.insert(p, HalbpixelZeile);
      ++gefunden;
    }
    const size_t zeilenende = glsl.find('\n');
    if (gefunden == 0 || zeilenende == std::string::npos)
      return Fehler("vertex shader has no position epilogue");
    glsl.insert(zeilenende + 1, HalbpixelUniform);
  }
  code.Glsl = std::move(glsl);
  return true;
}

bool TUebersetzung::Fuehre(THlslKompiler::TErgebnis& ergebnis) {
  TShaderCode& code = ergebnis.Code;
  code.Stufe = mAuftrag.Stufe;
  mRes = mC.get_shader_resources();
  if (!PruefeRessourcen()) return false;
  if (Vertex() ? !Eingaenge(code) : !PixelEingaenge()) return false;
  if (!Ausgaenge() || !Konstanten() || !Sampler()) return false;
  if (!SchreibeGlsl(code)) return false;
  code.BlockName = mBlockName;
  code.BlockBytes = mBlockName.empty() ? 0 : mBelegung.BlockBytes();
  code.Kopien = mBelegung.Kopien();
  code.Samplers = mBelegung.Sampler();
  ergebnis.Konstanten = mBelegung.Konstanten();
  return true;
}

}  // namespace

std::string THlslKompiler::BereiteVor(const std::string& quelltext, uint32_t stufe) {
  std::string text = quelltext;
  if (stufe != TShaderCode::Vertex) return text;
  static const std::string gesucht = "POSITION0";
  for (size_t p = 0; p + gesucht.size() <= text.size(); ++p) {
    if (std::toupper(static_cast<unsigned char>(text[p])) != 'P') continue;
    bool gleich = true;
    for (size_t i = 0; i < gesucht.size() && gleich; ++i)
      gleich = std::toupper(static_cast<unsigned char>(text[p + i])) == gesucht[i];
    if (!gleich) continue;
    const size_t ende = p + gesucht.size();
    if (ende < text.size() && IstNamenszeichen(text[ende])) continue;
    size_t vor = p;
    while (vor > 0 && std::isspace(static_cast<unsigned char>(text[vor - 1]))) --vor;
    if (vor == 0 || text[vor - 1] != ':') continue;
    // Same length, so columns in messages stay where they were.
    text[ende - 1] = ' ';
  }
  return text;
}

THlslKompiler::TErgebnis THlslKompiler::Uebersetze(const TAuftrag& auftrag) {
  TErgebnis ergebnis;
  TGlslangSatz::TErgebnis spirv = TGlslangLauf::Fuehre(auftrag);
  std::string meldungen = std::move(spirv.Meldungen);
  if (!spirv.Erfolg) {
    ergebnis.Meldungen = std::move(meldungen);
    return ergebnis;
  }
  try {
    TUebersetzung uebersetzung(std::move(spirv.Spirv), auftrag, std::move(spirv.Reihenfolge),
                               spirv.Register);
    ergebnis.Erfolg = uebersetzung.Fuehre(ergebnis);
    meldungen += uebersetzung.Fehlertext();
  } catch (const std::exception& e) {
    ergebnis.Erfolg = false;
    meldungen += "ERROR: " + std::string(e.what()) + "\n";
  }
  ergebnis.Meldungen = meldungen;
  if (!ergebnis.Erfolg) {
    ergebnis.Code = TShaderCode{};
    ergebnis.Konstanten.clear();
  }
  return ergebnis;
}

}  // namespace Plattform
