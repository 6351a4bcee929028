#include "spiel/welt/renderinstanz.h"

#include "spiel/welt/modell.h"

namespace Spiel {

RenderInstanz::RenderInstanz(const Modell* modell, const TMatrix4& welt) : mWeltMatrix(welt)
{
    if (modell)
    {
        mVertexPuffer = modell->mVertexPuffer;
        mIndexPuffer = modell->mIndexPuffer;
        mDreiecke = modell->mDreiecke;
    }
}

}  // namespace Spiel
