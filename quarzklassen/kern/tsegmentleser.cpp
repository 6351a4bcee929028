#include "quarzklassen/kern/tsegmentleser.h"

#include <cstdio>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/bytereihenfolge.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"

namespace
{
const char* const kDatei = Quarz_DateiName(__FILE__);

uint32_t LiesU32BigEndian(TSpeicher& puffer) { return BigEndian(puffer.LiesU32()); }
uint64_t LiesU64BigEndian(TSpeicher& puffer) { return BigEndian(puffer.LiesU64()); }

char Zeichen(uint32_t kennung, int nummer) { return static_cast<char>(kennung >> (24 - 8 * nummer) & 0xFF); }
} // namespace

TSegmentLeser::TSegmentLeser(TSpeicher* puffer, uint32_t kennung) { Init(puffer, kennung); }

TSegmentLeser::~TSegmentLeser()
{
    if (!mFertig && mPuffer)
        PruefeEndeKennung();
}

void TSegmentLeser::Init(TSpeicher* puffer, uint32_t kennung)
{
    mPuffer = puffer;
    mKennung = kennung;
    mFertig = false;

    // Reads past the content give zeros, so a buffer shorter than the header is safe.
    const uint32_t gefunden = LiesU32BigEndian(*puffer);
    uint32_t versionsWort = LiesU32BigEndian(*puffer);
    mEndePosition = KeineEndePosition;
    const char a = Zeichen(kennung, 0), b = Zeichen(kennung, 1), c = Zeichen(kennung, 2), d = Zeichen(kennung, 3);
    if (versionsWort & 0x80000000u)
    {
        versionsWort &= 0x7FFFFFFFu;
        const uint64_t laengenFeld = puffer->Position();
        const uint64_t laenge = LiesU64BigEndian(*puffer);
        // A length that points past the content ends the segment at the content's end.
        const uint64_t platz = puffer->Groesse() - laengenFeld;
        mEndePosition = laengenFeld + (laenge < platz ? laenge : platz);
        // The length counts its own 8 bytes: a smaller one would send the reader back into
        // the header, and a loop over segments could read the same ones forever. The frame
        // is broken; the segment reaches to the content's end.
        if (laenge < LaengenFeldGroesse)
        {
            gLog.SchreibeDebug("!TSegmentLeser - Segment '%c%c%c%c' nicht korrekt beendet.", a, b, c, d);
            mEndePosition = puffer->Groesse();
        }
    }
    mVersion = versionsWort;

    char meldung[128];
    if (gefunden != kennung)
    {
        gLog.SchreibeDebug("!TSegmentLeser - Startkennung '%c%c%c%c' nicht gefunden.", a, b, c, d);
        std::snprintf(meldung, sizeof meldung, "TSegmentLeser - Startmarkierung '%c%c%c%c' erwartet.", a, b, c, d);
        Quarz_Ausnahme::Melde(meldung, "TSegmentLeser::Init", kDatei, 92);
    }
    if (mVersion > HoechsteVersion)
    {
        std::snprintf(meldung, sizeof meldung, "TSegmentLeser - Segment '%c%c%c%c' hat ungültige Version %d.", a, b,
                      c, d, static_cast<int>(mVersion));
        Quarz_Ausnahme::Melde(meldung, "TSegmentLeser::Init", kDatei, 102);
    }
}

bool TSegmentLeser::PruefeEndeKennung()
{
    if (LiesU32BigEndian(*mPuffer) == EndeKennung(mKennung))
        return true;
    gLog.SchreibeDebug("!TSegmentLeser - Segment '%c%c%c%c' nicht korrekt beendet.", Zeichen(mKennung, 0),
                       Zeichen(mKennung, 1), Zeichen(mKennung, 2), Zeichen(mKennung, 3));
    // The next segment starts at this one's end; without a length that is the buffer's end.
    mPuffer->SetPosition(mEndePosition);
    return false;
}

uint32_t TSegmentLeser::PruefeEnde()
{
    if (mPuffer && !PruefeEndeKennung())
        Plattform::DebuggerAnhalten();
    mFertig = true;
    return mKennung;
}
