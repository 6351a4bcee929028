// Filter sets: the chain computed from the active effects (images read and written, ping-pong,
// parameter slots, the faults it logs or refuses), and its application through a real drawing
// context: image sizes and size constants, the shipped pause effect and the pass-through copy.
#include <algorithm>
#include <memory>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/darstellung/filterverwaltung.h"
#include "tests/spiel/darstellung/darstellung_test.h"

namespace Spiel::Test {
namespace {

// A pass described by its names alone: "bild>ausgabe" reads bild and writes ausgabe;
// several inputs are separated by commas ("a,b>c").
Filter Pass(const std::string& beschreibung, uint64_t teiler = 1)
{
    Filter filter("F" + beschreibung);
    const size_t pfeil = beschreibung.find('>');
    std::string eingaben = beschreibung.substr(0, pfeil);
    for (size_t anfang = 0; anfang < eingaben.size();)
    {
        const size_t ende = std::min(eingaben.find(',', anfang), eingaben.size());
        filter.mEingaben.push_back({eingaben.substr(anfang, ende - anfang), "s", "k"});
        anfang = ende + 1;
    }
    filter.mAusgabeName = beschreibung.substr(pfeil + 1);
    filter.mTeiler = teiler;
    return filter;
}

std::unique_ptr<FilterEffekt> Effekt(const std::string& name, std::vector<std::string> passe)
{
    auto effekt = std::make_unique<FilterEffekt>();
    effekt->mName = name;
    effekt->mFilter.reserve(passe.size());
    for (const std::string& p : passe)
        effekt->mFilter.push_back(Pass(p));
    return effekt;
}

// The chain as text: per step "input>output", image names, "ziel" for the destination.
std::vector<std::string> Kette(const FilterSatz& satz)
{
    std::vector<std::string> kette;
    auto name = [&](int64_t i) { return i < 0 ? std::string("ziel") : satz.mBilder[static_cast<size_t>(i)].mName; };
    for (const FilterSatz::Schritt& s : satz.mSchritte)
    {
        std::string text;
        for (uint64_t e : s.mEingaben)
            text += (text.empty() ? "" : ",") + name(static_cast<int64_t>(e));
        kette.push_back(text + ">" + name(s.mAusgabe));
    }
    return kette;
}

struct KettenFall
{
    const char* was;
    std::vector<std::string> passe;
    std::vector<std::string> kette;
    const char* meldung = nullptr;  // a log line the computation writes
};

TEST(Filterkette, BildzuordnungUndMeldungen)
{
    TLogFaenger log;
    const KettenFall faelle[] = {
        {"one pass", {"ergebnis>ergebnis"}, {"ergebnis>ziel"}},
        {"two passes", {"ergebnis>ergebnis", "ergebnis>ergebnis"}, {"ergebnis>quiff", "quiff>ziel"}},
        {"three passes",
         {"ergebnis>ergebnis", "ergebnis>ergebnis", "ergebnis>ergebnis"},
         {"ergebnis>quiff", "quiff>quoff", "quoff>ziel"}},
        {"four passes",
         {"ergebnis>ergebnis", "ergebnis>ergebnis", "ergebnis>ergebnis", "ergebnis>ergebnis"},
         {"ergebnis>quiff", "quiff>quoff", "quoff>quiff", "quiff>ziel"}},
        {"named image", {"ergebnis>klein", "klein,ergebnis>ergebnis"}, {"ergebnis>klein", "klein,ergebnis>ziel"}},
        {"unknown input reads the raw frame",
         {"gibtsnicht>ergebnis"},
         {"ergebnis>ziel"},
         "Das 0. Eingabebild \"gibtsnicht\" des Filters"},
        {"pass reading what it writes is refused",
         {"ergebnis>klein", "klein>klein", "klein>ergebnis"},
         {"ergebnis>klein", "klein>ziel"},
         "liest das Bild \"klein\", in das er schreibt"},
        {"pass writing the reference image is refused",
         {"ergebnis>hdr_ref", "ergebnis>ergebnis"},
         {"ergebnis>ziel"},
         "schreibt in das Bild \"hdr_ref\""},
    };
    for (const KettenFall& fall : faelle)
    {
        log.mZeilen.clear();
        auto effekt = Effekt("e", fall.passe);
        FilterSatz satz;
        satz.AddFilter(effekt.get(), 0);
        EXPECT_EQ(Kette(satz), fall.kette) << fall.was;
        if (fall.meldung)
            EXPECT_EQ(log.Zaehle(fall.meldung), 1) << fall.was << "\n" << log.Alle();
        else
            EXPECT_EQ(log.Zaehle("!"), 0) << fall.was << "\n" << log.Alle();
    }
}

TEST(Filterkette, TexturenParameterUndErsetzung)
{
    TLogFaenger log;
    auto a = Effekt("a", {"rauschen,ergebnis>ergebnis", "ergebnis>rauschen"});
    a->mTexturen.push_back({"rauschen", "", ""});
    a->mTexturen.push_back({"ergebnis", "", ""});
    a->mParameter.push_back({"staerke", "", "gA", {0.5f, 0, 0, 1}});
    auto b = Effekt("b", {"ergebnis>ergebnis"});
    b->mParameter.push_back({"farbe", "", "gFarbe", {0, 0, 0, 1}});
    b->mParameter.push_back({"staerke", "", "gB", {0.9f, 0, 0, 1}});
    FilterSatz satz;
    satz.AddFilter(b.get(), 5);
    log.mZeilen.clear();  // every addition computes the chain anew: the last one counts
    satz.AddFilter(a.get(), 1);
    // Effects in id order; a declared texture is read, and a pass writing it is dropped.
    EXPECT_EQ(Kette(satz), (std::vector<std::string>{"rauschen,ergebnis>quiff", "quiff>ziel"}));
    EXPECT_EQ(log.Zaehle("!Filtereffekt \"a\" definiert Eingabetextur \"ergebnis\""), 2);  // once per step of a
    EXPECT_EQ(log.Zaehle("schreibt in das Bild \"rauschen\", das kein Renderziel ist."), 1);
    // One value per parameter name, with the first effect's default; slots per effect.
    ASSERT_EQ(satz.mParamWerte.size(), 2u);
    EXPECT_EQ(satz.mParamWerte[0].mWert[0], 0.5f);
    EXPECT_EQ(satz.mSchritte[1].mParamSlots, (std::vector<int64_t>{1, 0}));
    satz.SetParameter("staerke", 0.25f, 0, 0, 0);
    EXPECT_EQ(satz.mParamWerte[0].mWert[0], 0.25f);
    satz.SetParameter("gibtsnicht", 1, 1, 1, 1);
    EXPECT_EQ(log.Zaehle("!FilterSatz::SetParameter( \"gibtsnicht\", ...): Kein Param diesen Namens bekannt."), 1);
    // The same effect again under the same id replaces it: one step per pass.
    satz.AddFilter(b.get(), 5);
    EXPECT_EQ(log.Zaehle("?FilterSatz::AddFilter( \"b\", 5): Bislang unter SequenzID 5 aktiver Filter \"b\" wird "
                         "ersetzt."),
              1);
    EXPECT_EQ(satz.mSchritte.size(), 2u);
}

TEST(Filterkette, Teiler)
{
    struct Fall
    {
        const char* text;
        uint64_t teiler;
    };
    const Fall faelle[] = {{"4", 4},         {" 16px", 16},   {"+2", 2},        {"0", 0},
                           {"x4", 0},        {"", 0},         {"-1", 0},        {"2147483647", 2147483647},
                           {"2147483648", 0}, {"99999999999999999999", 0}};
    for (const Fall& f : faelle)
        EXPECT_EQ(Filter::LiesTeiler(f.text), f.teiler) << f.text;
}

// A frame of distinct colours: every pixel differs from its neighbours.
std::vector<uint32_t> Muster(int breite, int hoehe)
{
    std::vector<uint32_t> pixel;
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x)
            pixel.push_back(0xFF000000u | uint32_t(x * 4 + 3) << 16 | uint32_t(y * 5 + 7) << 8 |
                            uint32_t((x * 7 + y * 3) % 256));
    return pixel;
}

// How far apart the colour's channels lie: 0 for grey.
int Spanne(uint32_t p)
{
    const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b});
}

