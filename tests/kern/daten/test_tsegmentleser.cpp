// Segment reader: framing, version and length, end markers, reports and recovery.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logfaenger.h"
#include "quarzklassen/kern/bytereihenfolge.h"
#include "quarzklassen/kern/tsegmentleser.h"

namespace
{
constexpr uint32_t PLTZ = TSegmentLeser::KennungAus("PLTZ");

void BE32(TSpeicher& s, uint32_t w) { s.SchreibeU32(BigEndian(w)); }
void BE64(TSpeicher& s, uint64_t w)
{
    BE32(s, static_cast<uint32_t>(w >> 32));
    BE32(s, static_cast<uint32_t>(w));
}

std::string Bericht(const std::string& meldung, int zeile)
{
    return "!Ausnahme \"" + meldung + "\" aufgetreten in Funktion TSegmentLeser::Init (tsegmentleser.cpp:" +
           std::to_string(zeile) + ").";
}
} // namespace

TEST(TSegmentLeser, EndeKennungIstGrossgeschrieben)
{
    EXPECT_EQ(TSegmentLeser::EndeKennung(PLTZ), PLTZ);
    EXPECT_EQ(TSegmentLeser::EndeKennung(TSegmentLeser::KennungAus("Fnth")), TSegmentLeser::KennungAus("FNTH"));
    EXPECT_EQ(TSegmentLeser::EndeKennung(TSegmentLeser::KennungAus("fx3d")), TSegmentLeser::KennungAus("fX3D"));
}

TEST(TSegmentLeser, SegmentMitLaengeUndNaechstesSegment)
{
    LogFaenger log(true);
    TSpeicher s;
    BE32(s, PLTZ);
    BE32(s, 0x80000001u);
    BE64(s, 20); // length field 8 + content 8 + end marker 4
    s.SchreibeText("inhalt!!");
    BE32(s, PLTZ);
    BE32(s, PLTZ); // a second segment without a length, whose owner reads too little
    BE32(s, 3);
    s.SchreibeText("abcdWRONG");
    s.ZurueckZumAnfang();
    {
        TSegmentLeser leser(&s, PLTZ);
        EXPECT_EQ(leser.Version(), 1u);
        EXPECT_EQ(leser.EndePosition(), 28u);
        s.Springe(8);
        EXPECT_EQ(leser.PruefeEnde(), PLTZ);
        EXPECT_EQ(s.Position(), 28u);
        EXPECT_TRUE(log.Zeilen().empty());
    }
    {
        TSegmentLeser leser(&s, PLTZ);
        EXPECT_EQ(leser.EndePosition(), TSegmentLeser::KeineEndePosition);
        s.Springe(2);
    } // the destructor checks the end: without a length the reader goes to the buffer's end
    EXPECT_EQ(s.Position(), s.Groesse());
    EXPECT_EQ(log.Zeilen(), std::vector<std::string>{"!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet."});
}

TEST(TSegmentLeser, FalschesEndeSpringtZumSegmentende)
{
    LogFaenger log(false); // the line comes only while t_debug is on
    TSpeicher s;
    BE32(s, PLTZ);
    BE32(s, 0x80000000u);
    BE64(s, 16);
    s.SchreibeText("abcdefghNEXT"); // the owner reads only "abcd"
    s.ZurueckZumAnfang();
    TSegmentLeser leser(&s, PLTZ);
    s.Springe(4);
    leser.PruefeEnde();
    EXPECT_EQ(s.Position(), 24u); // where the next segment starts
    EXPECT_TRUE(log.Zeilen().empty());
}

