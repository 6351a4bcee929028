#pragma once
// A tree: standing from the map's generation, or a sapling a forester plants, which grows in
// 480 s; a woodcutter reserves it and fells it, it tips over, sinks and is deleted.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Baum : public Objekt
{
public:
    static constexpr Art ART = Art::Baum;

    enum class Zustand : uint32_t
    {
        Setzling = 0,    // planted, not yet growing, drawn at scale 0
        Waechst = 1,     // growing
        Steht = 2,       // full size; woodcutters take only these
        Reserviert = 3,  // chosen by a woodcutter
        Faellt = 4,      // falling and sinking; deleted soon after
    };

    Baum(Szene* szene, const Vektor& position, bool setzling);
    ~Baum() override;
    void Aktualisiere() override;
    // Only a growing or falling tree changes by itself from step to step.
    bool Ruht() const { return mZustand != Zustand::Waechst && mZustand != Zustand::Faellt; }

    void StarteWachstum();
    // A woodcutter takes the tree; it must be standing.
    void Reserviere();
    // Felled now: it tips over from this moment.
    void Faelle();
    // Puts the tree on the given ground height.
    void SetzeHoehe(float y);

    uint64_t mInstanz = SIZE_MAX;
    int64_t mWachstumsdauer = 0;
    Zeitpunkt mZeitpunkt = 0;
    Zustand mZustand;
    // The deletion is scheduled once, not on every update until it runs.
    bool mLoeschungGeplant = false;

private:
    TMatrix4 Welt(float skalierung) const;
};

}  // namespace Spiel
