// zlib unpacking of arbitrary bytes: it must never read or write outside the buffers, never
// give more than its limit, and whatever it unpacks successfully must pack and unpack again
// to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "quarzklassen/kern/tspeicher.h"

namespace
{
// Small enough for many runs a second, large enough for real packed data.
constexpr uint64_t Grenze = uint64_t(4) << 20;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse)
{
    if (groesse == 0)
        return 0;
    // The first byte chooses where in the source the stream starts.
    TSpeicher quelle;
    quelle.SchreibeMem(daten + 1, groesse - 1);
    quelle.SetPosition(daten[0] % 8);
    TSpeicher ziel;
    if (daten[0] & 0x80)
        ziel.SchreibeText("alter Inhalt, der ueberschrieben wird");
    const bool ok = ZLib_Entpacken(quelle, ziel, Grenze);
    if (quelle.Position() > quelle.Groesse() || ziel.Groesse() > ziel.Kapazitaet() ||
        ziel.Position() != ziel.Groesse() || ziel.Groesse() > Grenze)
        std::abort();
    if (!ok)
        return 0;

    TSpeicher gepackt, wieder;
    if (!ZLib_Packen(ziel, gepackt))
        std::abort();
    gepackt.ZurueckZumAnfang();
    if (!ZLib_Entpacken(gepackt, wieder, Grenze) || wieder.Groesse() != ziel.Groesse() ||
        std::memcmp(wieder.Daten(), ziel.Daten(), ziel.Groesse()) != 0)
        std::abort();
    return 0;
}
