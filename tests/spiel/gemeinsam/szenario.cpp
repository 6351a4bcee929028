#include "tests/spiel/gemeinsam/szenario.h"

#include <cmath>
#include <functional>
#include <vector>

#include "spiel/welt/baum.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/vorrat.h"

namespace Spiel::Test {

namespace {

float Abstand(const Vektor& a, const Vektor& b) { return (a - b).OhneHoehe().Laenge(); }

}  // namespace

int BaeumeUm(const Szene& szene, const Vektor& ort, float radius)
{
    int n = 0;
    for (const Objekt* o : szene.mObjekte)
        if (dynamic_cast<const Baum*>(o) && Abstand(o->mPosition, ort) < radius)
            ++n;
    return n;
}

bool FelsInReichweite(const Szene& szene, const Vektor& ort)
{
    for (uint64_t i = 0; i < szene.mRegionen.size(); ++i)
    {
        const Region& r = szene.mRegionen[i];
        if (r.mTyp != Region::Berg || Abstand(szene.mPunkte[i], ort) > 80.0f)
            continue;
        for (uint32_t k = 0; k < r.mNachbarAnzahl; ++k)
        {
            const uint64_t j = r.mNachbarn[k];
            if (szene.IstRegion(j) && szene.mRegionen[j].mTyp != Region::Rand && szene.mRegionen[j].mTyp != Region::Berg)
                return true;
        }
    }
    return false;
}

bool PlatziereNahe(Szene& szene, uint64_t typ, const std::function<bool(const Vektor&)>& passt, Vektor* gesetzt)
{
    uint64_t beste = UINT64_MAX;
    float besterAbstand = 1e9f;
    for (uint64_t i = 0; i < szene.mRegionen.size(); ++i)
    {
        const Region& r = szene.mRegionen[i];
        if (r.mTyp != Region::Frei || !r.HatEcken())
            continue;
        const Vektor ort(szene.mPunkte[i].x, r.MittlereHoehe(), szene.mPunkte[i].z);
        const float abstand = Abstand(ort, szene.mStartpunkt);
        if (abstand >= besterAbstand || !passt(ort) || !IstPlatzErlaubt(szene, typ, i, ort))
            continue;
        beste = i;
        besterAbstand = abstand;
    }
    if (beste == UINT64_MAX)
        return false;
    const Vektor ort(szene.mPunkte[beste].x, szene.mRegionen[beste].MittlereHoehe(), szene.mPunkte[beste].z);
    if (gesetzt)
        *gesetzt = ort;
    return Platziere(szene, typ, beste, ort);
}

SzenarioPlan PlaneSzenario(Szene& szene)
{
    SzenarioPlan plan;
    Vorrat::Nahrung = 100;
    Vorrat::Holz = 60;
    Vorrat::Stein = 30;
    const auto egal = [](const Vektor&) { return true; };
    struct Schritt
    {
        uint64_t typ;
        std::function<bool(const Vektor&)> passt;
        const char* name;
    };
    const Schritt schritte[] = {
        {2, egal, "Bauernhaus"},
        {3, [&](const Vektor& o) { return BaeumeUm(szene, o, 100.0f) >= 8; }, "Holzfaeller"},
        {4, [&](const Vektor& o) { return Abstand(o, szene.mStartpunkt) > 40.0f; }, "Forsthaus"},
        {5, [&](const Vektor& o) { return FelsInReichweite(szene, o); }, "Steinbruch"},
        {6, egal, "Turm"},
    };
    for (const Schritt& s : schritte)
    {
        if (!PlatziereNahe(szene, s.typ, s.passt))
        {
            plan.fehlt = s.name;
            return plan;
        }
    }
    // Fields far enough apart to be worked at the same time.
    std::vector<Vektor> felder;
    for (int f = 0; f < 4; ++f)
    {
        Vektor ort;
        const bool gesetzt = PlatziereNahe(
            szene, 1,
            [&](const Vektor& o) {
                for (const Vektor& anderes : felder)
                    if (Abstand(o, anderes) < 45.0f)
                        return false;
                return true;
            },
            &ort);
        felder.push_back(ort);
        if (!gesetzt)
        {
            plan.fehlt = "Acker";
            return plan;
        }
    }
    plan.vollstaendig = true;
    return plan;
}

}  // namespace Spiel::Test
