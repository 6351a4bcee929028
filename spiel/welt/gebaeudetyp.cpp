#include "spiel/welt/gebaeudetyp.h"

namespace Spiel {

const Gebaeudetyp Gebaeudetypen[GEBAEUDETYPEN] = {
    {0, nullptr, 0, 0, 0, 0},
    {0, nullptr, 0, 0, 1, 0},
    {15, "haus0", 20, 0, 4, 0},
    {10, "holzfaeller", 12, 0, 2, 0},
    {10, "forsthaus", 10, 0, 2, 0},
    {10, "steinbruch", 10, 0, 2, 0},
    {25, "turm", 30, 0, 20, 20},
};

}  // namespace Spiel
