// Per-frame cost of the GUI: laying out the build bar's page with the pause menu open.
#include <benchmark/benchmark.h>

#include "quarzklassen/kern/quarz_timer.h"
#include "tests/gui/gui_testhilfe.h"

namespace {

void BM_AnordnungBaubalkenUndMenue(benchmark::State& state) {
  guitest::Starte();
  {
    Gui::Oberflaeche o(guitest::KonfigPfad());
    guitest::Baubalken leiste(o);
    o.FuegeKindHinzu(new guitest::PauseMenue(o));
    guitest::Schritt();
    for (auto _ : state) {
      o.OrdneBaumAn();
      benchmark::DoNotOptimize(leiste.mBoxen[5]->mPosition);
    }
  }
  gTimer.Leere();
}
BENCHMARK(BM_AnordnungBaubalkenUndMenue);

void BM_ZeigerUeberDemBaubalken(benchmark::State& state) {
  // A pointer sweeping over the page: hit test, hover, focus and tooltip bookkeeping.
  guitest::Starte();
  {
    Gui::Oberflaeche o(guitest::KonfigPfad());
    guitest::Baubalken leiste(o);
    guitest::Schritt();
    float y = 0.0f;
    for (auto _ : state) {
      y = y >= 760.0f ? 0.0f : y + 7.0f;
      o.MausBewegung(BVektor<float>(100.0f, y, 0.0f));
    }
  }
  gTimer.Leere();
}
BENCHMARK(BM_ZeigerUeberDemBaubalken);

}  // namespace

BENCHMARK_MAIN();
