// The simulation on a game clock stepped by hand: buildings, sites, fields, trees, workers,
// placement, and the faults the simulation must not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "spiel/welt/acker.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/baustelle.h"
#include "spiel/welt/forsthaus.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/holzfaeller.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/steinbruch.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

class Simulation : public Spielumgebung
{
protected:
    // Steps 0.1 s until the condition holds; returns the game time taken, or -1 after the limit.
    template <typename Bedingung>
    float LaufeBis(Bedingung bedingung, float grenze = 600.0f)
    {
        for (float t = 0.0f; t <= grenze; t += 0.1f)
        {
            if (bedingung())
                return t;
            Schritt(0.1f);
        }
        return -1.0f;
    }
    // Update passes of 0.1 s with the engine timer standing still: nothing scheduled runs.
    void AktualisiereOhneTimer(int schritte)
    {
        for (int i = 0; i < schritte; ++i)
        {
            mUhr.Vorruecken(Ticks(0.1f));
            mSzene->AktualisiereObjekte();
        }
    }
    // The worker decides now, whatever its timer says.
    void Entscheide(Mensch* m)
    {
        m->mZeitpunkt = mSzene->Jetzt();
        m->Aktualisiere();
    }
    float InstanzY(uint64_t index) { return mSzene->Instanz(index)->mWeltMatrix(1, 3); }
    // A 10 x 10 world with a full farmhouse at (15, 15), a woodcutter's hut, a bare field on
    // region 55 and the hut's woodcutter waiting at `ort`; no food in stock.
    struct Holzfaellerwelt
    {
        Bauernhaus* haus;
        Holzfaeller* huette;
        Acker* feld;
        Mensch* holzfaeller;
    };
    Holzfaellerwelt BaueHolzfaellerwelt(const Vektor& huette, const Vektor& ort)
    {
        mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
        Holzfaellerwelt w;
        w.haus = new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
        w.haus->mBewohner = 4;
        w.huette = new Holzfaeller(mSzene.get(), huette);
        w.huette->mBesetzt = true;
        w.feld = new Acker(mSzene.get(), 55);
        w.holzfaeller = new Mensch(mSzene.get(), ort, w.haus);
        w.holzfaeller->mArbeitsplatz = w.huette;
        w.holzfaeller->mZustand = 13;
        w.holzfaeller->mZielPosition = ort;
        Vorrat::Nahrung = 0;
        return w;
    }
    std::vector<Mensch*> Menschen()
    {
        std::vector<Mensch*> alle;
        for (Objekt* o : mSzene->mObjekte)
            if (Mensch* m = dynamic_cast<Mensch*>(o))
                alle.push_back(m);
        return alle;
    }
};

TEST_F(Simulation, BauernhausBekommtVierBewohner)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(50, 0, 50));
    Laufe(4.9f);
    EXPECT_EQ(Zaehle<Mensch>(), 0);
    Laufe(0.2f);
    EXPECT_EQ(Zaehle<Mensch>(), 1);
    EXPECT_EQ(haus->mBewohner, 1u);
    EXPECT_EQ(mSzene->Instanz(haus->mInstanz)->mDreiecke, SucheModell("haus1")->mDreiecke);
    Laufe(29.5f);
    EXPECT_EQ(Zaehle<Mensch>(), 1);
    Laufe(1.0f);
    EXPECT_EQ(Zaehle<Mensch>(), 2);
    Laufe(300.0f);
    EXPECT_EQ(Zaehle<Mensch>(), 4);
    EXPECT_EQ(haus->mBewohner, 4u);
    // Each went home (in front of the house) and idles there.
    for (Mensch* m : Menschen())
    {
        EXPECT_EQ(m->mZustand, 1u);
        EXPECT_NEAR(m->mPosition.z, 60.0f, 3.0f);
    }
}

TEST_F(Simulation, BaustelleRuftBauerUndStelltGenauEinGebaeude)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    Baustelle* baustelle = new Baustelle(mSzene.get(), Vektor(100, 0, 100), 3);
    const uint64_t gebaeude = baustelle->mGebaeudeInstanz;
    EXPECT_FLOAT_EQ(InstanzY(gebaeude), -20.0f);
    Laufe(10.0f);
    EXPECT_EQ(baustelle->mZustand, Baustelle::Wartet);

    new Bauernhaus(mSzene.get(), Vektor(50, 0, 50));
    ASSERT_GE(LaufeBis([&] { return Zaehle<Mensch>() == 1 && Menschen()[0]->mZustand == 1; }), 0.0f);
    // Asked once a second: the idle worker is taken within a second.
    const float warten = LaufeBis([&] { return baustelle->mZustand == Baustelle::Unterwegs; });
    EXPECT_GE(warten, 0.0f);
    EXPECT_LE(warten, 1.05f);
    Mensch* bauer = Menschen()[0];
    EXPECT_EQ(bauer->mZustand, 10u);
    EXPECT_EQ(bauer->mZiel, baustelle);

    ASSERT_GE(LaufeBis([&] { return baustelle->mZustand == Baustelle::Bau; }), 0.0f);
    // 12 s from the builder's arrival.
    const float bau = LaufeBis([&] { return baustelle->mZustand == Baustelle::Abbau; });
    EXPECT_NEAR(bau, 12.0f, 0.15f);
    EXPECT_EQ(Zaehle<Holzfaeller>(), 1);
    EXPECT_EQ(baustelle->mGebaeudeInstanz, SIZE_MAX);

    const uint64_t geruest = baustelle->mGeruestInstanz;
    Laufe(1.0f);
    EXPECT_NE(bauer->mArbeitsplatz, nullptr);  // left the site and was hired by the new hut
    Laufe(1.3f);
    EXPECT_EQ(Zaehle<Baustelle>(), 0);
    EXPECT_FALSE(mSzene->mInstanzen.IstBelegt(geruest));
    Laufe(5.0f);
    EXPECT_EQ(Zaehle<Holzfaeller>(), 1);
}

