// Per-frame cost of the GUI with the build bar's page and the pause menu open: laying out,
// following the pointer, and drawing (the last needs a display: run under xvfb-run).
#include <benchmark/benchmark.h>

#include <vector>

#include "gui/simpelrenderer.h"
#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
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

void BM_ZeichneBaubalkenUndMenue(benchmark::State& state) {
  guitest::Starte();
  if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{1280, 768, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG)) {
    state.SkipWithError("kein Bildschirm (xvfb-run?)");
    return;
  }
  const std::string pfad = std::string(WEILERBAU_BAU) + "/Daten/calibrib.ttf";
  Quarz_Font3D* schrift = Quarz_Font3D::ErzeugeAusTrueType(std::wstring(pfad.begin(), pfad.end()));
  auto* batch = new Quarz_BlockGfx3D(0, 1000, 0);
  std::vector<uint32_t> weiss(64 * 64, 0xFFFFFFFFu);
  TBereich quelle;
  quelle.mPixel = reinterpret_cast<uint8_t*>(weiss.data());
  quelle.mFormat = Quarz::PF_A8R8G8B8;
  quelle.mBreite = quelle.mHoehe = 64;
  quelle.mPitch = 64 * 4;
  batch->AddGrafik(0, quelle, 0, 0, 64, 64);
  if (schrift) {
    Gui::SimpelRenderer renderer(batch, schrift);
    Gui::Oberflaeche o(guitest::KonfigPfad());
    guitest::Baubalken leiste(o);
    o.FuegeKindHinzu(new guitest::PauseMenue(o));
    guitest::Schritt(1.0f);
    for (auto _ : state) {
      o.OrdneBaumAn();
      o.Zeichne(renderer);
    }
  } else {
    state.SkipWithError("calibrib.ttf fehlt im Datenordner des Baus");
  }
  delete schrift;
  delete batch;
  Quarz_Screen3D::Beenden();
  gTimer.Leere();
}
BENCHMARK(BM_ZeichneBaubalkenUndMenue);

}  // namespace

BENCHMARK_MAIN();
