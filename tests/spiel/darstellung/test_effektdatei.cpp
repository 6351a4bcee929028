// Effect files from a folder: which files load and in what order, what each element gives,
// and that a broken pass, entry or file is logged and dropped without leaving GPU objects.
#include <filesystem>
#include <string>

#include "quarzklassen/grafik/geraet/quarz_alphazustand.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/darstellung/filterverwaltung.h"
#include "tests/gemeinsam/xml_bombe.h"
#include "tests/spiel/darstellung/darstellung_test.h"

namespace Spiel::Test {
namespace {

const char* const kVS = "<vertexShader><![CDATA[$rein float4 pos; $rein float2 uv; $raus float4 position; "
                        "$raus float2 tex; $main() { position = pos; tex = uv; }]]></vertexShader>";
const char* const kPS = "<pixelShader><![CDATA[DEF_SAMPLER_2D( texBild); $rein float2 tex; $raus float4 farbe; "
                        "$main() { farbe = SAMPLE_2D( texBild, tex); }]]></pixelShader>";
const char* const kKaputtPS = "<pixelShader><![CDATA[$raus float4 farbe; $main() { farbe = nichts; }]]></pixelShader>";

// A pass with working shaders and the given extra elements and attributes.
std::string Pass(const std::string& innen, const std::string& attribute = "")
{
    return "<filter" + attribute + ">" + innen + kVS + kPS + "</filter>";
}

// Elements nested that deep, never closed.
std::string Verschachtelt(int tiefe)
{
    std::string text;
    for (int i = 0; i < tiefe; ++i)
        text += "<a>";
    return text;
}

class EffektDatei : public DarstellungsTest
{
protected:
    // Loads a folder holding just this effect as "filter.e.xml".
    FilterVerwaltung& Lade(const std::string& inhalt)
    {
        const std::string ordner = TestOrdner("e" + std::to_string(mNummer++));
        SchreibeDatei(ordner + "/filter.e.xml", inhalt);
        mVerwaltung.reset();
        mVerwaltung = std::make_unique<FilterVerwaltung>(WandleUtf8NachUtf32(ordner));
        return *mVerwaltung;
    }
    // The one effect of such a folder, or null.
    FilterEffekt* Effekt(const std::string& inhalt)
    {
        FilterVerwaltung& v = Lade(inhalt);
        return v.mEffekte.size() == 1 ? &v.mEffekte[0] : nullptr;
    }
    void TearDown() override
    {
        mVerwaltung.reset();
        DarstellungsTest::TearDown();
    }
    int mNummer = 0;
    std::unique_ptr<FilterVerwaltung> mVerwaltung;
};

TEST_F(EffektDatei, DateinamenUndReihenfolge)
{
    const std::string ordner = TestOrdner("namen");
    for (const char* name : {"filter.pause.xml", "filter..xml", "filter.b.xml", "filter.a.xml", "Filter.gross.xml",
                             "filter.gross.XML", "filter.alt.xml.bak", "filter.xml", "filter.leer.xml"})
        SchreibeDatei(ordner + "/" + name, "<effekt/>");
    std::filesystem::create_directories(ordner + "/filter.ordner.xml");
    // Files that are no XML, hold no element, or nest too deep for the parser add nothing.
    SchreibeDatei(ordner + "/filter.kaputt.xml", "<e><filter></e>");
    SchreibeDatei(ordner + "/filter.kommentar.xml", "<!-- nur ein Kommentar -->");
    SchreibeDatei(ordner + "/filter.tief.xml", Verschachtelt(300));
    std::vector<std::string> namen;
    {
        FilterVerwaltung verwaltung(WandleUtf8NachUtf32(ordner));
        for (const FilterEffekt& e : verwaltung.mEffekte)
            namen.push_back(e.mName);
        EXPECT_EQ(verwaltung.SucheEffekt("pause"), &verwaltung.mEffekte[4]);
        EXPECT_EQ(verwaltung.SucheEffekt("Pause"), nullptr);
        // An effect without a pass cannot serve: the caller is told and leaves it out.
        EXPECT_EQ(verwaltung.SucheAktivierbarenEffekt("pause"), nullptr);
        EXPECT_EQ(verwaltung.SucheAktivierbarenEffekt("fehlt"), nullptr);
        EXPECT_EQ(mLog.Zaehle("!FilterVerwaltung: "), 2);
    }
    EXPECT_EQ(namen, (std::vector<std::string>{"", "a", "b", "leer", "pause"}));
    // A file that does not parse: its name, then the parser's line and reason (the guard's
    // reason for a file it refused). A file without an element: its full path alone.
    const std::string nichtLesbar = "!FilterVerwaltung::InternLadeEffekt(): Datei \"";
    EXPECT_EQ(mLog.Zaehle(nichtLesbar), 3);
    EXPECT_EQ(mLog.Zaehle("!Zeile "), 2);
    const auto Folgezeile = [&](const std::string& zeile) {
        for (size_t i = 0; i + 1 < mLog.mZeilen.size(); ++i)
            if (mLog.mZeilen[i].find(zeile) != std::string::npos)
                return mLog.mZeilen[i + 1].substr(std::min(mLog.mZeilen[i + 1].find('!'), mLog.mZeilen[i + 1].size()));
        return std::string("(fehlt)");
    };
    EXPECT_EQ(Folgezeile(nichtLesbar + "filter.kaputt.xml\" ist nicht lesbar.\n"), "!Zeile 1: Error reading end tag.\n")
        << mLog.Alle();
    EXPECT_EQ(Folgezeile(nichtLesbar + "filter.tief.xml\" ist nicht lesbar.\n"),
              "!Zeile 0: Elemente tiefer als 256 Ebenen verschachtelt\n")
        << mLog.Alle();
    EXPECT_EQ(mLog.Zaehle(nichtLesbar + ordner + "/filter.kommentar.xml\" ist nicht lesbar.\n"), 1) << mLog.Alle();

    // A missing data folder is an error line, not an exception.
    FilterVerwaltung ohne(WandleUtf8NachUtf32(TestOrdner("fehlt")));
    EXPECT_TRUE(ohne.mEffekte.empty());
    EXPECT_EQ(mLog.Zaehle("!FilterVerwaltung::FilterVerwaltung(): Ordner"), 1);
    EXPECT_NE(ohne.mDurchreichen, nullptr);
}

// Deep nesting is refused by the guard however it is hidden: behind stray end tags, which buy
// no depth, or behind text the parser reads otherwise than a plain scan would.
TEST_F(EffektDatei, VerschachtelungsbombenWerdenAbgewiesen)
{
    std::vector<std::string> bomben = GetarnteXmlBomben(100000);
    bomben.push_back(XmlBombe(1000));
    int abgewiesen = 0;
    for (const std::string& bombe : bomben)
    {
        EXPECT_EQ(Effekt(bombe), nullptr) << bombe.substr(0, 24);
        EXPECT_EQ(mLog.Zaehle("Elemente tiefer als 256 Ebenen verschachtelt"), ++abgewiesen) << bombe.substr(0, 24);
    }
}

TEST_F(EffektDatei, ElementeUndWerte)
{
    FilterEffekt* effekt = Effekt(std::string("<e><beschreibung></beschreibung>") +
                             Pass("<eingabe name=\"ergebnis\" sampler=\"s\" konstante=\"k\" koords=\"wiederholen\" "
                                  "filter=\"linear\"/><ausgabe name=\"ergebnis\" teiler=\"4\"/>"
                                  "<alphablending quelle=\"eins\" ziel=\"null\"/>") +
                             Pass("<eingabe name=\"a\" sampler=\"s\" konstante=\"k\"/><ausgabe name=\"klein\" "
                                  "teiler=\"4\"/><alphablending quelle=\"alpha\" ziel=\"invalpha\"/>",
                                  " name=\"zwei\"") +
                             Pass("<ausgabe name=\"x\" teiler=\"-1\"/>") +
                             "<textur name=\"t\" beschreibung=\"b\" standard=\"s\"/><textur/>"
                             "<param name=\"p\"><konstante wert=\"gP\"/><standard g=\"0.5\" r=\"rot\"/></param>"
                             "<param name=\"q\"><konstante wert=\"gQ\"/><beschreibung>d</beschreibung></param>"
                             "<param name=\"r\"/><param name=\"s\"><konstante/></param><param/></e>");
    ASSERT_NE(effekt, nullptr) << mLog.Alle();
    const FilterEffekt& e = *effekt;
    ASSERT_EQ(e.mFilter.size(), 3u);
    const Filter& eins = e.mFilter[0];
    const Filter& zwei = e.mFilter[1];
    EXPECT_EQ(eins.mName + zwei.mName + e.mFilter[2].mName, "Filter1zweiFilter3");
    EXPECT_EQ(eins.mEingaben[0].mAdressCode * 100 + eins.mEingaben[0].mFilterCode, 21u);
    EXPECT_EQ(zwei.mEingaben[0].mAdressCode * 100 + zwei.mEingaben[0].mFilterCode, 2100u);
    // "ergebnis" has the screen's size whatever the file says; a negative divisor is refused.
    EXPECT_EQ(eins.mTeiler * 100 + zwei.mTeiler * 10 + e.mFilter[2].mTeiler, 141u);
    EXPECT_EQ(eins.mAlphaZustand, nullptr);
    ASSERT_NE(zwei.mAlphaZustand, nullptr);
    EXPECT_EQ(zwei.mAlphaZustand->mQuellBlend, static_cast<DWORD>(D3DBLEND_SRCALPHA));
    EXPECT_EQ(zwei.mAlphaZustand->mZielBlend, static_cast<DWORD>(D3DBLEND_INVSRCALPHA));
    ASSERT_EQ(e.mTexturen.size(), 1u);
    ASSERT_EQ(e.mParameter.size(), 2u);
    const float p[4] = {0.0f, 0.5f, 0.0f, 1.0f};
    EXPECT_TRUE(std::equal(p, p + 4, e.mParameter[0].mStandard));
    EXPECT_EQ(e.mParameter[1].mBeschreibung, "d");
    // The divisor, the nameless texture and the three incomplete parameters.
    EXPECT_EQ(mLog.Zaehle("!"), 5) << mLog.Alle();
    EXPECT_EQ(mLog.Zaehle("Der 3. Parameter in Filtereffekt \"e\" hat kein \"konstante\"-Element."), 1);
    EXPECT_EQ(mLog.Zaehle("Der Konstanteneintrag im 3. Parameter des Filtereffekts \"e\" hat kein \"wert\"-Atribut."),
              1);
}

struct KaputterPass
{
    const char* was;
    std::string pass;
    const char* meldung;
};

TEST_F(EffektDatei, KaputtePaesseFallenWeg)
{
    const std::string eingabe = "<eingabe name=\"a\" sampler=\"s\" konstante=\"k\"/>";
    const KaputterPass faelle[] = {
        {"no name", Pass("<eingabe sampler=\"s\" konstante=\"k\"/>"), "1. Eingabe muss einen Namen"},
        {"no sampler", Pass(eingabe + "<eingabe name=\"a\" konstante=\"k\"/>"), "2. Eingabe muss einen Textursampler"},
        {"no constant", Pass("<eingabe name=\"a\" sampler=\"s\"/>"), "1. Eingabe muss eine Shaderkonstante"},
        {"bad coordinates", Pass(eingabe + "<eingabe name=\"a\" sampler=\"s\" konstante=\"k\" koords=\"x\"/>"),
         "Ungültige Texkoord-Einstellung in der 2. Eingabe."},
        {"bad filter", Pass("<eingabe name=\"a\" sampler=\"s\" konstante=\"k\" filter=\"bi\"/>"),
         "Ungültige Texturfilter-Einstellung in der 1. Eingabe."},
        {"nameless output", Pass("<ausgabe teiler=\"2\"/>"), "Die Ausgabe muss einen Namen"},
        {"bad source factor", Pass("<alphablending quelle=\"zwei\"/>"), "im Attribut \"quelle\""},
        {"bad destination factor", Pass("<alphablending ziel=\"zwei\"/>"), "im Attribut \"ziel\""},
        {"no vertex shader", std::string("<filter>") + kPS + "</filter>", "Filter muss VertexShader-Code definieren."},
        {"no pixel shader", std::string("<filter>") + kVS + "<pixelShader></pixelShader></filter>",
         "Filter muss ein PixelShader-Skript definieren."},
        {"pixel shader does not compile",
         std::string("<filter><alphablending quelle=\"alpha\" ziel=\"invalpha\"/>") + kVS + kKaputtPS + "</filter>",
         "Fehler beim Kompilieren des PixelShaders."},
    };
    // What the folder's shared objects take, without any pass.
    Lade("<e/>");
    const uint64_t ohnePass = mKontext->mRegister.Anzahl();
    for (const KaputterPass& fall : faelle)
    {
        mLog.mZeilen.clear();
        // The broken pass sits between two good ones; the third keeps the number 2.
        const FilterEffekt* e = Effekt("<e>" + Pass("") + fall.pass + Pass("") + "</e>");
        ASSERT_NE(e, nullptr) << fall.was;
        ASSERT_EQ(e->mFilter.size(), 2u) << fall.was;
        EXPECT_EQ(e->mFilter[1].mName, "Filter2") << fall.was;
        EXPECT_EQ(mLog.Zaehle(fall.meldung), 1) << fall.was << "\n" << mLog.Alle();
        EXPECT_EQ(mLog.Zaehle("!FilterEffekt::LadeAus(...): Fehler beim Laden des 1. Filters in Effekt \"e\" - "
                              "Laden des Filters gescheitert."),
                  1)
            << fall.was;
        // Two passes of vertex shader, pixel shader and program each: nothing of the third.
        EXPECT_EQ(mKontext->mRegister.Anzahl(), ohnePass + 6) << fall.was;
    }
}

}  // namespace
}  // namespace Spiel::Test