TEST_F(Simulation, FeldWaechstUndWirdGeerntet)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
    ASSERT_GE(LaufeBis([&] { return Zaehle<Mensch>() == 1 && Menschen()[0]->mZustand == 1; }), 0.0f);
    Mensch* bauer = Menschen()[0];

    Acker* feld = new Acker(mSzene.get(), 55);
    EXPECT_FLOAT_EQ(InstanzY(feld->mInstanz), 0.0f);  // at ground level until its first update
    Schritt(0.1f);
    EXPECT_FLOAT_EQ(InstanzY(feld->mInstanz), -8.0f);
    EXPECT_EQ(feld->mZustand, Acker::Bestellt);
    EXPECT_EQ(bauer->mZustand, 5u);

    ASSERT_GE(LaufeBis([&] { return feld->mZustand == Acker::Waechst; }), 0.0f);
    EXPECT_EQ(bauer->mZustand, 1u);
    const float reif = LaufeBis([&] { return feld->mZustand != Acker::Waechst; });
    EXPECT_NEAR(reif, 120.0f, 0.15f);
    EXPECT_NEAR(InstanzY(feld->mInstanz), 0.0f, 0.01f);

    // The harvest: 20 s at the field, then the grain goes to the farmhouse.
    ASSERT_GE(LaufeBis([&] { return bauer->mZustand == 9; }), 0.0f);
    // Bare again, and at once asking for the next farmer (the house has more residents by now).
    EXPECT_TRUE(feld->mZustand == Acker::Leer || feld->mZustand == Acker::Bestellt);
    for (Mensch* m : Menschen())
        m->mNaechsteMahlzeit = mSzene->Jetzt() + Ticks(1000.0f);
    const uint64_t nahrung = Vorrat::Nahrung;
    ASSERT_GE(LaufeBis([&] { return bauer->mZustand != 9; }), 0.0f);
    EXPECT_EQ(Vorrat::Nahrung, nahrung + 1);
    EXPECT_NEAR(bauer->mPosition.z, 20.0f, 3.0f);
}

TEST_F(Simulation, BaumFaelltSinktUndWirdEinmalGeloescht)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    Baum* baum = new Baum(mSzene.get(), Vektor(15, 0, 15), false);
    const uint64_t instanz = baum->mInstanz;
    baum->Faelle();
    Laufe(3.0f);
    // Horizontal after 3 s: the tree's up axis no longer points up.
    EXPECT_NEAR(mSzene->Instanz(instanz)->mWeltMatrix(1, 1), 0.0f, 0.01f);
    EXPECT_NEAR(InstanzY(instanz), 0.0f, 0.01f);
    Laufe(0.9f);
    Schritt(0.099f);
    EXPECT_NEAR(InstanzY(instanz), -10.0f, 0.1f);
    EXPECT_EQ(Zaehle<Baum>(), 1);
    ASSERT_TRUE(gTimer.mEreignisse.empty());

    // Past 4 s with the engine timer standing still: two passes, one scheduled deletion.
    const size_t vorher = gTimer.mEreignisse.size();
    AktualisiereOhneTimer(3);
    EXPECT_EQ(gTimer.mEreignisse.size(), vorher + 1);
    gTimer.Vorruecken(1);
    EXPECT_EQ(Zaehle<Baum>(), 0);
    EXPECT_FALSE(mSzene->mInstanzen.IstBelegt(instanz));
    EXPECT_TRUE(gTimer.mEreignisse.empty());
}

TEST_F(Simulation, SetzlingWaechstInAchtMinuten)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    Baum* setzling = new Baum(mSzene.get(), Vektor(15, 0, 15), true);
    EXPECT_FLOAT_EQ(mSzene->Instanz(setzling->mInstanz)->mWeltMatrix(1, 1), 0.0f);
    Laufe(10.0f);
    EXPECT_EQ(setzling->mZustand, Baum::Zustand::Setzling);
    setzling->StarteWachstum();
    Laufe(240.0f, 1.0f);
    EXPECT_NEAR(mSzene->Instanz(setzling->mInstanz)->mWeltMatrix(1, 1), 0.5f, 0.01f);
    Laufe(241.0f, 1.0f);
    EXPECT_EQ(setzling->mZustand, Baum::Zustand::Steht);
}

TEST_F(Simulation, WeltabbauStorniertGeplanteLoeschungen)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    Baum* baum = new Baum(mSzene.get(), Vektor(15, 0, 15), false);
    baum->Faelle();
    AktualisiereOhneTimer(45);
    ASSERT_EQ(gTimer.mEreignisse.size(), 1u);
    mSzene.reset();
    EXPECT_TRUE(gTimer.mEreignisse.empty());
    gTimer.Vorruecken(Ticks(1.0f));  // nothing left to run on the vanished tree
}

// Built with NDEBUG, as the tests are: the invariant checks stay on and end the program.
TEST_F(Simulation, InvariantenBleibenImReleaseAn)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    Baum* baum = new Baum(mSzene.get(), Vektor(15, 0, 15), false);
    baum->Faelle();
    EXPECT_DEATH(baum->Reserviere(), "mZustand == Zustand::Steht.*baum.cpp");
    // A farmer is only sent to sow a bare field.
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(5, 0, 5));
    Mensch* bauer = new Mensch(mSzene.get(), Vektor(5, 0, 5), haus);
    Acker* feld = new Acker(mSzene.get(), 10);
    feld->mZustand = Acker::Reif;
    EXPECT_DEATH(bauer->UebernimmFeld(feld, 5), "acker->mZustand == Acker::Zustand::Leer.*mensch.cpp");
}

