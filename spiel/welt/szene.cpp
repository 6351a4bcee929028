#include "spiel/welt/szene.h"

#include <algorithm>
#include <cmath>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/welt/acker.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/objekt.h"
#include "spiel/welt/pruefung.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

namespace {

constexpr float kBesteDistanz = 10000000.0f;

// A cell is cut by the bisectors of its 16 nearest points and of up to four mirror points
// beyond them, so it has at most 20 corners: the regions store that many.
constexpr size_t kNaechste = 16;
constexpr size_t kSpiegel = 4;
static_assert(Region::MAX_ECKEN >= kNaechste + kSpiegel);

// The object of type T nearest to the point among those the filter accepts; on equal distance
// the one met first in the table wins. Nothing within kBesteDistanz gives nullptr.
template <typename T, typename Filter>
T* Naechstes(const std::vector<Objekt*>& liste, const Vektor& punkt, Filter filter)
{
    T* bestes = nullptr;
    float besteDistanz = kBesteDistanz;
    for (Objekt* o : liste)
    {
        T* kandidat = static_cast<T*>(o);
        if (!filter(kandidat))
            continue;
        const float d = (kandidat->mPosition - punkt).Laenge();
        if (d < besteDistanz)
        {
            besteDistanz = d;
            bestes = kandidat;
        }
    }
    return bestes;
}

bool SlotVor(const Objekt* a, const Objekt* b) { return a->mSzeneIndex < b->mSzeneIndex; }

// A point lies inside when it is strictly left of every edge in the regions' winding.
bool LiegtInnen(const Region& region, float px, float pz)
{
    const uint32_t n = region.mEckenAnzahl;
    for (uint32_t k = 0; k < n; ++k)
    {
        const Vektor& a = region.mEcken[k];
        const Vektor& b = region.mEcken[(k + 1) % n];
        if (!((pz - a.z) * (b.x - a.x) - (b.z - a.z) * (px - a.x) > 0.0f))
            return false;
    }
    return true;
}

}  // namespace

// Everything before the map (and NaN) in the first cell, everything beyond it in the last.
int Szene::RasterZelle(float koordinate)
{
    if (!(koordinate > 0.0f))
        return 0;
    if (koordinate >= RASTER_ZELLE * (RASTER - 1))
        return RASTER - 1;
    return static_cast<int>(koordinate / RASTER_ZELLE);
}

Vektor Szene::AufHoehe(const Vektor& o, const Vektor& d, float h)
{
    const float t = std::fabs(d.y) < 0.000001f ? 0.0f : (h - o.y) / d.y;
    return o + Mal(d, t);
}

Szene::Szene(Quarz_Timer* spielUhr) : mSpielUhr(spielUhr) { Erzeuge(); }

Szene::Szene(Quarz_Timer* spielUhr, std::vector<Vektor> punkte, std::vector<Region> regionen)
    : mSpielUhr(spielUhr), mPunkte(std::move(punkte)), mRegionen(std::move(regionen))
{
    mRegionen.resize(mPunkte.size());
    SetzeCursor();
    BaueRaster();
    BaueGelaende();
}

Szene::~Szene()
{
    // Pending deletions would otherwise run on objects that are gone with the world.
    for (const auto& [objekt, id] : mLoeschungen)
        gTimer.Entferne(id);
    mLoeschungen.clear();
    for (uint64_t i = 0; i < mObjekte.Kapazitaet(); ++i)
    {
        if (mObjekte.IstBelegt(i))
            delete mObjekte[i];
    }
    if (mGelaende)
    {
        mGelaende->Freigeben();
        delete mGelaende;
        mGelaende = nullptr;
    }
}


void Szene::TrageEin(Art art, Objekt* objekt)
{
    std::vector<Objekt*>& liste = mListen[static_cast<size_t>(art)];
    liste.insert(std::lower_bound(liste.begin(), liste.end(), objekt, SlotVor), objekt);
}

void Szene::TrageAus(Art art, Objekt* objekt)
{
    std::vector<Objekt*>& liste = mListen[static_cast<size_t>(art)];
    const auto pos = std::lower_bound(liste.begin(), liste.end(), objekt, SlotVor);
    SPIEL_PRUEFE(pos != liste.end() && *pos == objekt);
    liste.erase(pos);
}

void Szene::MerkeLoeschung(Objekt* objekt, uint64_t id) { mLoeschungen.emplace_back(objekt, id); }

void Szene::VergissLoeschung(Objekt* objekt)
{
    std::erase_if(mLoeschungen, [objekt](const auto& eintrag) { return eintrag.first == objekt; });
}

void Szene::SetzeCursor()
{
    const TMatrix4 einheit = TMatrix4::Einheit();
    mInstanzen.Einfuegen(RenderInstanz(SucheModell("pfeil0"), einheit));
    mInstanzen.Einfuegen(RenderInstanz(SucheModell("pfeil1"), einheit));
}

