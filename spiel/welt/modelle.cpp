#include "spiel/welt/modelle.h"

#include <cmath>
#include <string>

#include "spiel/welt/modell.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

namespace {

constexpr float kPi = 3.14159265358979f;

// A point of a ring of radius r at height y.
Vektor P(float r, float a, float y) { return Vektor(r * std::cos(a), y, r * std::sin(a)); }
// The same with z mirrored (the tower's platform).
Vektor Q(float r, float a, float y) { return Vektor(r * std::cos(a), y, -r * std::sin(a)); }

// Each random number in its own statement: the order of draws fixes the models.
float Zufall(float faktor) { return static_cast<float>(Spiel::rand()) * faktor; }

void Dreieck(Netz& netz, const Vektor& a, const Vektor& b, const Vektor& c, const TAlphaFarbe& farbe)
{
    FuegeDreieckHinzu(a, b, c, farbe, netz.mIndizes, netz.mVertices);
}
void Dreieck(Netz& netz, const Vektor& a, const Vektor& b, const Vektor& c, const Vektor& n, const TAlphaFarbe& farbe)
{
    FuegeDreieckHinzu(a, b, c, n, farbe, netz.mIndizes, netz.mVertices);
}
void Viereck(Netz& netz, const Vektor& o, const Vektor& u, const Vektor& v, const TAlphaFarbe& farbe)
{
    FuegeViereckHinzu(o, u, v, farbe, netz.mIndizes, netz.mVertices);
}
void Quader(Netz& netz, const Vektor& m, const Vektor& a, const Vektor& b, const Vektor& d, const TAlphaFarbe& farbe)
{
    FuegeQuaderHinzu(m, a, b, d, farbe, netz.mIndizes, netz.mVertices);
}

// Four walls of stacked logs that interleave at the corners; the log walls of the woodcutter's
// hut, the forester's house and the quarry. Wall 4 may be higher (the forester's roof side).
void BaueBlockwaende(Netz& netz, const TAlphaFarbe& farbe, int logsWand4)
{
    for (int wand = 0; wand < 4; ++wand)
    {
        const int logs = wand == 3 ? logsWand4 : 7;
        for (int j = 0; j < logs; ++j)
        {
            const float t = static_cast<float>(j % 2) - 0.5f;
            const float y = 0.8f * static_cast<float>(j);
            const float s = 1.125f * t;
            switch (wand)
            {
            case 0:
                Quader(netz, {s, y, 4}, {9, 0, 0}, {0, -0.4f, -0.4f}, {0, 0.4f, -0.4f}, farbe);
                break;
            case 1:
                Quader(netz, {4, y, -s}, {0, 0, -9}, {-0.4f, -0.4f, 0}, {-0.4f, 0.4f, 0}, farbe);
                break;
            case 2:
                Quader(netz, {-s, y, -4}, {-9, 0, 0}, {0, -0.4f, 0.4f}, {0, 0.4f, 0.4f}, farbe);
                break;
            default:
                Quader(netz, {-4, y, s}, {0, 0, 9}, {0.4f, -0.4f, 0}, {0.4f, 0.4f, 0}, farbe);
                break;
            }
        }
    }
}

// Four triangles from the eaves of a 10 x 10 square to the apex above its centre: the roofs of
// the farmhouse and the quarry.
void BauePyramidendach(Netz& netz, float traufe, float first, const TAlphaFarbe& farbe)
{
    const Vektor spitze(0, first, 0);
    Dreieck(netz, {-5, traufe, 5}, spitze, {5, traufe, 5}, farbe);
    Dreieck(netz, {5, traufe, 5}, spitze, {5, traufe, -5}, farbe);
    Dreieck(netz, {5, traufe, -5}, spitze, {-5, traufe, -5}, farbe);
    Dreieck(netz, {-5, traufe, -5}, spitze, {-5, traufe, 5}, farbe);
}

// A cone without base around (cx, cz): the stone heaps of the construction site.
void BaueKegel(Netz& netz, float cx, float cz, float r, float hoehe, int n, const TAlphaFarbe& farbe)
{
    const Vektor spitze(cx, hoehe, cz);
    for (int k = 0; k < n; ++k)
    {
        const float a0 = static_cast<float>(k) * 2.0f * kPi / static_cast<float>(n);
        const float a1 = static_cast<float>(k + 1) * 2.0f * kPi / static_cast<float>(n);
        Dreieck(netz, {cx + r * std::cos(a1), 0, cz + r * std::sin(a1)}, spitze,
                {cx + r * std::cos(a0), 0, cz + r * std::sin(a0)}, farbe);
    }
}

void Registriere(const std::string& name, const Netz& netz)
{
    Modell*& eintrag = Modellregister[name];
    if (eintrag)
    {
        eintrag->Freigeben();
        delete eintrag;
    }
    eintrag = new Modell(netz);
}

}  // namespace

