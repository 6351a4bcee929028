#pragma once
// The CRC-32 of PNG chunks (reflected polynomial 0xEDB88320, start value 0xFFFFFFFF, final
// complement), over a process-wide 256-entry table built on first use.
#include <cstdint>

// The table, built on the first call.
const uint32_t* ErzeugeCrc32Tabelle();
// The finished CRC of a buffer; a length below 1 gives 0.
uint32_t BerechneCrc32(const uint8_t* daten, int32_t laenge);
// The running register after the buffer, without the final complement; a length below 1 gives
// the start value 0xFFFFFFFF.
uint32_t Crc32Register(const uint8_t* daten, int32_t laenge);
// Continues a running register over more bytes.
uint32_t Crc32Weiter(uint32_t reg, const uint8_t* daten, uint64_t laenge);
