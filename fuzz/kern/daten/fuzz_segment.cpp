// The segment reader on arbitrary bytes: a chain of segments read the way the font and
// sprite loaders read them. The buffer position must stay within the content throughout
// and never go back behind a segment's header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "quarzklassen/kern/tsegmentleser.h"

namespace
{
void PruefePosition(const TSpeicher& s)
{
    if (s.Position() > s.Groesse())
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* daten, std::size_t groesse)
{
    TSpeicher puffer;
    puffer.SchreibeMem(daten, groesse);
    puffer.ZurueckZumAnfang();
    const uint32_t kennungen[] = {TSegmentLeser::KennungAus("PLTZ"), TSegmentLeser::KennungAus("FNTH"),
                                  TSegmentLeser::KennungAus("fx3d")};
    for (int runde = 0; runde < 64 && puffer.Position() < puffer.Groesse(); ++runde)
    {
        const uint64_t vorher = puffer.Position();
        uint64_t inhalt = 0;
        {
            TSegmentLeser leser(&puffer, kennungen[runde % 3]);
            PruefePosition(puffer);
            inhalt = puffer.Position();
            // The owner reads as much content as the version asks for (a made-up layout).
            uint8_t daten[64];
            puffer.LiesMem(daten, leser.Version() % sizeof daten);
            for (uint32_t i = 0; i < leser.Version() % 5; ++i)
                puffer.LiesU32();
            PruefePosition(puffer);
            if (leser.EndePosition() != TSegmentLeser::KeineEndePosition && leser.EndePosition() > puffer.Groesse())
                std::abort(); // an end beyond the content
            if (runde % 2 == 0)
                leser.PruefeEnde(); // else the destructor checks
            else if (leser.Fertig())
                std::abort();
        }
        PruefePosition(puffer);
        // Never back into the header: a chain of segments must not read one twice.
        if (puffer.Position() < inhalt || inhalt <= vorher)
            std::abort();
    }
    PruefePosition(puffer);
    return 0;
}