// ---------------------------------------------------------------------------------------------
// Generation

void Szene::Erzeuge()
{
    SetzeCursor();
    WerfePunkte();
    mRegionen.assign(mPunkte.size(), Region());
    BaueZellen();
    const uint64_t anzahl = mRegionen.size();

    std::vector<char> frei(anzahl, 1);
    for (uint64_t i = 0; i < anzahl; ++i)
        frei[i] = mRegionen[i].HatEcken() ? 1 : 0;

    // Height field: corners of mountains write a quarter of their height into their cell.
    std::vector<float> feld(100 * 100, 0.0f);
    auto zelle = [](float v) { return std::clamp(static_cast<int>(v * 0.1f), 0, 99); };
    auto schreibeEcken = [&](const Region& region) {
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
        {
            const Vektor& e = region.mEcken[k];
            feld[zelle(e.z) * 100 + zelle(e.x)] = e.y * 0.25f;
        }
    };

    // Border mountains: every region touching the map's edge.
    for (uint64_t i = 0; i < anzahl; ++i)
    {
        Region& region = mRegionen[i];
        bool amRand = false;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
        {
            const Vektor& e = region.mEcken[k];
            amRand = amRand || e.x < 1.0f || e.z < 1.0f || e.x > 999.0f || e.z > 999.0f;
        }
        if (!amRand)
            continue;
        frei[i] = 0;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            region.mEcken[k].y = 60.0f;
        region.mTyp = Region::Rand;
        const float v = 0.9f + static_cast<float>(Spiel::rand()) * (0.1f / 32767.0f);
        region.mFarbe = TAlphaFarbe(0.9f * v, 0.93f * v, v, 1.0f);
        schreibeEcken(region);
    }

    // Inner mountains: a random region and its free neighbours.
    auto macheBerg = [&](uint64_t i, float hoehe) {
        Region& region = mRegionen[i];
        frei[i] = 0;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
        {
            Spiel::rand();  // drawn and discarded: the map of a seed depends on it
            region.mEcken[k].y = hoehe;
        }
        region.mTyp = Region::Berg;
        const float w = 0.54f + static_cast<float>(Spiel::rand()) * (0.06f / 32767.0f);
        region.mFarbe = TAlphaFarbe(w, w, w, 1.0f);
        schreibeEcken(region);
    };
    const uint64_t berge = anzahl / 30;
    for (uint64_t versuch = 0; versuch < berge; ++versuch)
    {
        const uint64_t i = static_cast<uint64_t>(Spiel::rand()) % anzahl;
        if (!frei[i])
            continue;
        macheBerg(i, 50.0f);
        const Region& berg = mRegionen[i];
        for (uint32_t k = 0; k < berg.mNachbarAnzahl; ++k)
        {
            const uint64_t j = berg.mNachbarn[k];
            if (IstRegion(j) && frei[j])
                macheBerg(j, 45.0f);
        }
    }

    // Forest circles, each drawn as centre x, radius, centre z.
    struct Kreis { float x, z, radius; };
    std::vector<Kreis> kreise;
    const uint64_t kreisAnzahl = std::max<uint64_t>(anzahl / 200, 1);
    for (uint64_t c = 0; c < kreisAnzahl; ++c)
    {
        const float x = 50.0f + static_cast<float>(Spiel::rand()) * (900.0f / 32767.0f);
        const float radius = 50.0f + static_cast<float>(Spiel::rand()) * (40.0f / 32767.0f);
        const float z = 50.0f + static_cast<float>(Spiel::rand()) * (900.0f / 32767.0f);
        kreise.push_back({x, z, radius});
    }

    std::vector<Objekt*> waldBaeume;
    for (uint64_t i = 0; i < anzahl; ++i)
    {
        // Every free region counts, a region without corners too: each forest region draws
        // three numbers, and the map of a seed depends on the sequence.
        Region& region = mRegionen[i];
        if (region.mTyp != Region::Frei)
            continue;
        const Vektor& p = mPunkte[i];
        bool imWald = false;
        for (const Kreis& k : kreise)
        {
            const float dx = p.x - k.x, dz = p.z - k.z;
            imWald = imWald || std::sqrt(dx * dx + dz * dz) < k.radius;
        }
        if (!imWald)
            continue;
        region.mTyp = Region::Wald;
        const float v = 0.9f + static_cast<float>(Spiel::rand()) * (0.1f / 32767.0f);
        region.mFarbe = TAlphaFarbe(0.46666667f * v, 0.4392157f * v, 0.33333334f * v, v);
        const float dx = static_cast<float>(Spiel::rand()) * (10.0f / 32767.0f) - 5.0f;
        const float dz = static_cast<float>(Spiel::rand()) * (10.0f / 32767.0f) - 5.0f;
        waldBaeume.push_back(new Baum(this, Vektor(p.x + dx, region.MittlereHoehe(), p.z + dz), false));
    }

    // Smoothing in place: along the rows, then along the columns, each cell the highest of its
    // neighbours within 10 cells less 1.6666666 per cell of distance. Cells before it on the
    // line are already smoothed when it is read.
    auto glaetteLinie = [&](int anfang, int schritt) {
        for (int c = 0; c < 100; ++c)
        {
            float hoechster = -1e30f;
            for (int j = std::max(0, c - 10); j <= std::min(99, c + 10); ++j)
                hoechster = std::max(hoechster, feld[anfang + j * schritt] - static_cast<float>(std::abs(j - c)) * 1.6666666f);
            feld[anfang + c * schritt] = hoechster;
        }
    };
    for (int zeile = 0; zeile < 100; ++zeile)
        glaetteLinie(zeile * 100, 1);
    for (int spalte = 0; spalte < 100; ++spalte)
        glaetteLinie(spalte, 100);

    // Heights of the free regions from the field, and the grass colour by height.
    auto hoeheAus = [&](float x, float z) {
        const float gx = std::clamp(x * 0.1f, 0.0f, 100.0f);
        const float gz = std::clamp(z * 0.1f, 0.0f, 100.0f);
        const int c = std::min(static_cast<int>(gx), 98);
        const int r = std::min(static_cast<int>(gz), 98);
        const float fx = gx - static_cast<float>(c);
        const float fz = gz - static_cast<float>(r);
        return (1 - fz) * ((1 - fx) * feld[r * 100 + c] + fx * feld[r * 100 + c + 1]) +
               fz * ((1 - fx) * feld[(r + 1) * 100 + c] + fx * feld[(r + 1) * 100 + c + 1]);
    };
    for (uint64_t i = 0; i < anzahl; ++i)
    {
        Region& region = mRegionen[i];
        if (!frei[i])
            continue;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            region.mEcken[k].y = hoeheAus(region.mEcken[k].x, region.mEcken[k].z);
        if (region.mTyp != Region::Frei)
            continue;
        const float h = std::clamp(region.MittlereHoehe() * 0.25f, 0.0f, 1.0f);
        const float r = static_cast<float>(Spiel::rand());
        region.mFarbe = TAlphaFarbe(0.36f + r * (0.04f / 32767.0f),
                                    (0.63f + r * (0.07f / 32767.0f)) * (1 - h) + (0.342f + r * (0.038f / 32767.0f)) * h,
                                    (0.27f + r * (0.03f / 32767.0f)) * (1 - h) + (0.324f + r * (0.036f / 32767.0f)) * h,
                                    1.0f);
    }

    BaueRaster();

    // The forest's trees were placed before the heights existed: stand them on the ground.
    for (Objekt* baum : waldBaeume)
    {
        const PickErgebnis boden = PickeRegion(baum->mPosition, Vektor(0, 1, 0));
        if (boden.mRegion != UINT64_MAX)
            static_cast<Baum*>(baum)->SetzeHoehe(boden.mPunkt.y);
    }

    BaueGelaende();
    StelleErstesBauernhaus();
}

