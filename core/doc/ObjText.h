// Buffered OBJ text output with the printf conversions the formats name:
// "%f" (fixed, six decimals) and "%d", byte for byte what printf writes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "geometry/Vector.h"

namespace vortel {

class ObjTextOut {
public:
    explicit ObjTextOut(std::FILE* file);
    ~ObjTextOut();
    ObjTextOut(const ObjTextOut&) = delete;
    ObjTextOut& operator=(const ObjTextOut&) = delete;

    void text(const char* s, size_t n);
    // A short constant such as "v " or "vt ": stored byte by byte, no library call.
    template <size_t N>
    void literal(const char (&s)[N]) {
        reserve(N);
        for (size_t i = 0; i + 1 < N; ++i) m_buf[m_len++] = s[i];
    }
    void text(const std::string& s) { text(s.data(), s.size()); }
    void ch(char c) {
        if (m_len >= kSize) flush();
        m_buf[m_len++] = c;
    }
    void fixed6(double v);  // "%f"
    void integer(int v);    // "%d"
    // "v %f %f %f\n" of a display position taken back to the mesh's file units:
    // each coordinate / scale + the centre's.
    void displayVertex(const Vec3& d, double scale, const Vec3& centre);
    void flush();

    static constexpr size_t kSize = 1 << 20;

private:
    void reserve(size_t n) {
        if (m_len + n > kSize) flush();
    }
    std::FILE* m_file = nullptr;
    char* m_buf;
    size_t m_len = 0;
};

// "%f" of v into out (at least 330 bytes writable); returns the length.
size_t formatFixed6(double v, char* out);

}  // namespace vortel
