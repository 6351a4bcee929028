// Map generation, one simulation step of a grown settlement, and the thirty-minute scenario.
#include <benchmark/benchmark.h>

#include <memory>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/bauernhaus.h"
#include "spiel/mensch.h"
#include "spiel/modell.h"
#include "spiel/modelle.h"
#include "spiel/platzierung.h"
#include "spiel/szene.h"
#include "spiel/vorrat.h"
#include "spiel/zufall.h"
#include "tests/spiel/szenario.h"

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

// The scenario's settlement plus eleven more farmhouses: about fifty workers among the
// generated forest's several hundred trees, grown for five game minutes.
void BM_SimulationsSchritt(benchmark::State& state)
{
    Umgebung u;
    Spiel::srand(1);
    u.szene = std::make_unique<Szene>(&u.uhr);
    Test::PlaneSzenario(*u.szene);
    Vorrat::Holz = 1000;
    Vorrat::Nahrung = 1000;
    int haeuser = 0;
    for (uint64_t i = 0; i < u.szene->mRegionen.size() && haeuser < 11; i += 7)
    {
        const Vektor ort(u.szene->mPunkte[i].x, u.szene->mRegionen[i].MittlereHoehe(), u.szene->mPunkte[i].z);
        if (IstPlatzErlaubt(*u.szene, 2, i, ort) && (ort - u.szene->mStartpunkt).OhneHoehe().Laenge() < 400.0f)
        {
            new Bauernhaus(u.szene.get(), ort);
            ++haeuser;
        }
    }
    for (int i = 0; i < 5 * 60 * 10; ++i)
        u.Schritt();
    int arbeiter = 0;
    for (Objekt* o : u.szene->mObjekte)
        arbeiter += dynamic_cast<Mensch*>(o) ? 1 : 0;
    for (auto _ : state)
        u.Schritt();
    state.counters["Objekte"] = static_cast<double>(u.szene->mObjekte.Anzahl());
    state.counters["Arbeiter"] = arbeiter;
}
BENCHMARK(BM_SimulationsSchritt)->Unit(benchmark::kMicrosecond);

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
