#pragma once
// Meshes built on the CPU: a list of 40-byte vertices (position, normal, colour) and a list of
// 32-bit indices, three per triangle. Vertices are never shared between faces, so every face
// keeps its own flat normal.
#include <cmath>
#include <cstdint>
#include <vector>

#include "quarzklassen/kern/bvektor.h"
#include "quarzklassen/kern/talphafarbe.h"

namespace Spiel {

using Vektor = BVektor<float>;

struct Vertex
{
    Vektor mPosition;
    Vektor mNormale;
    TAlphaFarbe mFarbe;
};
static_assert(sizeof(Vertex) == 40, "the scene renderer's vertex input expects 40 bytes");

// A mesh under construction.
struct Netz
{
    std::vector<Vertex> mVertices;
    std::vector<uint32_t> mIndizes;

    uint64_t Dreiecke() const { return mIndizes.size() / 3; }
};

inline Vektor Mal(const Vektor& v, float s) { return Vektor(v.x * s, v.y * s, v.z * s); }
inline float Punkt(const Vektor& a, const Vektor& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
// Squared distance in the ground plane: the height is left out.
inline float HorizontalQuadrat(const Vektor& a, const Vektor& b)
{
    const float dx = a.x - b.x, dz = a.z - b.z;
    return dx * dx + dz * dz;
}
inline Vektor Kreuz(const Vektor& a, const Vektor& b)
{
    return Vektor(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
// Division by the length; a zero vector stays zero instead of turning into NaN.
inline Vektor Normiert(const Vektor& v)
{
    const float laenge = v.Laenge();
    return laenge > 0.0f ? Mal(v, 1.0f / laenge) : v;
}

// Appends one triangle with the normal normalise((c - a) x (b - a)).
void FuegeDreieckHinzu(const Vektor& a, const Vektor& b, const Vektor& c, const TAlphaFarbe& farbe,
                       std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices);
// Same, with a normal given by the caller.
void FuegeDreieckHinzu(const Vektor& a, const Vektor& b, const Vektor& c, const Vektor& normale,
                       const TAlphaFarbe& farbe, std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices);
// Appends the parallelogram spanned by u and v at the origin as two triangles.
void FuegeViereckHinzu(const Vektor& ursprung, const Vektor& u, const Vektor& v, const TAlphaFarbe& farbe,
                       std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices);
// Appends the parallelepiped with the full edge vectors a, b, d around the centre as six quads.
void FuegeQuaderHinzu(const Vektor& mitte, const Vektor& a, const Vektor& b, const Vektor& d,
                      const TAlphaFarbe& farbe, std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices);

}  // namespace Spiel
