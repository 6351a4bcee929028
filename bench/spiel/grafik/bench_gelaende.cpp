// One ground change as the simulation makes it (a quarry cutting a mountain region down by half
// a unit: its top and the walls around it), brought into the terrain's GPU buffers: the
// in-place update with its upload of the whole vertex list, against the full rebuild of the
// terrain mesh and its buffers, in interleaved rounds on a generated map. Afterwards a frame of
// the updated terrain is read back and compared with a frame of a fresh build: they must be
// the same. Needs a display: run under xvfb-run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <vector>

#include "bench/median.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/zufall.h"
#include "tests/gemeinsam/bildschirm_lesen.h"

namespace {

using namespace Spiel;

constexpr int kBreite = 320, kHoehe = 240;

// The calling thread's CPU time in microseconds (the software rasteriser copies buffer data on
// this thread): a round the shared machine's scheduler interrupts is not charged with the time
// another process ran.
double CpuMikrosekunden()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// The frame of the world from a camera over the region, read back.
std::vector<uint32_t> Frame(SzenenRenderer& renderer, FilterSatz& satz, const Szene& szene, const Vektor& ziel)
{
    renderer.Zeichne(szene, BVektor<float>(ziel.x, 0.0f, ziel.z), 200.0f, 2.8274333f - 0.0021991148f * 200.0f, satz);
    return LiesBildschirm(*Quarz_Screen3D::GetZeichenKontext(), kBreite, kHoehe);
}

void BM_GelaendeAktualisierung(benchmark::State& state)
{
    gTimer.Starte();
    if (!Quarz_Screen3D::Init(Quarz_Screen3D::Modus{kBreite, kHoehe, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG))
    {
        state.SkipWithError("no screen (run under xvfb-run)");
        return;
    }
    {
        ZeichenKontextPuffer puffer(*Quarz_Screen3D::GetZeichenKontext());
        ModellPuffer* alt = SetzeModellPuffer(&puffer);
        Spiel::srand(1);
        LadeModelle();
        Quarz_Timer uhr;
        uhr.Starte();
        Spiel::srand(1);
        Szene szene(&uhr);
        // A mountain region with the most neighbours: the most walls to rewrite.
        uint64_t berg = 0;
        for (uint64_t i = 0; i < szene.mRegionen.size(); ++i)
            if (szene.mRegionen[i].mTyp == Region::Berg &&
                szene.mRegionen[i].mNachbarAnzahl > szene.mRegionen[berg].mNachbarAnzahl)
                berg = i;
        Region& region = szene.mRegionen[berg];

        std::vector<double> aktualisierung, neubau;
        int schritt = 0;
        for (auto _ : state)
        {
            // Down by half a unit, as the quarry cuts; every tenth round back up, so that the
            // region stays a mountain and walls appear and go.
            const float dy = ++schritt % 10 == 0 ? 4.5f : -0.5f;
            for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
                region.mEcken[k].y += dy;
            double anfang = CpuMikrosekunden();
            szene.AktualisiereRegion(berg, true);
            aktualisierung.push_back(CpuMikrosekunden() - anfang);
            anfang = CpuMikrosekunden();
            szene.BaueGelaende();
            neubau.push_back(CpuMikrosekunden() - anfang);
        }
        state.counters["Aktualisierung_Median_us"] = Bench::Median(aktualisierung);
        state.counters["Aktualisierung_Max_us"] = *std::max_element(aktualisierung.begin(), aktualisierung.end());
        state.counters["Neubau_Median_us"] = Bench::Median(neubau);
        state.counters["Neubau_Max_us"] = *std::max_element(neubau.begin(), neubau.end());
        state.counters["Vertexbytes"] = static_cast<double>(szene.GelaendeNetz().mVertices.size() * sizeof(Vertex));

        // The work was done: a last change brought in by the update alone draws as a fresh
        // build of the same world does.
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            region.mEcken[k].y -= 3.0f;
        szene.AktualisiereRegion(berg, true);
        {
            SzenenRenderer renderer;
            FilterSatz satz;
            const Vektor ziel = szene.mPunkte[berg];
            const std::vector<uint32_t> aktualisiert = Frame(renderer, satz, szene, ziel);
            szene.BaueGelaende();
            const std::vector<uint32_t> neu = Frame(renderer, satz, szene, ziel);
            int anders = 0;
            for (size_t i = 0; i < neu.size(); ++i)
                anders += (neu[i] & 0xFFFFFFu) != (aktualisiert[i] & 0xFFFFFFu);
            state.counters["Pixel_anders"] = anders;
            if (anders != 0)
                state.SkipWithError("the updated terrain draws differently from a fresh build");
        }
        SetzeModellPuffer(alt);
        GebeModelleFrei();
    }
    Quarz_Screen3D::Beenden();
    gTimer.Leere();
}
BENCHMARK(BM_GelaendeAktualisierung)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
