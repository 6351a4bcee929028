// The property-tree XML loader on arbitrary text: it must never crash, throw nothing but its
// own "Datei nicht geladen" for a file it refuses (and then load nothing), and leave a tree
// whose every value reads back as text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/teigenschaften.h"
#include "quarzklassen/kern/teigenschaften_serialisierung.h"

namespace
{
std::size_t Besuche(const TEigenschaften& knoten, int tiefe)
{
    if (tiefe > TEigenschaften_Serialisierung::HoechsteTiefe + 1)
        std::abort(); // deeper than the loader lets through
    std::size_t n = knoten.AlsText().size();
    if (knoten.HatWert() == (std::string(knoten.TypName()).empty()))
        std::abort(); // a value without a type name, or the other way round
    for (const auto& [name, kind] : knoten.Kinder())
        n += name.size() + Besuche(*kind, tiefe + 1);
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse)
{
    const std::string text(reinterpret_cast<const char*>(daten), groesse);
    TEigenschaften wurzel;
    try
    {
        TEigenschaften_Serialisierung::LadeEigenschaftenAusText(wurzel, text);
    }
    catch (const Quarz_Ausnahme& a)
    {
        if (a.mMeldung != "Datei nicht geladen" || !wurzel.Kinder().empty())
            std::abort();
    }
    Besuche(wurzel, 0);
    // Lookups by dotted keys built from the input itself.
    wurzel.Finde(text);
    wurzel.Knoten(text.substr(0, 64));
    return 0;
}
