#pragma once
// The engine's own data blocks ("FNTH", "FX3D", "PLTZ") are big-endian. Converting a word
// between big-endian and host order is the same operation both ways.
#include <bit>
#include <cstdint>

constexpr uint32_t BigEndian(uint32_t wort)
{
    if constexpr (std::endian::native == std::endian::big)
        return wort;
    else
        return __builtin_bswap32(wort);
}

constexpr uint64_t BigEndian(uint64_t wort)
{
    if constexpr (std::endian::native == std::endian::big)
        return wort;
    else
        return __builtin_bswap64(wort);
}
