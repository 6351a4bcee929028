#pragma once
// What the game's tests share: a started engine timer and game clock stepped by hand, the
// start stocks, the registered models, and a small hand-made world of square regions.
#include <gtest/gtest.h>

#include <memory>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/welt/modellpuffer.h"
#include "spiel/welt/szene.h"

namespace Spiel::Test {

// Counts the buffers a drawing context would hold: every model made and released.
class ZaehlPuffer : public ModellPuffer
{
public:
    void Erzeuge(Modell& modell, const Vertex*, uint64_t, const uint32_t*, uint64_t) override;
    void GibFrei(Modell& modell) override;
    void Aktualisiere(Modell& modell, const Netz& netz, uint64_t anzahl, bool indizesNeu) override;
    int64_t mLebende = 0;
    int64_t mNeueIndizes = 0;
    int64_t mErzeugte = 0;
    int64_t mAktualisierte = 0;
};

// Triangles of a mesh that draw something: the kept terrain's unused wall slots are
// triangles on a single vertex.
uint64_t GezeichneteDreiecke(const Netz& netz);

class Spielumgebung : public ::testing::Test
{
public:
    // n x n square regions of the given side length, free land at the given height;
    // region index = row * n + column, row along z.
    static std::unique_ptr<Szene> BaueTestwelt(Quarz_Timer* uhr, int n, float seite, float hoehe = 0.0f);

protected:
    void SetUp() override;
    void TearDown() override;

    // One frame as the main loop runs it: engine tick (due deletions), game clock tick, update pass.
    void Schritt(float sekunden);
    // Frames of 0.1 s for the given game time.
    void Laufe(float sekunden, float schritt = 0.1f);

    // Generates the map of a seed with the models built from the unseeded generator.
    std::unique_ptr<Szene> GeneriereWelt(uint32_t saat);

    // Whether the terrain mesh in place is byte for byte the one a fresh build gives.
    bool GelaendeWieNeu() const;

    template <typename T>
    int Zaehle() const
    {
        int n = 0;
        for (Objekt* o : mSzene->mObjekte)
            n += dynamic_cast<T*>(o) ? 1 : 0;
        return n;
    }

    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
};

}  // namespace Spiel::Test