TEST_F(Simulation, UnbekanntesModellZeichnetNichts)
{
    const size_t modelle = Modellregister.size();
    const RenderInstanz leer(SucheModell("gibt_es_nicht"), TMatrix4::Verschiebung(1, 2, 3));
    EXPECT_EQ(Modellregister.size(), modelle);
    EXPECT_EQ(leer.mVertexPuffer, nullptr);
    EXPECT_EQ(leer.mIndexPuffer, nullptr);
    EXPECT_EQ(leer.mDreiecke, 0u);
}

TEST_F(Simulation, FaellenUndPflanzenAendernNurWaldUndFreiesLand)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    auto& regionen = mSzene->mRegionen;
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(5, 0, 5));
    Holzfaeller* huette = new Holzfaeller(mSzene.get(), Vektor(85, 0, 85));
    Mensch* arbeiter = new Mensch(mSzene.get(), Vektor(45, 0, 45), haus);
    arbeiter->mArbeitsplatz = huette;

    // A tree standing over the edge of its forest, in a field: the field stays a field.
    regionen[44].mTyp = Region::Feld;
    regionen[45].mTyp = Region::Wald;
    struct Fall
    {
        Vektor ort;
        uint64_t region;
        Region::Typ vorher, nachher;
    };
    const Fall faellen[] = {
        {Vektor(49, 0, 45), 44, Region::Feld, Region::Feld},
        {Vektor(55, 0, 45), 45, Region::Wald, Region::Frei},
    };
    for (const Fall& f : faellen)
    {
        Baum* baum = new Baum(mSzene.get(), f.ort, false);
        baum->Reserviere();
        arbeiter->mZiel = baum;
        arbeiter->mZustand = 15;
        Entscheide(arbeiter);
        EXPECT_EQ(baum->mZustand, Baum::Zustand::Faellt);
        EXPECT_EQ(regionen[f.region].mTyp, f.nachher) << f.region;
        EXPECT_EQ(arbeiter->mZustand, 16u);
    }

    // Planting: only free land becomes forest.
    Forsthaus* forst = new Forsthaus(mSzene.get(), Vektor(85, 0, 15));
    arbeiter->mArbeitsplatz = forst;
    regionen[66].mTyp = Region::Berg;
    const Fall pflanzen[] = {
        {Vektor(65, 0, 65), 66, Region::Berg, Region::Berg},
        {Vektor(75, 0, 65), 67, Region::Frei, Region::Wald},
    };
    for (const Fall& f : pflanzen)
    {
        Baum* setzling = new Baum(mSzene.get(), f.ort, true);
        arbeiter->mZiel = setzling;
        arbeiter->mZustand = 20;
        Entscheide(arbeiter);
        EXPECT_EQ(setzling->mZustand, Baum::Zustand::Waechst);
        EXPECT_EQ(regionen[f.region].mTyp, f.nachher) << f.region;
        EXPECT_EQ(arbeiter->mZustand, 21u);
    }
}

TEST_F(Simulation, SteinbruchSenktFelsInVierStufen)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    Region& fels = mSzene->mRegionen[55];
    fels.mTyp = Region::Berg;
    const float hoehen[4] = {17, 16, 16.5f, 17};
    for (int k = 0; k < 4; ++k)
        fels.mEcken[k].y = hoehen[k];
    new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
    new Steinbruch(mSzene.get(), Vektor(25, 0, 55));
    Vorrat::Nahrung = 100;
    Mensch* arbeiter = nullptr;
    bool zielOhneZeiger = true;
    const float dauer = LaufeBis([&] {
        if (!arbeiter && Zaehle<Mensch>() == 1)
            arbeiter = Menschen()[0];
        if (arbeiter && (arbeiter->mZustand == 24 || arbeiter->mZustand == 25))
            zielOhneZeiger = zielOhneZeiger && arbeiter->mZiel == nullptr && arbeiter->mZielRegion == 55;
        return arbeiter && Vorrat::Stein == 4 && arbeiter->mZustand == 23;
    }, 400.0f);
    ASSERT_GE(dauer, 0.0f);
    EXPECT_TRUE(zielOhneZeiger);
    EXPECT_EQ(fels.mTyp, Region::Frei);
    for (int k = 0; k < 4; ++k)
        EXPECT_FLOAT_EQ(fels.mEcken[k].y, 15.0f);
    Laufe(60.0f);
    EXPECT_EQ(Vorrat::Stein, 4u);  // nothing left to break
}

TEST_F(Simulation, HungersnotWirdEinmalGemeldet)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    new Bauernhaus(mSzene.get(), Vektor(50, 0, 50));
    Laufe(100.0f);
    ASSERT_EQ(Zaehle<Mensch>(), 4);
    Vorrat::Nahrung = 0;
    for (Mensch* m : Menschen())
        m->mNaechsteMahlzeit = 0;
    Laufe(5.0f);
    for (Mensch* m : Menschen())
        EXPECT_EQ(m->mZustand, 2u);
    EXPECT_EQ(mSzene->mHungerWarnungen, 1u);
    Laufe(20.0f);
    EXPECT_EQ(mSzene->mHungerWarnungen, 1u);
    // Food arrives: they get up one by one.
    Vorrat::Nahrung = 4;
    Laufe(3.0f);
    for (Mensch* m : Menschen())
        EXPECT_EQ(m->mZustand, 1u);
    EXPECT_EQ(Vorrat::Nahrung, 0u);
}

