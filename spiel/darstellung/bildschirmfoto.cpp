#include "spiel/darstellung/bildschirmfoto.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"

namespace Spiel {

namespace {

namespace fs = std::filesystem;

constexpr int kMaxNummer = 9999;

fs::path Pfad(const std::wstring& text) { return fs::path(WandleUtf32NachUtf8(text)); }
std::wstring Text(const fs::path& pfad) { return WandleUtf8NachUtf32(pfad.string()); }

// The back buffer has no alpha channel: what it reads back there means nothing.
void MachDeckend(Quarz_Bild& bild)
{
    for (uint64_t y = 0; y < bild.mHoehe; ++y)
    {
        uint8_t* zeile = bild.mPixel + y * bild.mPitch;
        for (uint64_t x = 0; x < bild.mBreite; ++x)
            zeile[4 * x + 3] = 0xFF;
    }
}

}  // namespace

std::wstring BildschirmfotoOrdner(const std::wstring& benutzerPfad)
{
    const fs::path ordner = Pfad(benutzerPfad) / "screenshots";
    std::error_code fehler;
    const fs::file_status status = fs::status(ordner, fehler);
    if (fs::is_directory(status))
        return Text(ordner);
    // Anything but "not found" (a file of that name, no access) is not ours to repair.
    if (status.type() == fs::file_type::not_found && fs::create_directory(ordner, fehler))
        return Text(ordner);
    gLog.Schreibe("!SpeichereBildschirmfoto(): Ordner \"%s\" lässt sich nicht anlegen%s%s.", ordner.string().c_str(),
                  fehler ? " - " : "", fehler ? fehler.message().c_str() : "");
    return {};
}

std::wstring FreierBildschirmfotoName(const std::wstring& ordner)
{
    const fs::path basis = Pfad(ordner);
    for (int nummer = 0; nummer <= kMaxNummer; ++nummer)
    {
        char name[32];
        std::snprintf(name, sizeof name, "screenshot%04d.png", nummer);
        std::error_code fehler;
        const fs::path pfad = basis / name;
        if (fs::status(pfad, fehler).type() == fs::file_type::not_found)
            return Text(pfad);
    }
    return {};
}

void SpeichereBildschirmfoto()
{
    Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext();
    if (!kontext)
    {
        gLog.Schreibe("!SpeichereBildschirmfoto(): Kein Bildschirm, kein Bildschirmfoto.");
        return;
    }
    const std::wstring ordner = BildschirmfotoOrdner(gSystem.mBenutzerPfad);
    if (ordner.empty())
        return;
    Quarz_Bild bild(kontext->BildschirmBreite(), kontext->BildschirmHoehe(), Quarz::PF_A8R8G8B8, 1);
    // A failed read would leave a blank picture behind a success message.
    if (!bild.mPixel || !kontext->LiesBildschirmInhalt(bild))
    {
        gLog.Schreibe("!SpeichereBildschirmfoto(): Bildschirminhalt nicht lesbar, kein Bildschirmfoto gespeichert.");
        return;
    }
    MachDeckend(bild);
    const std::wstring pfad = FreierBildschirmfotoName(ordner);
    if (pfad.empty())
    {
        gLog.Schreibe("!SpeichereBildschirmfoto(): screenshot0000.png bis screenshot9999.png sind alle vergeben, kein "
                      "Bildschirmfoto gespeichert.");
        return;
    }
    const std::string pfadUtf8 = WandleUtf32NachUtf8(pfad);
    if (bild.SpeicherePNG(pfad))
        gLog.Schreibe("Screenshot saved as \"%s\".", pfadUtf8.c_str());
    else
        gLog.Schreibe("!SpeichereBildschirmfoto(): Bildschirmfoto \"%s\" ließ sich nicht speichern.", pfadUtf8.c_str());
}

}  // namespace Spiel