void Szene::WerfePunkte()
{
    // 9549 darts (30000 / pi), none closer than 10 to an earlier one.
    const uint64_t versuche = static_cast<uint64_t>(9549.2959f);
    mPunkte.clear();
    mPunkte.reserve(versuche);
    for (uint64_t v = 0; v < versuche; ++v)
    {
        const float z = static_cast<float>(Spiel::rand()) * (1000.0f / 32767.0f);
        const float x = static_cast<float>(Spiel::rand()) * (1000.0f / 32767.0f);
        bool zuNah = false;
        for (const Vektor& p : mPunkte)
        {
            const float dx = p.x - x, dz = p.z - z;
            if (dx * dx + dz * dz < 100.0f)
            {
                zuNah = true;
                break;
            }
        }
        if (!zuNah)
            mPunkte.emplace_back(x, 0.0f, z);
    }
}

void Szene::BaueZellen()
{
    const uint64_t anzahl = mPunkte.size();
    for (uint64_t i = 0; i < anzahl; ++i)
    {
        const Vektor c = mPunkte[i];
        // Mirror points across the four edges cut every cell at the map's border.
        mPunkte.emplace_back(-c.x, 0.0f, c.z);
        mPunkte.emplace_back(c.x, 0.0f, -c.z);
        mPunkte.emplace_back(2000.0f - c.x, 0.0f, c.z);
        mPunkte.emplace_back(c.x, 0.0f, 2000.0f - c.z);
        if (!BaueZelle(i))
        {
            mRegionen[i].mEckenAnzahl = 0;
            mRegionen[i].mNachbarAnzahl = 0;
        }
        mPunkte.resize(anzahl);
    }
}