// With nobody idle, a ripe field calls a worker lying hungry. It keeps its workplace (no hut
// hires twice), eats the grain it brings in, and walks back to its work.
TEST_F(Simulation, HungrigerErntetIsstUndKehrtZurArbeitZurueck)
{
    const auto [haus, huette, feld, holzfaeller] = BaueHolzfaellerwelt(Vektor(85, 0, 15), Vektor(85, 0, 25));
    Schritt(0.1f);
    ASSERT_EQ(holzfaeller->mZustand, 2u);
    EXPECT_EQ(mSzene->mHungerWarnungen, 1u);
    EXPECT_EQ(mSzene->mHungrige, 1);
    // A growing field calls nobody.
    feld->StarteWachstum();
    Laufe(5.0f);
    EXPECT_EQ(feld->mZustand, Acker::Waechst);
    EXPECT_EQ(holzfaeller->mZustand, 2u);

    feld->mZustand = Acker::Reif;
    feld->mZeitpunkt = mSzene->Jetzt();
    ASSERT_GE(LaufeBis([&] { return feld->mZustand == Acker::Ernte; }, 3.0f), 0.0f);
    EXPECT_EQ(holzfaeller->mZustand, 7u);
    EXPECT_EQ(holzfaeller->mArbeitsplatz, huette);
    EXPECT_EQ(mSzene->mHungrige, 0);

    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand == 9; }), 0.0f);
    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand != 9; }), 0.0f);
    EXPECT_EQ(Vorrat::Nahrung, 0u);  // brought in and eaten
    EXPECT_GT(holzfaeller->mNaechsteMahlzeit, mSzene->Jetzt() + Ticks(100.0f));
    EXPECT_EQ(holzfaeller->mZustand, 12u);
    EXPECT_EQ(holzfaeller->mArbeitsplatz, huette);
    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand == 13; }), 0.0f);
    EXPECT_NEAR(holzfaeller->mPosition.z, 25.0f, 2.0f);
}

// One field, a woodcutter and a worker without a workplace, no food. The woodcutter lies nearer
// the ripe field: it harvests, eats its grain and goes back to its hut, while the other lies
// hungry and nobody is idle to sow the bare field. Once the woodcutter lies hungry too, the
// bare field calls the hungry worker without a workplace, and food keeps coming for the half
// hour.
TEST_F(Simulation, EinFeldMitHolzfaellerUndBauerErstarrtNicht)
{
    const auto [haus, huette, feld, holzfaeller] = BaueHolzfaellerwelt(Vektor(85, 0, 85), Vektor(60, 0, 60));
    Mensch* bauer = new Mensch(mSzene.get(), Vektor(15, 0, 35), haus);
    bauer->mZustand = 1;
    bauer->mZielPosition = bauer->mPosition;
    feld->StarteWachstum();
    feld->mZeitpunkt = mSzene->Jetzt() + Ticks(3.0f);
    Schritt(0.1f);
    ASSERT_EQ(mSzene->mHungrige, 2);

    int ernten = 0;
    uint32_t vorher = feld->mZustand;
    const Mensch* ersterErnter = nullptr;
    const Mensch* dannSaeer = nullptr;
    for (int schritt = 0; schritt < 30 * 60 * 10; ++schritt)
    {
        Schritt(0.1f);
        ernten += vorher == Acker::Ernte && feld->mZustand == Acker::Leer;
        if (vorher != feld->mZustand && (feld->mZustand == Acker::Ernte || feld->mZustand == Acker::Bestellt))
        {
            const Mensch* gerufen = holzfaeller->mZiel == feld ? holzfaeller : bauer;
            if (!ersterErnter && feld->mZustand == Acker::Ernte)
                ersterErnter = gerufen;
            if (ernten == 1 && !dannSaeer && feld->mZustand == Acker::Bestellt)
                dannSaeer = gerufen;
        }
        vorher = feld->mZustand;
    }
    EXPECT_EQ(ersterErnter, holzfaeller);
    EXPECT_EQ(dannSaeer, bauer);
    // A crop takes 10 s to sow, 120 s to grow and 20 s to harvest, with the walks between; the
    // first sowing waits until the woodcutter, fed by its harvest, lies hungry again.
    EXPECT_GE(ernten, 6);
    EXPECT_EQ(holzfaeller->mArbeitsplatz, huette);
}

// When every hungry worker has a workplace, the nearest sows the bare field and goes back to
// its work, as after a hungry harvest; the mark of the hungry job does not stay with it.
TEST_F(Simulation, HungrigerMitArbeitsplatzSaetUndKehrtZurueck)
{
    const auto [haus, huette, feld, holzfaeller] = BaueHolzfaellerwelt(Vektor(85, 0, 15), Vektor(85, 0, 25));
    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand == 5; }, 3.0f), 0.0f);
    EXPECT_EQ(feld->mZustand, Acker::Bestellt);
    EXPECT_EQ(holzfaeller->mArbeitsplatz, huette);
    EXPECT_EQ(mSzene->mHungrige, 0);
    ASSERT_GE(LaufeBis([&] { return feld->mZustand == Acker::Waechst; }), 0.0f);
    EXPECT_EQ(holzfaeller->mZustand, 12u);
    EXPECT_FALSE(holzfaeller->mHungrigeErnte);
    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand != 12; }), 0.0f);
    EXPECT_NEAR(holzfaeller->mPosition.z, 25.0f, 2.0f);
}

// No food, but a fed worker is harvesting a field too far away to hold this one back, while the
// woodcutter lies hungry at its hut: not frozen, so the bare field waits for the harvester to be
// idle; the woodcutter eats the grain it brings in.
TEST_F(Simulation, KahlesFeldWartetAufDenErnterStattDenHungrigenZuRufen)
{
    const auto [haus, huette, feld, holzfaeller] = BaueHolzfaellerwelt(Vektor(85, 0, 15), Vektor(85, 0, 25));
    Acker* weit = new Acker(mSzene.get(), 50);
    ASSERT_GT(HorizontalQuadrat(weit->mPosition, mSzene->mPunkte[feld->mRegion]), 1600.0f);
    weit->mZustand = Acker::Reif;
    Mensch* ernter = new Mensch(mSzene.get(), Vektor(15, 0, 25), haus);
    ernter->mNaechsteMahlzeit = Ticks(10000.0f);
    ernter->UebernimmFeld(weit, 7);
    weit->mZustand = Acker::Ernte;
    Schritt(0.1f);
    ASSERT_EQ(holzfaeller->mZustand, 2u);

    const float gewartet = LaufeBis([&] { return feld->mZustand != Acker::Leer; }, 60.0f);
    EXPECT_EQ(holzfaeller->mZustand, 13u);
    EXPECT_EQ(ernter->mZustand, 5u);
    EXPECT_EQ(ernter->mZiel, feld);
    // Walk, 20 s of harvest, and the grain carried home.
    EXPECT_GT(gewartet, 25.0f);
    EXPECT_EQ(mSzene->mHungerWarnungen, 0u);
}

