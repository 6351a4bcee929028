// Screenshots: the back buffer as an opaque PNG, row 0 on top, under the next free number;
// the folder is made when missing; every failure is an error line and writes nothing.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/darstellung/bildschirmfoto.h"
#include "spiel/darstellung/filterverwaltung.h"
#include "tests/spiel/darstellung/darstellung_test.h"

namespace Spiel::Test {
namespace {

namespace fs = std::filesystem;

class Bildschirmfoto : public DarstellungsTest
{
protected:
    void SetUp() override
    {
        DarstellungsTest::SetUp();
        mAlterBenutzer = gSystem.mBenutzerPfad;
        Benutzer("benutzer");
    }
    void TearDown() override
    {
        gSystem.mBenutzerPfad = mAlterBenutzer;
        DarstellungsTest::TearDown();
    }
    void Benutzer(const std::string& ordner)
    {
        fs::create_directories(ordner);
        gSystem.mBenutzerPfad = WandleUtf8NachUtf32(fs::absolute(ordner).string());
    }
    static std::string Foto(int nummer)
    {
        char name[64];
        std::snprintf(name, sizeof name, "benutzer/screenshots/screenshot%04d.png", nummer);
        return name;
    }
    std::wstring mAlterBenutzer;
};

TEST_F(Bildschirmfoto, DeckendUndNichtGespiegelt)
{
    // Top half red, bottom half blue, a green pixel in the top-left corner.
    std::vector<uint32_t> muster(static_cast<size_t>(mBreite * mHoehe));
    for (int y = 0; y < mHoehe; ++y)
        for (int x = 0; x < mBreite; ++x)
            muster[static_cast<size_t>(y * mBreite + x)] = y < mHoehe / 2 ? 0x00C01020u : 0x002030D0u;
    muster[0] = 0x0000FF00u;
    Quarz_Textur* textur = ErzeugeBildTextur(muster);
    {
        FilterVerwaltung verwaltung(WandleUtf8NachUtf32(TestOrdner("leer")));
        FilterSatz leer;
        leer.Anwenden(textur, {nullptr, 0, 0, static_cast<uint64_t>(mBreite), static_cast<uint64_t>(mHoehe)},
                      verwaltung.Quad());
    }
    mKontext->Freigeben(textur);
    EXPECT_FALSE(fs::exists("benutzer/screenshots"));
    SpeichereBildschirmfoto();
    ASSERT_TRUE(fs::exists(Foto(0))) << mLog.Alle();
    EXPECT_EQ(mLog.Zaehle("Screenshot saved as \"" + fs::absolute(Foto(0)).string() + "\"."), 1) << mLog.Alle();

    Quarz_Bild bild;
    ASSERT_TRUE(bild.LadeBildAusDatei(WandleUtf8NachUtf32(Foto(0))));
    ASSERT_EQ(bild.mBreite, static_cast<uint64_t>(mBreite));
    ASSERT_EQ(bild.mHoehe, static_cast<uint64_t>(mHoehe));
    int falsch = 0;
    for (int y = 0; y < mHoehe; ++y)
        for (int x = 0; x < mBreite; ++x)
        {
            uint32_t pixel;
            std::memcpy(&pixel, bild.mPixel + static_cast<uint64_t>(y) * bild.mPitch + 4 * x, 4);
            const uint32_t soll = 0xFF000000u | muster[static_cast<size_t>(y * mBreite + x)];
            if (pixel != soll && ++falsch <= 3)
                ADD_FAILURE() << x << ", " << y << ": " << std::hex << pixel << " statt " << soll;
        }
    EXPECT_EQ(falsch, 0);
}

TEST_F(Bildschirmfoto, NummernUndFehler)
{
    for (int n : {0, 2})
        SchreibeDatei(Foto(n), "");
    SpeichereBildschirmfoto();
    EXPECT_TRUE(fs::exists(Foto(1)));
    SpeichereBildschirmfoto();
    EXPECT_TRUE(fs::exists(Foto(3)));
    EXPECT_EQ(mLog.Zaehle("Screenshot saved as"), 2);

    SchreibeDatei("datei/screenshots", "");  // a file where the folder should be
    fs::create_directories("voll/screenshots");
    for (int n = 0; n <= 9999; ++n)
        std::ofstream{"voll/screenshots/screenshot" + std::to_string(10000 + n).substr(1) + ".png"};
    // The free name is a link into a folder that does not exist: the PNG cannot be written.
    fs::create_directories("link/screenshots");
    fs::create_symlink("../fehlt/bild.png", "link/screenshots/screenshot0000.png");
    const std::pair<const char*, const char*> faelle[] = {
        {"datei", "lässt sich nicht anlegen"},
        {"weg/tiefer", "lässt sich nicht anlegen"},
        {"voll", "sind alle vergeben"},
        {"link", "ließ sich nicht speichern"},
    };
    for (const auto& [benutzer, meldung] : faelle)
    {
        mLog.mZeilen.clear();
        gSystem.mBenutzerPfad = WandleUtf8NachUtf32(fs::absolute(benutzer).string());
        SpeichereBildschirmfoto();
        EXPECT_EQ(mLog.Zaehle(meldung), 1) << benutzer << "\n" << mLog.Alle();
        EXPECT_EQ(mLog.Zaehle("Screenshot saved"), 0) << benutzer;
    }
    EXPECT_FALSE(fs::exists("weg"));

    // Without a screen there is nothing to read.
    Quarz_Screen3D::Beenden();
    SpeichereBildschirmfoto();
    EXPECT_EQ(mLog.Zaehle("!SpeichereBildschirmfoto(): Kein Bildschirm"), 1);
}

}  // namespace
}  // namespace Spiel::Test