bool Szene::BaueZelle(uint64_t i)
{
    // A line that may bound the cell: the bisector between the centre and a point, through
    // the midpoint, at right angles to the direction towards the point.
    struct Nachbar
    {
        uint64_t index;
        float d;
        Vektor richtung;
        Vektor mitte;
        float winkel = 0.0f;
    };
    const Vektor c = mPunkte[i];
    auto einreihen = [](std::vector<Nachbar>& liste, const Nachbar& neu) {
        auto pos = liste.begin();
        while (pos != liste.end() && pos->d < neu.d)
            ++pos;
        liste.insert(pos, neu);
    };
    auto punktLinie = [&](uint64_t j, float d) {
        return Nachbar{j, d, mPunkte[j] - c, Mal(c + mPunkte[j], 0.5f)};
    };

    // The 16 nearest points (ties keep the earlier point first). A point on the map's edge
    // coincides with its own mirror point, which gives no bisector: it is left out here.
    std::vector<Nachbar> liste;
    liste.reserve(kNaechste + kSpiegel);
    float grenze = 100000000.0f;
    for (uint64_t j = 0; j < mPunkte.size(); ++j)
    {
        if (j == i)
            continue;
        const float d = (mPunkte[j] - c).Laenge();
        if (d > grenze || d == 0.0f)
            continue;
        einreihen(liste, punktLinie(j, d));
        if (liste.size() > kNaechste)
        {
            liste.pop_back();
            grenze = liste.back().d;
        }
    }
    // A cell near the map's edge must meet its mirror point even when 16 nearer points crowd
    // it out of the list: only that bisector keeps the cell inside the square. For a point on
    // the edge the edge itself bounds the cell (through the point, facing out of the map).
    const Vektor aussen[kSpiegel] = {Vektor(-1, 0, 0), Vektor(0, 0, -1), Vektor(1, 0, 0), Vektor(0, 0, 1)};
    const uint64_t ersterSpiegel = mPunkte.size() - kSpiegel;
    for (uint64_t j = ersterSpiegel; j < mPunkte.size(); ++j)
    {
        const float d = (mPunkte[j] - c).Laenge();
        if (d >= 100.0f || std::any_of(liste.begin(), liste.end(), [j](const Nachbar& n) { return n.index == j; }))
            continue;
        einreihen(liste, d == 0.0f ? Nachbar{j, 0.0f, aussen[j - ersterSpiegel], c} : punktLinie(j, d));
    }
    if (liste.size() < 3)
        return false;

    // Angles around the centre, the nearest first and largest, then falling.
    constexpr float kZweiPi = 6.2831853f;
    std::vector<Nachbar> linien = std::move(liste);
    const Vektor d0 = linien[0].richtung;
    const float a0 = std::atan2(d0.x, d0.z);
    linien[0].winkel = a0;
    for (size_t k = 1; k < linien.size(); ++k)
    {
        const Vektor d = linien[k].richtung;
        float a = std::atan2(d.x, d.z);
        if (a >= a0)
            a -= kZweiPi;
        linien[k].winkel = a;
    }
    std::stable_sort(linien.begin(), linien.end(),
                     [](const Nachbar& a, const Nachbar& b) { return a.winkel > b.winkel; });

    // Of two nearly parallel directions only the nearer point bounds the cell.
    for (size_t k = 0; k < linien.size();)
    {
        const size_t m = (k + 1) % linien.size();
        if (m != k && std::cos(linien[k].winkel - linien[m].winkel) > 0.995f)
        {
            if (linien[k].d >= linien[m].d)
                linien.erase(linien.begin() + static_cast<std::ptrdiff_t>(k));
            else
            {
                linien.erase(linien.begin() + static_cast<std::ptrdiff_t>(m));
                ++k;
            }
        }
        else
            ++k;
    }
    if (linien.size() < 3)
        return false;

    // Bisectors: midpoint and direction of each line.
    struct Linie
    {
        Vektor mitte, richtung;
    };
    std::vector<Linie> halbierende;
    for (const Nachbar& nb : linien)
    {
        const Vektor u = Normiert(nb.richtung);
        halbierende.push_back({nb.mitte, Vektor(-u.z, u.y, u.x)});
    }

    // Walk the lines, intersecting each with the next; a line whose corner falls behind the
    // last one does not bound the cell and is dropped. Anti-parallel neighbours have no
    // intersection: such a cell is given up (it keeps no corners) rather than divided by zero.
    std::vector<Vektor> ecken;
    size_t k = 0;
    for (int schritte = 0; ecken.size() < halbierende.size(); ++schritte)
    {
        if (schritte > 1000 || halbierende.size() < 3)
            return false;
        const size_t m = (k + 1) % halbierende.size();
        const Linie& lk = halbierende[k];
        const Linie& lm = halbierende[m];
        const float nenner = lk.richtung.x * lm.richtung.z - lk.richtung.z * lm.richtung.x;
        if (std::fabs(nenner) < 1e-9f)
            return false;
        const float t =
            (lm.richtung.x * (lk.mitte.z - lm.mitte.z) - lm.richtung.z * (lk.mitte.x - lm.mitte.x)) / nenner;
        if (!ecken.empty() && t < Punkt(ecken.back() - lk.mitte, lk.richtung))
        {
            halbierende.erase(halbierende.begin() + static_cast<std::ptrdiff_t>(k));
            linien.erase(linien.begin() + static_cast<std::ptrdiff_t>(k));
            ecken.pop_back();
            k = k == 0 ? 0 : k - 1;
            continue;
        }
        ecken.push_back(lk.mitte + Mal(lk.richtung, t));
        ++k;
    }

    // Every corner lies on a line of its own, and there are at most kNaechste + kSpiegel lines.
    SPIEL_PRUEFE(ecken.size() <= Region::MAX_ECKEN);
    Region& region = mRegionen[i];
    const uint32_t anzahl = static_cast<uint32_t>(ecken.size());
    region.mEckenAnzahl = anzahl;
    region.mNachbarAnzahl = anzahl;
    for (uint32_t e = 0; e < anzahl; ++e)
    {
        region.mEcken[e] = Vektor(ecken[e].x, 0.0f, ecken[e].z);
        region.mNachbarn[e] = linien[(e + 1) % anzahl].index;
    }
    return true;
}

