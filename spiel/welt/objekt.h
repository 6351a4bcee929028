#pragma once
// Everything placed on the terrain: registers itself in the world's object table when it is
// constructed and leaves it when it is destroyed; the world calls Aktualisiere once per frame.
#include <cstdint>

#include "quarzklassen/kern/tmatrix4.h"
#include "spiel/welt/netz.h"
#include "spiel/welt/zeitpunkt.h"

namespace Spiel {

class Szene;
class Modell;

// The kinds of objects. The world keeps each kind's objects in a list of its own, so that its
// searches walk only the objects they ask for; Grundflaeche holds every object with a footprint
// (trees, sites, buildings).
enum class Art : uint32_t
{
    Mensch,
    Acker,
    Baum,
    Baustelle,
    Bauernhaus,
    Holzfaeller,
    Forsthaus,
    Steinbruch,
    Turm,
    Grundflaeche,
    Anzahl,
};
inline constexpr size_t ARTEN = static_cast<size_t>(Art::Anzahl);

class Objekt
{
public:
    Objekt(Szene* szene, const Vektor& position);
    virtual ~Objekt();
    Objekt(const Objekt&) = delete;
    Objekt& operator=(const Objekt&) = delete;

    virtual void Aktualisiere() {}

    bool IstArt(Art art) const { return (mArten >> static_cast<uint32_t>(art)) & 1u; }

    Szene* mSzene;
    uint64_t mSzeneIndex;
    Vektor mPosition;
    float mRadius = 0.0f;
    // The kinds the object is listed under in the world, one bit each.
    uint32_t mArten = 0;

protected:
    // Lists the object under a kind in the world; the destructor takes it off again.
    void Melde(Art art);

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

// The object as a T (a class with its kind in T::ART), or null when it is of another kind.
template <typename T>
T* Als(Objekt* objekt)
{
    return objekt && objekt->IstArt(T::ART) ? static_cast<T*>(objekt) : nullptr;
}
template <typename T>
const T* Als(const Objekt* objekt)
{
    return objekt && objekt->IstArt(T::ART) ? static_cast<const T*>(objekt) : nullptr;
}

// Deletes the object at the engine timer's next tick (delay in ticks) and returns the
// callback's id. The world keeps the deletion on its list, so a world torn down first cancels it.
uint64_t LoescheVerzoegert(int64_t verzoegerung, Objekt* objekt);

}  // namespace Spiel
