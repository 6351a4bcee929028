#include "spiel/welt/netz.h"

namespace Spiel {

namespace {
uint32_t Basis(const std::vector<Vertex>& vertices) { return static_cast<uint32_t>(vertices.size()); }
}  // namespace

void FuegeDreieckHinzu(const Vektor& a, const Vektor& b, const Vektor& c, const Vektor& normale,
                       const TAlphaFarbe& farbe, std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices)
{
    const uint32_t basis = Basis(vertices);
    indizes.insert(indizes.end(), {basis, basis + 1, basis + 2});
    vertices.push_back({a, normale, farbe});
    vertices.push_back({b, normale, farbe});
    vertices.push_back({c, normale, farbe});
}

void FuegeDreieckHinzu(const Vektor& a, const Vektor& b, const Vektor& c, const TAlphaFarbe& farbe,
                       std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices)
{
    FuegeDreieckHinzu(a, b, c, Normiert(Kreuz(c - a, b - a)), farbe, indizes, vertices);
}

void FuegeViereckHinzu(const Vektor& ursprung, const Vektor& u, const Vektor& v, const TAlphaFarbe& farbe,
                       std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices)
{
    const Vektor normale = Normiert(Kreuz(u, v));
    const uint32_t basis = Basis(vertices);
    indizes.insert(indizes.end(), {basis, basis + 2, basis + 3, basis, basis + 3, basis + 1});
    vertices.push_back({ursprung, normale, farbe});
    vertices.push_back({ursprung + u, normale, farbe});
    vertices.push_back({ursprung + v, normale, farbe});
    vertices.push_back({ursprung + u + v, normale, farbe});
}

void FuegeQuaderHinzu(const Vektor& mitte, const Vektor& a, const Vektor& b, const Vektor& d,
                      const TAlphaFarbe& farbe, std::vector<uint32_t>& indizes, std::vector<Vertex>& vertices)
{
    const Vektor ha = Mal(a, 0.5f), hb = Mal(b, 0.5f), hd = Mal(d, 0.5f);
    const Vektor minusA = Mal(a, -1.0f), minusD = Mal(d, -1.0f);
    FuegeViereckHinzu(mitte - ha - hb + hd, a, b, farbe, indizes, vertices);
    FuegeViereckHinzu(mitte - ha - hb - hd, d, b, farbe, indizes, vertices);
    FuegeViereckHinzu(mitte + ha - hb + hd, minusD, b, farbe, indizes, vertices);
    FuegeViereckHinzu(mitte + ha - hb - hd, minusA, b, farbe, indizes, vertices);
    FuegeViereckHinzu(mitte - ha + hb + hd, a, minusD, farbe, indizes, vertices);
    FuegeViereckHinzu(mitte - ha - hb - hd, a, d, farbe, indizes, vertices);
}

}  // namespace Spiel