TEST(TSegmentLeser, VersionUndStartkennungWerdenGemeldet)
{
    const struct
    {
        const char* kennung;
        uint32_t version;
        bool debug;
        std::vector<std::string> zeilen;
    } faelle[] = {
        {"PLTZ", 258, true, {}},
        {"PLTZ", 259, false, {Bericht("TSegmentLeser - Segment 'PLTZ' hat ungültige Version 259.", 102)}},
        {"FNTH", 0, false, {Bericht("TSegmentLeser - Startmarkierung 'PLTZ' erwartet.", 92)}},
        {"FNTH",
         0,
         true,
         {"!TSegmentLeser - Startkennung 'PLTZ' nicht gefunden.",
          Bericht("TSegmentLeser - Startmarkierung 'PLTZ' erwartet.", 92)}},
    };
    for (const auto& f : faelle)
    {
        LogFaenger log(f.debug);
        TSpeicher s;
        s.SchreibeText(f.kennung);
        BE32(s, f.version);
        BE32(s, PLTZ);
        s.ZurueckZumAnfang();
        TSegmentLeser leser(&s, PLTZ);
        EXPECT_EQ(leser.Version(), f.version);
        leser.PruefeEnde();
        EXPECT_EQ(log.Zeilen(), f.zeilen) << f.kennung << " " << f.version;
    }
}

TEST(TSegmentLeser, KaputteRahmenBleibenImPuffer)
{
    // A length far past the buffer ends the segment at the buffer's end.
    TSpeicher s;
    BE32(s, PLTZ);
    BE32(s, 0x80000002u);
    BE64(s, 0xFFFFFFFFFFFFFFF0ull);
    s.SchreibeText("kurz");
    s.ZurueckZumAnfang();
    TSegmentLeser leser(&s, PLTZ);
    EXPECT_EQ(leser.EndePosition(), s.Groesse());
    leser.PruefeEnde();
    EXPECT_EQ(s.Position(), s.Groesse());

    // Buffers shorter than the header are read safely.
    const uint8_t kopf[16] = {'P', 'L', 'T', 'Z', 0x80, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 9};
    for (uint64_t laenge = 0; laenge < sizeof kopf; ++laenge)
    {
        LogFaenger log;
        TSpeicher kurz;
        kurz.SchreibeMem(kopf, laenge);
        kurz.ZurueckZumAnfang();
        {
            TSegmentLeser l(&kurz, PLTZ);
            EXPECT_TRUE(l.EndePosition() == TSegmentLeser::KeineEndePosition || l.EndePosition() <= laenge);
        }
        EXPECT_LE(kurz.Position(), kurz.Groesse());
        EXPECT_EQ(log.Zeilen().empty(), laenge >= 4) << laenge; // a cut marker is reported
    }
}

// A length below its own 8 bytes would point back into the header: the frame is broken, the
// segment reaches to the buffer's end, and the reader never moves backwards.
TEST(TSegmentLeser, LaengeUnterDemLaengenfeldFuehrtNieZurueck)
{
    const struct
    {
        uint64_t laenge;
        uint64_t ende; // end position; 0: the buffer's end
        std::vector<std::string> zeilen;
    } faelle[] = {
        {0, 0, {"!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet.", "!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet."}},
        {7, 0, {"!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet.", "!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet."}},
        {8, 16, {"!TSegmentLeser - Segment 'PLTZ' nicht korrekt beendet."}}, // empty, no room for the end marker
    };
    for (const auto& f : faelle)
    {
        LogFaenger log(true);
        TSpeicher s;
        BE32(s, PLTZ);
        BE32(s, 0x80000001u);
        BE64(s, f.laenge);
        s.SchreibeText("inhalt!!");
        BE32(s, PLTZ);
        s.ZurueckZumAnfang();
        TSegmentLeser leser(&s, PLTZ);
        const uint64_t inhalt = s.Position();
        EXPECT_EQ(leser.EndePosition(), f.ende ? f.ende : s.Groesse()) << f.laenge;
        leser.PruefeEnde(); // "inha" is no end marker
        EXPECT_GE(s.Position(), inhalt) << f.laenge;
        EXPECT_EQ(log.Zeilen(), f.zeilen) << f.laenge;
    }
}
