// Byte buffer: growth, positions, reads past the end, formatted text, the reports of
// violated preconditions, moves and files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "logfaenger.h"
#include "quarzklassen/kern/tspeicher.h"

namespace
{
std::string Inhalt(const TSpeicher& s) { return std::string(reinterpret_cast<const char*>(s.Daten()), s.Groesse()); }

void SchreibeDatei(const std::string& pfad, const std::string& inhalt) { std::ofstream(pfad, std::ios::binary) << inhalt; }

std::string Bericht(const std::string& meldung, const std::string& funktion, int zeile)
{
    return "!Ausnahme \"" + meldung + "\" aufgetreten in Funktion " + funktion + " (tspeicher.cpp:" +
           std::to_string(zeile) + ").";
}
} // namespace

TEST(TSpeicher, WachstumBehaeltInhalt)
{
    TSpeicher s;
    std::vector<uint8_t> block(9500);
    for (std::size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    s.SchreibeMem(block.data(), 500);
    EXPECT_EQ(s.Kapazitaet(), 512u); // small contents stay inside the object
    s.SchreibeMem(block.data() + 500, 100);
    EXPECT_EQ(s.Kapazitaet(), 10000u);
    s.SchreibeMem(block.data(), 9500);
    EXPECT_EQ(s.Kapazitaet(), 20000u);
    s.SchreibeMem(block.data(), 9500);
    s.SchreibeMem(block.data(), 9500);
    EXPECT_EQ(s.Kapazitaet(), 40000u);
    EXPECT_EQ(std::memcmp(s.Daten(), block.data(), 600), 0);

    s.Reserviere(200); // back inline: the content is cut to the new capacity
    EXPECT_EQ(s.Kapazitaet(), 512u);
    EXPECT_EQ(s.Groesse(), 200u);
    EXPECT_EQ(s.Position(), 200u);
    EXPECT_EQ(std::memcmp(s.Daten(), block.data(), 200), 0);
}

TEST(TSpeicher, PositionUndSpruenge)
{
    const struct
    {
        uint64_t start;
        int64_t versatz, bewegt;
        uint64_t ziel;
    } faelle[] = {{3, -5, -3, 0}, {3, 10, 5, 8}, {3, 2, 2, 5}, {0, INT64_MIN, 0, 0}, {8, INT64_MAX, 0, 8}};
    for (const auto& f : faelle)
    {
        TSpeicher s;
        s.SchreibeText("12345678");
        s.SetPosition(f.start);
        EXPECT_EQ(s.Springe(f.versatz), f.bewegt) << f.start << " " << f.versatz;
        EXPECT_EQ(s.Position(), f.ziel);
    }
    TSpeicher s;
    s.SchreibeText("12345678");
    EXPECT_EQ(s.SetPosition(100), 0); // beyond the size it stops at the size
    EXPECT_EQ(s.SetPosition(2), -6);
    EXPECT_EQ(s.ZurueckZumAnfang(), -2);
}

TEST(TSpeicher, LesenUeberDasEndeGibtNullen)
{
    LogFaenger log;
    TSpeicher s;
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x55, 0x66};
    s.SchreibeMem(bytes, sizeof bytes);
    s.SetPosition(4);
    EXPECT_EQ(s.LiesU32(), 0x6655u); // two bytes of content, two zeros
    EXPECT_EQ(s.Position(), 6u);
    EXPECT_EQ(s.LiesU8(), 0u);
    EXPECT_EQ(s.LiesU64(), 0u);
    EXPECT_EQ(s.Position(), 6u);

    s.ZurueckZumAnfang();
    uint32_t worte[2] = {0xEEEEEEEE, 0xEEEEEEEE};
    s.LiesMemEndianKorrekt(worte, 8); // big-endian words; the second half lies past the end
    EXPECT_EQ(worte[0], 0x01020304u);
    EXPECT_EQ(worte[1], 0x55660000u);
    EXPECT_TRUE(log.Zeilen().empty());

    s.ZurueckZumAnfang();
    s.LiesMemEndianKorrekt(worte, 7); // one word, the position moves by 4
    EXPECT_EQ(s.Position(), 4u);
    EXPECT_EQ(log.Zeilen(), std::vector<std::string>{Bericht(
                                "Größe eines endiankorrigierten Speicherblocks muss durch vier teilbar sein.",
                                "TSpeicher::LiesMemEndianKorrekt", 419)});
}

