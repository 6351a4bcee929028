// Property tree: dotted keys, typed values, and the XML loader with its handling of bad data.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <boost/lexical_cast.hpp>

#include "logfaenger.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/teigenschaften.h"
#include "quarzklassen/kern/teigenschaften_serialisierung.h"
#include "tests/gemeinsam/xml_bombe.h"

namespace
{
void SchreibeDatei(const std::string& pfad, const std::string& inhalt) { std::ofstream(pfad, std::ios::binary) << inhalt; }

std::string Text(const TEigenschaften& wurzel, const char* schluessel)
{
    const TEigenschaften* knoten = wurzel.Finde(schluessel);
    return knoten ? std::string(knoten->TypName()) + ":" + knoten->AlsText() : "fehlt";
}

// True when the file loads; false when the loader throws, as it must for a whole file.
bool Laden(TEigenschaften& wurzel, const std::string& xml, const char* pfad = "test.xml")
{
    if (xml != "-")
        SchreibeDatei(pfad, xml);
    try
    {
        TEigenschaften_Serialisierung::LadeEigenschaftenAusXml(wurzel, std::string(pfad));
        return true;
    }
    catch (const Quarz_Ausnahme& a)
    {
        EXPECT_EQ(a.mMeldung, "Datei nicht geladen");
        EXPECT_EQ(a.mFunktion, "TEigenschaften_Serialisierung::LadeEigenschaftenAusXml");
        EXPECT_EQ(a.mDatei, "teigenschaften_serialisierung.cpp");
        EXPECT_EQ(a.mZeile, 167);
        return false;
    }
}

std::string Attribute(int anzahl, const char* wert)
{
    std::string text = "<gui><a";
    for (int i = 0; i < anzahl; ++i)
        text += " n" + std::to_string(i) + "=\"" + wert + "\"";
    return text + ">1</a></gui>";
}
} // namespace

TEST(TEigenschaften, PunktSchluessel)
{
    TEigenschaften wurzel;
    EXPECT_EQ(&wurzel.Knoten(""), &wurzel);
    TEigenschaften& c = wurzel.Knoten("a.b.c");
    EXPECT_EQ(&wurzel.Knoten("a").Knoten("b.c"), &c);
    EXPECT_EQ(&wurzel.Knoten("a."), &wurzel.Knoten("a"));
    EXPECT_EQ(&wurzel.Knoten("a..b"), &wurzel.Knoten("a").Kind("").Kind("b"));
    EXPECT_EQ(wurzel.Finde("a.b.c"), &c);
    EXPECT_EQ(wurzel.Finde("a.x"), nullptr);
    EXPECT_EQ(wurzel.Finde("a.x"), nullptr); // Finde creates nothing
}

TEST(TEigenschaften, WerteNachTyp)
{
    const struct
    {
        const char* typ;
        const char* text;
        const char* ergebnis; // type name and text form; nullptr: does not convert
    } faelle[] = {
        {"", "1.5", "float:1.5"},
        {"ganzzahl", "2", "float:2"}, // unknown names are floats
        {"float", "abc", nullptr},
        {"int", "-32", "int:-32"},
        {"int", "2147483648", nullptr},
        {"unsigned int", "-1", "unsigned int:4294967295"}, // wrapped
        {"string", " frei  Text ", "string: frei  Text "},
        {"TVektor", "1 2.5 -3", "TVektor:1 2.5 -3\n"},
        {"TVektor", "1 2 3 4", nullptr},
        {"TVektor", "1 2", nullptr},
        {"TAlphaFarbe", "0.5 0.25 1 0", "TAlphaFarbe:0.5 0.25 1 0"},
        {"TAlphaFarbe", "0.5 0.25 1", nullptr},
    };
    for (const auto& f : faelle)
    {
        TEigenschaften wurzel;
        TEigenschaften& knoten = wurzel.Knoten("k");
        knoten.SetzeWert("string", "alt");
        if (f.ergebnis)
            knoten.SetzeWert(f.typ, f.text);
        else
            EXPECT_THROW(knoten.SetzeWert(f.typ, f.text), boost::bad_lexical_cast) << f.typ << " " << f.text;
        // A text that does not convert leaves no value at all, not the old one.
        EXPECT_EQ(Text(wurzel, "k"), f.ergebnis ? f.ergebnis : ":") << f.typ << " " << f.text;
    }
}

TEST(TEigenschaften, XmlLaden)
{
    LogFaenger log;
    TEigenschaften wurzel;
    EXPECT_TRUE(Laden(wurzel, "<?xml version=\"1.0\"?>\r\n"
                              "<gui>\r\n"
                              "  <button><groesse><x>120</x><y typ=\"int\">32</y></groesse></button>\r\n"
                              "  <nurAttribute a=\"1\"/>\n"
                              "  <doppelt><a>1</a></doppelt><doppelt><b>2</b></doppelt>\n"
                              "  <wert>1</wert><wert>7</wert>\n"
                              "  <!-- Kommentar --><text typ=\"string\">Hallo\r\nWelt</text>\n"
                              "  <v typ=\"TVektor\">1\r\n2\r\n3</v>\n"
                              "</gui>\n"));
    EXPECT_EQ(Text(wurzel, "button.groesse.x"), "float:120");
    EXPECT_EQ(Text(wurzel, "button.groesse.y"), "int:32");
    EXPECT_EQ(Text(wurzel, "button"), ":"); // its first child is an element: no value
    EXPECT_EQ(Text(wurzel, "gui"), "fehlt"); // the root element's tag is not a key
    EXPECT_EQ(Text(wurzel, "nurAttribute"), ":");
    EXPECT_EQ(Text(wurzel, "doppelt.a"), "float:1"); // a tag used twice merges
    EXPECT_EQ(Text(wurzel, "doppelt.b"), "float:2");
    EXPECT_EQ(Text(wurzel, "wert"), "float:7"); // and the later value wins
    EXPECT_EQ(Text(wurzel, "text"), "string:Hallo Welt"); // no CR left in a value
    EXPECT_EQ(Text(wurzel, "v"), "TVektor:1 2 3\n");
    EXPECT_TRUE(log.Zeilen().empty());
}

