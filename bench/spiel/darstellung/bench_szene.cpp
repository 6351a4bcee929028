// One full frame of the grown settlement of the thirty-minute scenario at 1280 x 768: shadow
// pass, main pass and the pause filter, presented. Needs a display: run under xvfb-run (the
// software rasteriser's time is most of the frame). The counters are the drawing context's
// per frame.
#include <benchmark/benchmark.h>

#include <memory>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/szene.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/welt/vorrat.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/gemeinsam/szenario.h"

namespace {

using namespace Spiel;

// The settlement, its models and the renderer, made once for the whole run (the thirty
// minutes of simulation take longer than the frames measured). Left to the process's end.
struct Welt
{
    Welt()
    {
        gTimer.Starte();
        if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{1280, 768, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG))
            return;
        kontext = Quarz_Screen3D::GetZeichenKontext();
        puffer = std::make_unique<ZeichenKontextPuffer>(*kontext);
        SetzeModellPuffer(puffer.get());
        Spiel::srand(1);
        LadeModelle();
        uhr.Starte();
        Vorrat::Zuruecksetzen();
        TurmGesetzt = false;
        Spiel::srand(1);
        szene = std::make_unique<Szene>(&uhr);
        Test::PlaneSzenario(*szene);
        for (int i = 0; i < 30 * 60 * 10; ++i)
        {
            const int64_t ticks = Ticks(0.1f);
            gTimer.Vorruecken(ticks);
            uhr.Vorruecken(ticks);
            szene->AktualisiereObjekte();
        }
        renderer = std::make_unique<SzenenRenderer>();
        satz = std::make_unique<FilterSatz>();
        satz->AddFilter(renderer->mFilterVerwaltung.SucheAktivierbarenEffekt("pause"), 0);
    }
    Quarz_ZeichenKontext* kontext = nullptr;
    std::unique_ptr<ZeichenKontextPuffer> puffer;
    Quarz_Timer uhr;
    std::unique_ptr<Szene> szene;
    std::unique_ptr<SzenenRenderer> renderer;
    std::unique_ptr<FilterSatz> satz;
};

void BM_VollesBild(benchmark::State& state)
{
    static Welt* welt = new Welt;
    if (!welt->kontext)
    {
        state.SkipWithError("no screen (run under xvfb-run)");
        return;
    }
    const BVektor<float> ziel(welt->szene->mStartpunkt.x, 0.0f, welt->szene->mStartpunkt.z);
    const float neigung = 2.8274333f - 0.0021991148f * 200.0f;
    uint64_t zaehler[Quarz_ZeichenKontext::Z_ANZAHL] = {};
    for (auto _ : state)
    {
        welt->satz->SetParameter("staerke", 0.0f, 0.0f, 0.0f, 0.0f);
        welt->renderer->Zeichne(*welt->szene, ziel, 200.0f, neigung, *welt->satz);
        std::copy(welt->kontext->mZaehler, welt->kontext->mZaehler + Quarz_ZeichenKontext::Z_ANZAHL, zaehler);
        welt->kontext->Praesentiere();
    }
    uint64_t instanzen = 0;
    for (const RenderInstanz& instanz : welt->szene->mInstanzen)
        instanzen += instanz.mVertexPuffer ? 1 : 0;
    const char* namen[Quarz_ZeichenKontext::Z_ANZAHL] = {
        "Zeichnungen", "Instanzzeichnungen", "Texturen",     "Programme",      "Renderziele",    "Konstanten",
        "Bereiche",    "Vertexpuffer",       "Indexpuffer",  "Alphazustaende", "Tiefezustaende", "Rueckseiten"};
    for (uint32_t i = 0; i < Quarz_ZeichenKontext::Z_ANZAHL; ++i)
        state.counters[namen[i]] = static_cast<double>(zaehler[i]);
    state.counters["Instanzen"] = static_cast<double>(instanzen);
}
BENCHMARK(BM_VollesBild)->Unit(benchmark::kMillisecond)->MinTime(3.0)->UseRealTime();

}  // namespace
