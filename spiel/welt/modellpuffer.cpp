#include "spiel/welt/modellpuffer.h"

namespace Spiel {

namespace {
ModellPuffer* gModellPuffer = nullptr;
}

ModellPuffer* SetzeModellPuffer(ModellPuffer* puffer)
{
    ModellPuffer* alt = gModellPuffer;
    gModellPuffer = puffer;
    return alt;
}

ModellPuffer* AktuelleModellPuffer() { return gModellPuffer; }

}  // namespace Spiel
