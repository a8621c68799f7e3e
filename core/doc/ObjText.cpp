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
    static char* buf = static_cast<char*>(std::malloc(ObjTextOut::kSize));
    return buf;
}
}  // namespace

ObjTextOut::ObjTextOut(std::FILE* file) : m_file(file), m_buf(sharedBuffer()) {}

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
    int e = 0;
    const double frac = std::frexp(std::fabs(v), &e);  // |v| = frac * 2^e, frac in [0.5, 1)
    const std::uint64_t m = static_cast<std::uint64_t>(std::ldexp(frac, 53));
    e -= 53;
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
    char buf[40];
    char* end = buf + sizeof buf;
    char* p = end;
    std::uint64_t fraction = q % 1000000u;
    for (int i = 0; i < 6; i += 2) {
        const unsigned pair = static_cast<unsigned>(fraction % 100) * 2;
        fraction /= 100;
        *--p = kDigitPairs[pair + 1];
        *--p = kDigitPairs[pair];
    }
    *--p = '.';
    p = writeBackwards(p, q / 1000000u);
    if (std::signbit(v)) *--p = '-';
    const size_t n = static_cast<size_t>(end - p);
    std::memcpy(out, p, n);
    return n;
}

void ObjTextOut::fixed6(double v) {
    reserve(330);
    m_len += formatFixed6(v, m_buf + m_len);
}

void ObjTextOut::integer(int v) {
    reserve(12);
    char buf[12];
    char* end = buf + sizeof buf;
    const std::uint64_t magnitude = v < 0 ? 0ull - static_cast<std::uint64_t>(static_cast<std::int64_t>(v)) : static_cast<std::uint64_t>(v);
    char* p = writeBackwards(end, magnitude);
    if (v < 0) *--p = '-';
    const size_t n = static_cast<size_t>(end - p);
    std::memcpy(m_buf + m_len, p, n);
    m_len += n;
}

}  // namespace vortel
