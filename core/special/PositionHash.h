// Exact-position hash of the special panel's searches ("VCM GEN", "FUSION").
//
// A key is the bit pattern of three floats, taken so that the hash finds
// exactly the positions that `==` on every component finds: minus zero is
// stored as zero, and a position with a NaN component is never stored nor
// found, since NaN equals nothing. Each slot keeps a match count and two ints
// for the caller (the searches keep the lowest and the highest vertex seen).
// Open addressing with linear probing; the slots are allocated once at the
// largest size (twice the vertex capacity, rounded up to a power of two) and
// only the part a search uses is cleared.
#pragma once

#include <cstdint>
#include <cstring>

#include "doc/CVELTADoc.h"

namespace vortel {

class PositionHash {
public:
    static constexpr int kSlots = 1 << 18;  // >= 2 x 130,000

    // Empties the table for up to `expected` keys.
    void clear(int expected) {
        int size = 16;
        while (size < 2 * expected && size < kSlots) size <<= 1;
        m_mask = static_cast<std::uint32_t>(size - 1);
        std::memset(m_used.data(), 0, static_cast<size_t>(size));
    }

    // The slot of p, created (count 0) when p is new; -1 when p has a NaN component.
    int insert(Vec3 p) {
        std::uint32_t k[3];
        if (!keyOf(p, k)) return -1;
        std::uint32_t s = hashOf(k) & m_mask;
        for (;;) {
            if (!m_used[s]) {
                m_used[s] = 1;
                m_keys[3 * s] = k[0];
                m_keys[3 * s + 1] = k[1];
                m_keys[3 * s + 2] = k[2];
                m_count[s] = 0;
                m_low[s] = m_high[s] = -1;
                return static_cast<int>(s);
            }
            if (sameKey(s, k)) return static_cast<int>(s);
            s = (s + 1) & m_mask;
        }
    }

    // The slot of p, or -1 when p was never inserted or has a NaN component.
    int find(Vec3 p) const {
        std::uint32_t k[3];
        if (!keyOf(p, k)) return -1;
        std::uint32_t s = hashOf(k) & m_mask;
        while (m_used[s]) {
            if (sameKey(s, k)) return static_cast<int>(s);
            s = (s + 1) & m_mask;
        }
        return -1;
    }

    int& count(int slot) { return m_count[static_cast<size_t>(slot)]; }
    int& low(int slot) { return m_low[static_cast<size_t>(slot)]; }
    int& high(int slot) { return m_high[static_cast<size_t>(slot)]; }

private:
    static bool keyOf(Vec3 p, std::uint32_t k[3]) {
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            if (c[i] != c[i]) return false;  // NaN
            if (c[i] == 0.0f) {
                k[i] = 0;  // -0 == +0
            } else {
                std::memcpy(&k[i], &c[i], sizeof k[i]);
            }
        }
        return true;
    }
    static std::uint32_t hashOf(const std::uint32_t k[3]) {
        std::uint32_t h = k[0] * 0x9E3779B1u;
        h ^= (k[1] + 0x7F4A7C15u) * 0x85EBCA77u;
        h ^= (k[2] + 0x165667B1u) * 0xC2B2AE3Du;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 13;
        return h;
    }
    bool sameKey(std::uint32_t s, const std::uint32_t k[3]) const {
        return m_keys[3 * s] == k[0] && m_keys[3 * s + 1] == k[1] && m_keys[3 * s + 2] == k[2];
    }

    std::uint32_t m_mask = 15;
    FixedArray<unsigned char> m_used{kSlots};
    FixedArray<std::uint32_t> m_keys{3 * static_cast<size_t>(kSlots)};
    FixedArray<int> m_count{kSlots};
    FixedArray<int> m_low{kSlots};
    FixedArray<int> m_high{kSlots};
};

// The one table the panel's commands share (they run one at a time on the UI thread).
PositionHash& sharedPositionHash();

}  // namespace vortel
