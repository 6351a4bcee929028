// The pointer's pick: the first of the terrain's surfaces along a ray, found by walking the
// region grid cell by cell in the order the ray crosses it and testing only the regions of the
// cells it passes low enough to touch.
#include <algorithm>
#include <cmath>
#include <limits>

#include "spiel/welt/szene.h"

namespace Spiel {

namespace {

constexpr float kUnendlich = std::numeric_limits<float>::infinity();
// A ray through a shared edge of two triangles meets at least one of them.
constexpr float kKantenSpiel = 1e-5f;

// The distance along the ray to triangle (a, b, c), or infinity: only its drawn side counts,
// the one its normal (c - a) x (b - a) faces, and only ahead of the origin.
float Dreieckstreffer(const Vektor& o, const Vektor& d, const Vektor& a, const Vektor& b, const Vektor& c)
{
    const Vektor e1 = b - a, e2 = c - a;
    const Vektor p = Kreuz(d, e2);
    // d . ((c - a) x (b - a)): below zero when the ray comes at the drawn side.
    const float det = Punkt(e1, p);
    if (!(det < 0.0f))
        return kUnendlich;
    const float kehrwert = 1.0f / det;
    const Vektor s = o - a;
    const float u = Punkt(s, p) * kehrwert;
    if (u < -kKantenSpiel || u > 1.0f + kKantenSpiel)
        return kUnendlich;
    const Vektor q = Kreuz(s, e1);
    const float v = Punkt(d, q) * kehrwert;
    if (v < -kKantenSpiel || u + v > 1.0f + kKantenSpiel)
        return kUnendlich;
    const float t = Punkt(e2, q) * kehrwert;
    return t > 0.0f ? t : kUnendlich;
}

// Narrows [von, bis] to where the ray's coordinate (origin o, direction d) lies in [min, max].
bool Beschneide(float o, float d, float min, float max, float& von, float& bis)
{
    if (d == 0.0f)
        return o >= min && o <= max;
    float t1 = (min - o) / d, t2 = (max - o) / d;
    if (t1 > t2)
        std::swap(t1, t2);
    von = std::max(von, t1);
    bis = std::min(bis, t2);
    return von <= bis;
}

bool Endlich(const Vektor& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

}  // namespace

float Szene::GelaendeOben(uint64_t i) const
{
    const Abschnitt& oben = mGelaendeTeile[i].mOben;
    const Vertex* v = mGelaendeNetz.mVertices.data() + oben.mAnfang;
    float hoechste = -kUnendlich;
    for (uint64_t k = 0; k < oben.mAnzahl; ++k)
        hoechste = std::max(hoechste, v[k].mPosition.y);
    return hoechste;
}

void Szene::TriffRegion(uint64_t i, const Vektor& o, const Vektor& d, Flaechentreffer& naechster) const
{
    const GelaendeTeil& teil = mGelaendeTeile[i];
    auto dreiecke = [&](uint64_t anfang, uint64_t anzahl, bool wand) {
        const Vertex* v = mGelaendeNetz.mVertices.data() + anfang;
        for (uint64_t k = 0; k + 2 < anzahl; k += 3)
        {
            const float t = Dreieckstreffer(o, d, v[k].mPosition, v[k + 1].mPosition, v[k + 2].mPosition);
            if (t < naechster.mT)
                naechster = {t, i, wand};
        }
    };
    dreiecke(teil.mOben.mAnfang, teil.mOben.mAnzahl, false);
    dreiecke(teil.mWandPlatz, teil.mWandVertices, true);
}

PickErgebnis Szene::PickeOberflaeche(const Vektor& o, const Vektor& d) const
{
    if (mRaster.empty() || mGelaendeTeile.size() != mRegionen.size() || !Endlich(o) || !Endlich(d))
        return {};
    // The stretch of the ray over the regions' extent, ahead of the origin.
    float von = 0.0f, bis = kUnendlich;
    if (!Beschneide(o.x, d.x, mRaumMinX, mRaumMaxX, von, bis) || !Beschneide(o.z, d.z, mRaumMinZ, mRaumMaxZ, von, bis))
        return {};

    // Where the ray leaves a cell along one axis: at the next grid line it heads for; the outer
    // cells have none beyond them.
    auto ausgang = [](int zelle, float ursprung, float richtung) {
        if (richtung == 0.0f)
            return kUnendlich;
        const int linie = richtung > 0.0f ? zelle + 1 : zelle;
        if (linie <= 0 || linie >= RASTER)
            return kUnendlich;
        return (static_cast<float>(linie) * RASTER_ZELLE - ursprung) / richtung;
    };
    const Vektor eintritt = o + Mal(d, von);
    int x = RasterZelle(eintritt.x), z = RasterZelle(eintritt.z);
    const int schrittX = d.x > 0.0f ? 1 : -1, schrittZ = d.z > 0.0f ? 1 : -1;

    Flaechentreffer naechster{kUnendlich};
    for (int zellen = 0; zellen < 2 * RASTER + 2; ++zellen)
    {
        const float ausX = ausgang(x, o.x, d.x), ausZ = ausgang(z, o.z, d.z);
        const float aus = std::min({ausX, ausZ, bis});
        // The lowest the ray comes within the cell: regions wholly below it are out of reach.
        const float tief = d.y < 0.0f ? (std::isinf(aus) ? -kUnendlich : o.y + d.y * aus) : o.y + d.y * von;
        for (uint32_t i : mRaster[static_cast<size_t>(z * RASTER + x)])
            if (GelaendeOben(i) >= tief)
                TriffRegion(i, o, d, naechster);
        // Every surface nearer than this cell's end lies in this cell or in one before it.
        if (naechster.mT <= aus || aus >= bis)
            break;
        if (ausX < ausZ)
            x += schrittX;
        else
            z += schrittZ;
        von = aus;
    }
    if (naechster.mRegion == UINT64_MAX || naechster.mWand)
        return {};
    return {naechster.mRegion, AufHoehe(o, d, mRegionen[naechster.mRegion].MittlereHoehe())};
}

}  // namespace Spiel