Netz BaueHaus(uint64_t bewohner)
{
    Netz netz;
    Quader(netz, {0, 5, 0}, {10, 0, 0}, {0, 10, 0}, {0, 0, 10}, {0.4f, 0.4f, 0.4f, 1});
    BauePyramidendach(netz, 10, 15, {1, 0.2509804f, 0.0627451f, 1});
    // The right-hand windows start at the float just above 1.
    const float rechts = 1.0000002f;
    const Vektor fenster[4] = {{-3, 2, 5.25f}, {rechts, 2, 5.25f}, {-3, 6, 5.25f}, {rechts, 6, 5.25f}};
    for (uint64_t i = 0; i < 4; ++i)
    {
        const TAlphaFarbe farbe = bewohner > i ? TAlphaFarbe(1, 1, 0.4392157f, 1) : TAlphaFarbe(0, 0, 0, 1);
        Viereck(netz, fenster[i], {2, 0, 0}, {0, 2, 0}, farbe);
    }
    return netz;
}

Netz BaueBaum()
{
    Netz netz;
    const float h = 4.0f + Zufall(3.0518509e-5f);
    const TAlphaFarbe stamm(0.5f, 0.3f, 0.2f, 1);
    const Vektor hoch(0, 6, 0);
    Viereck(netz, {0, 0, 1}, {1, 0, -1}, hoch, stamm);
    Viereck(netz, {1, 0, 0}, {-1, 0, -1}, hoch, stamm);
    Viereck(netz, {0, 0, -1}, {-1, 0, 1}, hoch, stamm);
    Viereck(netz, {-1, 0, 0}, {1, 0, 1}, hoch, stamm);

    const TAlphaFarbe krone(0.1f, 0.4f, 0.2f, 1);
    float y0 = 6.0f;
    for (int i = 0; i < 3; ++i)
    {
        const float s = 1.0f / (1.0f + 0.2f * static_cast<float>(i));
        const float r = 7.0f * s;
        const float c = h * s;
        const int n = 4 + static_cast<int>(Zufall(1.5259255e-4f));
        const float phase = Zufall(1.9175345e-4f);
        const Vektor spitze(0, y0 + c, 0);
        for (int k = 0; k < n; ++k)
        {
            const float a0 = static_cast<float>(k) * 2.0f * kPi / static_cast<float>(n) + phase;
            const float a1 = static_cast<float>(k + 1) * 2.0f * kPi / static_cast<float>(n) + phase;
            Dreieck(netz, P(r, a1, y0), spitze, P(r, a0, y0), krone);
        }
        y0 += c;
    }
    return netz;
}

Netz BaueMensch(uint64_t last)
{
    Netz netz;
    const TAlphaFarbe koerper(0.6666667f, 0.6666667f, 0.6666667f, 1);
    for (int k = 0; k < 8; ++k)
    {
        const float a0 = static_cast<float>(k) * kPi / 4.0f;
        const float a1 = static_cast<float>(k + 1) * kPi / 4.0f;
        Viereck(netz, P(1.3f, a1, 0), P(1.3f, a0, 0) - P(1.3f, a1, 0), {0, 3, 0}, koerper);
        Dreieck(netz, P(1.3f, a1, 3), {0, 3, 0}, P(1.3f, a0, 3), {0, 1, 0}, koerper);
    }
    for (int k = 0; k < 8; ++k)
    {
        const float a0 = static_cast<float>(k) * kPi / 4.0f;
        const float a1 = static_cast<float>(k + 1) * kPi / 4.0f;
        Dreieck(netz, P(0.9f, a0, 4.1f), {0, 3.2f, 0}, P(0.9f, a1, 4.1f), koerper);
        Dreieck(netz, P(0.9f, a1, 4.1f), {0, 5, 0}, P(0.9f, a0, 4.1f), koerper);
    }
    switch (last)
    {
    case 1:
        Quader(netz, {2, 2.5f, 0}, {0, 0, 4}, {0.4f, 0.4f, 0}, {0.4f, -0.4f, 0}, {1, 0.8666667f, 0.3333333f, 1});
        break;
    case 2:
        Quader(netz, {2, 2.5f, 0}, {0, 0, 6}, {0.3f, 0.3f, 0}, {0.3f, -0.3f, 0},
               {0.4f, 0.3333333f, 0.2666667f, 1});
        break;
    case 3:
        Quader(netz, {2, 2.5f, 0}, {0.8f, 0, 0}, {0, 0.8f, 0}, {0, 0, 0.8f}, {0.4666667f, 0.4666667f, 0.4666667f, 1});
        break;
    case 4:
    {
        const float unten = 2.1999998f;
        const TAlphaFarbe gruen(0.2f, 0.4f, 0.2666667f, 1);
        Dreieck(netz, {1.3f, unten, 0.7f}, {2, 3.6f, 0}, {2.7f, unten, 0.7f}, gruen);
        Dreieck(netz, {2.7f, unten, 0.7f}, {2, 3.6f, 0}, {2, unten, -0.7f}, gruen);
        Dreieck(netz, {2, unten, -0.7f}, {2, 3.6f, 0}, {1.3f, unten, 0.7f}, gruen);
        Quader(netz, {2, 1.8f, 0}, {0.3f, 0, 0}, {0, 0.8f, 0}, {0, 0, -0.3f}, {0.3333333f, 0.2666667f, 0.2f, 1});
        break;
    }
    default:
        break;
    }
    return netz;
}

