#pragma once
// The long scenario's settlement, shared by its test and its benchmark: on a generated world,
// a second farmhouse, a woodcutter's hut, a forester's house, a quarry, the tower and fields are
// placed near the start, with stocks that pay for them.
#include <string>

#include "spiel/szene.h"

namespace Spiel::Test {

struct SzenarioPlan
{
    bool vollstaendig = false;
    std::string fehlt;
};

// Sets the stocks and places everything through the placement functions.
SzenarioPlan PlaneSzenario(Szene& szene);

}  // namespace Spiel::Test