// With food in stock a worker lying hungry gets up on its own within 2 s and eats: the bare
// field does not call it away from its hut.
TEST_F(Simulation, HungrigerIsstBeiVorratStattZuSaeen)
{
    const auto [haus, huette, feld, holzfaeller] = BaueHolzfaellerwelt(Vektor(85, 0, 15), Vektor(85, 0, 25));
    Schritt(0.1f);
    ASSERT_EQ(holzfaeller->mZustand, 2u);
    Vorrat::Nahrung = 5;
    feld->mZeitpunkt = mSzene->Jetzt();  // the field asks in the next pass, while it lies
    ASSERT_GE(LaufeBis([&] { return holzfaeller->mZustand != 2; }, 2.1f), 0.0f);
    EXPECT_EQ(holzfaeller->mZustand, 13u);
    EXPECT_EQ(Vorrat::Nahrung, 4u);
    EXPECT_EQ(feld->mZustand, Acker::Leer);
    Laufe(5.0f);
    EXPECT_EQ(holzfaeller->mArbeitsplatz, huette);
    EXPECT_NEAR(holzfaeller->mPosition.z, 25.0f, 2.0f);
    EXPECT_EQ(feld->mZustand, Acker::Leer);
}

// While the game clock stands, nothing that runs on game time moves on: fields neither grow nor
// retry, sites neither call builders nor build, saplings do not grow, trees stop mid-fall.
TEST_F(Simulation, AngehalteneUhrFriertAllesEin)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    Acker* waechst = new Acker(mSzene.get(), 22);
    waechst->StarteWachstum();
    Acker* leer = new Acker(mSzene.get(), 66);
    Baustelle* wartet = new Baustelle(mSzene.get(), Vektor(150, 0, 50), 3);
    Baustelle* baut = new Baustelle(mSzene.get(), Vektor(150, 0, 150), 4);
    baut->BeginneBau();
    Baum* setzling = new Baum(mSzene.get(), Vektor(50, 0, 150), true);
    setzling->StarteWachstum();
    Baum* faellt = new Baum(mSzene.get(), Vektor(100, 0, 100), false);
    faellt->Faelle();
    Laufe(1.5f);
    // Someone idle is near, but a stopped clock asks nobody.
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(180, 0, 180));
    Mensch* idle = new Mensch(mSzene.get(), Vektor(150, 0, 60), haus);
    idle->mZustand = 1;
    idle->mNaechsteMahlzeit = Ticks(10000.0f);
    idle->mZielPosition = idle->mPosition;

    auto zustand = [&] {
        std::vector<float> werte;
        for (const RenderInstanz& instanz : mSzene->mInstanzen)
            werte.insert(werte.end(), instanz.mWeltMatrix.m.begin(), instanz.mWeltMatrix.m.end());
        for (Acker* a : {waechst, leer})
            werte.insert(werte.end(), {static_cast<float>(a->mZustand), static_cast<float>(a->mZeitpunkt)});
        for (Baustelle* b : {wartet, baut})
            werte.insert(werte.end(), {static_cast<float>(b->mZustand), static_cast<float>(b->mRestzeit)});
        werte.insert(werte.end(), {static_cast<float>(setzling->mZustand), static_cast<float>(faellt->mZustand),
                                   static_cast<float>(idle->mZustand)});
        return werte;
    };
    auto angehalten = [&] {
        gTimer.Vorruecken(Ticks(0.1f));
        mUhr.Vorruecken(0);
        mSzene->AktualisiereObjekte();
    };
    angehalten();  // the idle worker draws its first frame
    const std::vector<float> vorher = zustand();
    const size_t ereignisse = gTimer.mEreignisse.size();
    for (int i = 0; i < 100; ++i)
        angehalten();
    EXPECT_EQ(zustand(), vorher);
    EXPECT_EQ(gTimer.mEreignisse.size(), ereignisse);
    EXPECT_EQ(Zaehle<Baum>(), 2);
    // Going on again, all of them move.
    Laufe(1.0f);
    EXPECT_EQ(wartet->mZustand, Baustelle::Unterwegs);
    const std::vector<float> nachher = zustand();
    EXPECT_NE(nachher, vorher);
}

// A site rises from 20 below ground at 20 / build seconds per second from the builder's
// arrival; at completion the scaffold sinks 5 t^2: 5 units in the first second.
TEST_F(Simulation, GebaeudeSteigtNachSeinemTypUndGeruestSinkt)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    for (uint64_t typ = 2; typ <= 6; ++typ)
    {
        Baustelle* b = new Baustelle(mSzene.get(), Vektor(50.0f + 20.0f * static_cast<float>(typ), 0, 100), typ);
        const uint64_t gebaeude = b->mGebaeudeInstanz, geruest = b->mGeruestInstanz;
        Laufe(3.0f);
        EXPECT_FLOAT_EQ(InstanzY(gebaeude), -20.0f) << typ;  // nobody has come: nothing rises
        b->BeginneBau();
        Laufe(1.0f);
        const float sekunden = Gebaeudetypen[typ].mBauzeit;
        EXPECT_NEAR(InstanzY(gebaeude), -20.0f + 20.0f / sekunden, 0.02f) << typ;
        ASSERT_GE(LaufeBis([&] { return b->mZustand == Baustelle::Abbau; }, 40.0f), 0.0f) << typ;
        EXPECT_FLOAT_EQ(InstanzY(geruest), 0.0f) << typ;
        // Measured from the moment of completion, which the last frame overshot a little.
        b->mRestzeit = 0;
        Laufe(1.0f);
        EXPECT_NEAR(InstanzY(geruest), -5.0f, 0.01f) << typ;
        Laufe(0.9f);
        EXPECT_EQ(Zaehle<Baustelle>(), 1) << typ;
        Laufe(0.3f);  // past 2 s, then deleted at the next tick
        EXPECT_EQ(Zaehle<Baustelle>(), 0) << typ;
    }
    EXPECT_EQ(Zaehle<Bauernhaus>(), 1);
    EXPECT_EQ(Zaehle<Holzfaeller>() + Zaehle<Forsthaus>() + Zaehle<Steinbruch>() + Zaehle<Turm>(), 4);
}

