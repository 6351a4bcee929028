// The models' buffers through a real drawing context (a window under Xvfb): every model gets
// its two buffers, rebuilt meshes release their predecessors, and nothing is left registered.
#include <gtest/gtest.h>

#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/turm.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

TEST(ModellPufferImKontext, ErzeugtUndGibtAllesFrei)
{
    if (!gLog.IstGestartet())
        gLog.Starte(L".", L"test.log");
    gTimer.Starte();
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{64, 48, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    ASSERT_NE(kontext, nullptr);
    const uint64_t vorher = kontext->mRegister.Anzahl();

    ZeichenKontextPuffer puffer(*kontext);
    ModellPuffer* alt = SetzeModellPuffer(&puffer);
    Spiel::srand(1);
    LadeModelle();
    for (const auto& [name, modell] : Modellregister)
    {
        EXPECT_NE(modell->mVertexPuffer, nullptr) << name;
        EXPECT_NE(modell->mIndexPuffer, nullptr) << name;
    }
    EXPECT_EQ(kontext->mRegister.Anzahl(), vorher + 2 * Modellregister.size());

    {
        Quarz_Timer uhr;
        uhr.Starte();
        auto szene = Spielumgebung::BaueTestwelt(&uhr, 4, 10.0f);
        const uint64_t mitWelt = kontext->mRegister.Anzahl();
        szene->BaueGelaende();  // the old terrain's buffers go
        EXPECT_EQ(kontext->mRegister.Anzahl(), mitWelt);
        // A raised region: walls appear, the terrain's index buffer is replaced.
        for (uint32_t k = 0; k < 4; ++k)
            szene->mRegionen[5].mEcken[k].y = 3.0f;
        const Quarz_VertexBuffer* vertices = szene->mGelaende->mVertexPuffer;
        szene->AktualisiereRegion(5, true);
        EXPECT_EQ(kontext->mRegister.Anzahl(), mitWelt);
        EXPECT_EQ(szene->mGelaende->mVertexPuffer, vertices);
        EXPECT_EQ(szene->Instanz(0)->mIndexPuffer, szene->mGelaende->mIndexPuffer);
        EXPECT_EQ(szene->Instanz(0)->mDreiecke, szene->GelaendeNetz().Dreiecke());
        Turm* turm = new Turm(szene.get(), Vektor(20, 0, 20));
        turm->LiefereStein();
        turm->LiefereHolz();
        turm->LiefereStein();
        turm->LiefereHolz();
        EXPECT_EQ(kontext->mRegister.Anzahl(), mitWelt + 2);
        // The instance draws the ring model's buffers.
        EXPECT_EQ(szene->Instanz(turm->mRingInstanz)->mVertexPuffer, turm->mRingModell->mVertexPuffer);
        EXPECT_EQ(szene->Instanz(turm->mRingInstanz)->mDreiecke, 12u);
    }
    EXPECT_EQ(kontext->mRegister.Anzahl(), vorher + 2 * Modellregister.size());
    GebeModelleFrei();
    EXPECT_EQ(kontext->mRegister.Anzahl(), vorher);

    SetzeModellPuffer(alt);
    Quarz_Screen3D::Beenden();
    gTimer.Leere();
}

}  // namespace
}  // namespace Spiel::Test
