#pragma once
// The long scenario's settlement, shared by its test and its benchmark: on a generated world,
// a second farmhouse, a woodcutter's hut, a forester's house, a quarry, the tower and fields are
// placed near the start, with stocks that pay for them.
#include <functional>
#include <string>

#include "spiel/welt/szene.h"

namespace Spiel::Test {

struct SzenarioPlan
{
    bool vollstaendig = false;
    std::string fehlt;
};

// Sets the stocks and places everything through the placement functions.
SzenarioPlan PlaneSzenario(Szene& szene);

// Places build type typ at the allowed free region point nearest to the start that passes the
// extra test; the spot goes to gesetzt. False when there is none or it cannot be paid.
bool PlatziereNahe(Szene& szene, uint64_t typ, const std::function<bool(const Vektor&)>& passt,
                   Vektor* gesetzt = nullptr);
// Standing trees within the radius of a spot, and whether a quarry there finds rock.
int BaeumeUm(const Szene& szene, const Vektor& ort, float radius);
bool FelsInReichweite(const Szene& szene, const Vektor& ort);

}  // namespace Spiel::Test
