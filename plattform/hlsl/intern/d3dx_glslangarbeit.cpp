#include "plattform/hlsl/intern/d3dx_glslangarbeit.h"

#include <mutex>

#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include "plattform/hlsl/intern/d3dx_globalpruefung.h"

namespace Plattform {

namespace {

// glslang keeps process-wide tables; they are set up once and live until the process ends.
void StarteGlslang() {
  static std::once_flag einmal;
  std::call_once(einmal, [] { glslang::InitializeProcess(); });
}

const EShMessages Meldungsart = static_cast<EShMessages>(
    EShMsgSpvRules | EShMsgVulkanRules | EShMsgReadHlsl | EShMsgHlslDX9Compatible);

std::string Praeambel(const THlslKompiler::TAuftrag& auftrag) {
  std::string text;
  if (auftrag.ZeilenweiseMatrizen) text += "#pragma pack_matrix(row_major)\n";
  for (const auto& [name, wert] : auftrag.Definitionen) {
    // One definition per line: a line break inside would end it early.
    if (name.find_first_of("\r\n") != std::string::npos ||
        wert.find_first_of("\r\n") != std::string::npos)
      continue;
    text += "#define " + name + " " + wert + "\n";
  }
  return text;
}

// Calls `tue` with every global symbol of the AST (its linker objects), in declaration order.
template <class F>
void JedesGlobale(const glslang::TIntermediate* zwischen, F tue) {
  TIntermNode* wurzel = zwischen ? zwischen->getTreeRoot() : nullptr;
  glslang::TIntermAggregate* folge = wurzel ? wurzel->getAsAggregate() : nullptr;
  if (!folge) return;
  for (TIntermNode* knoten : folge->getSequence()) {
    glslang::TIntermAggregate* objekte = knoten ? knoten->getAsAggregate() : nullptr;
    if (!objekte || objekte->getOp() != glslang::EOpLinkerObjects) continue;
    for (TIntermNode* objekt : objekte->getSequence())
      if (glslang::TIntermSymbol* symbol = objekt ? objekt->getAsSymbolNode() : nullptr)
        tue(*symbol);
  }
}

// The global symbols in the order the source declares them.
std::vector<std::string> DeklarationsReihenfolge(const glslang::TIntermediate* zwischen) {
  std::vector<std::string> namen;
  JedesGlobale(zwischen, [&](const glslang::TIntermSymbol& symbol) {
    namen.emplace_back(symbol.getName().c_str());
  });
  return namen;
}

// What register(cN) and register(sN) asked for, read before the linker gives every constant and
// sampler a place of its own: global constants are members of the global uniform block with an
// offset of 16 bytes per register, samplers carry the register as their binding.
std::vector<TGlslangSatz::TExpliziterRegister> ExpliziteRegister(
    const glslang::TIntermediate* zwischen) {
  std::vector<TGlslangSatz::TExpliziterRegister> register_;
  JedesGlobale(zwischen, [&](const glslang::TIntermSymbol& symbol) {
    const glslang::TType& typ = symbol.getType();
    if (typ.getBasicType() == glslang::EbtSampler && typ.getQualifier().hasBinding()) {
      register_.push_back({symbol.getName().c_str(), 's', typ.getQualifier().layoutBinding});
    } else if (typ.getBasicType() == glslang::EbtBlock && typ.getStruct()) {
      for (const glslang::TTypeLoc& mitglied : *typ.getStruct()) {
        const glslang::TQualifier& q = mitglied.type->getQualifier();
        if (q.hasOffset() && q.layoutOffset >= 0)
          register_.push_back({mitglied.type->getFieldName().c_str(), 'c',
                               static_cast<uint32_t>(q.layoutOffset) / 16});
      }
    }
  });
  return register_;
}

}  // namespace

TGlslangSatz::TErgebnis TGlslangArbeit::Fuehre(const THlslKompiler::TAuftrag& auftrag) {
  TGlslangSatz::TErgebnis ergebnis;
  StarteGlslang();
  const EShLanguage sprache =
      auftrag.Stufe == TShaderCode::Vertex ? EShLangVertex : EShLangFragment;
  const std::string praeambel = Praeambel(auftrag);
  const char* quelle = auftrag.Quelltext.c_str();
  const int laenge = static_cast<int>(auftrag.Quelltext.size());
  const char* name = auftrag.QuellName.c_str();
  auto richteEin = [&](glslang::TShader& shader) {
    if (auftrag.QuellName.empty()) shader.setStringsWithLengths(&quelle, &laenge, 1);
    else shader.setStringsWithLengthsAndNames(&quelle, &laenge, &name, 1);
    shader.setPreamble(praeambel.c_str());
    shader.setEntryPoint(auftrag.Einstieg.c_str());
    shader.setSourceEntryPoint(auftrag.Einstieg.c_str());
    shader.setEnvInput(glslang::EShSourceHlsl, sprache, glslang::EShClientVulkan, 100);
    shader.setEnvClient(glslang::EShClientVulkan, glslang::EShTargetVulkan_1_0);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setAutoMapLocations(true);
    shader.setAutoMapBindings(true);
    shader.setEnvTargetHlslFunctionality1();
  };

  // A global declared twice gets a plain message rather than glslang's crash on it.
  {
    glslang::TShader vorlauf(sprache);
    richteEin(vorlauf);
    std::string vorverarbeitet;
    glslang::TShader::ForbidIncluder keineIncludes;
    if (!vorlauf.preprocess(GetDefaultResources(), 100, ENoProfile, false, false, Meldungsart,
                            &vorverarbeitet, keineIncludes)) {
      ergebnis.Meldungen = vorlauf.getInfoLog();
      return ergebnis;
    }
    const std::string doppelt = TGlobalPruefung::DoppelteGlobale(vorverarbeitet);
    if (!doppelt.empty()) {
      ergebnis.Meldungen = TGlslangSatz::Fehlerzeile(auftrag, "'" + doppelt + "' : redefinition");
      return ergebnis;
    }
  }

  glslang::TShader shader(sprache);
  richteEin(shader);
  if (!shader.parse(GetDefaultResources(), 100, false, Meldungsart)) {
    ergebnis.Meldungen = shader.getInfoLog();
    return ergebnis;
  }
  ergebnis.Meldungen = shader.getInfoLog();
  ergebnis.Register = ExpliziteRegister(shader.getIntermediate());
  glslang::TProgram programm;
  programm.addShader(&shader);
  if (!programm.link(Meldungsart) || !programm.mapIO()) {
    ergebnis.Meldungen += programm.getInfoLog();
    return ergebnis;
  }
  spv::SpvBuildLogger protokoll;
  glslang::SpvOptions spvOptionen;
  spvOptionen.disableOptimizer = true;
  glslang::GlslangToSpv(*programm.getIntermediate(sprache), ergebnis.Spirv, &protokoll,
                        &spvOptionen);
  ergebnis.Meldungen += protokoll.getAllMessages();
  ergebnis.Reihenfolge = DeklarationsReihenfolge(programm.getIntermediate(sprache));
  ergebnis.Erfolg = !ergebnis.Spirv.empty();
  return ergebnis;
}

}  // namespace Plattform