using FilterAnwendung = DarstellungsTest;

TEST_F(FilterAnwendung, PauseUndDurchreichen)
{
    const std::vector<uint32_t> muster = Muster(mBreite, mHoehe);
    Quarz_Textur* rohbild = ErzeugeBildTextur(muster);
    {
        FilterVerwaltung verwaltung(WandleUtf8NachUtf32(std::string(WEILERBAU_BAU) + "/Daten"));
        const FilterSatz::Zielangabe ziel{nullptr, 0, 0, static_cast<uint64_t>(mBreite),
                                          static_cast<uint64_t>(mHoehe)};
        auto vergleiche = [&](const char* was, auto erwartet) {
            const std::vector<uint32_t> bild = Bild();
            int falsch = 0;
            for (size_t i = 0; i < bild.size(); ++i)
                if (!erwartet(muster[i], bild[i]) && ++falsch <= 3)
                    ADD_FAILURE() << was << ": pixel " << i << " " << std::hex << bild[i] << " from " << muster[i];
            EXPECT_EQ(falsch, 0) << was;
        };

        // No effect active: the frame still reaches the destination, texel for texel.
        FilterSatz leer;
        leer.Anwenden(rohbild, ziel, verwaltung.Quad());
        vergleiche("pass-through", [](uint32_t q, uint32_t b) { return Rgb(q) == Rgb(b); });

        FilterSatz satz;
        satz.AddFilter(verwaltung.SucheAktivierbarenEffekt("pause"), 0);
        mKontext->Leeren(1, 0, 0, 0, 1);
        satz.SetParameter("staerke", 0, 0, 0, 0);
        satz.Anwenden(rohbild, ziel, verwaltung.Quad());
        vergleiche("pause at 0", [](uint32_t q, uint32_t b) { return Rgb(q) == Rgb(b); });

        satz.SetParameter("staerke", 1, 0, 0, 0);
        satz.Anwenden(rohbild, ziel, verwaltung.Quad());
        vergleiche("pause at 1", [](uint32_t q, uint32_t b) {
            return Helligkeit(b) < Helligkeit(q) && Spanne(b) <= std::max(Spanne(q) / 2, 16);
        });
        EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
    }
    mKontext->Freigeben(rohbild);
}

