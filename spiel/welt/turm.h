#pragma once
// The tower: recruits up to eight workers who fetch wood and stone in turn; every delivered
// pair adds one stone ring segment on top, 24 segments to a ring.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Turm : public Objekt
{
public:
    static constexpr Art ART = Art::Turm;

    Turm(Szene* szene, const Vektor& position);
    // Also releases the ring model, which the tower owns.
    ~Turm() override;
    void Aktualisiere() override;

    // A worker's post on the circle of radius 14 around the tower, at a random angle.
    Vektor NeuerPosten() const;

    void LiefereHolz();
    void LiefereStein();
    // Rebuilds the ring mesh from the delivered counts.
    void BaueModell();
    // The ring mesh for n segments, in the tower's model space.
    static Netz ErzeugeRingNetz(uint64_t segmente);

    uint64_t mInstanz = SIZE_MAX;
    uint64_t mRingInstanz = SIZE_MAX;
    Zeitpunkt mZeitpunkt;
    Modell* mRingModell = nullptr;
    uint64_t mHolzGeliefert = 0;
    uint64_t mSteinGeliefert = 0;
    int64_t mSteinUnterwegs = 0;
    int64_t mHolzUnterwegs = 0;

private:
    void GibRingFrei();
};

}  // namespace Spiel
