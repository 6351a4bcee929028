#pragma once
// The autonomous worker: one state machine of 33 states. Born at its farmhouse, it walks home,
// idles, eats, and takes the jobs that fields, sites, production buildings and the tower give
// it by writing its fields directly.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Acker;
class Bauernhaus;

class Mensch : public Objekt
{
public:
    static constexpr Art ART = Art::Mensch;

    Mensch(Szene* szene, const Vektor& position, Bauernhaus* heim);
    ~Mensch() override;
    void Aktualisiere() override;
    // The meal check of the waiting states.
    void Essen();
    // A field's job: state 5 sows a bare field, state 7 harvests a ripe one.
    void UebernimmFeld(Acker* acker, uint32_t zustand);

    uint64_t mInstanz = SIZE_MAX;
    uint32_t mZustand = 0;
    // Called to a field while lying hungry: it keeps its workplace meanwhile and goes back to
    // it when the job is done; after a harvest it first eats what it brings in.
    bool mHungrigeErnte = false;
    Objekt* mZiel = nullptr;
    // The quarry worker's rock region (states 24 and 25): a region index is no object.
    uint64_t mZielRegion = UINT64_MAX;
    Vektor mZielPosition;
    Zeitpunkt mZeitpunkt = 0;
    float mRichtung = 0.0f;
    Zeitpunkt mNaechsteMahlzeit = 0;
    Objekt* mArbeitsplatz = nullptr;

private:
    // The action of the current state; returns the bob height.
    float Handle();
    float HandleHeimUndFeld();     // states 0 to 11
    float HandleHolzUndForst();    // states 12 to 21
    float HandleSteinUndTurm();    // states 22 to 32
    void Gehe();
    void Zeichne(float hopser);

    // Squared horizontal distance to the target below r squared.
    bool Angekommen(float r) const;
    void Halt() { mZielPosition = mPosition; }
    // Arrival within r: the given state, stop, and the next step the given seconds from now.
    bool KommeAn(float r, uint32_t zustand, float sekunden);
    void WechsleModell(const char* name);
    void PlaneMahlzeit();
    // Leaves state 2: one hungry worker fewer in the world's count.
    void StehtAuf();
    // The workplace's state (none: idle): its waiting state, or the walk back to it.
    uint32_t ZustandDerArbeit() const;
    void KehreZurArbeitZurueck();
    float WarteHopser() const;
    float ArbeitsHopser(float frequenz) const;
    Vektor Tuer() const;

    // Jobs of the woodcutter, forester and quarry worker.
    bool SucheBaum();
    bool SuchePflanzplatz();
    bool SucheFels();
    void RodeBoden(const Vektor& position);
    void MacheWald(const Vektor& position);
    void SenkeRegion(uint64_t region);
    void Holen();
};

}  // namespace Spiel
