// Exact-position hash of the special panel's searches ("VCM GEN", "FUSION").
//
// A key is the bit pattern of three floats, taken so that the hash finds
// exactly the positions that `==` on every component finds: minus zero is
// stored as zero, and a position with a NaN component is never stored nor
// found, since NaN equals nothing. Each key is held by the first id (a vertex
// position, 0-based) inserted with it; callers keep their per-key data in
// arrays indexed by that id.
//
// Open addressing with linear probing over 8-byte slots (the id and 32 more
// bits of the hash, which settle most probes without reading the key), so
// the whole table of 2^18 slots stays at 2 MB; the keys are kept per id. All
// storage is allocated once, for the 130,000-vertex capacity.
#pragma once

#include <algorithm>
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
        std::fill(m_slots.data(), m_slots.data() + size, Slot{-1, 0});
    }

    // Inserts p under `id` (0 .. 130,000, each id once) unless a key equal to
    // p's is there already. Returns the id that holds p's key (`id` itself when
    // the key is new), or -1 when p has a NaN component.
    int insert(Vec3 p, int id) {
        Key k;
        if (!keyOf(p, k)) return -1;
        const std::uint64_t h = hashOf(k);
        const std::uint32_t tag = static_cast<std::uint32_t>(h >> 32);
        for (std::uint32_t s = static_cast<std::uint32_t>(h) & m_mask;; s = (s + 1) & m_mask) {
            Slot& slot = m_slots[s];
            if (slot.id < 0) {
                slot = Slot{id, tag};
                m_keys[id] = k;
                return id;
            }
            if (slot.tag == tag && m_keys[slot.id] == k) return slot.id;
        }
    }

    // The id that holds p's key, or -1 when none does or p has a NaN component.
    int find(Vec3 p) const {
        Key k;
        if (!keyOf(p, k)) return -1;
        const std::uint64_t h = hashOf(k);
        const std::uint32_t tag = static_cast<std::uint32_t>(h >> 32);
        for (std::uint32_t s = static_cast<std::uint32_t>(h) & m_mask;; s = (s + 1) & m_mask) {
            const Slot& slot = m_slots[s];
            if (slot.id < 0) return -1;
            if (slot.tag == tag && m_keys[slot.id] == k) return slot.id;
        }
    }

    // Asks the memory for the slot where p's probe starts, some keys ahead of its use.
    void prefetch(Vec3 p) const {
        Key k;
        if (keyOf(p, k)) __builtin_prefetch(&m_slots[static_cast<std::uint32_t>(hashOf(k)) & m_mask]);
    }

private:
    struct Key {
        std::uint32_t w[3];
        bool operator==(const Key& o) const { return w[0] == o.w[0] && w[1] == o.w[1] && w[2] == o.w[2]; }
    };
    struct Slot {
        int id;
        std::uint32_t tag;
    };

    static bool keyOf(Vec3 p, Key& k) {
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            if (c[i] != c[i]) return false;  // NaN
            if (c[i] == 0.0f) {
                k.w[i] = 0;  // -0 == +0
            } else {
                std::memcpy(&k.w[i], &c[i], sizeof k.w[i]);
            }
        }
        return true;
    }
    // The three words through a 64-bit finaliser: coordinates of a mesh share
    // many bits (rows of equal z, columns of equal x), so every bit must mix.
    static std::uint64_t hashOf(const Key& k) {
        std::uint64_t x = static_cast<std::uint64_t>(k.w[0]) | static_cast<std::uint64_t>(k.w[1]) << 32;
        x ^= static_cast<std::uint64_t>(k.w[2]) * 0x9E3779B97F4A7C15ull;
        x ^= x >> 31;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 27;
        x *= 0x94D049BB133111EBull;
        x ^= x >> 31;
        return x;
    }

    std::uint32_t m_mask = 15;
    FixedArray<Slot> m_slots{kSlots};
    FixedArray<Key> m_keys{kVertexSlots};
};

}  // namespace vortel
