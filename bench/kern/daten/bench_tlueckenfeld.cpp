// Slot map against the usual alternative: a std::vector of pointers whose free slots hold
// null and are kept on a free list. Both hold the same pointers at the same occupancy.
// Every benchmark runs in repetitions (10 unless asked otherwise) whose order is shuffled
// across all benchmarks, so both containers meet the same load of a shared machine; at the
// end each size's ratios are printed (median CPU time of the slot map over that of the vector,
// and fastest repetition over fastest repetition).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/median.h"
#include "quarzklassen/kern/tlueckenfeld.h"

namespace
{
struct Objekt
{
    uint64_t wert;
    uint64_t polster[7];
};

// The alternative container: slots with null for free ones and a stack of free slots.
struct ZeigerVektor
{
    std::vector<Objekt*> eintraege;
    std::vector<uint64_t> frei;

    uint64_t Einfuegen(Objekt* o)
    {
        if (frei.empty())
        {
            eintraege.push_back(o);
            return eintraege.size() - 1;
        }
        const uint64_t slot = frei.back();
        frei.pop_back();
        eintraege[slot] = o;
        return slot;
    }
    void Entfernen(uint64_t slot)
    {
        eintraege[slot] = nullptr;
        frei.push_back(slot);
    }
};

// n objects, of which a share (per cent) stays in the containers; the same slots are freed
// in both, in random order.
struct Aufbau
{
    std::vector<std::unique_ptr<Objekt>> objekte;
    TLueckenFeld<Objekt*> feld;
    ZeigerVektor vektor;
    std::vector<uint64_t> freie;

    Aufbau(uint64_t n, uint64_t prozent)
    {
        for (uint64_t i = 0; i < n; ++i)
        {
            objekte.push_back(std::make_unique<Objekt>(Objekt{i, {}}));
            feld.Einfuegen(objekte.back().get());
            vektor.Einfuegen(objekte.back().get());
        }
        std::vector<uint64_t> reihe(n);
        for (uint64_t i = 0; i < n; ++i)
            reihe[i] = i;
        std::shuffle(reihe.begin(), reihe.end(), std::mt19937_64(5));
        reihe.resize(n - n * prozent / 100);
        for (uint64_t slot : reihe)
        {
            feld.Entfernen(slot);
            vektor.Entfernen(slot);
        }
        freie = reihe;
        std::vector<bool> istFrei(n, false);
        for (uint64_t slot : freie)
            istFrei[slot] = true;
        for (uint64_t i = 0; i < n; ++i)
            summe += istFrei[i] ? 0 : objekte[i]->wert;
    }

