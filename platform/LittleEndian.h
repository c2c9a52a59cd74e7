// Numbers as every file of the game holds them: least significant byte first.
#pragma once

#include <cstdint>

inline uint16_t ReadLe16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t ReadLe32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

inline void WriteLe16(uint8_t* p, uint16_t value)
{
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline void WriteLe32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(value >> (8 * i));
}
