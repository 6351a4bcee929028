#include "plattform/hlsl/intern/d3dx_glslanglauf.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>

#include "plattform/hlsl/intern/d3dx_globalpruefung.h"

namespace Plattform {

namespace {

// glslang keeps process-wide tables; they are set up once (in the parent, so every child
// inherits them) and live until the process ends.
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

// The global symbols in the order the source declares them (the AST's linker objects).
std::vector<std::string> DeklarationsReihenfolge(const glslang::TIntermediate* zwischen) {
  std::vector<std::string> namen;
  TIntermNode* wurzel = zwischen ? zwischen->getTreeRoot() : nullptr;
  glslang::TIntermAggregate* folge = wurzel ? wurzel->getAsAggregate() : nullptr;
  if (!folge) return namen;
  for (TIntermNode* knoten : folge->getSequence()) {
    glslang::TIntermAggregate* objekte = knoten ? knoten->getAsAggregate() : nullptr;
    if (!objekte || objekte->getOp() != glslang::EOpLinkerObjects) continue;
    for (TIntermNode* objekt : objekte->getSequence())
      if (glslang::TIntermSymbol* symbol = objekt ? objekt->getAsSymbolNode() : nullptr)
        namen.emplace_back(symbol->getName().c_str());
  }
  return namen;
}

// What register(cN) and register(sN) asked for, read before the linker gives every constant and
// sampler a place of its own: global constants are members of the global uniform block with an
// offset of 16 bytes per register, samplers carry the register as their binding.
std::vector<TGlslangLauf::TExpliziterRegister> ExpliziteRegister(
    const glslang::TIntermediate* zwischen) {
  std::vector<TGlslangLauf::TExpliziterRegister> register_;
  TIntermNode* wurzel = zwischen ? zwischen->getTreeRoot() : nullptr;
  glslang::TIntermAggregate* folge = wurzel ? wurzel->getAsAggregate() : nullptr;
  if (!folge) return register_;
  for (TIntermNode* knoten : folge->getSequence()) {
    glslang::TIntermAggregate* objekte = knoten ? knoten->getAsAggregate() : nullptr;
    if (!objekte || objekte->getOp() != glslang::EOpLinkerObjects) continue;
    for (TIntermNode* objekt : objekte->getSequence()) {
      glslang::TIntermSymbol* symbol = objekt ? objekt->getAsSymbolNode() : nullptr;
      if (!symbol) continue;
      const glslang::TType& typ = symbol->getType();
      if (typ.getBasicType() == glslang::EbtSampler && typ.getQualifier().hasBinding()) {
        register_.push_back({symbol->getName().c_str(), 's', typ.getQualifier().layoutBinding});
      } else if (typ.getBasicType() == glslang::EbtBlock && typ.getStruct()) {
        for (const glslang::TTypeLoc& mitglied : *typ.getStruct()) {
          const glslang::TQualifier& q = mitglied.type->getQualifier();
          if (q.hasOffset() && q.layoutOffset >= 0)
            register_.push_back({mitglied.type->getFieldName().c_str(), 'c',
                                 static_cast<uint32_t>(q.layoutOffset) / 16});
        }
      }
    }
  }
  return register_;
}

std::string Fehlerzeile(const THlslKompiler::TAuftrag& auftrag, const std::string& text) {
  return "ERROR: " + (auftrag.QuellName.empty() ? std::string() : auftrag.QuellName + ": ") +
         text + "\n";
}

// --- the record through the pipe: words and length-prefixed texts ---

void Wort(std::string& o, uint32_t w) { o.append(reinterpret_cast<const char*>(&w), 4); }
void Text(std::string& o, const std::string& t) {
  Wort(o, static_cast<uint32_t>(t.size()));
  o += t;
}

bool SchreibeAlles(int fd, const std::string& daten) {
  size_t geschrieben = 0;
  while (geschrieben < daten.size()) {
    const ssize_t n = write(fd, daten.data() + geschrieben, daten.size() - geschrieben);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    geschrieben += static_cast<size_t>(n);
  }
  return true;
}

// Reads until the child closes its end; false when the time is up or the pipe fails (the
// child is then killed rather than waited for, since it may hang).
bool LiesAlles(int fd, std::string& daten, int grenzeMs) {
  const auto ende = std::chrono::steady_clock::now() + std::chrono::milliseconds(grenzeMs);
  char puffer[65536];
  for (;;) {
    const auto rest = std::chrono::duration_cast<std::chrono::milliseconds>(
        ende - std::chrono::steady_clock::now()).count();
    if (rest <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int bereit = poll(&p, 1, static_cast<int>(rest));
    if (bereit < 0 && errno == EINTR) continue;
    if (bereit <= 0) return false;
    const ssize_t n = read(fd, puffer, sizeof puffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    daten.append(puffer, static_cast<size_t>(n));
  }
}

// True when this process runs one thread only (the entries of /proc/self/task).
bool EinzigerFaden() {
  DIR* verzeichnis = opendir("/proc/self/task");
  if (!verzeichnis) return false;
  int faeden = 0;
  while (const dirent* eintrag = readdir(verzeichnis))
    if (eintrag->d_name[0] != '.') ++faeden;
  closedir(verzeichnis);
  return faeden == 1;
}

}  // namespace

std::string TGlslangLauf::Verpacke(const TErgebnis& e) {
  std::string o;
  Wort(o, e.Erfolg ? 1 : 0);
  Text(o, e.Meldungen);
  Wort(o, static_cast<uint32_t>(e.Spirv.size()));
  if (!e.Spirv.empty())
    o.append(reinterpret_cast<const char*>(e.Spirv.data()), e.Spirv.size() * 4);
  Wort(o, static_cast<uint32_t>(e.Reihenfolge.size()));
  for (const auto& n : e.Reihenfolge) Text(o, n);
  Wort(o, static_cast<uint32_t>(e.Register.size()));
  for (const auto& r : e.Register) {
    Text(o, r.Name);
    Wort(o, static_cast<uint32_t>(r.Satz));
    Wort(o, r.Index);
  }
  return o;
}

bool TGlslangLauf::Entpacke(const std::string& bytes, TErgebnis& e) {
  // The shader record's reader: the same words and length-prefixed texts.
  ShaderCodeDetail::Leser l{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  e.Erfolg = l.Wort() == 1;
  e.Meldungen = l.Text();
  const uint32_t woerter = l.Wort();
  if (!l.ok || l.rest / 4 < woerter) return false;
  e.Spirv.resize(woerter);
  if (woerter > 0) std::memcpy(e.Spirv.data(), l.p, size_t(woerter) * 4);
  l.p += size_t(woerter) * 4;
  l.rest -= size_t(woerter) * 4;
  const uint32_t namen = l.Wort();
  if (!l.ok || l.rest / 4 < namen) return false;
  e.Reihenfolge.clear();
  for (uint32_t i = 0; i < namen && l.ok; ++i) e.Reihenfolge.push_back(l.Text());
  const uint32_t register_ = l.Wort();
  if (!l.ok || l.rest / 12 < register_) return false;
  e.Register.clear();
  for (uint32_t i = 0; i < register_ && l.ok; ++i) {
    TExpliziterRegister r;
    r.Name = l.Text();
    r.Satz = static_cast<char>(l.Wort());
    r.Index = l.Wort();
    e.Register.push_back(std::move(r));
  }
  return l.ok && l.rest == 0;
}

TGlslangLauf::TErgebnis TGlslangLauf::FuehreHier(const THlslKompiler::TAuftrag& auftrag) {
  TErgebnis ergebnis;
  StarteGlslang();
  const EShLanguage sprache =
      auftrag.Stufe == TShaderCode::Vertex ? EShLangVertex : EShLangFragment;
  const std::string text = THlslKompiler::BereiteVor(auftrag.Quelltext, auftrag.Stufe);
  const std::string praeambel = Praeambel(auftrag);
  const char* quelle = text.c_str();
  const int laenge = static_cast<int>(text.size());
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
      ergebnis.Meldungen = Fehlerzeile(auftrag, "'" + doppelt + "' : redefinition");
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

TGlslangLauf::TErgebnis TGlslangLauf::Fuehre(const THlslKompiler::TAuftrag& auftrag) {
  StarteGlslang();
  // The child of a process with several threads may only make async-signal-safe calls, and
  // glslang allocates freely; there (once a GL driver has started its threads) glslang runs
  // unprotected in this process.
  if (!EinzigerFaden()) return FuehreHier(auftrag);
  TErgebnis ergebnis;
  int rohr[2];
  // Close-on-exec: a program started later must not inherit the compiler's pipe.
  if (pipe2(rohr, O_CLOEXEC) != 0) {
    ergebnis.Meldungen = Fehlerzeile(auftrag, "cannot start the compiler (pipe)");
    return ergebnis;
  }
  const pid_t kind = fork();
  if (kind < 0) {
    close(rohr[0]);
    close(rohr[1]);
    ergebnis.Meldungen = Fehlerzeile(auftrag, "cannot start the compiler (fork)");
    return ergebnis;
  }
  if (kind == 0) {
    // The child: compile, hand the result over and leave without running any of the parent's
    // exit handlers or flushing its buffers.
    close(rohr[0]);
    // A crash in glslang ends the child quietly: no crash handler of the parent's (crash
    // report, sanitizer, fuzzer) and no core file.
    for (int signal_ : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) signal(signal_, SIG_DFL);
    const rlimit keinKern{0, 0};
    setrlimit(RLIMIT_CORE, &keinKern);
    // Nothing may leave this block: an exception escaping here would carry the child on
    // through the parent's program.
    bool ok = false;
    try {
      ok = SchreibeAlles(rohr[1], Verpacke(FuehreHier(auftrag)));
    } catch (...) {
      ok = false;
    }
    _exit(ok ? 0 : 1);
  }
  close(rohr[1]);
  std::string daten;
  const bool rechtzeitig = LiesAlles(rohr[0], daten, GrenzeMillisekunden);
  close(rohr[0]);
  if (!rechtzeitig) kill(kind, SIGKILL);
  int status = 0;
  while (waitpid(kind, &status, 0) < 0 && errno == EINTR) {
  }
  if (!rechtzeitig) {
    ergebnis.Meldungen = Fehlerzeile(auftrag, "glslang took too long on this source");
    return ergebnis;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !Entpacke(daten, ergebnis)) {
    ergebnis = TErgebnis{};
    ergebnis.Meldungen = Fehlerzeile(
        auftrag, WIFSIGNALED(status)
                     ? "glslang failed on this source (signal " +
                           std::to_string(WTERMSIG(status)) + ")"
                     : std::string("glslang failed on this source"));
  }
  return ergebnis;
}

}  // namespace Plattform