void Szene::BaueRaster()
{
    mRaster.assign(RASTER * RASTER, {});
    mRaumMinX = mRaumMinZ = 1e30f;
    mRaumMaxX = mRaumMaxZ = -1e30f;
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
    {
        const Region& region = mRegionen[i];
        if (!region.HatEcken())
            continue;
        // The top's fan meets at the region's point: it belongs to what the region covers.
        float minX = mPunkte[i].x, maxX = mPunkte[i].x, minZ = mPunkte[i].z, maxZ = mPunkte[i].z;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
        {
            minX = std::min(minX, region.mEcken[k].x);
            maxX = std::max(maxX, region.mEcken[k].x);
            minZ = std::min(minZ, region.mEcken[k].z);
            maxZ = std::max(maxZ, region.mEcken[k].z);
        }
        mRaumMinX = std::min(mRaumMinX, minX);
        mRaumMaxX = std::max(mRaumMaxX, maxX);
        mRaumMinZ = std::min(mRaumMinZ, minZ);
        mRaumMaxZ = std::max(mRaumMaxZ, maxZ);
        for (int zz = RasterZelle(minZ); zz <= RasterZelle(maxZ); ++zz)
            for (int xx = RasterZelle(minX); xx <= RasterZelle(maxX); ++xx)
                mRaster[zz * RASTER + xx].push_back(static_cast<uint32_t>(i));
    }
}

bool Szene::IstBauernhausPlatz(uint64_t i) const
{
    const Region& region = mRegionen[i];
    if (region.mTyp != Region::Frei || !region.HatEcken())
        return false;
    for (uint32_t k = 0; k < region.mNachbarAnzahl; ++k)
    {
        const uint64_t j = region.mNachbarn[k];
        if (IstRegion(j) && mRegionen[j].mTyp != Region::Frei)
            return false;
    }
    return true;
}

uint64_t Szene::WaehleBauernhausRegion() const
{
    const uint64_t anzahl = mRegionen.size();
    // A map without such a spot must still end: the draws are bounded, then a scan takes over,
    // and as a last resort any free region will do.
    for (int versuch = 0; versuch < 100000 && anzahl > 0; ++versuch)
    {
        const uint64_t i = static_cast<uint64_t>(Spiel::rand()) % anzahl;
        if (IstBauernhausPlatz(i))
            return i;
    }
    for (uint64_t i = 0; i < anzahl; ++i)
        if (IstBauernhausPlatz(i))
            return i;
    for (uint64_t i = 0; i < anzahl; ++i)
        if (mRegionen[i].mTyp == Region::Frei && mRegionen[i].HatEcken())
            return i;
    return UINT64_MAX;
}

void Szene::StelleErstesBauernhaus()
{
    const uint64_t region = WaehleBauernhausRegion();
    mStartpunkt = region == UINT64_MAX ? Vektor(500, 0, 500) : mRegionen[region].Schwerpunkt();
    new Bauernhaus(this, mStartpunkt);
}

// ---------------------------------------------------------------------------------------------
// Terrain mesh

void Szene::FuegeOberflaecheHinzu(uint64_t i, Netz& netz) const
{
    const Region& region = mRegionen[i];
    const uint32_t n = region.mEckenAnzahl;
    if (n == 0)
        return;
    const Vektor mitte(mPunkte[i].x, region.MittlereHoehe(), mPunkte[i].z);
    const TAlphaFarbe& f = region.mFarbe;
    const TAlphaFarbe oben(0.9f * f.r, 0.9f * f.g, 0.9f * f.b, 0.9f * f.a);
    for (uint32_t k = 0; k < n; ++k)
        FuegeDreieckHinzu(mitte, region.mEcken[k], region.mEcken[(k + 1) % n], oben, netz.mIndizes, netz.mVertices);
}

