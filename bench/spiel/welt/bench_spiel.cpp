// Map generation, one simulation step of a grown settlement (its worst case measured as the
// smaller of two runs of the same world), and the thirty-minute scenario.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
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

// One series: the settlement grown anew from the same seed, then `schritte` steps of 0.1 s,
// each timed on its own. The clock is read without entering the kernel: the thread's CPU-time
// clock is a system call, which on a virtual machine cost more than a quarter of a step and
// cooled the caches the step works from.
struct Reihe
{
    std::vector<double> zeiten;
    uint64_t objekte = 0, arbeiter = 0, stein = 0;
};

Reihe MissReihe(int haeuser, int schritte)
{
    Umgebung u;
    BaueSiedlung(u, haeuser);
    Reihe r;
    r.zeiten.reserve(static_cast<size_t>(schritte));
    for (int i = 0; i < schritte; ++i)
    {
        const auto anfang = std::chrono::steady_clock::now();
        u.Schritt();
        r.zeiten.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - anfang).count());
    }
    r.objekte = u.szene->mObjekte.Anzahl();
    r.arbeiter = u.szene->Liste(Art::Mensch).size();
    r.stein = Vorrat::Stein;
    return r;
}

// The same seeded world run twice, each step's smaller time kept: a step that the machine
// interrupted in one series (another process, the hypervisor) is measured by the other,
// while a step that is slow by its own work is slow in both. Reported: median, 99.9th
// percentile, slowest and the number over 100 us of that series, and whether both series
// ended in the same world.
void MissSchritte(benchmark::State& state, int haeuser)
{
    constexpr int kSchritte = 20000;
    Reihe a, b;
    for (auto _ : state)
    {
        a = MissReihe(haeuser, kSchritte);
        b = MissReihe(haeuser, kSchritte);
    }
    if (a.objekte != b.objekte || a.arbeiter != b.arbeiter || a.stein != b.stein)
        state.SkipWithError("the two series did not run the same world");
    std::vector<double> kleiner(kSchritte);
    for (size_t i = 0; i < kleiner.size(); ++i)
        kleiner[i] = std::min(a.zeiten[i], b.zeiten[i]);
    std::sort(kleiner.begin(), kleiner.end());
    const double median = kleiner[kleiner.size() / 2];
    const double objekte = static_cast<double>(a.objekte);
    state.counters["Median_us"] = median;
    state.counters["P999_us"] = kleiner[kleiner.size() * 999 / 1000];
    state.counters["Max_us"] = kleiner.back();
    state.counters["ueber100us"] = static_cast<double>(
        kleiner.end() - std::upper_bound(kleiner.begin(), kleiner.end(), 100.0));
    state.counters["Objekte"] = objekte;
    state.counters["Arbeiter"] = static_cast<double>(a.arbeiter);
    state.counters["ns_je_Objekt"] = median * 1000.0 / objekte;
}

// About fifty workers among the generated forest's several hundred trees.
void BM_SimulationsSchritt(benchmark::State& state) { MissSchritte(state, 11); }
BENCHMARK(BM_SimulationsSchritt)->Unit(benchmark::kMillisecond)->Iterations(1);

// A hundred farmhouses: about four hundred workers.
void BM_SimulationsSchritt100Haeuser(benchmark::State& state) { MissSchritte(state, 99); }
BENCHMARK(BM_SimulationsSchritt100Haeuser)->Unit(benchmark::kMillisecond)->Iterations(1);

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
