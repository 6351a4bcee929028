#include "spiel/welt/vorrat.h"

namespace Spiel::Vorrat {

uint64_t Nahrung = 10;
uint64_t Holz = 10;
uint64_t Stein = 0;

void Zuruecksetzen()
{
    Nahrung = 10;
    Holz = 10;
    Stein = 0;
}

}  // namespace Spiel::Vorrat