void Szene::FuegeWaendeHinzu(uint64_t i, Netz& netz) const
{
    // Walls where a region stands higher than its neighbour (or than the void 100 below).
    auto wand = [&](const Vektor& a, const Vektor& b, const Vektor& c, const Vektor& aussen, float nummer) {
        const float f = std::fmod(nummer * 0.6733f, 1.0f);
        const TAlphaFarbe farbe(0.45f + 0.1f * f, 0.36f + 0.08f * f, 0.18f + 0.04f * f, 1.0f);
        // Wind the triangle so that its normal faces out of the region.
        if (Punkt(Kreuz(c - a, b - a), aussen) >= 0.0f)
            FuegeDreieckHinzu(a, b, c, farbe, netz.mIndizes, netz.mVertices);
        else
            FuegeDreieckHinzu(a, c, b, farbe, netz.mIndizes, netz.mVertices);
    };
    const Region& region = mRegionen[i];
    const uint32_t n = region.mEckenAnzahl;
    for (uint32_t k = 0; k < n; ++k)
    {
        const Vektor& a = region.mEcken[k];
        const Vektor& b = region.mEcken[(k + 1) % n];
        Vektor fernA(a.x, a.y - 100.0f, a.z), fernB(b.x, b.y - 100.0f, b.z);
        const uint64_t j = k < region.mNachbarAnzahl ? region.mNachbarn[k] : UINT64_MAX;
        if (IstRegion(j))
        {
            // The neighbour's corner at b and the one after it are the far edge. Where the
            // neighbour has a second corner close by (a short edge to a third region), the
            // nearest is b's own: the first within reach could pair b with itself.
            const Region& nachbar = mRegionen[j];
            float naechster = 0.01f;
            for (uint32_t m = 0; m < nachbar.mEckenAnzahl; ++m)
            {
                const float abstand = HorizontalQuadrat(nachbar.mEcken[m], b);
                if (abstand < naechster)
                {
                    naechster = abstand;
                    fernB = nachbar.mEcken[m];
                    fernA = nachbar.mEcken[(m + 1) % nachbar.mEckenAnzahl];
                }
            }
        }
        const bool tiefA = a.y - fernA.y > 0.01f;
        const bool tiefB = b.y - fernB.y > 0.01f;
        const Vektor kante = b - a;
        const Vektor aussen = Vektor(kante.z, 0, -kante.x);
        const Vektor innen = Vektor(mPunkte[i].x - a.x, 0, mPunkte[i].z - a.z);
        const Vektor nachAussen = Punkt(aussen, innen) > 0 ? Mal(aussen, -1.0f) : aussen;
        const float nummer = static_cast<float>(15 * i + k);
        if (tiefA && tiefB)
        {
            wand(a, b, fernB, nachAussen, nummer);
            wand(a, fernB, fernA, nachAussen, nummer + 1.0f);
        }
        else if (tiefA)
            wand(a, b, fernA, nachAussen, nummer);
        else if (tiefB)
            wand(a, b, fernB, nachAussen, nummer);
    }
}

Netz Szene::ErzeugeGelaendeNetz() const
{
    Netz netz;
    netz.mVertices.reserve(mRegionen.size() * 24);
    netz.mIndizes.reserve(mRegionen.size() * 24);
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
        FuegeOberflaecheHinzu(i, netz);
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
        FuegeWaendeHinzu(i, netz);
    return netz;
}

