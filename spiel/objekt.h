#pragma once
// Everything placed on the terrain: registers itself in the world's object table when it is
// constructed and leaves it when it is destroyed; the world calls Aktualisiere once per frame.
#include <cstdint>

#include "quarzklassen/kern/tmatrix4.h"
#include "spiel/netz.h"
#include "spiel/zeitpunkt.h"

namespace Spiel {

class Szene;
class Modell;

class Objekt
{
public:
    Objekt(Szene* szene, const Vektor& position);
    virtual ~Objekt();
    Objekt(const Objekt&) = delete;
    Objekt& operator=(const Objekt&) = delete;

    virtual void Aktualisiere() {}

    Szene* mSzene;
    uint64_t mSzeneIndex;
    Vektor mPosition;
    float mRadius = 0.0f;

protected:
    // Game time (the world's game clock) and its last frame step, in ticks.
    Zeitpunkt Jetzt() const;
    int64_t Schritt() const;

    // Adds a render instance of the named model (an unknown name draws nothing) and returns
    // its pool index.
    uint64_t NeueInstanz(const char* modellName, const TMatrix4& welt);
    uint64_t NeueInstanz(const Modell* modell, const TMatrix4& welt);
    // Removes the instance from the pool unless the index is SIZE_MAX, and sets it to SIZE_MAX.
    void EntferneInstanz(uint64_t& index);
    void SetzeMatrix(uint64_t index, const TMatrix4& welt);

    // A stable per-object angle from the object's address (tree yaw, animation phase).
    float AdressWinkel() const;
};

// Deletes the object at the engine timer's next tick (delay in ticks) and returns the
// callback's id. The world keeps the deletion on its list, so a world torn down first cancels it.
uint64_t LoescheVerzoegert(int64_t verzoegerung, Objekt* objekt);

}  // namespace Spiel