TEST(TSpeicher, FormatTextUndGroesseMitIhrenBerichten)
{
    LogFaenger log;
    TSpeicher s;
    s.SchreibeU8('[');
    s.SchreibeFormatText("%s=%d", "abc", 42);
    EXPECT_EQ(Inhalt(s), "[abc=42");
    EXPECT_EQ(s.Daten()[s.Groesse()], 0); // the terminator stays behind the content
    EXPECT_TRUE(log.Zeilen().empty());

    // Too long: the report, and only the 9998 characters really written count.
    s.SchreibeFormatText("%s", std::string(12000, 'x').c_str());
    EXPECT_EQ(s.Groesse(), 7u + 9998u);
    s.SchreibeText("!");
    EXPECT_EQ(Inhalt(s).substr(s.Groesse() - 2), "x!");

    // A size beyond the capacity is refused.
    s.SetGroesse(s.Kapazitaet() + 1);
    EXPECT_EQ(s.Groesse(), 7u + 9999u);
    EXPECT_EQ(log.Zeilen(),
              (std::vector<std::string>{
                  Bericht("Formatierter String zu groß für den internen Puffer", "TSpeicher::SchreibeFormatText", 641),
                  Bericht("Neue Inhaltgröße übersteigt die Puffergröße", "TSpeicher::SetGroesse", 124)}));
}

TEST(TSpeicher, VerschiebenStattKopieren)
{
    static_assert(!std::is_copy_constructible_v<TSpeicher> && !std::is_copy_assignable_v<TSpeicher>);
    TSpeicher klein;
    klein.SchreibeText("inline");
    klein.SetPosition(2);
    TSpeicher ziel(std::move(klein));
    EXPECT_EQ(Inhalt(ziel), "inline");
    EXPECT_EQ(ziel.Position(), 2u);
    EXPECT_EQ(klein.Groesse(), 0u);
    klein.SchreibeText("neu"); // the moved content lives in the target, not in the source
    EXPECT_EQ(Inhalt(ziel), "inline");

    TSpeicher gross;
    gross.SchreibeText(std::string(20000, 'g').c_str());
    const uint8_t* block = gross.Daten();
    ziel = std::move(gross);
    EXPECT_EQ(ziel.Daten(), block); // the heap block is taken over unchanged
    EXPECT_EQ(gross.Kapazitaet(), 512u);
    ziel = std::move(klein); // and freed when the target takes other contents
    EXPECT_EQ(Inhalt(ziel), "neu");
}

TEST(TSpeicher, DateienLadenUndSpeichern)
{
    SchreibeDatei("leer.bin", "");
    TSpeicher s;
    s.SchreibeText("alt");
    ASSERT_TRUE(s.LadeDatei(L"leer.bin"));
    EXPECT_EQ(s.Groesse(), 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Daten()), 8), std::string(8, '\0'));

    // Text mode reads CR LF and LF alike; binary mode keeps every byte.
    SchreibeDatei("crlf.txt", "a\r\nb\r\n\rc\r");
    SchreibeDatei("lf.txt", "a\nb\n\rc\r");
    TSpeicher crlf, lf;
    ASSERT_TRUE(crlf.LadeDatei(L"crlf.txt", 1) && lf.LadeDatei(L"lf.txt", 1));
    EXPECT_EQ(Inhalt(crlf), "a\nb\n\rc\r");
    EXPECT_EQ(Inhalt(lf), Inhalt(crlf));
    ASSERT_TRUE(crlf.LadeDatei(L"crlf.txt", 0));
    EXPECT_EQ(Inhalt(crlf), "a\r\nb\r\n\rc\r");

    // Larger than the capacity, under a non-ASCII name, and back.
    std::string gross(30000, '\0');
    for (std::size_t i = 0; i < gross.size(); ++i)
        gross[i] = static_cast<char>(i * 31);
    SchreibeDatei("gr\xC3\xB6\xC3\x9F" "e.bin", gross);
    ASSERT_TRUE(s.LadeDatei(L"gr\u00F6\u00DFe.bin"));
    EXPECT_EQ(Inhalt(s), gross);
    ASSERT_TRUE(s.SpeichereDatei(L"kopie.bin"));
    TSpeicher kopie;
    ASSERT_TRUE(kopie.LadeDatei(L"kopie.bin"));
    EXPECT_EQ(Inhalt(kopie), gross);

    // What cannot be read leaves the buffer as it was; a folder opens but is no file.
    mkdir("ordner", 0700);
    for (const auto& [pfad, modus] : {std::pair{L"fehlt.bin", 0}, {L"ordner", 0}, {L"ordner", 1}, {L"lf.txt", 2}})
    {
        TSpeicher b;
        b.SchreibeText("bleibt");
        EXPECT_FALSE(b.LadeDatei(pfad, modus));
        EXPECT_EQ(Inhalt(b), "bleibt");
        EXPECT_EQ(b.Position(), 6u);
    }
    EXPECT_FALSE(s.SpeichereDatei(L"fehlt/da.bin"));
}
