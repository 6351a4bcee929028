#include "tests/grafik/gemeinsam/grafik_testhilfe.h"
#include "tests/spiel/darstellung/darstellung_test.h"

#include <filesystem>
#include <fstream>

#include "quarzklassen/grafik/bild/tbereich.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "quarzklassen/kern/textkodierung.h"

namespace Spiel::Test {

void DarstellungsTest::SetUp()
{
    gTimer.Starte();
    ASSERT_TRUE(Quarz_Screen3D::Init(Quarz_Screen3D::Modus{mBreite, mHoehe, 0, 0}, Quarz_Screen3D::FLAG_ANWENDUNG));
    mKontext = Quarz_Screen3D::GetZeichenKontext();
    ASSERT_NE(mKontext, nullptr);
    mRegisterVorher = mKontext->mRegister.Anzahl();
    mAlteAnwendung = gSystem.mAnwendungsPfad;
    SetzeAnwendung(WEILERBAU_BAU);  // the data folder as the build ships it
}

void DarstellungsTest::TearDown()
{
    gSystem.mAnwendungsPfad = mAlteAnwendung;
    if (mKontext && Quarz_Screen3D::mInitialisiert)
        Quarz_Screen3D::Beenden();
    // The drawing context reports what a test left behind.
    EXPECT_EQ(mLog.Zaehle("nicht freigegeben"), 0) << mLog.Alle();
    gTimer.Leere();
}

std::vector<uint32_t> DarstellungsTest::Bild()
{
    return LiesBildschirm(*mKontext, mBreite, mHoehe);
}

Quarz_Textur* DarstellungsTest::ErzeugeBildTextur(const std::vector<uint32_t>& pixel)
{
    TTexturInhalt inhalt;
    inhalt.mStufen[0] = TBereich{reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(pixel.data())),
                                 Quarz::PF_A8R8G8B8, static_cast<uint64_t>(mBreite), static_cast<uint64_t>(mHoehe),
                                 static_cast<uint64_t>(mBreite) * 4};
    return mKontext->ErzeugeTextur(0, 0, 1, Quarz::PF_A8R8G8B8, &inhalt);
}

void DarstellungsTest::SchreibeDatei(const std::string& pfad, const std::string& inhalt)
{
    std::filesystem::create_directories(std::filesystem::path(pfad).parent_path());
    std::ofstream(pfad, std::ios::binary) << inhalt;
}

std::string DarstellungsTest::TestOrdner(const std::string& name)
{
    return (std::filesystem::current_path() / name / "Daten").string();
}

void DarstellungsTest::KopiereDaten(const std::string& anwendung, const std::string& datei)
{
    std::filesystem::create_directories(TestOrdner(anwendung));
    std::filesystem::copy_file(std::string(WEILERBAU_BAU) + "/Daten/" + datei, TestOrdner(anwendung) + "/" + datei,
                               std::filesystem::copy_options::overwrite_existing);
}

void DarstellungsTest::SetzeAnwendung(const std::string& ordner)
{
    gSystem.mAnwendungsPfad = WandleUtf8NachUtf32(std::filesystem::absolute(ordner).string());
}

WeltDarstellungsTest::~WeltDarstellungsTest() = default;

void WeltDarstellungsTest::SetUp()
{
    DarstellungsTest::SetUp();
    mPuffer = std::make_unique<ZeichenKontextPuffer>(*mKontext);
    mAlterPuffer = SetzeModellPuffer(mPuffer.get());
}

void WeltDarstellungsTest::TearDown()
{
    SetzeModellPuffer(mAlterPuffer);
    mPuffer.reset();
    DarstellungsTest::TearDown();
}

}  // namespace Spiel::Test
