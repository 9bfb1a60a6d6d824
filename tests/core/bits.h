// Bit-level comparison and hashing of doubles, for tests that demand identical results.
#pragma once

#include <cstdint>
#include <cstring>

#include "sim/vector3.h"

namespace sorvel {

inline uint64_t Bits(double v)
{
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

inline bool SameBits(const Vector3& a, const Vector3& b)
{
    return Bits(a.x) == Bits(b.x) && Bits(a.y) == Bits(b.y) && Bits(a.z) == Bits(b.z);
}

// FNV-1a over 64-bit words (a short tail is padded with zeros).
class Fingerprint {
public:
    void Add(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; i += 8) {
            uint64_t word = 0;
            std::memcpy(&word, p + i, size - i < 8 ? size - i : 8);
            hash_ = (hash_ ^ word ^ (word >> 29)) * 0x100000001b3ull;
        }
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace sorvel
