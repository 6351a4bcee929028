// Thirty game minutes of a generated world with everything built: the settlement must keep
// running on its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <vector>

#include "spiel/welt/acker.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/baustelle.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "tests/spiel/gemeinsam/szenario.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

class Szenario : public Spielumgebung
{
};

TEST_F(Szenario, DreissigMinutenSiedlung)
{
    mSzene = GeneriereWelt(1);
    const SzenarioPlan plan = PlaneSzenario(*mSzene);
    ASSERT_TRUE(plan.vollstaendig) << plan.fehlt;
    const uint64_t holzStart = Vorrat::Holz, steinStart = Vorrat::Stein;

    std::set<uint64_t> waldAmAnfang;
    for (uint64_t i = 0; i < mSzene->mRegionen.size(); ++i)
        if (mSzene->mRegionen[i].mTyp == Region::Wald)
            waldAmAnfang.insert(i);
    const int baeumeAmAnfang = Zaehle<Baum>();

    bool unterNull = false;
    for (int schritt = 0; schritt < 30 * 60 * 10; ++schritt)
    {
        Schritt(0.1f);
        // The stocks are unsigned: a taker that did not test would wrap them around.
        unterNull = unterNull || Vorrat::Nahrung > 1000000 || Vorrat::Holz > 1000000 || Vorrat::Stein > 1000000;
    }
    EXPECT_FALSE(unterNull);

    // Everything got built.
    EXPECT_EQ(Zaehle<Baustelle>(), 0);
    EXPECT_EQ(Zaehle<Bauernhaus>(), 2);
    Turm* turm = nullptr;
    for (Objekt* o : mSzene->mObjekte)
        if (Turm* t = dynamic_cast<Turm*>(o))
            turm = t;
    ASSERT_NE(turm, nullptr);

    // No worker lost: eight residents, all in known states, all on the map.
    int arbeiter = 0, hungrig = 0;
    for (Objekt* o : mSzene->mObjekte)
    {
        if (const Mensch* m = dynamic_cast<const Mensch*>(o))
        {
            ++arbeiter;
            hungrig += m->mZustand == 2;
            EXPECT_LE(m->mZustand, 32u);
            EXPECT_NE(m->mZustand, 3u);
            EXPECT_NE(m->mZustand, 4u);
            EXPECT_GT(m->mPosition.x, 0.0f);
            EXPECT_LT(m->mPosition.x, 1000.0f);
            EXPECT_GT(m->mPosition.z, 0.0f);
            EXPECT_LT(m->mPosition.z, 1000.0f);
        }
    }
    EXPECT_EQ(arbeiter, 8);
    EXPECT_LT(hungrig, arbeiter);
    EXPECT_EQ(mSzene->mHungerWarnungen, 0u);

    // Wood and stone flowed: what was made went to the stocks or the tower.
    const int64_t holzGemacht = static_cast<int64_t>(Vorrat::Holz + turm->mHolzGeliefert) + turm->mHolzUnterwegs -
                                static_cast<int64_t>(holzStart);
    const int64_t steinGemacht = static_cast<int64_t>(Vorrat::Stein + turm->mSteinGeliefert) + turm->mSteinUnterwegs -
                                 static_cast<int64_t>(steinStart);
    EXPECT_GE(holzGemacht, 20);
    EXPECT_GE(steinGemacht, 10);
    EXPECT_GT(turm->mSteinGeliefert, 0u);

    // The tower shows one segment per delivered pair.
    const uint64_t segmente = std::min(turm->mHolzGeliefert, turm->mSteinGeliefert);
    EXPECT_GT(segmente, 0u);
    ASSERT_NE(turm->mRingModell, nullptr);
    EXPECT_EQ(turm->mRingModell->mDreiecke, Turm::ErzeugeRingNetz(segmente).Dreiecke());
    EXPECT_LE(turm->mSteinGeliefert, turm->mHolzGeliefert + 1);
    EXPECT_LE(turm->mHolzGeliefert, turm->mSteinGeliefert);

    // Trees were felled, and forest grew where there was none.
    int neuerWald = 0;
    for (uint64_t i = 0; i < mSzene->mRegionen.size(); ++i)
        neuerWald += mSzene->mRegionen[i].mTyp == Region::Wald && !waldAmAnfang.count(i);
    EXPECT_GT(neuerWald, 0);
    EXPECT_NE(Zaehle<Baum>(), baeumeAmAnfang);
    for (uint64_t i : waldAmAnfang)
        EXPECT_NE(mSzene->mRegionen[i].mTyp, Region::Feld);

    // The run itself, to the last draw: stocks, deliveries, trees, forest, terrain and where
    // the workers stand. Any change to the order of searches or draws shows here.
    float orte = 0.0f;
    for (Objekt* o : mSzene->mObjekte)
        if (dynamic_cast<const Mensch*>(o))
            orte += o->mPosition.x + o->mPosition.z;
    int wald = 0;
    for (const Region& r : mSzene->mRegionen)
        wald += r.mTyp == Region::Wald;
    EXPECT_EQ(Vorrat::Nahrung, 36u);
    EXPECT_EQ(Vorrat::Holz, 66u);
    EXPECT_EQ(Vorrat::Stein, 37u);
    EXPECT_EQ(turm->mHolzGeliefert, 24u);
    EXPECT_EQ(turm->mSteinGeliefert, 25u);
    EXPECT_EQ(Zaehle<Baum>(), 725);
    EXPECT_EQ(wald, 725);
    EXPECT_EQ(GezeichneteDreiecke(mSzene->GelaendeNetz()), 27870u);
    // Felled, planted and quarried regions were brought up to date in place: the terrain is
    // the one a fresh build gives.
    EXPECT_TRUE(GelaendeWieNeu());
    EXPECT_NEAR(orte, 2819.1626f, 1e-3f);
}

