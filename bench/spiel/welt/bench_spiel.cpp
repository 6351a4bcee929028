// Map generation, one simulation step of a grown settlement, and the thirty-minute scenario.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/gemeinsam/szenario.h"

namespace {

using namespace Spiel;

struct Umgebung
{
    Umgebung()
    {
        gTimer.Leere();
        gTimer.Starte();
        uhr.Starte();
        Vorrat::Zuruecksetzen();
        TurmGesetzt = false;
        if (Modellregister.empty())
        {
            Spiel::srand(1);
            LadeModelle();
        }
    }
    ~Umgebung()
    {
        szene.reset();
        gTimer.Leere();
    }
    void Schritt()
    {
        const int64_t ticks = Ticks(0.1f);
        gTimer.Vorruecken(ticks);
        uhr.Vorruecken(ticks);
        szene->AktualisiereObjekte();
    }
    Quarz_Timer uhr;
    std::unique_ptr<Szene> szene;
};

void BM_Kartengenerierung(benchmark::State& state)
{
    Umgebung u;
    for (auto _ : state)
    {
        Spiel::srand(static_cast<uint32_t>(state.range(0)));
        u.szene = std::make_unique<Szene>(&u.uhr);
        benchmark::DoNotOptimize(u.szene->mRegionen.data());
        state.PauseTiming();
        u.szene.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Kartengenerierung)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

// A grown settlement: the scenario's buildings and fields, and `haeuser` more farmhouses
// spread over free land around the start, with stocks that never run out; five game minutes
// grown, so that every farmhouse has its four workers.
void BaueSiedlung(Umgebung& u, int haeuser)
{
    Spiel::srand(1);
    u.szene = std::make_unique<Szene>(&u.uhr);
    Test::PlaneSzenario(*u.szene);
    Vorrat::Holz = 100000;
    Vorrat::Nahrung = 100000;
    int gesetzt = 0;
    for (uint64_t schritt : {7u, 3u, 1u})
    {
        for (uint64_t i = 0; i < u.szene->mRegionen.size() && gesetzt < haeuser; i += schritt)
        {
            const Vektor ort(u.szene->mPunkte[i].x, u.szene->mRegionen[i].MittlereHoehe(), u.szene->mPunkte[i].z);
            if (IstPlatzErlaubt(*u.szene, 2, i, ort))
            {
                new Bauernhaus(u.szene.get(), ort);
                ++gesetzt;
            }
        }
    }
    for (int i = 0; i < 5 * 60 * 10; ++i)
        u.Schritt();
}

// The calling thread's CPU time in microseconds: a step the shared machine's scheduler
// interrupts is not charged with the time another process ran.
double CpuMikrosekunden()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) * 1e-3;
}

// Steps of 0.1 s, each timed on its own (thread CPU time): the median, the slowest and the
// cost per object; the slowest in wall time as well.
void MissSchritte(benchmark::State& state, int haeuser)
{
    Umgebung u;
    BaueSiedlung(u, haeuser);
    std::vector<double> dauern;
    dauern.reserve(static_cast<size_t>(state.max_iterations));
    double wandMax = 0.0;
    for (auto _ : state)
    {
        const auto wand = std::chrono::steady_clock::now();
        const double anfang = CpuMikrosekunden();
        u.Schritt();
        dauern.push_back(CpuMikrosekunden() - anfang);
        wandMax = std::max(wandMax, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - wand).count());
    }
    std::sort(dauern.begin(), dauern.end());
    const double median = dauern[dauern.size() / 2];
    const double objekte = static_cast<double>(u.szene->mObjekte.Anzahl());
    state.counters["Median_us"] = median;
    state.counters["P999_us"] = dauern[dauern.size() * 999 / 1000];
    state.counters["Max_us"] = dauern.back();
    state.counters["WandMax_us"] = wandMax;
    state.counters["ueber100us"] = static_cast<double>(
        dauern.end() - std::upper_bound(dauern.begin(), dauern.end(), 100.0));
    state.counters["Objekte"] = objekte;
    state.counters["Arbeiter"] = static_cast<double>(u.szene->Liste(Art::Mensch).size());
    state.counters["ns_je_Objekt"] = median * 1000.0 / objekte;
}

// About fifty workers among the generated forest's several hundred trees.
void BM_SimulationsSchritt(benchmark::State& state) { MissSchritte(state, 11); }
BENCHMARK(BM_SimulationsSchritt)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// A hundred farmhouses: about four hundred workers.
void BM_SimulationsSchritt100Haeuser(benchmark::State& state) { MissSchritte(state, 99); }
BENCHMARK(BM_SimulationsSchritt100Haeuser)->Unit(benchmark::kMicrosecond)->Iterations(20000);

// Thirty game minutes at ten steps per second, map generation included.
void BM_Szenario30Minuten(benchmark::State& state)
{
    for (auto _ : state)
    {
        Umgebung u;
        Spiel::srand(1);
        u.szene = std::make_unique<Szene>(&u.uhr);
        Test::PlaneSzenario(*u.szene);
        for (int i = 0; i < 30 * 60 * 10; ++i)
            u.Schritt();
        benchmark::DoNotOptimize(Vorrat::Stein);
    }
    // Game seconds per real second.
    state.counters["Echtzeitfaktor"] =
        benchmark::Counter(1800.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Szenario30Minuten)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
