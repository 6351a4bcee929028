// The pointer's pick, once a frame in the game: the generated map of seed 1 seen from the start
// at the nearest, the starting and the farthest camera distance, with the pointer on a grid of
// 32 x 32 points over a 1280 x 1024 screen. Both picks in interleaved rounds, each ray timed
// on its own and its smallest time over the rounds kept, so that a pick the machine interrupted
// in one round is measured by another. Reported per side: the mean and the slowest pick, in
// microseconds; the ratio of the means; and what the picks found, which every round must
// repeat.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <numeric>
#include <vector>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/anwendung/kamera.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/zufall.h"

namespace {

using namespace Spiel;

constexpr float kBreite = 1280.0f, kHoehe = 1024.0f;
constexpr int kRaster = 32;
constexpr int kRunden = 15;

struct Strahl
{
    Vektor ursprung, richtung;
};

std::vector<Strahl> ZeigerStrahlen(const Vektor& start)
{
    std::vector<Strahl> strahlen;
    for (float abstand : {Kamera::kNah, Kamera::kStartAbstand, Kamera::kFern})
    {
        Kamera kamera(start.x, start.z);
        kamera.mAbstand = abstand;
        for (int y = 0; y < kRaster; ++y)
            for (int x = 0; x < kRaster; ++x)
            {
                Strahl s;
                kamera.Strahl((static_cast<float>(x) + 0.5f) * kBreite / kRaster,
                              (static_cast<float>(y) + 0.5f) * kHoehe / kRaster, kBreite, kHoehe, s.ursprung,
                              s.richtung);
                strahlen.push_back(s);
            }
    }
    return strahlen;
}

// One side's round: each ray's time in microseconds kept where it is smaller than before; what
// was found: the rays that picked a region, and the sum of the regions picked.
struct Seite
{
    std::vector<double> zeiten;
    uint64_t regionen = 0, summe = 0;
};

template <typename Pick>
bool Runde(const std::vector<Strahl>& strahlen, Pick pick, Seite& seite)
{
    uint64_t regionen = 0, summe = 0;
    for (size_t i = 0; i < strahlen.size(); ++i)
    {
        const auto anfang = std::chrono::steady_clock::now();
        const PickErgebnis e = pick(strahlen[i]);
        const double dauer =
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - anfang).count();
        benchmark::DoNotOptimize(e);
        seite.zeiten[i] = std::min(seite.zeiten[i], dauer);
        if (e.mRegion != UINT64_MAX)
        {
            ++regionen;
            summe += e.mRegion;
        }
    }
    const bool erste = seite.regionen == 0 && seite.summe == 0;
    const bool gleich = erste || (regionen == seite.regionen && summe == seite.summe);
    seite.regionen = regionen;
    seite.summe = summe;
    return gleich;
}

void BM_ZeigerPick(benchmark::State& state)
{
    Quarz_Timer uhr;
    uhr.Starte();
    if (Modellregister.empty())
    {
        Spiel::srand(1);
        LadeModelle();
    }
    Spiel::srand(1);
    const Szene szene(&uhr);
    const std::vector<Strahl> strahlen = ZeigerStrahlen(szene.mStartpunkt);
    auto alt = [&](const Strahl& s) { return szene.PickeRegion(s.ursprung, s.richtung); };
    auto neu = [&](const Strahl& s) { return szene.PickeOberflaeche(s.ursprung, s.richtung); };
    Seite a{std::vector<double>(strahlen.size(), 1e30)}, n{std::vector<double>(strahlen.size(), 1e30)};
    bool gleich = true;
    for (auto _ : state)
        for (int r = 0; r < kRunden; ++r)
        {
            // Each side goes first every other round.
            if (r % 2 == 0)
                gleich = Runde(strahlen, alt, a) && Runde(strahlen, neu, n) && gleich;
            else
                gleich = Runde(strahlen, neu, n) && Runde(strahlen, alt, a) && gleich;
        }
    // The new pick finds regions and, where walls or the sky are under the pointer, none.
    if (!gleich || a.regionen == 0 || n.regionen == 0 || n.regionen == strahlen.size())
        state.SkipWithError("the rounds did not all pick the same");
    const auto mittel = [](const std::vector<double>& zeiten) {
        return std::accumulate(zeiten.begin(), zeiten.end(), 0.0) / static_cast<double>(zeiten.size());
    };
    const double mittelAlt = mittel(a.zeiten), mittelNeu = mittel(n.zeiten);
    state.counters["Alt_Mittel_us"] = mittelAlt;
    state.counters["Alt_Max_us"] = *std::max_element(a.zeiten.begin(), a.zeiten.end());
    state.counters["Neu_Mittel_us"] = mittelNeu;
    state.counters["Neu_Max_us"] = *std::max_element(n.zeiten.begin(), n.zeiten.end());
    state.counters["Alt_durch_Neu"] = mittelAlt / mittelNeu;
    state.counters["Strahlen"] = static_cast<double>(strahlen.size());
    state.counters["Regionen_alt"] = static_cast<double>(a.regionen);
    state.counters["Regionen_neu"] = static_cast<double>(n.regionen);
}
BENCHMARK(BM_ZeigerPick)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