// 10 units per second of game time, standing on the mean height of the region underfoot,
// at height 0 beyond every region.
TEST_F(Simulation, ArbeiterGehtZehnProSekundeUndFolgtDemBoden)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    for (uint64_t i = 0; i < mSzene->mRegionen.size(); ++i)
        for (uint32_t k = 0; k < 4; ++k)
            mSzene->mRegionen[i].mEcken[k].y = static_cast<float>(i % 10) + (k == 0 ? 2.0f : 0.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(5, 0, 5));
    haus->mBewohner = 4;
    Mensch* m = new Mensch(mSzene.get(), Vektor(2, 0, 5), haus);
    m->mZustand = 30;  // any walking state
    m->mZielPosition = Vektor(200, 0, 5);
    struct Halt
    {
        float sekunden, x, y;
    };
    const Halt halte[] = {
        {1.0f, 12.0f, 1.5f},   // region 1: corners 1, 1, 1 and 3
        {2.0f, 32.0f, 3.5f},   // region 3
        {5.0f, 82.0f, 8.5f},   // region 8
        {2.0f, 102.0f, 0.0f},  // beyond the map
    };
    for (const Halt& h : halte)
    {
        for (int i = 0; i < static_cast<int>(h.sekunden * 10.0f + 0.5f); ++i)
        {
            mUhr.Vorruecken(Ticks(0.1f));
            m->Aktualisiere();
        }
        EXPECT_NEAR(m->mPosition.x, h.x, 0.01f);
        EXPECT_FLOAT_EQ(m->mPosition.z, 5.0f);
        EXPECT_NEAR(m->mPosition.y, h.y, 1e-4f) << h.x;
        EXPECT_NEAR(m->mRichtung, 0.0f, 1e-6f);
    }
    // At x4 the same game time is a quarter of the frames.
    m->mZielPosition = Vektor(2, 0, 5);
    mUhr.Vorruecken(Ticks(0.4f));
    m->Aktualisiere();
    EXPECT_NEAR(m->mPosition.x, 98.0f, 0.01f);
    EXPECT_NEAR(m->mRichtung, 3.14159265f, 1e-5f);
}

// A meal lasts 108 to 132 s, drawn anew each time.
TEST_F(Simulation, MahlzeitenAlle108Bis132Sekunden)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(5, 0, 5));
    Mensch* m = new Mensch(mSzene.get(), Vektor(15, 0, 15), haus);
    m->mZustand = 1;
    Vorrat::Nahrung = 1000;
    float kuerzeste = 1e9f, laengste = 0.0f;
    for (int i = 0; i < 500; ++i)
    {
        mUhr.Vorruecken(Ticks(0.1f));
        m->mNaechsteMahlzeit = mSzene->Jetzt();
        m->Aktualisiere();
        const float abstand = Sekunden(m->mNaechsteMahlzeit - mSzene->Jetzt());
        kuerzeste = std::min(kuerzeste, abstand);
        laengste = std::max(laengste, abstand);
    }
    EXPECT_EQ(Vorrat::Nahrung, 500u);
    EXPECT_GE(kuerzeste, 108.0f);
    EXPECT_LE(laengste, 132.0f);
    EXPECT_LT(kuerzeste, 109.0f);
    EXPECT_GT(laengste, 131.0f);
    // Not yet due: nothing eaten.
    m->Aktualisiere();
    EXPECT_EQ(Vorrat::Nahrung, 500u);
}

// Hunger starts in a waiting state; after eating, the worker is back in its workplace's
// waiting state, wherever it was.
TEST_F(Simulation, HungrigerKehrtInDenZustandSeinerArbeitZurueck)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
    haus->mBewohner = 4;
    struct Fall
    {
        Objekt* arbeitsplatz;
        uint32_t zustand;
    };
    const Fall faelle[] = {
        {nullptr, 1},
        {new Holzfaeller(mSzene.get(), Vektor(50, 0, 150)), 13},
        {new Forsthaus(mSzene.get(), Vektor(100, 0, 150)), 18},
        {new Steinbruch(mSzene.get(), Vektor(150, 0, 150)), 23},
        {new Turm(mSzene.get(), Vektor(150, 0, 50)), 28},
    };
    for (const Fall& f : faelle)
    {
        Mensch* m = new Mensch(mSzene.get(), Vektor(100, 0, 100), haus);
        m->mArbeitsplatz = f.arbeitsplatz;
        m->mZustand = f.zustand;
        m->mZielPosition = m->mPosition;
        m->mZeitpunkt = mSzene->Jetzt() + Ticks(1000.0f);
        Vorrat::Nahrung = 0;
        mUhr.Vorruecken(Ticks(0.1f));
        m->Aktualisiere();
        ASSERT_EQ(m->mZustand, 2u) << f.zustand;
        EXPECT_EQ(mSzene->mHungrige, 1);
        Vorrat::Nahrung = 1;
        mUhr.Vorruecken(Ticks(0.9f));
        m->Aktualisiere();
        EXPECT_EQ(m->mZustand, 2u) << f.zustand;  // 1 to 2 s before it looks for food
        mUhr.Vorruecken(Ticks(1.2f));
        m->Aktualisiere();
        EXPECT_EQ(m->mZustand, f.zustand);
        EXPECT_EQ(Vorrat::Nahrung, 0u);
        EXPECT_EQ(mSzene->mHungrige, 0);
        EXPECT_EQ(m->mArbeitsplatz, f.arbeitsplatz);
    }
}

