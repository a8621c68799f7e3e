// "%f" and "%d" through std::to_chars, which rounds exactly as printf does;
// infinities and NaNs keep printf's own spelling.
#include "doc/ObjText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vortel {

namespace {
// One output buffer for the whole run, as the writer's other working tables.
char* sharedBuffer() {
    static char* buf = static_cast<char*>(std::malloc(ObjTextOut::kSize + 64));
    return buf;
}
}  // namespace

ObjTextOut::ObjTextOut(std::FILE* file) : m_file(file), m_buf(sharedBuffer()) {
    // The text is gathered here already: let fwrite hand it straight to the system.
    if (m_file) std::setvbuf(m_file, nullptr, _IONBF, 0);
}

ObjTextOut::~ObjTextOut() { flush(); }

void ObjTextOut::flush() {
    if (m_len && m_file) std::fwrite(m_buf, 1, m_len, m_file);
    m_len = 0;
}

void ObjTextOut::text(const char* s, size_t n) {
    while (n) {
        if (m_len >= kSize) flush();
        size_t take = kSize - m_len < n ? kSize - m_len : n;
        std::memcpy(m_buf + m_len, s, take);
        m_len += take;
        s += take;
        n -= take;
    }
}

namespace {

const char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

inline int decimalDigits(std::uint64_t n) {
    int d = 1;
    while (n >= 10000) {
        n /= 10000;
        d += 4;
    }
    if (n >= 1000) return d + 3;
    if (n >= 100) return d + 2;
    if (n >= 10) return d + 1;
    return d;
}

// Decimal digits of n, written backwards from end; returns the new start.
inline char* writeBackwards(char* end, std::uint64_t n) {
    while (n >= 100) {
        const unsigned pair = static_cast<unsigned>(n % 100) * 2;
        n /= 100;
        *--end = kDigitPairs[pair + 1];
        *--end = kDigitPairs[pair];
    }
    if (n >= 10) {
        *--end = kDigitPairs[n * 2 + 1];
        *--end = kDigitPairs[n * 2];
    } else {
        *--end = static_cast<char>('0' + n);
    }
    return end;
}

}  // namespace

size_t formatFixed6(double v, char* out) {
    if (!std::isfinite(v)) return static_cast<size_t>(std::snprintf(out, 330, "%f", v));
    // Exact: |v| = m * 2^e, and the six-decimal value is m * 10^6 * 2^e rounded
    // half to even, as printf rounds the exact binary value.
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t m = bits & ((1ull << 52) - 1);
    int e = 0;
    if (biased == 0) {
        e = -1074;  // subnormal: no implicit bit
    } else {
        m |= 1ull << 52;
        e = biased - 1075;
    }
    std::uint64_t q = 0;
    bool fast = true;
    if (m == 0) {
        q = 0;
    } else if (e >= 0) {
        fast = e <= 10 && m <= (~0ull >> e) / 1000000u;
        if (fast) q = (m << e) * 1000000u;
    } else {
        const int k = -e;
        if (k >= 74) {
            q = 0;  // below half of 10^-6
        } else {
            const unsigned __int128 n = static_cast<unsigned __int128>(m) * 1000000u;
            const unsigned __int128 whole = n >> k;
            const unsigned __int128 rest = n - (whole << k);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (k - 1);
            fast = whole < (static_cast<unsigned __int128>(1) << 63);
            q = static_cast<std::uint64_t>(whole);
            if (rest > half || (rest == half && (q & 1))) ++q;
        }
    }
    if (!fast) {
        auto res = std::to_chars(out, out + 329, v, std::chars_format::fixed, 6);
        return static_cast<size_t>(res.ptr - out);
    }
    // Written in place, backwards from the end of the text.
    const std::uint64_t whole = q / 1000000u;
    const size_t length = (std::signbit(v) ? 1u : 0u) + static_cast<size_t>(decimalDigits(whole)) + 7u;
    char* end = out + length;
    char* p = end;
    std::uint64_t fraction = q % 1000000u;
    for (int i = 0; i < 6; i += 2) {
        const unsigned pair = static_cast<unsigned>(fraction % 100) * 2;
        fraction /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    *--p = '.';
    p = writeBackwards(p, whole);
    if (std::signbit(v)) *--p = '-';
    return length;
}

void ObjTextOut::fixed6(double v) {
    reserve(330);
    m_len += formatFixed6(v, m_buf + m_len);
}

void ObjTextOut::displayVertex(const Vec3& d, double scale, const Vec3& centre) {
    literal("v ");
    fixed6(static_cast<double>(d.x) / scale + centre.x);
    ch(' ');
    fixed6(static_cast<double>(d.y) / scale + centre.y);
    ch(' ');
    fixed6(static_cast<double>(d.z) / scale + centre.z);
    ch('\n');
}

void ObjTextOut::integer(int v) {
    reserve(16);
    const std::uint64_t magnitude = v < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(v)) : static_cast<std::uint64_t>(v);
    const size_t length = (v < 0 ? 1u : 0u) + static_cast<size_t>(decimalDigits(magnitude));
    char* p = writeBackwards(m_buf + m_len + length, magnitude);
    if (v < 0) *--p = '-';
    m_len += length;
}

}  // namespace vortel
