// Slot map against the usual alternative: a std::vector of pointers whose free slots hold
// null and are kept on a free list. Both hold the same pointers at the same occupancy.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

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
    }
};

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
    for (auto _ : state)
    {
        uint64_t summe = 0;
        for (Objekt* o : a.feld)
            summe += o->wert;
        benchmark::DoNotOptimize(summe);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Iterieren_LueckenFeld)->Apply(Argumente);

void BM_Iterieren_ZeigerVektor(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    for (auto _ : state)
    {
        uint64_t summe = 0;
        for (Objekt* o : a.vektor.eintraege)
            if (o)
                summe += o->wert;
        benchmark::DoNotOptimize(summe);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Iterieren_ZeigerVektor)->Apply(Argumente);

// One removal and one insertion of a random occupied slot: the occupancy stays the same.
template <typename Entferne, typename Fuege>
void EntfernenUndEinfuegen(benchmark::State& state, Aufbau& a, Entferne entferne, Fuege fuege)
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
    state.SetItemsProcessed(state.iterations());
}

void BM_EntfernenEinfuegen_LueckenFeld(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    EntfernenUndEinfuegen(
        state, a, [&](uint64_t s) { a.feld.Entfernen(s); }, [&](Objekt* o) { return a.feld.Einfuegen(o); });
}
BENCHMARK(BM_EntfernenEinfuegen_LueckenFeld)->Apply(GrosseArgumente);

void BM_EntfernenEinfuegen_ZeigerVektor(benchmark::State& state)
{
    Aufbau a(static_cast<uint64_t>(state.range(0)), static_cast<uint64_t>(state.range(1)));
    EntfernenUndEinfuegen(
        state, a, [&](uint64_t s) { a.vektor.Entfernen(s); }, [&](Objekt* o) { return a.vektor.Einfuegen(o); });
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
} // namespace