// The tower keeps eight workers and recruits a replacement for one that another job took.
TEST_F(Simulation, TurmHaeltAchtArbeiterUndErsetztEinen)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
    haus->mBewohner = 4;
    Turm* turm = new Turm(mSzene.get(), Vektor(100, 0, 100));
    Vorrat::Nahrung = 1000;
    std::vector<Mensch*> leute;
    for (int i = 0; i < 16; ++i)
    {
        Mensch* m = new Mensch(mSzene.get(), Vektor(20.0f + 10.0f * static_cast<float>(i), 0, 180), haus);
        m->mZustand = 1;
        m->mZielPosition = m->mPosition;
        m->mNaechsteMahlzeit = Ticks(100000.0f);
        leute.push_back(m);
    }
    auto turmArbeiter = [&] {
        return std::count_if(leute.begin(), leute.end(), [&](Mensch* m) { return m->mArbeitsplatz == turm; });
    };
    Laufe(40.0f);
    EXPECT_EQ(turmArbeiter(), 8);
    EXPECT_EQ(std::count_if(leute.begin(), leute.end(), [](Mensch* m) { return m->mZustand == 1; }), 8);
    // Another job takes one of them (and its workplace); it stays out of every search.
    Mensch* weg = *std::find_if(leute.begin(), leute.end(), [&](Mensch* m) { return m->mArbeitsplatz == turm; });
    weg->mArbeitsplatz = nullptr;
    weg->mZustand = 9;
    EXPECT_EQ(turmArbeiter(), 7);
    Laufe(2.1f);
    EXPECT_EQ(turmArbeiter(), 8);
    Laufe(10.0f);
    EXPECT_EQ(turmArbeiter(), 8);
}

// The woodcutter takes only standing trees within 120 units of its hut (3-D).
TEST_F(Simulation, HolzfaellerNimmtNurStehendeBaeumeImUmkreis)
{
    mSzene = BaueTestwelt(&mUhr, 30, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(15, 0, 15));
    haus->mBewohner = 4;
    Holzfaeller* huette = new Holzfaeller(mSzene.get(), Vektor(100, 0, 150));
    huette->mBesetzt = true;
    Mensch* m = new Mensch(mSzene.get(), Vektor(100, 0, 160), haus);
    m->mArbeitsplatz = huette;
    m->mNaechsteMahlzeit = Ticks(100000.0f);
    struct Fall
    {
        Vektor versatz;
        bool setzling;
        int schritte;  // 0 stands; 1 is planted and growing; 2 reserved; 3 falling
        bool genommen;
    };
    const Fall faelle[] = {
        {Vektor(119.9f, 0, 0), false, 0, true},  {Vektor(0, 0, -120), false, 0, true},
        {Vektor(120.1f, 0, 0), false, 0, false}, {Vektor(100, 67, 0), false, 0, false},
        {Vektor(30, 0, 0), true, 0, false},      {Vektor(30, 0, 0), true, 1, false},
        {Vektor(30, 0, 0), false, 2, false},     {Vektor(30, 0, 0), false, 3, false},
    };
    for (const Fall& f : faelle)
    {
        Baum* baum = new Baum(mSzene.get(), huette->mPosition + f.versatz, f.setzling);
        if (f.schritte == 1)
            baum->StarteWachstum();
        else if (f.schritte == 2)
            baum->Reserviere();
        else if (f.schritte == 3)
            baum->Faelle();
        const Baum::Zustand vorher = baum->mZustand;
        m->mZustand = 13;
        // 100 random slots a try: twenty tries find the one tree for certain.
        for (int versuch = 0; versuch < 20 && m->mZustand == 13; ++versuch)
            Entscheide(m);
        EXPECT_EQ(m->mZustand == 14, f.genommen) << f.versatz.x << " " << f.schritte;
        EXPECT_EQ(baum->mZustand, f.genommen ? Baum::Zustand::Reserviert : vorher);
        if (f.genommen)
        {
            EXPECT_EQ(m->mZiel, baum);
        }
        delete baum;
    }
}

TEST_F(Simulation, TurmRingeUndFreigaben)
{
    // Models made before the counter was installed are not its to release.
    GebeModelleFrei();
    ZaehlPuffer puffer;
    ModellPuffer* alt = SetzeModellPuffer(&puffer);
    Spiel::srand(1);
    LadeModelle();
    EXPECT_EQ(puffer.mLebende, 21);
    {
        mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
        const int64_t grund = puffer.mLebende;  // the models and the terrain
        Turm* turm = new Turm(mSzene.get(), Vektor(50, 0, 50));
        turm->LiefereStein();
        EXPECT_EQ(turm->mRingModell, nullptr);
        EXPECT_EQ(turm->mRingInstanz, SIZE_MAX);
        turm->LiefereHolz();
        ASSERT_NE(turm->mRingModell, nullptr);
        EXPECT_EQ(turm->mRingModell->mDreiecke, 6u);
        for (int i = 0; i < 30; ++i)
        {
            turm->LiefereStein();
            turm->LiefereHolz();
        }
        EXPECT_EQ(puffer.mLebende, grund + 1);
        EXPECT_EQ(turm->mSteinUnterwegs, -31);
        EXPECT_FLOAT_EQ(InstanzY(turm->mRingInstanz), 2.0f);
        const uint64_t ring = turm->mRingInstanz;
        delete turm;
        EXPECT_EQ(puffer.mLebende, grund);
        EXPECT_FALSE(mSzene->mInstanzen.IstBelegt(ring));
        mSzene.reset();
        EXPECT_EQ(puffer.mLebende, 21);
    }
    // Registered models are released at shutdown.
    GebeModelleFrei();
    EXPECT_EQ(puffer.mLebende, 0);
    EXPECT_TRUE(Modellregister.empty());
    SetzeModellPuffer(alt);
    Spiel::srand(1);
    LadeModelle();

    // Segments: tops only where nothing lies above.
    const uint64_t faelle[][2] = {{1, 6}, {24, 144}, {25, 148}, {48, 240}, {49, 244}};
    for (const auto& f : faelle)
        EXPECT_EQ(Turm::ErzeugeRingNetz(f[0]).Dreiecke(), f[1]) << f[0];
}

