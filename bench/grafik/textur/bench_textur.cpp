// The texture paths that run during play: small regions written into a dynamic atlas (every
// new glyph or sprite goes through the kept copy and a locked upload) and region copies.
// Needs a display: run under xvfb-run.
#include <benchmark/benchmark.h>

#include <vector>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/bild/tbereich.h"

namespace {

// A 16 x 16 glyph written at ever new places of a 1024 x 1024 atlas with a mip chain.
void AtlasTeilInhalt(benchmark::State& state) {
  Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
  auto* atlas = kontext->ErzeugeTextur(1024, 1024, 0, FLAG_DYNAMISCH, nullptr);
  std::vector<uint32_t> glyphe(16 * 16, 0xFFFFFFFFu);
  TBereich quelle{reinterpret_cast<uint8_t*>(glyphe.data()), Quarz::PF_A8R8G8B8, 16, 16, 64};
  uint64_t n = 0;
  for (auto _ : state) {
    atlas->SchreibeTeilInhalt((n % 64) * 16, ((n / 64) % 64) * 16, quelle);
    ++n;
  }
  kontext->Freigeben(atlas);
  state.SetItemsProcessed(static_cast<int64_t>(n));
}

// Same-format region copies of 256 x 256 pixels (row copies, block-row copies for DXT).
void RegionKopie(benchmark::State& state) {
  const auto format = static_cast<Quarz_Pixelformat>(state.range(0));
  const uint64_t pitch = Quarz::GetZeilenBytes(format, 512);
  std::vector<uint8_t> quelle(Quarz::GetBildBytes(format, 512, 512), 7), ziel(quelle.size());
  const TBereich q{quelle.data(), format, 512, 512, pitch};
  TBereich z{ziel.data(), format, 512, 512, pitch};
  for (auto _ : state) {
    TBereich teil = z.LockSubBereich(128, 128, 256, 256);
    q.LockSubBereich(64, 64, 256, 256).KopiereIn(teil);
    benchmark::DoNotOptimize(ziel.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(Quarz::GetBildBytes(format, 256, 256)));
}

}  // namespace

BENCHMARK(AtlasTeilInhalt);
BENCHMARK(RegionKopie)->Arg(Quarz::PF_A8R8G8B8)->Arg(Quarz::PF_DXT5);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  gTimer.Starte();
  if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{64, 64, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  Quarz_Screen3D::Beenden();
  return 0;
}