// A player who builds whatever the stocks pay for, from the start stocks: fields, the three
// production buildings and a second farmhouse. However the food runs, the settlement never
// freezes with every worker lying hungry next to a ripe field nobody harvests, nor beside bare
// fields nobody sows.
class Selbstlaeufer : public Spielumgebung, public ::testing::WithParamInterface<uint32_t>
{
protected:
    struct Verlauf
    {
        int gebaut = 0;
        // The world's counts of workers and of hungry ones followed every change of state.
        bool zaehltRichtig = true;
        // Longest time every worker lay hungry beside a ripe field, and beside only bare fields.
        float laengsteStarre = 0.0f;
        float laengsteBrache = 0.0f;
    };

    // Plays the given minutes; with einFeld the player builds one field only.
    Verlauf Spiele(bool einFeld, int minuten)
    {
        mSzene = GeneriereWelt(GetParam());
        std::vector<Vektor> felder;
        const auto feldPlatz = [&](const Vektor& o) {
            for (const Vektor& anderes : felder)
                if ((o - anderes).OhneHoehe().Laenge() < 45.0f)
                    return false;
            return true;
        };
        struct Auftrag
        {
            uint64_t typ;
            std::function<bool(const Vektor&)> passt;
        };
        std::vector<Auftrag> plan = {
            {1, feldPlatz},
            {3, [&](const Vektor& o) { return BaeumeUm(*mSzene, o, 100.0f) >= 8; }},
            {1, feldPlatz},
            {4, [](const Vektor&) { return true; }},
            {2, [](const Vektor&) { return true; }},
            {5, [&](const Vektor& o) { return FelsInReichweite(*mSzene, o); }},
            {1, feldPlatz},
            {1, feldPlatz},
        };
        if (einFeld)
            plan.erase(std::remove_if(plan.begin() + 1, plan.end(), [](const Auftrag& a) { return a.typ == 1; }),
                       plan.end());
        Verlauf v;
        size_t naechster = 0;
        float erstarrt = 0.0f, brach = 0.0f;
        for (int schritt = 0; schritt < minuten * 60 * 10; ++schritt)
        {
            // Once a second the player builds the next thing on its list, if the stocks pay for it.
            if (schritt % 10 == 0 && naechster < plan.size())
            {
                const Gebaeudetyp& kosten = Gebaeudetypen[plan[naechster].typ];
                if (kosten.mHolz <= Vorrat::Holz && kosten.mStein <= Vorrat::Stein)
                {
                    Vektor ort;
                    if (PlatziereNahe(*mSzene, plan[naechster].typ, plan[naechster].passt, &ort))
                    {
                        ++v.gebaut;
                        if (plan[naechster].typ == 1)
                            felder.push_back(ort);
                    }
                    ++naechster;
                }
            }
            Schritt(0.1f);

            const auto& menschen = mSzene->Liste(Art::Mensch);
            const int64_t arbeiter = static_cast<int64_t>(menschen.size());
            const int64_t hungrig = std::count_if(menschen.begin(), menschen.end(),
                                                  [](const Objekt* o) { return Als<Mensch>(o)->mZustand == 2; });
            const auto& aecker = mSzene->Liste(Art::Acker);
            const auto zustand = [](uint32_t z) { return [z](const Objekt* o) { return Als<Acker>(o)->mZustand == z; }; };
            const bool reif = std::any_of(aecker.begin(), aecker.end(), zustand(Acker::Reif));
            const bool kahl = !aecker.empty() && std::all_of(aecker.begin(), aecker.end(), zustand(Acker::Leer));
            v.zaehltRichtig = v.zaehltRichtig && hungrig == mSzene->mHungrige && arbeiter == mSzene->mArbeiter;
            const bool alleHungrig = arbeiter > 0 && hungrig == arbeiter;
            // A field asks for a farmer every 2 s: only longer is a freeze.
            erstarrt = alleHungrig && reif ? erstarrt + 0.1f : 0.0f;
            brach = alleHungrig && kahl ? brach + 0.1f : 0.0f;
            v.laengsteStarre = std::max(v.laengsteStarre, erstarrt);
            v.laengsteBrache = std::max(v.laengsteBrache, brach);
        }
        return v;
    }
};

TEST_P(Selbstlaeufer, VerhungertNichtNebenReifenFeldern)
{
    const Verlauf v = Spiele(false, 60);
    EXPECT_GE(v.gebaut, 4);
    EXPECT_TRUE(v.zaehltRichtig);
    EXPECT_LE(v.laengsteStarre, 2.15f);
    EXPECT_LE(v.laengsteBrache, 108.0f);  // the shortest meal interval
}

// With a single field the food runs short soon: every worker lying hungry beside the bare field
// must not last longer than a meal interval.
TEST_P(Selbstlaeufer, ErstarrtNichtNebenKahlemFeld)
{
    const Verlauf v = Spiele(true, 30);
    EXPECT_GE(v.gebaut, 4);
    EXPECT_TRUE(v.zaehltRichtig);
    EXPECT_LE(v.laengsteStarre, 2.15f);
    EXPECT_LE(v.laengsteBrache, 108.0f);
}

INSTANTIATE_TEST_SUITE_P(Saaten, Selbstlaeufer, ::testing::Range(1u, 11u));

}  // namespace
}  // namespace Spiel::Test
