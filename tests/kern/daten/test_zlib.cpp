// zlib packing between two byte buffers, checked against zlib itself.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include <zlib.h>

#include "logfaenger.h"
#include "quarzklassen/kern/tspeicher.h"

namespace
{
std::string Inhalt(const TSpeicher& s) { return std::string(reinterpret_cast<const char*>(s.Daten()), s.Groesse()); }

std::string Zufall(std::size_t n, uint32_t saat)
{
    std::mt19937 zufall(saat);
    std::string text(n, '\0');
    for (char& c : text)
        c = static_cast<char>(zufall());
    return text;
}

std::string Gepackt(const std::string& klar)
{
    uLongf laenge = compressBound(static_cast<uLong>(klar.size()));
    std::string gepackt(laenge, '\0');
    compress2(reinterpret_cast<Bytef*>(gepackt.data()), &laenge, reinterpret_cast<const Bytef*>(klar.data()),
              static_cast<uLong>(klar.size()), 9);
    gepackt.resize(laenge);
    return gepackt;
}
} // namespace

// Random data grows when packed: the room must not be bounded by the source's capacity,
// which is exactly the data's size here.
TEST(ZLib, PackenUndEntpackenGebenDasOriginal)
{
    const std::string faelle[] = {std::string(),       "a",          std::string(1 << 20, 'w'),
                                  Zufall(100, 1),      Zufall(513, 2), Zufall(70000, 3)};
    for (const std::string& klar : faelle)
    {
        TSpeicher quelle(klar.size()), gepackt, entpackt;
        quelle.SchreibeMem(klar.data(), klar.size());
        gepackt.SchreibeText("KOPF");
        ASSERT_TRUE(ZLib_Packen(quelle, gepackt)) << klar.size();
        EXPECT_EQ(quelle.Position(), klar.size());
        EXPECT_EQ(Inhalt(gepackt).substr(0, 4), "KOPF"); // packed behind the target's position

        std::string zurueck(klar.size() + 1, '\0'); // zlib itself reads what we packed
        uLongf laenge = static_cast<uLongf>(zurueck.size());
        ASSERT_EQ(uncompress(reinterpret_cast<Bytef*>(zurueck.data()), &laenge, gepackt.Daten() + 4,
                             static_cast<uLong>(gepackt.Groesse() - 4)),
                  Z_OK);
        EXPECT_EQ(zurueck.substr(0, laenge), klar);

        gepackt.SetPosition(4);
        ASSERT_TRUE(ZLib_Entpacken(gepackt, entpackt));
        EXPECT_EQ(Inhalt(entpackt), klar);
        EXPECT_EQ(entpackt.Position(), klar.size());
        EXPECT_EQ(gepackt.Position(), gepackt.Groesse());
    }
}

TEST(ZLib, EntpackenAbPositionBisStromende)
{
    const std::string klar = Zufall(50000, 4);
    const std::string strom = Gepackt(klar);
    TSpeicher quelle;
    quelle.SchreibeText("HEADER");
    quelle.SchreibeMem(strom.data(), strom.size());
    quelle.SchreibeText("REST");
    quelle.SetPosition(6);
    TSpeicher ziel;
    ziel.SchreibeText(std::string(60000, '#').c_str()); // old content is replaced
    ASSERT_TRUE(ZLib_Entpacken(quelle, ziel));
    EXPECT_EQ(Inhalt(ziel), klar);
    EXPECT_EQ(quelle.Position(), 6 + strom.size());
}

