#pragma once
// Growable byte buffer with one read/write position. Contents up to 512 bytes live inside
// the object; larger ones on the heap (first 10000 bytes, then doubling). Typed reads and
// writes, printf into the buffer, file load and save, zlib packing between two buffers.
//
// Reads past the content return zeros for the missing bytes and leave the position at the
// end of the content, so a parser of damaged data never reads outside the buffer.

#include <cstdarg>
#include <cstdint>
#include <string>

class TSpeicher
{
public:
    static constexpr uint64_t InlineGroesse = 512;
    static constexpr uint64_t ErsteHeapGroesse = 10000;
    // Room SchreibeFormatText makes before formatting, and its bound with the terminator.
    static constexpr uint64_t FormatPlatz = 10000;
    static constexpr uint64_t FormatGrenze = 9999;

    explicit TSpeicher(uint64_t anfangsKapazitaet = 0);
    ~TSpeicher();

    // A copy would share or lose the data pointer, which may point into the object itself.
    TSpeicher(const TSpeicher&) = delete;
    TSpeicher& operator=(const TSpeicher&) = delete;
    // Moving hands contents, size and position over and leaves the source empty and inline.
    TSpeicher(TSpeicher&& b) noexcept;
    TSpeicher& operator=(TSpeicher&& b) noexcept;

    // Sets the capacity to exactly n (inline for n <= 512, a new heap block otherwise).
    void Reserviere(uint64_t n);
    // Grows the capacity until n bytes fit at the position.
    void SicherePlatz(uint64_t n);

    void SchreibeU8(uint8_t wert);
    void SchreibeU32(uint32_t wert); // host byte order
    void SchreibeMem(const void* quelle, uint64_t n);
    void SchreibeText(const char* text); // without the terminator
    // printf at the position; the terminator stays behind the content, outside the size.
    void SchreibeFormatText(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void SchreibeFormatTextV(const char* format, va_list argumente) __attribute__((format(printf, 2, 0)));

    uint8_t LiesU8();
    uint32_t LiesU32(); // host byte order
    uint64_t LiesU64(); // host byte order
    void LiesMem(void* ziel, uint64_t n);
    // n / 4 big-endian 32-bit words into host order; n must be a multiple of 4.
    void LiesMemEndianKorrekt(void* ziel, uint64_t n);

    // n must not exceed the capacity; the position is pulled back to n.
    void SetGroesse(uint64_t n);
    // Position = the smaller of p and the size; returns the signed distance moved.
    int64_t SetPosition(uint64_t p);
    // Moves the position by the offset, clamped to 0 and the size; returns the distance moved.
    int64_t Springe(int64_t versatz);
    void Leere();
    // Position 0; returns minus the old position.
    int64_t ZurueckZumAnfang();

    // Mode 0 binary, mode 1 text (CR LF read as LF). Other modes are not supported.
    // False when the file cannot be opened (the buffer is then unchanged).
    bool LadeDatei(const std::wstring& pfad, int modus = 0);
    // Writes the content from offset 0; mode 1 text, any other binary (both byte for byte
    // here). False when the file cannot be written completely.
    bool SpeichereDatei(const std::wstring& pfad, int modus = 0) const;

    uint8_t* Daten() { return mDaten; }
    const uint8_t* Daten() const { return mDaten; }
    uint64_t Kapazitaet() const { return mKapazitaet; }
    uint64_t Position() const { return mPosition; }
    uint64_t Groesse() const { return mGroesse; }
    // Bytes between the position and the end of the content.
    uint64_t Rest() const { return mGroesse - mPosition; }

private:
    bool IstInline() const { return mDaten == mInline; }
    void NachSchreiben(uint64_t n);
    void UebernimmVon(TSpeicher& b) noexcept;
    void FreigebenHeap() noexcept;

    uint8_t* mDaten;
    uint64_t mKapazitaet;
    uint64_t mPosition;
    uint64_t mGroesse;
    alignas(16) uint8_t mInline[InlineGroesse];
};

// Output ZLib_Entpacken stops at unless the caller gives another: far above any real file,
// far below what a small hostile stream can ask for (1 MB may inflate to 1 GB).
constexpr uint64_t ZLibStandardGrenze = uint64_t(256) << 20;

// Inflates one zlib stream from the source's position into the target from offset 0. A
// stream whose output would pass `hoechstens` bytes fails like a broken one ("Failed to
// inflate data."), keeping the output up to the limit.
bool ZLib_Entpacken(TSpeicher& quelle, TSpeicher& ziel, uint64_t hoechstens = ZLibStandardGrenze);
// ZLib_Entpacken's lines for an inflate that cannot start and for a stream that breaks off or
// runs out before its end; readers that inflate a stream piece by piece report in its words.
void ZLib_MeldeStartFehler();
void ZLib_MeldeEntpackFehler();
// Deflates the source's whole content (level 9) into the target at its position.
bool ZLib_Packen(TSpeicher& quelle, TSpeicher& ziel);