TEST_F(Simulation, TurmarbeiterHoltAbwechselndUndLaesstVierImVorrat)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(50, 0, 50));
    Turm* turm = new Turm(mSzene.get(), Vektor(150, 0, 150));
    Mensch* arbeiter = new Mensch(mSzene.get(), Vektor(150, 0, 164), haus);
    arbeiter->mArbeitsplatz = turm;
    arbeiter->mZustand = 28;
    arbeiter->mNaechsteMahlzeit = Ticks(10000.0f);

    Vorrat::Stein = 4;
    Entscheide(arbeiter);
    EXPECT_EQ(arbeiter->mZustand, 28u);
    EXPECT_EQ(Vorrat::Stein, 4u);
    Vorrat::Stein = 5;
    Entscheide(arbeiter);
    ASSERT_EQ(arbeiter->mZustand, 29u);
    EXPECT_EQ(Vorrat::Stein, 4u);
    EXPECT_EQ(turm->mSteinUnterwegs, 1);

    // Fetched at the farmhouse and carried to the tower.
    ASSERT_GE(LaufeBis([&] { return arbeiter->mZustand == 28; }), 0.0f);
    EXPECT_EQ(turm->mSteinGeliefert, 1u);
    EXPECT_EQ(turm->mSteinUnterwegs, 0);

    // Stone leads by one: wood is due next.
    Entscheide(arbeiter);
    EXPECT_EQ(arbeiter->mZustand, 31u);
    EXPECT_EQ(Vorrat::Holz, 9u);
    EXPECT_EQ(turm->mHolzUnterwegs, 1);
}

TEST_F(Simulation, PlatzierungPrueftBodenAbstandUndKosten)
{
    mSzene = BaueTestwelt(&mUhr, 20, 10.0f);
    auto& regionen = mSzene->mRegionen;
    regionen[0].mTyp = Region::Berg;
    auto punkt = [&](uint64_t r) { return mSzene->mPunkte[r]; };

    // Field: free land, 1 wood.
    EXPECT_TRUE(Platziere(*mSzene, 1, 105, punkt(105)));
    EXPECT_EQ(regionen[105].mTyp, Region::Feld);
    EXPECT_EQ(Vorrat::Holz, 9u);
    EXPECT_EQ(Zaehle<Acker>(), 1);
    EXPECT_FALSE(IstPlatzErlaubt(*mSzene, 1, 105, punkt(105)));
    EXPECT_FALSE(IstPlatzErlaubt(*mSzene, 1, 0, punkt(0)));
    new Baum(mSzene.get(), Vektor(73, 0, 73), false);  // covers a corner of region 147
    EXPECT_FALSE(IstPlatzErlaubt(*mSzene, 1, 147, punkt(147)));
    EXPECT_TRUE(IstPlatzErlaubt(*mSzene, 1, 149, punkt(149)));

    struct Fall
    {
        uint64_t typ;
        Vektor ort;
        bool erlaubt;
    };
    const Fall faelle[] = {
        {3, Vektor(155, 0, 155), true},
        {4, Vektor(155, 0, 140), false},  // 15 from the hut's site: closer than 10 + 10
        {5, Vektor(15, 0, 15), false},    // a mountain corner within 10
        {6, Vektor(155, 0, 55), false},   // 20 wood and 20 stone are not there
        {0, Vektor(155, 0, 55), false},
    };
    for (const Fall& f : faelle)
    {
        const PickErgebnis treffer = mSzene->PickeRegion(f.ort, Vektor(0, -1, 0));
        EXPECT_EQ(Platziere(*mSzene, f.typ, treffer.mRegion, treffer.mPunkt), f.erlaubt) << f.typ;
    }
    EXPECT_EQ(Vorrat::Holz, 7u);
    EXPECT_EQ(Zaehle<Baustelle>(), 1);
    EXPECT_FALSE(Platziere(*mSzene, 3, UINT64_MAX, Vektor()));

    // One tower per game.
    Vorrat::Holz = 100, Vorrat::Stein = 100;
    const PickErgebnis turmPlatz = mSzene->PickeRegion(Vektor(105, 0, 55), Vektor(0, -1, 0));
    EXPECT_TRUE(Platziere(*mSzene, 6, turmPlatz.mRegion, turmPlatz.mPunkt));
    EXPECT_TRUE(TurmGesetzt);
    EXPECT_EQ(Vorrat::Holz, 80u);
    EXPECT_EQ(Vorrat::Stein, 80u);
    const PickErgebnis zweiter = mSzene->PickeRegion(Vektor(55, 0, 155), Vektor(0, -1, 0));
    EXPECT_FALSE(Platziere(*mSzene, 6, zweiter.mRegion, zweiter.mPunkt));

    // A region without corners is no ground.
    regionen[250].mEckenAnzahl = 0;
    EXPECT_FALSE(IstPlatzErlaubt(*mSzene, 1, 250, punkt(250)));
}

}  // namespace
}  // namespace Spiel::Test
