#include "quarzklassen/kern/tspeicher.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>

#include <zlib.h>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/bytereihenfolge.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/textkodierung.h"

namespace
{
const char* const kDatei = Quarz_DateiName(__FILE__);

// Closes a C file on every way out.
struct DateiSchliesser
{
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using DateiZeiger = std::unique_ptr<std::FILE, DateiSchliesser>;

DateiZeiger Oeffne(const std::wstring& pfad, const char* modus)
{
    const std::string name = WandleUtf32NachUtf8(pfad);
    return DateiZeiger(std::fopen(name.c_str(), modus));
}
} // namespace

TSpeicher::TSpeicher(uint64_t anfangsKapazitaet)
    : mDaten(mInline), mKapazitaet(InlineGroesse), mPosition(0), mGroesse(0)
{
    if (anfangsKapazitaet != 0)
        Reserviere(anfangsKapazitaet);
}

TSpeicher::~TSpeicher() { FreigebenHeap(); }

TSpeicher::TSpeicher(TSpeicher&& b) noexcept
    : mDaten(mInline), mKapazitaet(InlineGroesse), mPosition(0), mGroesse(0)
{
    UebernimmVon(b);
}

TSpeicher& TSpeicher::operator=(TSpeicher&& b) noexcept
{
    if (this != &b)
    {
        FreigebenHeap();
        mDaten = mInline;
        mKapazitaet = InlineGroesse;
        UebernimmVon(b);
    }
    return *this;
}

// Expects this buffer to be inline. A heap block is taken over unchanged; inline contents
// are copied into this buffer's own inline storage.
void TSpeicher::UebernimmVon(TSpeicher& b) noexcept
{
    if (b.IstInline())
        std::memcpy(mInline, b.mInline, b.mGroesse);
    else
    {
        mDaten = b.mDaten;
        mKapazitaet = b.mKapazitaet;
    }
    mGroesse = b.mGroesse;
    mPosition = b.mPosition;
    b.mDaten = b.mInline;
    b.mKapazitaet = InlineGroesse;
    b.mGroesse = 0;
    b.mPosition = 0;
}

void TSpeicher::FreigebenHeap() noexcept
{
    if (!IstInline())
        delete[] mDaten;
}

void TSpeicher::Reserviere(uint64_t n)
{
    if (n <= InlineGroesse && IstInline())
        return;
    uint8_t* neu;
    uint64_t neueKapazitaet;
    if (n <= InlineGroesse)
    {
        neu = mInline;
        neueKapazitaet = InlineGroesse;
    }
    else
    {
        neu = new uint8_t[n];
        neueKapazitaet = n;
    }
    mGroesse = std::min(mGroesse, n);
    mPosition = std::min(mPosition, n);
    std::memcpy(neu, mDaten, mGroesse);
    FreigebenHeap();
    mDaten = neu;
    mKapazitaet = neueKapazitaet;
}

void TSpeicher::SicherePlatz(uint64_t n)
{
    if (n > std::numeric_limits<uint64_t>::max() - mPosition)
        throw std::bad_alloc();
    const uint64_t bedarf = mPosition + n;
    if (bedarf <= mKapazitaet)
        return;
    uint64_t kapazitaet = mKapazitaet;
    while (bedarf > kapazitaet)
    {
        if (kapazitaet <= InlineGroesse)
            kapazitaet = ErsteHeapGroesse;
        else if (kapazitaet > std::numeric_limits<uint64_t>::max() / 2)
            kapazitaet = bedarf;
        else
            kapazitaet *= 2;
    }
    Reserviere(kapazitaet);
}

// Advances the position past n freshly written bytes and lets the size follow it.
void TSpeicher::NachSchreiben(uint64_t n)
{
    mPosition += n;
    mGroesse = std::max(mGroesse, mPosition);
}

void TSpeicher::SchreibeU8(uint8_t wert)
{
    SicherePlatz(1);
    mDaten[mPosition] = wert;
    NachSchreiben(1);
}

void TSpeicher::SchreibeU32(uint32_t wert) { SchreibeMem(&wert, sizeof wert); }

void TSpeicher::SchreibeMem(const void* quelle, uint64_t n)
{
    if (n == 0)
        return;
    SicherePlatz(n);
    std::memcpy(mDaten + mPosition, quelle, n);
    NachSchreiben(n);
}

void TSpeicher::SchreibeText(const char* text) { SchreibeMem(text, std::strlen(text)); }

void TSpeicher::SchreibeFormatText(const char* format, ...)
{
    va_list argumente;
    va_start(argumente, format);
    SchreibeFormatTextV(format, argumente);
    va_end(argumente);
}

void TSpeicher::SchreibeFormatTextV(const char* format, va_list argumente)
{
    SicherePlatz(FormatPlatz);
    char* ziel = reinterpret_cast<char*>(mDaten + mPosition);
    const int laenge = std::vsnprintf(ziel, FormatGrenze, format, argumente);
    if (laenge < 0)
    {
        ziel[0] = '\0'; // the formatter could not encode the text: nothing is written
        return;
    }
    uint64_t geschrieben = static_cast<uint64_t>(laenge);
    if (geschrieben >= FormatGrenze)
    {
        Quarz_Ausnahme::Melde("Formatierter String zu groß für den internen Puffer", "TSpeicher::SchreibeFormatText",
                              kDatei, 641);
        // Only what the bounded formatter really wrote is content.
        geschrieben = FormatGrenze - 1;
    }
    NachSchreiben(geschrieben);
}

void TSpeicher::LiesMem(void* ziel, uint64_t n)
{
    const uint64_t vorhanden = std::min(n, mGroesse - mPosition);
    if (vorhanden)
        std::memcpy(ziel, mDaten + mPosition, vorhanden);
    if (vorhanden < n)
        std::memset(static_cast<uint8_t*>(ziel) + vorhanden, 0, n - vorhanden);
    mPosition += vorhanden;
}

uint8_t TSpeicher::LiesU8()
{
    if (mPosition >= mGroesse)
        return 0;
    return mDaten[mPosition++];
}

uint32_t TSpeicher::LiesU32()
{
    uint32_t wert;
    LiesMem(&wert, sizeof wert);
    return wert;
}

uint64_t TSpeicher::LiesU64()
{
    uint64_t wert;
    LiesMem(&wert, sizeof wert);
    return wert;
}

void TSpeicher::LiesMemEndianKorrekt(void* ziel, uint64_t n)
{
    if (n % 4 != 0)
        Quarz_Ausnahme::Melde("Größe eines endiankorrigierten Speicherblocks muss durch vier teilbar sein.",
                              "TSpeicher::LiesMemEndianKorrekt", kDatei, 419);
    const uint64_t worte = n / 4;
    uint8_t* z = static_cast<uint8_t*>(ziel);
    LiesMem(z, worte * 4);
    for (uint64_t i = 0; i < worte; ++i)
    {
        uint32_t w;
        std::memcpy(&w, z + 4 * i, 4);
        w = BigEndian(w);
        std::memcpy(z + 4 * i, &w, 4);
    }
}

void TSpeicher::SetGroesse(uint64_t n)
{
    if (n > mKapazitaet)
    {
        // The buffer stays as it was: a size beyond the storage would expose foreign memory.
        Quarz_Ausnahme::Melde("Neue Inhaltgröße übersteigt die Puffergröße", "TSpeicher::SetGroesse", kDatei, 124);
        return;
    }
    mGroesse = n;
    mPosition = std::min(mPosition, n);
}

int64_t TSpeicher::SetPosition(uint64_t p)
{
    const uint64_t alt = mPosition;
    mPosition = std::min(p, mGroesse);
    return static_cast<int64_t>(mPosition) - static_cast<int64_t>(alt);
}

int64_t TSpeicher::Springe(int64_t versatz)
{
    const uint64_t alt = mPosition;
    if (versatz < 0)
    {
        const uint64_t zurueck = versatz == std::numeric_limits<int64_t>::min()
                                     ? uint64_t(1) << 63
                                     : static_cast<uint64_t>(-versatz);
        mPosition = zurueck >= mPosition ? 0 : mPosition - zurueck;
    }
    else
        mPosition += std::min(static_cast<uint64_t>(versatz), mGroesse - mPosition);
    return static_cast<int64_t>(mPosition) - static_cast<int64_t>(alt);
}

void TSpeicher::Leere()
{
    mGroesse = 0;
    mPosition = 0;
}

int64_t TSpeicher::ZurueckZumAnfang()
{
    const int64_t alt = static_cast<int64_t>(mPosition);
    mPosition = 0;
    return -alt;
}

bool TSpeicher::LadeDatei(const std::wstring& pfad, int modus)
{
    if (modus != 0 && modus != 1)
    {
        gLog.Schreibe("!TSpeicher::LadeDatei(...): Lademodus %d wird nicht unterstützt.", modus);
        return false;
    }
    DateiZeiger datei = Oeffne(pfad, "rb");
    if (!datei)
        return false;
    // Only regular files have a length; a folder opens too but cannot be read.
    uint64_t laenge = 0;
    if (!Plattform::RegulaereDateiLaenge(datei.get(), laenge))
        return false;

    mGroesse = 0;
    mPosition = 0;
    if (mKapazitaet < laenge + 8)
        Reserviere(laenge + 8);
    // Read no more than the length found, so at least 8 zero bytes always follow.
    mGroesse = std::fread(mDaten, 1, laenge, datei.get());

    if (modus == 1)
    {
        // Text mode: files written on Windows end their lines in CR LF.
        uint64_t schreib = 0;
        for (uint64_t lies = 0; lies < mGroesse; ++lies)
        {
            if (mDaten[lies] == '\r' && lies + 1 < mGroesse && mDaten[lies + 1] == '\n')
                continue;
            mDaten[schreib++] = mDaten[lies];
        }
        mGroesse = schreib;
    }
    // Text parsers find a terminator behind the content.
    const uint64_t nullen = std::min<uint64_t>(32, mKapazitaet - mGroesse);
    std::memset(mDaten + mGroesse, 0, nullen);
    return true;
}

bool TSpeicher::SpeichereDatei(const std::wstring& pfad, int modus) const
{
    DateiZeiger datei = Oeffne(pfad, modus == 1 ? "w" : "wb");
    if (!datei)
        return false;
    const bool ganz = std::fwrite(mDaten, 1, mGroesse, datei.get()) == mGroesse;
    return std::fclose(datei.release()) == 0 && ganz;
}

// ---------------------------------------------------------------------------------------

namespace
{
// zlib counts in 32-bit units; larger amounts are handed over piece by piece.
uInt HoechstensUInt(uint64_t n) { return static_cast<uInt>(std::min<uint64_t>(n, UINT_MAX)); }
} // namespace

void ZLib_MeldeStartFehler() { gLog.Schreibe("!ZLib_Entpacken(...): Failed to initialise inflate."); }

void ZLib_MeldeEntpackFehler() { gLog.Schreibe("!ZLib_Entpacken(...): Failed to inflate data."); }

bool ZLib_Entpacken(TSpeicher& quelle, TSpeicher& ziel, uint64_t hoechstens)
{
    z_stream strom{};
    if (inflateInit2(&strom, 15) != Z_OK)
    {
        ZLib_MeldeStartFehler();
        return false;
    }
    const uint8_t* eingabe = quelle.Daten() + quelle.Position();
    const uint64_t eingabeLaenge = quelle.Groesse() - quelle.Position();
    uint64_t verbraucht = 0;
    uint64_t ausgabe = 0;
    int ergebnis = Z_OK;
    for (;;)
    {
        // The storage never grows past the limit: at the limit inflate gets no room, and a
        // stream with more to give fails for want of it.
        if (ziel.Kapazitaet() - ausgabe < 10000 && ziel.Kapazitaet() < hoechstens)
            ziel.Reserviere(std::min(ziel.Kapazitaet() * 2, hoechstens));
        strom.next_in = const_cast<Bytef*>(eingabe + verbraucht);
        strom.avail_in = HoechstensUInt(eingabeLaenge - verbraucht);
        strom.next_out = ziel.Daten() + ausgabe;
        strom.avail_out = HoechstensUInt(std::min(ziel.Kapazitaet(), hoechstens) - ausgabe);
        const uInt inVorher = strom.avail_in;
        const uInt ausVorher = strom.avail_out;
        ergebnis = inflate(&strom, Z_NO_FLUSH);
        verbraucht += inVorher - strom.avail_in;
        ausgabe += ausVorher - strom.avail_out;
        ziel.SetGroesse(ausgabe);
        ziel.SetPosition(ausgabe);
        // Go on while input remains, and also when the output room ran out: inflate may
        // hold back output even after it has taken all input.
        if (ergebnis != Z_OK || (verbraucht == eingabeLaenge && strom.avail_out != 0))
            break;
    }
    quelle.Springe(static_cast<int64_t>(std::min(verbraucht, eingabeLaenge)));
    if (ergebnis != Z_STREAM_END)
    {
        inflateEnd(&strom);
        ZLib_MeldeEntpackFehler();
        return false;
    }
    if (inflateEnd(&strom) != Z_OK)
    {
        gLog.Schreibe("!ZLib_Entpacken(...): Failed to finish inflating.");
        return false;
    }
    return true;
}

bool ZLib_Packen(TSpeicher& quelle, TSpeicher& ziel)
{
    z_stream strom{};
    if (deflateInit2(&strom, 9, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    {
        gLog.Schreibe("!ZLib_Packen(...): Failed to initialise deflate.");
        return false;
    }
    // Room for the worst case, so the whole stream fits in one pass.
    const uint64_t eingabeLaenge = quelle.Groesse();
    const uint64_t schranke = deflateBound(&strom, static_cast<uLong>(eingabeLaenge));
    const uint64_t start = ziel.Position();
    if (ziel.Kapazitaet() < start + schranke)
        ziel.Reserviere(start + schranke);

    uint64_t verbraucht = 0;
    uint64_t ausgabe = 0;
    int ergebnis = Z_OK;
    while (ergebnis == Z_OK)
    {
        strom.next_in = quelle.Daten() + verbraucht;
        strom.avail_in = HoechstensUInt(eingabeLaenge - verbraucht);
        strom.next_out = ziel.Daten() + start + ausgabe;
        strom.avail_out = HoechstensUInt(ziel.Kapazitaet() - start - ausgabe);
        const bool letztes = strom.avail_in == eingabeLaenge - verbraucht;
        const uInt inVorher = strom.avail_in;
        const uInt ausVorher = strom.avail_out;
        ergebnis = deflate(&strom, letztes ? Z_FINISH : Z_NO_FLUSH);
        verbraucht += inVorher - strom.avail_in;
        ausgabe += ausVorher - strom.avail_out;
        if (ergebnis == Z_OK && letztes && strom.avail_out != 0)
            ergebnis = Z_BUF_ERROR; // finishing made no progress: the output did not fit
    }
    if (ergebnis != Z_STREAM_END)
    {
        deflateEnd(&strom);
        gLog.Schreibe("!ZLib_Packen(...): Failed to deflate data.");
        return false;
    }
    quelle.SetPosition(verbraucht);
    ziel.SetGroesse(start + ausgabe);
    ziel.SetPosition(start + ausgabe);
    if (deflateEnd(&strom) != Z_OK)
    {
        gLog.Schreibe("!ZLib_Packen(...): Failed to finish deflating.");
        return false;
    }
    return true;
}
