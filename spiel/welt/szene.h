#pragma once
// The world: a 1000 x 1000 map on the x-z plane divided into convex regions, the game objects,
// the render instances (slot 0 the terrain, slot 1 the cursor), picking and the searches.
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "quarzklassen/kern/tlueckenfeld.h"
#include "spiel/welt/netz.h"
#include "spiel/welt/objekt.h"
#include "spiel/welt/region.h"
#include "spiel/welt/renderinstanz.h"
#include "spiel/welt/zeitpunkt.h"


namespace Spiel {

class Modell;
class Mensch;
class Acker;
class Turm;
class Bauernhaus;

struct PickErgebnis
{
    uint64_t mRegion = UINT64_MAX;  // all ones: nothing hit
    Vektor mPunkt;
};

class Szene
{
public:
    // Generates a map from the game's random generator, which the caller has seeded.
    explicit Szene(Quarz_Timer* spielUhr);
    // A world from given points and regions (no generation, no objects): for tools and tests.
    Szene(Quarz_Timer* spielUhr, std::vector<Vektor> punkte, std::vector<Region> regionen);
    // Deletes every object and cancels their pending deletions, then releases the terrain.
    ~Szene();
    Szene(const Szene&) = delete;
    Szene& operator=(const Szene&) = delete;

    // Rebuilds the terrain mesh from the regions into render instance 0.
    void BaueGelaende();
    // The terrain mesh as BaueGelaende builds it.
    Netz ErzeugeGelaendeNetz() const;
    // Brings the terrain mesh up to date after region r changed: its colour and type only, or
    // (hoehen) its corner heights too. Only the vertices of the region and of the walls its
    // heights shape are rewritten, in place; where a wall appears or goes, the index list
    // follows. The triangles drawn are those BaueGelaende would build.
    void AktualisiereRegion(uint64_t r, bool hoehen);
    // The terrain mesh as it stands in render instance 0: its index list names the triangles
    // drawn; vertices it does not name are spare.
    const Netz& GelaendeNetz() const { return mGelaendeNetz; }

    // The first region (in index order) that a ray hits at the region's own mean height.
    PickErgebnis PickeRegion(const Vektor& ursprung, const Vektor& richtung) const;
    // What the ray meets first on its way from its origin among the terrain's tops and walls,
    // as drawn (only the side that faces the ray): a region's top gives that region with
    // PickeRegion's point for it; a wall, or nothing at all, gives no region.
    PickErgebnis PickeOberflaeche(const Vektor& ursprung, const Vektor& richtung) const;

    Mensch* SucheArbeiter(const Objekt* objekt) const;
    // In a frozen settlement (Erstarrt), where nobody is idle, a worker lying hungry is called
    // too: for a harvest (ernte) the nearest, as the grain it brings in is what lets it eat; to
    // sow, the nearest without a workplace, else the nearest of all.
    Mensch* SucheFeldarbeiter(const Acker* acker, bool ernte = false) const;
    Mensch* SucheTurmarbeiter(const Turm* turm) const;
    Bauernhaus* SucheBauernhaus(const Vektor& punkt) const;

    // The region of the first farmhouse: random draws until one is free land with only free
    // neighbours; bounded, then a scan, then any free region; UINT64_MAX when there is none.
    uint64_t WaehleBauernhausRegion() const;

    // One update pass: every object in ascending slot order, up to the table's capacity at the
    // start of the pass; objects created during the pass in those slots are updated too.
    void AktualisiereObjekte();

    RenderInstanz* Instanz(uint64_t index) { return &mInstanzen[index]; }
    void SetzeInstanzMatrix(uint64_t index, const TMatrix4& welt) { mInstanzen[index].mWeltMatrix = welt; }

    bool IstRegion(uint64_t index) const { return index < mRegionen.size(); }
    // Game time and the game clock's last step, in ticks (0 without a clock).
    Zeitpunkt Jetzt() const { return mSpielUhr ? mSpielUhr->mGesamt : 0; }
    int64_t Schritt() const { return mSpielUhr ? mSpielUhr->mLetzterSchritt : 0; }