TEST(ZLib, KaputteStroemeScheiternMitMeldung)
{
    const std::string klar = Zufall(300000, 5);
    const std::string strom = Gepackt(klar);
    const std::string faelle[] = {strom.substr(0, strom.size() / 2), std::string(), std::string("\x78\x9c\xff\xff", 4),
                                  Zufall(5000, 6)};
    for (const std::string& kaputt : faelle)
    {
        LogFaenger log;
        TSpeicher quelle, ziel;
        quelle.SchreibeMem(kaputt.data(), kaputt.size());
        quelle.ZurueckZumAnfang();
        EXPECT_FALSE(ZLib_Entpacken(quelle, ziel));
        EXPECT_EQ(log.Zeilen(), std::vector<std::string>{"!ZLib_Entpacken(...): Failed to inflate data."});
        EXPECT_LE(quelle.Position(), quelle.Groesse());
        if (&kaputt == &faelle[0])
        {
            // A cut stream keeps what was inflated so far.
            EXPECT_GT(ziel.Groesse(), 0u);
            EXPECT_EQ(Inhalt(ziel), klar.substr(0, ziel.Groesse()));
        }
    }
}

// Unpacking stops at the caller's limit: a stream with more output fails like a broken one
// and keeps what fits; one that ends exactly at the limit is whole.
TEST(ZLib, EntpackenHaeltSichAnDieGrenze)
{
    const std::string klar = Zufall(30000, 7) + std::string(70000, 'z');
    const std::string strom = Gepackt(klar);
    const struct
    {
        uint64_t grenze;
        bool gut;
    } faelle[] = {{klar.size(), true}, {klar.size() + 1, true}, {klar.size() - 1, false},
                  {20000, false}, {600, false}, {100, false}, {0, false}};
    for (const auto& f : faelle)
    {
        LogFaenger log;
        TSpeicher quelle, ziel;
        quelle.SchreibeMem(strom.data(), strom.size());
        quelle.ZurueckZumAnfang();
        EXPECT_EQ(ZLib_Entpacken(quelle, ziel, f.grenze), f.gut) << f.grenze;
        const uint64_t erwartet = f.gut ? klar.size() : f.grenze;
        EXPECT_EQ(Inhalt(ziel), klar.substr(0, erwartet)) << f.grenze;
        EXPECT_LE(ziel.Kapazitaet(), std::max<uint64_t>(f.grenze, TSpeicher::InlineGroesse)) << f.grenze;
        EXPECT_EQ(log.Zeilen(), f.gut ? std::vector<std::string>{}
                                      : std::vector<std::string>{"!ZLib_Entpacken(...): Failed to inflate data."});
    }
}

// Without a limit of its own a caller gets 256 MiB: a small stream of zeros that would
// inflate far beyond stops there instead of exhausting the memory.
TEST(ZLib, EntpackenOhneGrenzeHoertBei256MiBAuf)
{
    z_stream strom{};
    ASSERT_EQ(deflateInit(&strom, 1), Z_OK);
    const std::string nullen(1 << 20, '\0');
    std::string gepackt(4 << 20, '\0');
    uint64_t geschrieben = 0;
    for (int mib = 0; mib < 260; ++mib)
    {
        const bool letztes = mib == 259;
        strom.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(nullen.data()));
        strom.avail_in = static_cast<uInt>(nullen.size());
        int ergebnis = Z_OK;
        while ((strom.avail_in > 0 || letztes) && ergebnis != Z_STREAM_END)
        {
            strom.next_out = reinterpret_cast<Bytef*>(gepackt.data() + geschrieben);
            strom.avail_out = static_cast<uInt>(gepackt.size() - geschrieben);
            ergebnis = deflate(&strom, letztes ? Z_FINISH : Z_NO_FLUSH);
            geschrieben = gepackt.size() - strom.avail_out;
            ASSERT_GT(strom.avail_out, 0u);
        }
    }
    deflateEnd(&strom);

    LogFaenger log;
    TSpeicher quelle, ziel;
    quelle.SchreibeMem(gepackt.data(), geschrieben);
    quelle.ZurueckZumAnfang();
    EXPECT_FALSE(ZLib_Entpacken(quelle, ziel));
    EXPECT_EQ(ziel.Groesse(), ZLibStandardGrenze);
    EXPECT_EQ(ZLibStandardGrenze, uint64_t(256) << 20);
    EXPECT_EQ(log.Zeilen(), std::vector<std::string>{"!ZLib_Entpacken(...): Failed to inflate data."});
}