void Szene::BaueGelaende()
{
    // The kept mesh draws the same triangles in the same order as ErzeugeGelaendeNetz's, but
    // each region's walls have vertex and index slots for the most its edges can have (two
    // triangles each), the index slots of walls not in use filled with triangles of no area:
    // a wall that appears or goes rewrites its own region's slots and nothing else.
    Netz& netz = mGelaendeNetz;
    netz.mVertices.clear();
    netz.mIndizes.clear();
    mGelaendeTeile.assign(mRegionen.size(), GelaendeTeil());
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
    {
        const uint64_t anfang = netz.mVertices.size();
        FuegeOberflaecheHinzu(i, netz);
        mGelaendeTeile[i].mOben = {anfang, netz.mVertices.size() - anfang};
    }
    Netz waende;
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
    {
        GelaendeTeil& teil = mGelaendeTeile[i];
        waende.mVertices.clear();
        waende.mIndizes.clear();
        FuegeWaendeHinzu(i, waende);
        teil.mWandPlatz = netz.mVertices.size();
        teil.mWandVertices = waende.mVertices.size();
        netz.mVertices.insert(netz.mVertices.end(), waende.mVertices.begin(), waende.mVertices.end());
        netz.mVertices.resize(teil.mWandPlatz + WandPlaetze(i));
        teil.mWandIndex = netz.mIndizes.size();
        netz.mIndizes.resize(teil.mWandIndex + WandPlaetze(i));
        SchreibeWandIndizes(i);
    }

    if (mGelaende)
    {
        mGelaende->Freigeben();
        delete mGelaende;
    }
    mGelaende = new Modell(netz, true);
    if (mInstanzen.Kapazitaet() == 0)
        mInstanzen.Vergroessern(64);
    mInstanzen.Setze(0, RenderInstanz(mGelaende, TMatrix4::Einheit()));

    // Whose walls a region's heights shape: its own, and those of every region that has it
    // across one of its edges.
    mAnlieger.assign(mRegionen.size(), {});
    for (uint64_t j = 0; j < mRegionen.size(); ++j)
        for (uint32_t k = 0; k < mRegionen[j].mNachbarAnzahl; ++k)
            if (IstRegion(mRegionen[j].mNachbarn[k]))
                mAnlieger[mRegionen[j].mNachbarn[k]].push_back(static_cast<uint32_t>(j));
}

uint64_t Szene::WandPlaetze(uint64_t i) const { return 6u * mRegionen[i].mEckenAnzahl; }

void Szene::SchreibeWandIndizes(uint64_t i)
{
    // The walls in use first, then triangles on the room's first vertex, which draw nothing.
    // Only the region's own slots are touched: the list lies cold in memory during the
    // simulation, and shifting the runs behind a changed region would pull most of it through
    // the cache within one step.
    const GelaendeTeil& wand = mGelaendeTeile[i];
    uint32_t* lauf = mGelaendeNetz.mIndizes.data() + wand.mWandIndex;
    const uint32_t platz = static_cast<uint32_t>(wand.mWandPlatz);
    for (uint64_t v = 0; v < WandPlaetze(i); ++v)
        lauf[v] = v < wand.mWandVertices ? platz + static_cast<uint32_t>(v) : platz;
}

void Szene::AktualisiereRegion(uint64_t r, bool hoehen)
{
    if (!IstRegion(r))
        return;
    if (!mGelaende || mGelaendeTeile.size() != mRegionen.size())
    {
        BaueGelaende();
        return;
    }
    Netz& netz = mGelaendeNetz;
    uint64_t von = UINT64_MAX, bis = 0;
    auto schreibe = [&](uint64_t anfang, const Netz& teil) {
        std::copy(teil.mVertices.begin(), teil.mVertices.end(),
                  netz.mVertices.begin() + static_cast<std::ptrdiff_t>(anfang));
        if (!teil.mVertices.empty())
        {
            von = std::min(von, anfang);
            bis = std::max(bis, anfang + teil.mVertices.size());
        }
    };

    // The top: the same corners, so the same number of triangles.
    Netz teil;
    FuegeOberflaecheHinzu(r, teil);
    SPIEL_PRUEFE(teil.mVertices.size() == mGelaendeTeile[r].mOben.mAnzahl);
    schreibe(mGelaendeTeile[r].mOben.mAnfang, teil);

    // Walls that appeared or went change their region's index slots.
    bool indizesNeu = false;
    auto waende = [&](uint64_t j) {
        teil.mVertices.clear();
        teil.mIndizes.clear();
        FuegeWaendeHinzu(j, teil);
        GelaendeTeil& wand = mGelaendeTeile[j];
        SPIEL_PRUEFE(teil.mVertices.size() <= WandPlaetze(j));
        schreibe(wand.mWandPlatz, teil);
        if (teil.mVertices.size() != wand.mWandVertices)
        {
            wand.mWandVertices = teil.mVertices.size();
            SchreibeWandIndizes(j);
            indizesNeu = true;
        }
    };
    if (hoehen)
    {
        waende(r);
        for (uint32_t j : mAnlieger[r])
            waende(j);
    }
    if (von < bis || indizesNeu)
    {
        mGelaende->Aktualisiere(netz, bis > von ? bis - von : 0, indizesNeu);
        // The update may have given the model new buffers: the instance draws what it has now.
        mInstanzen.Setze(0, RenderInstanz(mGelaende, TMatrix4::Einheit()));
    }
}

// ---------------------------------------------------------------------------------------------
// Picking and searches