    // The values of the objects the containers hold: what an iteration must add up to.
    uint64_t summe = 0;
};

// A benchmark whose container lost or invented an entry measured something else.
void Pruefe(benchmark::State& state, bool richtig)
{
    if (!richtig)
        state.SkipWithError("the container does not hold what it should");
}

void Argumente(benchmark::internal::Benchmark* b)
{
    for (int64_t n : {10000, 100000})
        for (int64_t prozent : {50, 90, 100})
            b->Args({n, prozent});
}

// Removal and insertion must not grow with the capacity: up to a million slots.
void GrosseArgumente(benchmark::internal::Benchmark* b)
{
    for (int64_t n : {10000, 100000, 1000000})
        for (int64_t prozent : {50, 90, 99})
            b->Args({n, prozent});
}

void BM_Iterieren_LueckenFeld(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    uint64_t summe = 0;
    for (auto _ : state)
    {
        summe = 0;
        for (Objekt* o : a.feld)
            summe += o->wert;
        benchmark::DoNotOptimize(summe);
    }
    Pruefe(state, summe == a.summe);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Iterieren_LueckenFeld)->Apply(Argumente);

void BM_Iterieren_ZeigerVektor(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    uint64_t summe = 0;
    for (auto _ : state)
    {
        summe = 0;
        for (Objekt* o : a.vektor.eintraege)
            if (o)
                summe += o->wert;
        benchmark::DoNotOptimize(summe);
    }
    Pruefe(state, summe == a.summe);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Iterieren_ZeigerVektor)->Apply(Argumente);

// One removal and one insertion of a random occupied slot: the occupancy stays the same, and
// afterwards the slots the inserts returned are the occupied ones.
template <typename Entferne, typename Fuege, typename Belegte>
void EntfernenUndEinfuegen(benchmark::State& state, Aufbau& a, Entferne entferne, Fuege fuege,
                           Belegte belegte)
{
    std::mt19937_64 zufall(9);
    std::vector<uint64_t> belegt;
    std::vector<bool> istFrei(a.objekte.size(), false);
    for (uint64_t s : a.freie)
        istFrei[s] = true;
    for (uint64_t s = 0; s < a.objekte.size(); ++s)
        if (!istFrei[s])
            belegt.push_back(s);
    for (auto _ : state)
    {
        const uint64_t i = zufall() % belegt.size();
        const uint64_t slot = belegt[i];
        entferne(slot);
        belegt[i] = fuege(a.objekte[slot].get());
    }
    std::sort(belegt.begin(), belegt.end());
    Pruefe(state, belegte() == belegt);
    state.SetItemsProcessed(state.iterations());
}

void BM_EntfernenEinfuegen_LueckenFeld(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    EntfernenUndEinfuegen(
        state, a, [&](uint64_t s) { a.feld.Entfernen(s); }, [&](Objekt* o) { return a.feld.Einfuegen(o); },
        [&] {
            std::vector<uint64_t> slots;
            for (auto i = a.feld.begin(); i != a.feld.end(); ++i)
                slots.push_back(i.Index());
            return slots;
        });
}
BENCHMARK(BM_EntfernenEinfuegen_LueckenFeld)->Apply(GrosseArgumente);

void BM_EntfernenEinfuegen_ZeigerVektor(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    EntfernenUndEinfuegen(
        state, a, [&](uint64_t s) { a.vektor.Entfernen(s); }, [&](Objekt* o) { return a.vektor.Einfuegen(o); },
        [&] {
            std::vector<uint64_t> slots;
            for (uint64_t s = 0; s < a.vektor.eintraege.size(); ++s)
                if (a.vektor.eintraege[s])
                    slots.push_back(s);
            return slots;
        });
}
BENCHMARK(BM_EntfernenEinfuegen_ZeigerVektor)->Apply(GrosseArgumente);

// Filling an empty container with n entries, growth included.
void BM_Fuellen_LueckenFeld(benchmark::State& state)
{
    const uint64_t n = static_cast<uint64_t>(state.range(0));
    Objekt o{};
    for (auto _ : state)
    {
        TLueckenFeld<Objekt*> feld;
        for (uint64_t i = 0; i < n; ++i)
            feld.Einfuegen(&o);
        benchmark::DoNotOptimize(feld[0]);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Fuellen_LueckenFeld)->Arg(10000)->Arg(100000);

void BM_Fuellen_ZeigerVektor(benchmark::State& state)
{
    const uint64_t n = static_cast<uint64_t>(state.range(0));
    Objekt o{};
    for (auto _ : state)
    {
        ZeigerVektor vektor;
        for (uint64_t i = 0; i < n; ++i)
            vektor.Einfuegen(&o);
        benchmark::DoNotOptimize(vektor.eintraege[0]);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Fuellen_ZeigerVektor)->Arg(10000)->Arg(100000);

// Collects the CPU time per iteration of every repetition, by benchmark name.
class TVerhaeltnisBericht : public benchmark::ConsoleReporter
{
public:
    TVerhaeltnisBericht() : ConsoleReporter(OO_None) {}

    void ReportRuns(const std::vector<Run>& laeufe) override
    {
        // Repetitions are kept for the ratios; only the medians are shown.
        std::vector<Run> medianen;
        for (const Run& lauf : laeufe)
        {
            if (lauf.run_type == Run::RT_Iteration && !lauf.error_occurred)
                mZeiten[lauf.run_name.str()].push_back(lauf.GetAdjustedCPUTime());
            if (lauf.run_type == Run::RT_Aggregate && lauf.aggregate_name == "median")
                medianen.push_back(lauf);
            else if (lauf.error_occurred)
                medianen.push_back(lauf);
        }
        if (!medianen.empty())
            ConsoleReporter::ReportRuns(medianen);
    }

    // One line per size and fill level: the slot map's median against the vector's, the
    // spread of the slot map's repetitions over the vector's median, and the fastest
    // repetition of each against the other's. This machine has periods of seconds in which
    // everything runs about half as fast again; they can fall on more repetitions of one side
    // than of the other, while the fastest repetitions measure both on an undisturbed CPU.
    void DruckeVerhaeltnisse() const
    {
        static const std::string kFeld = "_LueckenFeld/";
        std::printf("\n%-44s %10s %10s %8s %8s %8s %8s\n", "slot map / vector (CPU time)", "map", "vector",
                    "ratio", "min", "max", "fastest");
        for (const auto& [name, feld] : mZeiten)
        {
            const std::size_t stelle = name.find(kFeld);
            if (stelle == std::string::npos)
                continue;
            const std::string basis = name.substr(0, stelle);
            const auto vektor = mZeiten.find(basis + "_ZeigerVektor/" + name.substr(stelle + kFeld.size()));
            if (vektor == mZeiten.end())
                continue;
            const double v = Bench::Median(vektor->second);
            const auto [min, max] = std::minmax_element(feld.begin(), feld.end());
            const double vMin = *std::min_element(vektor->second.begin(), vektor->second.end());
            std::printf("%-44s %10.1f %10.1f %7.2fx %7.2fx %7.2fx %7.2fx\n", name.c_str(), Bench::Median(feld), v,
                        Bench::Median(feld) / v, *min / v, *max / v, *min / vMin);
        }
    }

private:
    std::map<std::string, std::vector<double>> mZeiten;
};

bool HatOption(int argc, char** argv, const char* option)
{
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], option, std::strlen(option)) == 0)
            return true;
    return false;
}
} // namespace

int main(int argc, char** argv)
{
    // Repetitions in shuffled order unless the command line says otherwise.
    std::vector<char*> argumente(argv, argv + argc);
    static char wiederholungen[] = "--benchmark_repetitions=10";
    static char mischen[] = "--benchmark_enable_random_interleaving=true";
    static char mindestzeit[] = "--benchmark_min_time=0.1";
    if (!HatOption(argc, argv, "--benchmark_repetitions"))
        argumente.push_back(wiederholungen);
    if (!HatOption(argc, argv, "--benchmark_enable_random_interleaving"))
        argumente.push_back(mischen);
    if (!HatOption(argc, argv, "--benchmark_min_time"))
        argumente.push_back(mindestzeit);
    int anzahl = static_cast<int>(argumente.size());
    argumente.push_back(nullptr);
    benchmark::Initialize(&anzahl, argumente.data());
    if (benchmark::ReportUnrecognizedArguments(anzahl, argumente.data()))
        return 1;
    TVerhaeltnisBericht bericht;
    benchmark::RunSpecifiedBenchmarks(&bericht);
    bericht.DruckeVerhaeltnisse();
    benchmark::Shutdown();
    return 0;
}
