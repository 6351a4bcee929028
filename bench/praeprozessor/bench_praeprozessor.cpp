// Preprocessing speed on generated shader-like texts of 1, 4 and 16 MB (macros, conditionals,
// include-guarded includes, comments), against GCC's cpp run as a whole process on the same text.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "preprocessor/preprocessor.h"

namespace {

std::string Ordner() {
  static const std::string ordner = [] {
    std::string o = (std::filesystem::temp_directory_path() / "bench_praeprozessor").string();
    std::filesystem::create_directories(o);
    return o;
  }();
  return ordner;
}

void Schreibe(const std::string& pfad, const std::string& inhalt) {
  FILE* f = std::fopen(pfad.c_str(), "wb");
  if (!f) return;
  std::fwrite(inhalt.data(), 1, inhalt.size(), f);
  std::fclose(f);
}

std::string Name(int mb) { return Ordner() + "/eingabe" + std::to_string(mb) + ".fx"; }

// About mb MB: a header with helpers, then many shader-like blocks.
const std::string& Eingabe(int mb) {
  static std::map<int, std::string> texte;
  std::string& text = texte[mb];
  if (text.empty()) {
    Schreibe(Ordner() + "/gemeinsam.h",
             "#ifndef GEMEINSAM_H\n#define GEMEINSAM_H\n"
             "#define SAMPLE_2D( name, tex) tex2D( name, tex)\n"
             "#define MISCHE(a, b, t) lerp( (a), (b), saturate( t))\n"
             "#define QUAD(x) ((x) * (x))\n"
             "/* shared helpers */\n"
             "float3 Hell( float3 c) { return c * 1.5f; }\n#endif\n");
    std::string t =
        "#define GRAFIK_DIRECTX 9\n#define STUFEN 4\n#define CONST static const\n"
        "#include \"gemeinsam.h\"\n";
    int block = 0;
    while (t.size() < (static_cast<size_t>(mb) << 20)) {
      char zeilen[2048];
      std::snprintf(
          zeilen, sizeof(zeilen),
          "// block %d: lighting\n"
          "#if STUFEN > %d\n"
          "CONST float gewicht%d = 0.%dF;\n"
          "#else\n"
          "CONST float gewicht%d = 1.0f; /* fallback */\n"
          "#endif\n"
          "#ifdef SCHATTEN_%d\n"
          "float schatten%d = 0;\n"
          "#endif\n"
          "float4 Licht%d( float3 n, float3 l, float2 uv)\n"
          "{\n"
          "  float d = saturate( dot( n, l)) * gewicht%d; /* diffuse\n"
          "     term */\n"
          "  float4 c = SAMPLE_2D( bild, uv) * MISCHE( 0.25f, 1.0f, QUAD( d));\n"
          "  return float4( Hell( c.rgb), c.a) * GRAFIK_DIRECTX;\n"
          "}\n"
          "#include \"gemeinsam.h\"\n\n",
          block, block % 8, block, block % 10, block, block, block, block, block);
      t += zeilen;
      ++block;
    }
    Schreibe(Name(mb), t);
    text = std::move(t);
  }
  return text;
}

struct Lesen {
  const std::string* text;
  size_t pos;
  size_t ausgabe;
};

char* Lies(char* puffer, int groesse, void* nutzer, FILE*) {
  auto* l = static_cast<Lesen*>(nutzer);
  if (l->pos >= l->text->size()) return nullptr;
  size_t n = std::min(l->text->size() - l->pos, static_cast<size_t>(groesse - 1));
  std::memcpy(puffer, l->text->data() + l->pos, n);
  puffer[n] = 0;
  l->pos += n;
  return puffer;
}

void Zaehle(int, void* nutzer) { static_cast<Lesen*>(nutzer)->ausgabe++; }

void BM_Praeprozessor(benchmark::State& state) {
  const std::string& text = Eingabe(static_cast<int>(state.range(0)));
  std::string name = Name(static_cast<int>(state.range(0)));
  auto zustand = std::make_unique<PreprocessorState>();
  size_t ausgabe = 0;
  for (auto _ : state) {
    Lesen l{&text, 0, 0};
    PreprocessorTag tags[] = {{11, PreprocessorWert(name.c_str())}, {12, PreprocessorWert(&Lies)},
                              {13, PreprocessorWert(&Zaehle)}, {14, PreprocessorWert(&l)},
                              {15, 0}, {19, 0}, {0, 0}};
    PreprocessorEntry(tags, zustand.get());
    ausgabe = l.ausgabe;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.counters["ausgabe_bytes"] = static_cast<double>(ausgabe);
}
BENCHMARK(BM_Praeprozessor)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same text through GCC's cpp, process start included.
void BM_GccCpp(benchmark::State& state) {
  const std::string& text = Eingabe(static_cast<int>(state.range(0)));
  std::string befehl = "cpp -P -undef -nostdinc -std=c99 -Dlumocpp=1 '" +
                       Name(static_cast<int>(state.range(0))) + "' > /dev/null 2>&1";
  for (auto _ : state) {
    if (std::system(befehl.c_str()) != 0) {
      state.SkipWithError("cpp failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_GccCpp)->Arg(1)->Arg(4)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
