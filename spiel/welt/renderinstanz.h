#pragma once
// One drawn model in the world: the model's buffers (not owned), its triangle count and the
// world matrix (rows, translation in the fourth column).
#include <cstdint>

#include "quarzklassen/kern/tmatrix4.h"

class Quarz_VertexBuffer;
class Quarz_IndexBuffer;

namespace Spiel {

class Modell;

struct RenderInstanz
{
    RenderInstanz() = default;
    // A null model gives an instance without buffers and with 0 triangles: nothing is drawn.
    RenderInstanz(const Modell* modell, const TMatrix4& welt);

    Quarz_VertexBuffer* mVertexPuffer = nullptr;
    Quarz_IndexBuffer* mIndexPuffer = nullptr;
    uint64_t mDreiecke = 0;
    TMatrix4 mWeltMatrix;
};
static_assert(sizeof(RenderInstanz) == 88);

}  // namespace Spiel