TEST(TEigenschaften, SchlechteWerteKostenNurDenWert)
{
    LogFaenger log;
    TEigenschaften wurzel;
    EXPECT_TRUE(Laden(wurzel, "<gui><a><x>breit</x><y>4</y></a><v typ=\"TVektor\">1 2 3 4</v></gui>"));
    EXPECT_EQ(Text(wurzel, "a.x"), ":");
    EXPECT_EQ(Text(wurzel, "a.y"), "float:4"); // the rest of the file still loads
    EXPECT_EQ(Text(wurzel, "v"), ":");
    EXPECT_EQ(log.Zeilen(),
              (std::vector<std::string>{
                  "!TEigenschaften_Serialisierung::LadeElement: \"breit\" ist kein Wert vom Typ \"float\" (Schlüssel "
                  "\"a.x\").",
                  "!TEigenschaften_Serialisierung::LadeElement: \"1 2 3 4\" ist kein Wert vom Typ \"TVektor\" "
                  "(Schlüssel \"v\")."}));
}

// A file that cannot be opened, does not parse or is refused throws and loads nothing; the
// reason comes first as one "!" line naming the file (the parser's own row and column for a
// parse error).
TEST(TEigenschaften, GanzeDateiWirftWennSieNichtLaedt)
{
    std::string tief;
    for (int i = 0; i < 100000; ++i) // the parser would recurse once per level
        tief += "<a>";
    const std::string vor = "!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"test.xml\": ";
    const auto fehlt = [](const std::string& name) {
        return "!TEigenschaften_Serialisierung::LadeEigenschaftenAusXml: \"" + name +
               "\" fehlt oder ist keine lesbare Datei, Datei nicht geladen.";
    };
    std::filesystem::create_directory("ordner.xml");
    struct Fall
    {
        std::string text; // "-": no file at all; "/": a folder in its place
        std::string zeile;
    };
    std::vector<Fall> faelle = {
        {"-", fehlt("fehlt.xml")},
        {"/", fehlt("ordner.xml")},
        {"", vor + "Error document empty. (am Dateiende), Datei nicht geladen."},
        {"<gui>\n  <a>1</a>", vor + "Error reading Element value. (am Dateiende), Datei nicht geladen."},
        {"<gui>\r\n\r\n <a>1</b></gui>", vor + "Error reading end tag. (Zeile 3, Spalte 6), Datei nicht geladen."},
        {"<gui><a typ=\"int>1</a></gui>", vor + "Error parsing Element. (Zeile 1, Spalte 9), Datei nicht geladen."},
        {tief, vor + "Elemente tiefer als 256 Ebenen verschachtelt, Datei nicht geladen."},
        {Attribute(257, "1"), vor + "ein Element mit mehr als 256 Attributen, Datei nicht geladen."},
        {std::string("<gui><a>1</a>\0</gui>", 20), vor + "Error reading Element value. (am Dateiende), Datei nicht geladen."},
    };
    // The declaration makes the parser read UTF-8, as in "GuiKonfig.xml".
    for (const std::string& bombe : GetarnteXmlBomben(100000))
        faelle.push_back({"<?xml version=\"1.0\"?>" + bombe,
                          vor + "Elemente tiefer als 256 Ebenen verschachtelt, Datei nicht geladen."});
    for (const auto& f : faelle)
    {
        LogFaenger log;
        TEigenschaften baum;
        baum.Knoten("alt").SetzeWert("int", "1");
        const char* pfad = f.text == "-" ? "fehlt.xml" : f.text == "/" ? "ordner.xml" : "test.xml";
        EXPECT_FALSE(Laden(baum, f.text == "/" ? "-" : f.text, pfad)) << f.zeile;
        EXPECT_EQ(log.Zeilen(), std::vector<std::string>{f.zeile}) << f.text.substr(0, 40);
        EXPECT_EQ(baum.Kinder().size(), 1u) << f.zeile; // nothing of the file arrived
    }

    // Within the limits: deep nesting, 256 attributes, and "=" inside quoted values.
    std::string erlaubt;
    for (int i = 0; i < 200; ++i)
        erlaubt = "<e>" + erlaubt + "</e>";
    for (const std::string& text : {erlaubt, Attribute(256, "1"), Attribute(200, "a=b=c")})
    {
        TEigenschaften baum;
        EXPECT_TRUE(Laden(baum, text)) << text.substr(0, 40);
    }

    // Found by fuzzing: a text that ends inside a UTF-8 sequence made the parser step over
    // the terminator into foreign memory.
    const std::string utf8AmEnde = "<?xml version=\"-->1.0\" enortkodauswahl><groesse0>>x02<</x><y>40</y>" +
                                   std::string(3, '\xF8') + std::string(6, '\xD3') + std::string(11, '\xF8') + "-->" +
                                   std::string(7, '\xF8') + std::string(63, '\xD3');
    TEigenschaften baum;
    EXPECT_THROW(TEigenschaften_Serialisierung::LadeEigenschaftenAusText(baum, utf8AmEnde), Quarz_Ausnahme);
}
