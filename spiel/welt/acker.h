#pragma once
// A grain field over one region: calls a farmer to sow, grows for 120 s, calls one to harvest.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Acker : public Objekt
{
public:
    static constexpr Art ART = Art::Acker;

    enum Zustand : uint32_t
    {
        Leer = 0,      // bare, looking for a farmer to sow
        Bestellt = 1,  // a farmer walks here and sows
        Waechst = 2,   // growing until mZeitpunkt
        Reif = 3,      // ripe, looking for a farmer to harvest
        Ernte = 4,     // a farmer walks here and harvests
    };

    Acker(Szene* szene, uint64_t region);
    ~Acker() override;
    void Aktualisiere() override;
    // Sowing is done: the crop grows for 120 s.
    void StarteWachstum();

    uint64_t mInstanz = SIZE_MAX;
    uint64_t mRegion;
    uint32_t mZustand = Leer;
    Zeitpunkt mZeitpunkt = 0;

private:
    // Hands the job to a field worker; without one, asks again in 2 s.
    bool RufeBauer(uint32_t arbeiterZustand);
};

}  // namespace Spiel
