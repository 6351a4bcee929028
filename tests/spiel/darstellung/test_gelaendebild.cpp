// The terrain as the simulation keeps it up to date, drawn: after the settlement has changed
// the ground for half an hour through its own paths (fields placed and sown, forest felled and
// planted, construction sites started and finished, a quarry cutting a mountain down so that
// walls appear and go, the tower), a frame drawn from the terrain's updated buffers is pixel for
// pixel the frame drawn from buffers built fresh from the same world.
#include <memory>
#include <set>
#include <string>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/baustelle.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/darstellung/darstellung_test.h"
#include "tests/spiel/gemeinsam/szenario.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

class GelaendeBild : public WeltDarstellungsTest
{
protected:
    GelaendeBild() : WeltDarstellungsTest(320, 240) {}
    void SetUp() override
    {
        WeltDarstellungsTest::SetUp();
        Vorrat::Zuruecksetzen();
        TurmGesetzt = false;
        Spiel::srand(1);
        LadeModelle();
        mUhr.Starte();
        Spiel::srand(1);
        mSzene = std::make_unique<Szene>(&mUhr);
        mRenderer = std::make_unique<SzenenRenderer>();
    }
    void TearDown() override
    {
        mRenderer.reset();
        mSzene.reset();
        GebeModelleFrei();
        TurmGesetzt = false;
        WeltDarstellungsTest::TearDown();
    }

    void Schritt()
    {
        const int64_t ticks = Ticks(0.1f);
        gTimer.Vorruecken(ticks);
        mUhr.Vorruecken(ticks);
        mSzene->AktualisiereObjekte();
    }

    std::vector<uint32_t> Frame(const BVektor<float>& ziel, float abstand)
    {
        mRenderer->Zeichne(*mSzene, ziel, abstand, 2.8274333f - 0.0021991148f * abstand, mDurchreichen);
        return Bild();
    }

    // The start camera and the whole map from the farthest zoom: the frame from the terrain's
    // buffers as they stand, then one with the terrain drawn from buffers made anew from the
    // world as it is.
    void VergleicheMitNeubau(const std::string& wann)
    {
        const BVektor<float> start(mSzene->mStartpunkt.x, 0.0f, mSzene->mStartpunkt.z);
        const std::pair<BVektor<float>, float> ansichten[] = {{start, 200.0f}, {BVektor<float>(500, 0, 420), 500.0f}};
        for (const auto& [ziel, abstand] : ansichten)
        {
            const std::vector<uint32_t> aktualisiert = Frame(ziel, abstand);
            Modell neu(mSzene->ErzeugeGelaendeNetz());
            const RenderInstanz gelaende = *mSzene->Instanz(0);
            *mSzene->Instanz(0) = RenderInstanz(&neu, TMatrix4::Einheit());
            const std::vector<uint32_t> frisch = Frame(ziel, abstand);
            *mSzene->Instanz(0) = gelaende;
            neu.Freigeben();
            int anders = 0;
            for (size_t i = 0; i < frisch.size(); ++i)
                anders += Rgb(frisch[i]) != Rgb(aktualisiert[i]);
            EXPECT_EQ(anders, 0) << wann << ", camera distance " << abstand;
        }
    }

    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
    std::unique_ptr<SzenenRenderer> mRenderer;
    FilterSatz mDurchreichen;
};

template <class T>
int Zaehle(const Szene& szene)
{
    int n = 0;
    for (const Objekt* o : szene.mObjekte)
        n += dynamic_cast<const T*>(o) ? 1 : 0;
    return n;
}

TEST_F(GelaendeBild, AktualisiertWieNeuGebaut)
{
    VergleicheMitNeubau("generated");
    const SzenarioPlan plan = PlaneSzenario(*mSzene);
    ASSERT_TRUE(plan.vollstaendig) << plan.fehlt;
    VergleicheMitNeubau("placed");

    std::set<uint64_t> waldAmAnfang;
    for (uint64_t i = 0; i < mSzene->mRegionen.size(); ++i)
        if (mSzene->mRegionen[i].mTyp == Region::Wald)
            waldAmAnfang.insert(i);
    const int baeume = Zaehle<Baum>(*mSzene), baustellen = Zaehle<Baustelle>(*mSzene);
    bool waendeKommen = false, waendeGehen = false;
    uint64_t dreiecke = GezeichneteDreiecke(mSzene->GelaendeNetz());
    for (int minute = 1; minute <= 30; ++minute)
    {
        for (int i = 0; i < 60 * 10; ++i)
        {
            Schritt();
            if (i % 50 != 0)
                continue;
            const uint64_t jetzt = GezeichneteDreiecke(mSzene->GelaendeNetz());
            waendeKommen = waendeKommen || jetzt > dreiecke;
            waendeGehen = waendeGehen || jetzt < dreiecke;
            dreiecke = jetzt;
        }
        if (minute % 6 == 0)
            VergleicheMitNeubau("after " + std::to_string(minute) + " game minutes");
    }

    // What the half hour did to the ground.
    int gefaellt = 0, gepflanzt = 0;
    for (uint64_t i = 0; i < mSzene->mRegionen.size(); ++i)
    {
        const bool wald = mSzene->mRegionen[i].mTyp == Region::Wald;
        gefaellt += !wald && waldAmAnfang.count(i);
        gepflanzt += wald && !waldAmAnfang.count(i);
    }
    EXPECT_GT(gefaellt, 0);
    EXPECT_GT(gepflanzt, 0);
    EXPECT_NE(Zaehle<Baum>(*mSzene), baeume);
    EXPECT_GT(baustellen, 0);
    EXPECT_EQ(Zaehle<Baustelle>(*mSzene), 0);
    EXPECT_TRUE(waendeKommen);
    EXPECT_TRUE(waendeGehen);
    const Turm* turm = nullptr;
    for (const Objekt* o : mSzene->mObjekte)
        turm = turm ? turm : dynamic_cast<const Turm*>(o);
    ASSERT_NE(turm, nullptr);
    EXPECT_GT(turm->mSteinGeliefert, 0u);
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

}  // namespace
}  // namespace Spiel::Test
