// Byte buffer: typed writes and reads, formatted text, and zlib packing against zlib itself
// on the same data.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include <zlib.h>

#include "quarzklassen/kern/tspeicher.h"

namespace
{
// A mix of text and numbers, as the engine's data files hold.
std::string Daten(std::size_t n)
{
    std::mt19937 zufall(11);
    static const char* const woerter[] = {"Holz ", "Stein ", "Nahrung ", "Turm ", "Acker ", "Mensch "};
    std::string text;
    while (text.size() < n)
    {
        text += woerter[zufall() % 6];
        text += std::to_string(zufall() % 1000);
        text += ' ';
    }
    text.resize(n);
    return text;
}

// n typed writes from the start, then n typed reads of them.
template <typename T, void (TSpeicher::*Schreibe)(T), T (TSpeicher::*Lies)()>
void SchreibeLies(benchmark::State& state)
{
    const uint64_t n = static_cast<uint64_t>(state.range(0));
    TSpeicher s;
    for (auto _ : state)
    {
        s.Leere();
        for (uint64_t i = 0; i < n; ++i)
            (s.*Schreibe)(static_cast<T>(i));
        s.ZurueckZumAnfang();
        uint32_t summe = 0;
        for (uint64_t i = 0; i < n; ++i)
            summe += (s.*Lies)();
        benchmark::DoNotOptimize(summe);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0) * 2 * static_cast<int64_t>(sizeof(T)));
}

void BM_SchreibeLies_U32(benchmark::State& state)
{
    SchreibeLies<uint32_t, &TSpeicher::SchreibeU32, &TSpeicher::LiesU32>(state);
}
BENCHMARK(BM_SchreibeLies_U32)->Arg(1000)->Arg(100000);

void BM_SchreibeLies_U8(benchmark::State& state)
{
    SchreibeLies<uint8_t, &TSpeicher::SchreibeU8, &TSpeicher::LiesU8>(state);
}
BENCHMARK(BM_SchreibeLies_U8)->Arg(1000)->Arg(100000);

void BM_LiesMemEndianKorrekt(benchmark::State& state)
{
    const uint64_t n = static_cast<uint64_t>(state.range(0));
    TSpeicher s;
    std::vector<uint32_t> worte(n / 4);
    s.SchreibeMem(Daten(n).data(), n);
    for (auto _ : state)
    {
        s.ZurueckZumAnfang();
        s.LiesMemEndianKorrekt(worte.data(), n);
        benchmark::DoNotOptimize(worte.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LiesMemEndianKorrekt)->Arg(4096)->Arg(1 << 20);

void BM_SchreibeFormatText(benchmark::State& state)
{
    TSpeicher s;
    for (auto _ : state)
    {
        s.Leere();
        for (int i = 0; i < 100; ++i)
            s.SchreibeFormatText("%s %d %.3f\n", "Zeile", i, i * 0.5);
        benchmark::DoNotOptimize(s.Daten());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_SchreibeFormatText);

void BM_Packen_TSpeicher(benchmark::State& state)
{
    const std::string klar = Daten(static_cast<std::size_t>(state.range(0)));
    TSpeicher quelle, ziel;
    quelle.SchreibeMem(klar.data(), klar.size());
    for (auto _ : state)
    {
        ziel.Leere();
        ZLib_Packen(quelle, ziel);
        benchmark::DoNotOptimize(ziel.Daten());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["gepackt"] = static_cast<double>(ziel.Groesse());
}
BENCHMARK(BM_Packen_TSpeicher)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_Packen_ZLib(benchmark::State& state)
{
    const std::string klar = Daten(static_cast<std::size_t>(state.range(0)));
    std::vector<Bytef> ziel(compressBound(static_cast<uLong>(klar.size())));
    uLongf laenge = 0;
    for (auto _ : state)
    {
        laenge = static_cast<uLongf>(ziel.size());
        compress2(ziel.data(), &laenge, reinterpret_cast<const Bytef*>(klar.data()), static_cast<uLong>(klar.size()),
                  9);
        benchmark::DoNotOptimize(ziel.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.counters["gepackt"] = static_cast<double>(laenge);
}
BENCHMARK(BM_Packen_ZLib)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_Entpacken_TSpeicher(benchmark::State& state)
{
    const std::string klar = Daten(static_cast<std::size_t>(state.range(0)));
    TSpeicher quelle, gepackt, ziel;
    quelle.SchreibeMem(klar.data(), klar.size());
    ZLib_Packen(quelle, gepackt);
    for (auto _ : state)
    {
        gepackt.ZurueckZumAnfang();
        ZLib_Entpacken(gepackt, ziel);
        benchmark::DoNotOptimize(ziel.Daten());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Entpacken_TSpeicher)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

void BM_Entpacken_ZLib(benchmark::State& state)
{
    const std::string klar = Daten(static_cast<std::size_t>(state.range(0)));
    std::vector<Bytef> gepackt(compressBound(static_cast<uLong>(klar.size())));
    uLongf gepacktLaenge = static_cast<uLongf>(gepackt.size());
    compress2(gepackt.data(), &gepacktLaenge, reinterpret_cast<const Bytef*>(klar.data()),
              static_cast<uLong>(klar.size()), 9);
    std::vector<Bytef> ziel(klar.size());
    for (auto _ : state)
    {
        uLongf laenge = static_cast<uLongf>(ziel.size());
        uncompress(ziel.data(), &laenge, gepackt.data(), gepacktLaenge);
        benchmark::DoNotOptimize(ziel.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Entpacken_ZLib)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);
} // namespace