const char* const kKleinEffekt = R"(<effekt>
  <filter name="verkleinern">
    <eingabe name="ergebnis" sampler="texBild" konstante="gBild"/>
    <ausgabe name="klein" teiler="4"/>
    <vertexShader><![CDATA[
$rein float4 pos; $rein float2 uv; $raus float4 position; $raus float2 tex;
$main() { position = pos; tex = uv; }
]]></vertexShader>
    <pixelShader><![CDATA[
DEF_SAMPLER_2D( texBild); $rein float2 tex; $raus float4 farbe;
$main() { farbe = SAMPLE_2D( texBild, tex); }
]]></pixelShader>
  </filter>
  <filter name="vergroessern">
    <eingabe name="klein" sampler="texKlein" konstante="gKlein" filter="linear"/>
    <eingabe name="rauschen" sampler="texRauschen" konstante="gRauschen"/>
    <vertexShader><![CDATA[
float4 gKlein; float4 gRauschen;
$rein float4 pos; $rein float2 uv; $raus float4 position; $raus float2 tex;
$main() { position = pos; tex = uv * gKlein.xy + gRauschen.xy; }
]]></vertexShader>
    <pixelShader><![CDATA[
DEF_SAMPLER_2D( texKlein); DEF_SAMPLER_2D( texRauschen); $rein float2 tex; $raus float4 farbe;
$main() { farbe = SAMPLE_2D( texKlein, tex) + SAMPLE_2D( texRauschen, tex); }
]]></pixelShader>
  </filter>
  <textur name="rauschen"/>
</effekt>
)";

TEST_F(FilterAnwendung, GeteilteBilderUndGroessenkonstanten)
{
    SchreibeDatei(TestOrdner("a") + "/filter.klein.xml", kKleinEffekt);
    Quarz_Textur* rohbild = ErzeugeBildTextur(Muster(mBreite, mHoehe));
    {
        FilterVerwaltung verwaltung(WandleUtf8NachUtf32(TestOrdner("a")));
        FilterEffekt* effekt = verwaltung.SucheAktivierbarenEffekt("klein");
        ASSERT_NE(effekt, nullptr);
        ASSERT_EQ(effekt->mFilter.size(), 2u) << mLog.Alle();
        FilterSatz satz;
        satz.AddFilter(effekt, 0);
        const int64_t klein = satz.BildIndex("klein");
        ASSERT_GE(klein, 0);
        // The declared texture has no texture: its size constant must be left alone.
        const uint32_t rauschen = effekt->mFilter[1].mProgramm->GetKonstantenIndex("gRauschen") & 0xFFF;
        ASSERT_NE(rauschen, 0xFFFu);
        mKontext->SetProgrammKonstante(rauschen | 0xFFF000u, 7, 7, 7, 7);

        struct Fall
        {
            uint64_t breite, hoehe, kleinBreite, kleinHoehe;
        };
        for (const Fall& f : {Fall{1280, 720, 320, 180}, Fall{1, 1, 1, 1}, Fall{64, 48, 16, 12}})
        {
            satz.Anwenden(rohbild, {nullptr, 0, 0, f.breite, f.hoehe}, verwaltung.Quad());
            const Quarz_Textur* textur = satz.mBilder[static_cast<size_t>(klein)].mTextur;
            ASSERT_NE(textur, nullptr);
            EXPECT_EQ(textur->mBreite, f.kleinBreite);
            EXPECT_EQ(textur->mHoehe, f.kleinHoehe);
            // The second pass reads klein: the whole texture in use and its texel size.
            const uint32_t index = effekt->mFilter[1].mProgramm->GetKonstantenIndex("gKlein") & 0xFFF;
            ASSERT_NE(index, 0xFFFu);
            const float* wert = &mKontext->mImplDX9.mVertexKonstanten[index * 4];
            EXPECT_FLOAT_EQ(wert[0], static_cast<float>(f.breite / 4) / static_cast<float>(f.kleinBreite));
            EXPECT_FLOAT_EQ(wert[1], static_cast<float>(f.hoehe / 4) / static_cast<float>(f.kleinHoehe));
            EXPECT_FLOAT_EQ(wert[2], 1.0f / static_cast<float>(f.kleinBreite));
            EXPECT_FLOAT_EQ(wert[3], 1.0f / static_cast<float>(f.kleinHoehe));
        }
        EXPECT_EQ(mKontext->mImplDX9.mVertexKonstanten[rauschen * 4], 7.0f);
        EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
    }
    mKontext->Freigeben(rohbild);
}

}  // namespace
}  // namespace Spiel::Test