Netz BauePfeil(bool gross)
{
    Netz netz;
    const float r = gross ? 3.0f : 2.0f;
    const float y = gross ? 15.0f : 10.0f;
    const TAlphaFarbe farbe = gross ? TAlphaFarbe(0.8f, 0.8f, 0.8f, 1) : TAlphaFarbe(0.6901961f, 0.0627451f, 0.0627451f, 1);
    for (int k = 0; k < 8; ++k)
    {
        const float a0 = static_cast<float>(k) * kPi / 4.0f;
        const float a1 = static_cast<float>(k + 1) * kPi / 4.0f;
        Dreieck(netz, P(r, a0, y), {0, 0, 0}, P(r, a1, y), farbe);
        Dreieck(netz, P(r, a1, y), {0, y + r, 0}, P(r, a0, y), farbe);
    }
    return netz;
}

Netz BaueGetreide()
{
    Netz netz;
    const TAlphaFarbe farbe(0.8666667f, 0.8666667f, 0.1333333f, 1);
    int platziert = 0;
    while (platziert < 50)
    {
        const float x = Zufall(0.0006103702f) - 10.0f;
        const float z = Zufall(0.0006103702f) - 10.0f;
        const float d = std::sqrt(x * x + z * z);
        if (d > 10.0f)
            continue;
        const float hb = 5.5f - 0.05f * d;
        Dreieck(netz, {x, 0, z}, {x - 0.4f, hb, z}, {x + 0.4f, hb, z}, {0, 0, 1}, farbe);
        ++platziert;
    }
    return netz;
}

Netz BaueBaustelle()
{
    Netz netz;
    const TAlphaFarbe holz(0.4666667f, 0.3333333f, 0.2f, 1);
    Quader(netz, {-11, 6, -11}, {1, 0, 0}, {0, 12, 0}, {0, 0, 1}, holz);
    Quader(netz, {-6, 4, -11}, {1, 0, 0}, {0, 8, 0}, {0, 0, 1}, holz);
    Quader(netz, {-4, 4, -11}, {0.3623577f, 0.9320391f, 0}, {-13.048548f, 5.073008f, 0}, {0, 0, 1}, holz);
    Quader(netz, {-11, 5, -3}, {1, 0, 0}, {0, 10, 0}, {0, 0, 1}, holz);
    const TAlphaFarbe stein(0.5333333f, 0.5333333f, 0.5333333f, 1);
    BaueKegel(netz, -2, -8, 4, 2, 7, stein);
    BaueKegel(netz, -12, 3, 6, 3, 10, stein);
    BaueKegel(netz, 7, -1, 3, 1.5f, 5, stein);
    BaueKegel(netz, 9, 1, 3, 1.5f, 5, stein);
    BaueKegel(netz, 8, 3, 3, 1.5f, 5, stein);
    return netz;
}

Netz BaueHolzfaeller()
{
    Netz netz;
    BaueBlockwaende(netz, {0.4f, 0.3333333f, 0.2666667f, 1}, 7);
    const Vektor spitze(0, 9, 0);
    for (int seite = 0; seite < 4; ++seite)
    {
        for (int i = 0; i < 20; ++i)
        {
            const float u0 = 0.05f * static_cast<float>(i);
            const float u1 = 0.05f * static_cast<float>(i + 1);
            Vektor pa, pb;
            switch (seite)
            {
            case 0: pa = {(u0 - 0.5f) * 10, 6, 5}; pb = {(u1 - 0.5f) * 10, 6, 5}; break;
            case 1: pa = {5, 6, (0.5f - u0) * 10}; pb = {5, 6, (0.5f - u1) * 10}; break;
            case 2: pa = {(0.5f - u0) * 10, 6, -5}; pb = {(0.5f - u1) * 10, 6, -5}; break;
            default: pa = {-5, 6, (u0 - 0.5f) * 10}; pb = {-5, 6, (u1 - 0.5f) * 10}; break;
            }
            const float s = 0.2f + Zufall(9.155553e-6f);
            Dreieck(netz, pa, spitze, pb, {0.8f * s, 0.7333333f * s, 0.2666667f * s, s});
        }
    }
    return netz;
}

