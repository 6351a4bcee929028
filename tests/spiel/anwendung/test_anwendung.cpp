// The application under a real window: however the frame loop ends, its world, build bar,
// filter set and renderer are gone before the screen closes, no handler is left with the input
// library, and the drawing context finds nothing left over.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "input/inputsystem.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "spiel/anwendung/anwendung.h"
#include "spiel/oberflaeche/buttons.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class AnwendungTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"fullscreen", "vsync", "debugShader"})
            Quarz_Variable::Finde(name)->SetzeBool(false);
        Quarz_Variable::Finde("displaywidth")->SetzeInt(static_cast<int32_t>(Spiel::Buttons::KLEINSTE_BREITE));
        Quarz_Variable::Finde("displayheight")->SetzeInt(static_cast<int32_t>(Spiel::Buttons::KLEINSTE_HOEHE));
        if (!gLog.IstGestartet())
            gLog.Starte(L".", L"test.log");
        mAlterPfad = gSystem.mAnwendungsPfad;
        gSystem.mBeenden = false;
    }
    void TearDown() override
    {
        gSystem.mAnwendungsPfad = mAlterPfad;
        gSystem.mBeenden = false;
    }
    // An application folder of this test's own with the build's data, less the given file.
    void DatenOhne(const std::string& fehlt)
    {
        // Afresh for each case: copying into the folder an earlier case left would fail.
        const fs::path ordner = fs::current_path() / "anwendung";
        fs::remove_all(ordner);
        fs::create_directories(ordner);
        fs::copy(fs::path(WEILERBAU_BAU) / "Daten", ordner / "Daten", fs::copy_options::recursive);
        if (!fehlt.empty())
            fs::remove(ordner / "Daten" / fehlt);
        gSystem.mAnwendungsPfad = ordner.wstring();
    }

    std::wstring mAlterPfad;
};

TEST_F(AnwendungTest, QuitBeforeTheFirstFrameTearsEverythingDown)
{
    DatenOhne("");
    ::testing::internal::CaptureStdout();
    ASSERT_EQ(Spiel::gKonsolenAnzeige, nullptr);
    {
        Spiel::Anwendung anwendung;
        // The console display is reachable process-wide while the application lives.
        ASSERT_NE(anwendung.mKonsole, nullptr);
        EXPECT_EQ(Spiel::gKonsolenAnzeige, anwendung.mKonsole);
        // The screen keeps the window no smaller than the build bar and pause menu need.
        EXPECT_EQ(Quarz_Screen3D::mKleinsteBreite, Spiel::Buttons::KLEINSTE_BREITE);
        EXPECT_EQ(Quarz_Screen3D::mKleinsteHoehe, Spiel::Buttons::KLEINSTE_HOEHE);
        gSystem.mBeenden = true;
        anwendung.Lauf();
        ASSERT_NE(ORVIS::InputSystem::Instance, nullptr);
        EXPECT_EQ(ORVIS::InputSystem::Instance->GetHandler(), nullptr);
    }
    EXPECT_EQ(Spiel::gKonsolenAnzeige, nullptr);
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(log, HasSubstr("Creating Input"));
    EXPECT_THAT(log, HasSubstr("Input says: ORVIS instance created."));
    EXPECT_THAT(log, HasSubstr("Screen wird geschlossen."));
    EXPECT_THAT(log, Not(HasSubstr("nicht freigegeben")));
}

TEST_F(AnwendungTest, AnErrorInTheLoopTearsItsRoundDownAllTheSame)
{
    // Without the scene's shaders the renderer throws, after the world and the build bar exist.
    DatenOhne("start.vs");
    ::testing::internal::CaptureStdout();
    {
        Spiel::Anwendung anwendung;
        EXPECT_THROW(anwendung.Lauf(), Quarz_Ausnahme);
        ASSERT_NE(ORVIS::InputSystem::Instance, nullptr);
        EXPECT_EQ(ORVIS::InputSystem::Instance->GetHandler(), nullptr);
    }
    const std::string log = ::testing::internal::GetCapturedStdout();
    EXPECT_THAT(log, HasSubstr("Screen wird geschlossen."));
    EXPECT_THAT(log, Not(HasSubstr("nicht freigegeben")));
}

}  // namespace
