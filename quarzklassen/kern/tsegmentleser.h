#pragma once
// Reader for one segment of the engine's binary data files, all numbers big-endian:
//   start marker (4 characters) | version word (bit 31: a length follows) | [length, 8 bytes]
//   | content, read by the owner | end marker (the start marker with characters 2 to 4
//   upper-cased)
// The length counts from the start of the length field. Init checks the framing at the
// buffer's position, PruefeEnde the end marker after the owner has read the content.

#include <cstdint>

#include "quarzklassen/kern/tspeicher.h"

class TSegmentLeser
{
public:
    static constexpr uint64_t KeineEndePosition = ~uint64_t(0);
    static constexpr uint32_t HoechsteVersion = 258;
    static constexpr uint64_t LaengenFeldGroesse = 8;

    // The marker word of four characters, the first in the most significant byte.
    static constexpr uint32_t KennungAus(const char (&zeichen)[5])
    {
        return uint32_t(uint8_t(zeichen[0])) << 24 | uint32_t(uint8_t(zeichen[1])) << 16 |
               uint32_t(uint8_t(zeichen[2])) << 8 | uint32_t(uint8_t(zeichen[3]));
    }
    // The expected end marker: characters two to four in upper case.
    static constexpr uint32_t EndeKennung(uint32_t kennung)
    {
        uint32_t ergebnis = kennung & 0xFF000000u;
        for (int verschiebung = 0; verschiebung < 24; verschiebung += 8)
        {
            uint32_t c = kennung >> verschiebung & 0xFF;
            if (c >= 'a' && c <= 'z')
                c -= 'a' - 'A';
            ergebnis |= c << verschiebung;
        }
        return ergebnis;
    }

    TSegmentLeser() = default;
    TSegmentLeser(TSpeicher* puffer, uint32_t kennung);
    // Checks the end marker when PruefeEnde has not run (without a debugger break).
    ~TSegmentLeser();
    TSegmentLeser(const TSegmentLeser&) = delete;
    TSegmentLeser& operator=(const TSegmentLeser&) = delete;

    // Opens the segment at the buffer's position; a wrong marker or version is reported
    // and reading goes on.
    void Init(TSpeicher* puffer, uint32_t kennung);
    // Reads and checks the end marker at the buffer's position; after a wrong one the
    // buffer is moved to the segment's end. Returns the start marker.
    uint32_t PruefeEnde();

    uint32_t Version() const { return mVersion; }
    uint32_t Kennung() const { return mKennung; }
    uint64_t EndePosition() const { return mEndePosition; }
    bool Fertig() const { return mFertig; }

private:
    // Steps shared by PruefeEnde and the destructor; true when the end marker was right.
    bool PruefeEndeKennung();

    TSpeicher* mPuffer = nullptr;
    uint32_t mKennung = 0;
    uint32_t mVersion = 0;
    uint64_t mEndePosition = KeineEndePosition;
    bool mFertig = true;
};