    // The objects of one kind in ascending slot order, kept in step with the object table:
    // walking a list meets its objects in the order a walk of the whole table would.
    const std::vector<Objekt*>& Liste(Art art) const { return mListen[static_cast<size_t>(art)]; }
    void TrageEin(Art art, Objekt* objekt);
    void TrageAus(Art art, Objekt* objekt);

    // Bookkeeping of deferred deletions (LoescheVerzoegert).
    void MerkeLoeschung(Objekt* objekt, uint64_t id);
    void VergissLoeschung(Objekt* objekt);

    Quarz_Timer* mSpielUhr;
    std::vector<Vektor> mPunkte;
    std::vector<Region> mRegionen;
    Modell* mGelaende = nullptr;
    TLueckenFeld<Objekt*> mObjekte;
    TLueckenFeld<RenderInstanz> mInstanzen;
    Vektor mStartpunkt;

    // Frozen: no food in stock and every worker lying hungry, so nobody would ever get up.
    bool Erstarrt() const;
    // How often the settlement was found frozen.
    uint64_t mHungerWarnungen = 0;
    // Workers, and those lying hungry (state 2): kept by the workers as they come and go,
    // lie down and get up, so that the check for a frozen settlement needs no walk.
    int64_t mArbeiter = 0;
    int64_t mHungrige = 0;

private:
    // Where one region lies in the kept terrain mesh: its top (vertices), its wall slots
    // (first vertex; vertices in use) and its first index slot.
    struct Abschnitt
    {
        uint64_t mAnfang = 0;
        uint64_t mAnzahl = 0;
    };
    struct GelaendeTeil
    {
        Abschnitt mOben;
        uint64_t mWandPlatz = 0;
        uint64_t mWandVertices = 0;
        uint64_t mWandIndex = 0;
    };
    void FuegeOberflaecheHinzu(uint64_t i, Netz& netz) const;
    void FuegeWaendeHinzu(uint64_t i, Netz& netz) const;
    // Vertex and index slots for region i's walls: two triangles on each edge at most.
    uint64_t WandPlaetze(uint64_t i) const;
    // Writes region i's index slots for its walls.
    void SchreibeWandIndizes(uint64_t i);

    void Erzeuge();
    void WerfePunkte();
    void BaueZellen();
    bool BaueZelle(uint64_t i);
    void BaueRaster();
    void SetzeCursor();
    void PruefeHungersnot();
    void StelleErstesBauernhaus();
    bool IstBauernhausPlatz(uint64_t region) const;

    // Regions by a coarse grid over x-z (cells of 20 units over the map; the outer cells reach
    // on to everything beyond it), each listed in every cell its corners and point span.
    static constexpr int RASTER = 50;
    static constexpr float RASTER_ZELLE = 20.0f;
    static int RasterZelle(float koordinate);
    std::vector<std::vector<uint32_t>> mRaster;
    // The regions' extent over x-z: no region reaches beyond it.
    float mRaumMinX = 0.0f, mRaumMaxX = 0.0f, mRaumMinZ = 0.0f, mRaumMaxZ = 0.0f;
    // Where a ray meets the horizontal plane at height h; a ray along the ground, at its origin.
    static Vektor AufHoehe(const Vektor& ursprung, const Vektor& richtung, float h);
    // The nearest surface a ray has met so far: its distance along the ray, its region and
    // whether it is one of the region's walls.
    struct Flaechentreffer
    {
        float mT;
        uint64_t mRegion = UINT64_MAX;
        bool mWand = false;
    };
    // Region i's top and walls as drawn, each nearer one taking the place of `naechster`.
    void TriffRegion(uint64_t i, const Vektor& ursprung, const Vektor& richtung, Flaechentreffer& naechster) const;
    // The highest point of region i's part of the terrain mesh.
    float GelaendeOben(uint64_t i) const;
    bool mHungerGemeldet = false;
    std::array<std::vector<Objekt*>, ARTEN> mListen;
    // The terrain mesh as last uploaded, where each region lies in it, and for each region
    // the regions that have it across an edge.
    Netz mGelaendeNetz;
    std::vector<GelaendeTeil> mGelaendeTeile;
    std::vector<std::vector<uint32_t>> mAnlieger;
    std::vector<std::pair<Objekt*, uint64_t>> mLoeschungen;
};

}  // namespace Spiel