Netz BaueForsthaus()
{
    Netz netz;
    BaueBlockwaende(netz, {0.4f, 0.3333333f, 0.2666667f, 1}, 9);
    const float theta0 = std::atan2(1.6f, 8.0f);
    for (int blatt = 0; blatt < 100; ++blatt)
    {
        const float r1 = static_cast<float>(Spiel::rand());
        const float r2 = static_cast<float>(Spiel::rand());
        const float r3 = static_cast<float>(Spiel::rand());
        const float r4 = static_cast<float>(Spiel::rand());
        const float r5 = static_cast<float>(Spiel::rand());
        const float r6 = static_cast<float>(Spiel::rand());
        const float x = r1 * 0.000305185f - 5.0f;
        const float z = r2 * 0.000305185f - 5.0f;
        const float y = 6.0f + (1.6f - (r1 * 6.1037019e-5f - 0.2f)) + r3 * 6.1037022e-6f;
        const float psi = r4 * 1.9175345e-4f;
        const float phi = theta0 + r5 * 6.1037022e-6f - 0.1f;
        const Vektor mitte(x, y, z);
        const Vektor e1(std::cos(phi), -std::sin(phi), 0);
        const Vektor e2(0, 0, 1);
        const float cp = std::cos(psi), sp = std::sin(psi);
        auto lokal = [&](float p, float q) {
            return mitte + Mal(e1, p * cp - q * sp) + Mal(e2, p * sp + q * cp);
        };
        const float g = 0.9f + r6 * 3.0518511e-6f;
        Dreieck(netz, lokal(2, -2), lokal(0, 2), lokal(-2, -2), {0.1333333f * g, 0.3333333f * g, 0.2f * g, g});
    }
    return netz;
}

Netz BaueSteinbruch()
{
    Netz netz;
    BaueBlockwaende(netz, {0.4f, 0.3843137f, 0.3607843f, 1}, 7);
    BauePyramidendach(netz, 6, 9, {0.1333333f, 0.1333333f, 0.1333333f, 1});
    const TAlphaFarbe stein(0.6f, 0.6f, 0.6f, 1);
    const Vektor hoch(0, 1.3f, 0);
    Quader(netz, {-3, 0.7f, 4.8f}, {1.9601332f, 0, 0.39733866f}, hoch, {-0.2582701f, 0, 1.2740865f}, stein);
    Quader(netz, {-1, 0.7f, 4.9f}, {1.942676f, 0, -0.47540525f}, hoch, {0.3090134f, 0, 1.2627393f}, stein);
    Quader(netz, {-2.1f, 2.1f, 4.8f}, {1.9991001f, 0, -0.059991f}, hoch, {0.03899415f, 0, 1.299415f}, stein);
    return netz;
}

Netz BaueTurm()
{
    Netz netz;
    const TAlphaFarbe farbe(0.6f, 0.6f, 0.6f, 1);
    for (int k = 0; k < 50; ++k)
    {
        const float a0 = static_cast<float>(k) * 0.1256637f;
        const float a1 = static_cast<float>(k + 1) * 0.1256637f;
        Dreieck(netz, Q(10, a1, 0), Q(10, a0, 0), Q(9, a1, 2), farbe);
        Dreieck(netz, Q(9, a1, 2), Q(10, a0, 0), Q(9, a0, 2), farbe);
        Dreieck(netz, Q(9, a1, 2), Q(9, a0, 2), {0, 2, 0}, {0, 1, 0}, farbe);
    }
    return netz;
}

void LadeModelle()
{
    for (uint64_t n = 0; n < 5; ++n)
        Registriere("haus" + std::to_string(n), BaueHaus(n));
    for (int n = 0; n < 3; ++n)
        Registriere("baum" + std::to_string(n), BaueBaum());
    const char* menschen[5] = {"mensch", "mensch_getr", "mensch_holz", "mensch_stein", "mensch_baum"};
    for (uint64_t n = 0; n < 5; ++n)
        Registriere(menschen[n], BaueMensch(n));
    Registriere("pfeil1", BauePfeil(true));
    Registriere("pfeil0", BauePfeil(false));
    Registriere("getreide", BaueGetreide());
    Registriere("baustelle", BaueBaustelle());
    Registriere("holzfaeller", BaueHolzfaeller());
    Registriere("forsthaus", BaueForsthaus());
    Registriere("steinbruch", BaueSteinbruch());
    Registriere("turm", BaueTurm());
}

}  // namespace Spiel
