#pragma once
// What the renderer's and the filter chain's tests share: a windowed screen of a chosen size
// under Xvfb, the data folder of the source tree, the back buffer read back, and a check that
// a test leaves no GPU object registered.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/grafik/gemeinsam/grafik_testhilfe.h"

class Quarz_ZeichenKontext;
class Quarz_Textur;

namespace Spiel {
class ModellPuffer;
class ZeichenKontextPuffer;
}

namespace Spiel::Test {

class DarstellungsTest : public ::testing::Test
{
protected:
    explicit DarstellungsTest(int breite = 64, int hoehe = 48) : mBreite(breite), mHoehe(hoehe) {}
    void SetUp() override;
    void TearDown() override;

    // The back buffer as 0xAARRGGBB pixels, row 0 on top.
    std::vector<uint32_t> Bild();
    // A static A8R8G8B8 texture of the screen's size from pixels in rows (0xAARRGGBB).
    Quarz_Textur* ErzeugeBildTextur(const std::vector<uint32_t>& pixel);
    // Writes a file below the working folder (folders are created).
    static void SchreibeDatei(const std::string& pfad, const std::string& inhalt);
    // The data folder "Daten" of a test's own application folder below the working folder.
    static std::string TestOrdner(const std::string& name);
    // Copies one file of the source tree's data folder into a test application folder.
    static void KopiereDaten(const std::string& anwendung, const std::string& datei);
    // Uses a folder (below the working folder, or absolute) as the application folder.
    static void SetzeAnwendung(const std::string& ordner);

    int mBreite;
    int mHoehe;
    TLogFaenger mLog;
    Quarz_ZeichenKontext* mKontext = nullptr;
    uint64_t mRegisterVorher = 0;
    std::wstring mAlteAnwendung;
};

// With the models' buffers made through the test's drawing context (the game's own seam), for
// tests that draw a world; the seam before is restored at the end.
class WeltDarstellungsTest : public DarstellungsTest
{
protected:
    using DarstellungsTest::DarstellungsTest;
    ~WeltDarstellungsTest() override;
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<ZeichenKontextPuffer> mPuffer;
    ModellPuffer* mAlterPuffer = nullptr;
};

// Red, green and blue of a pixel without its alpha.
inline uint32_t Rgb(uint32_t pixel) { return pixel & 0xFFFFFFu; }
inline int Helligkeit(uint32_t p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); }

}  // namespace Spiel::Test