PickErgebnis Szene::PickeRegion(const Vektor& o, const Vektor& d) const
{
    const bool flach = std::fabs(d.y) < 0.000001f;
    auto treffer = [&](uint64_t i, PickErgebnis& ergebnis) {
        const Region& region = mRegionen[i];
        if (!region.HatEcken())
            return false;
        const Vektor p = AufHoehe(o, d, region.MittlereHoehe());
        if (!LiegtInnen(region, p.x, p.z))
            return false;
        ergebnis = {i, p};
        return true;
    };
    PickErgebnis ergebnis;
    // A vertical ray or one parallel to the ground tests the same x-z point against every region:
    // the grid gives the candidates, in ascending index order like the full walk. Regions and
    // points beyond the map fall into the edge cells, so the answer is the same everywhere.
    if (!mRaster.empty() && ((d.x == 0.0f && d.z == 0.0f) || flach))
    {
        for (uint32_t i : mRaster[RasterZelle(o.z) * RASTER + RasterZelle(o.x)])
            if (treffer(i, ergebnis))
                return ergebnis;
        return ergebnis;
    }
    for (uint64_t i = 0; i < mRegionen.size(); ++i)
        if (treffer(i, ergebnis))
            return ergebnis;
    return ergebnis;
}

Mensch* Szene::SucheArbeiter(const Objekt* objekt) const
{
    return Naechstes<Mensch>(Liste(Art::Mensch), objekt->mPosition,
                             [](const Mensch* m) { return m->mZustand == 1 || m->mZustand == 28; });
}

Mensch* Szene::SucheFeldarbeiter(const Acker* acker, bool ernte) const
{
    const Vektor arbeitsPunkt = mPunkte[acker->mRegion];
    for (Objekt* o : Liste(Art::Mensch))
    {
        const Mensch* mensch = static_cast<const Mensch*>(o);
        if (mensch->mZustand < 5 || mensch->mZustand > 8 || !mensch->mZiel)
            continue;
        const Vektor d = mensch->mZiel->mPosition - arbeitsPunkt;
        if (Punkt(d, d) <= 1600.0f)
            return nullptr;
    }
    if (Mensch* arbeiter = SucheArbeiter(acker))
        return arbeiter;
    // Only grain brought in gets a frozen settlement up again, and nobody is idle to bring it:
    // a worker lying hungry is called. While anyone is still up, the field waits for an idle one.
    if (!Erstarrt())
        return nullptr;
    if (!ernte)
    {
        // To sow, a worker without a workplace first: one with a workplace goes back to it after.
        if (Mensch* ohneArbeit = Naechstes<Mensch>(Liste(Art::Mensch), acker->mPosition,
                                                   [](const Mensch* m) { return m->mZustand == 2 && !m->mArbeitsplatz; }))
            return ohneArbeit;
    }
    return Naechstes<Mensch>(Liste(Art::Mensch), acker->mPosition, [](const Mensch* m) { return m->mZustand == 2; });
}

Mensch* Szene::SucheTurmarbeiter(const Turm* turm) const
{
    int untaetige = 0;
    Mensch* bester = Naechstes<Mensch>(Liste(Art::Mensch), turm->mPosition, [&untaetige](const Mensch* m) {
        // Counted on the same walk: the tower takes a worker only while five stand idle.
        const bool untaetig = m->mZustand == 1;
        untaetige += untaetig ? 1 : 0;
        return untaetig;
    });
    return untaetige >= 5 ? bester : nullptr;
}

Bauernhaus* Szene::SucheBauernhaus(const Vektor& punkt) const
{
    return Naechstes<Bauernhaus>(Liste(Art::Bauernhaus), punkt, [](const Bauernhaus*) { return true; });
}

// ---------------------------------------------------------------------------------------------
// Update pass

void Szene::AktualisiereObjekte()
{
    const uint64_t kapazitaet = mObjekte.Kapazitaet();
    for (uint64_t i = 0; i < kapazitaet; ++i)
    {
        // Read the slot afresh: an object created in this pass may have moved the table.
        if (!mObjekte.IstBelegt(i))
            continue;
        Objekt* objekt = mObjekte[i];
        // Most of the map's objects are trees at rest, whose update does nothing: calling into
        // each of them would take about half of a step.
        const Baum* baum = Als<Baum>(objekt);
        if (!baum || !baum->Ruht())
            objekt->Aktualisiere();
    }
    PruefeHungersnot();
}

bool Szene::Erstarrt() const
{
    return Vorrat::Nahrung == 0 && mArbeiter > 0 && mHungrige == mArbeiter;
}

void Szene::PruefeHungersnot()
{
    if (Vorrat::Nahrung > 0)
    {
        mHungerGemeldet = false;
        return;
    }
    if (mHungerGemeldet)
        return;
    // Frozen, the settlement moves again only when a field calls one of the hungry (its harvest
    // brings the next grain); without a field nobody ever gets up. The player is told once.
    if (Erstarrt())
    {
        mHungerGemeldet = true;
        ++mHungerWarnungen;
        gLog.Schreibe("?Keine Nahrung mehr: alle %llu Arbeiter liegen hungrig, bis ein Feld einen von ihnen ruft.",
                      static_cast<unsigned long long>(mArbeiter));
    }
}

}  // namespace Spiel
