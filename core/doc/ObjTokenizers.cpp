// Tokenizers and number conversions of the OBJ readers; see ObjTokenizers.h.
#include "doc/ObjTokenizers.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace vortel {
namespace {

inline bool cIsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
inline bool isDigit(char c) { return c >= '0' && c <= '9'; }

double slowAtof(const char* begin, const char* end) {
    char tmp[kCrLineBufferSize + 2];
    size_t n = static_cast<size_t>(end - begin);
    if (n > sizeof tmp - 1) n = sizeof tmp - 1;
    std::memcpy(tmp, begin, n);
    tmp[n] = '\0';
    return std::strtod(tmp, nullptr);
}

}  // namespace

namespace {

const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
const std::uint64_t kPow10Int[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// The run of up to eight digits at p, read eight bytes at a time (the caller
// guarantees eight readable bytes): the number of digits and their value.
inline int digitRun8(const char* p, std::uint64_t& value) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    const std::uint64_t t = v ^ 0x3030303030303030ull;  // digits become 0..9
    const std::uint64_t nonDigit = (((t & 0x7F7F7F7F7F7F7F7Full) + 0x7676767676767676ull) | t) & 0x8080808080808080ull;
    const int n = nonDigit ? __builtin_ctzll(nonDigit) >> 3 : 8;
    if (n == 0) {
        value = 0;
        return 0;
    }
    std::uint64_t d = t << (8 * (8 - n));  // the digits last, zeros (leading zeros) before them
    d = d * 10 + (d >> 8);
    d = (((d & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
         (((d >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >> 32;
    value = static_cast<std::uint32_t>(d);
    return n;
}

// Clinger's fast path: a plain "ddd.ddd" (sign allowed, no exponent) with at
// most 19 significant digits and 22 decimals is an exact integer divided by an
// exact power of ten, rounded once: the correctly rounded value strtod gives.
// False when the text is anything else; q is where the number ended. With
// kPadded the text lies in a buffer with 16 readable bytes past its end.
template <bool kPadded>
inline bool simpleDecimal(const char* p, double& value, const char*& q) {
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    if (!isDigit(*p) && !(*p == '.' && isDigit(p[1]))) return false;
    if (*p == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
    if constexpr (kPadded) {
        std::uint64_t whole = 0, fraction = 0;
        const char* r = p;
        // The whole part of a coordinate is short: digit by digit; the six
        // decimals of "%f" eight at a time.
        int wholeDigits = 0;
        while (isDigit(*r) && wholeDigits < 8) {
            whole = whole * 10 + static_cast<unsigned>(*r++ - '0');
            ++wholeDigits;
        }
        int fractionDigits = 0;
        if (wholeDigits < 8 && *r == '.') {
            fractionDigits = digitRun8(r + 1, fraction);
            r += 1 + fractionDigits;
        }
        if (wholeDigits < 8 && fractionDigits < 8 && *r != 'e' && *r != 'E') {
            // At most 14 digits: the mantissa is exact.
            const double v = static_cast<double>(whole * kPow10Int[fractionDigits] + fraction) / kPow10[fractionDigits];
            value = negative ? -v : v;
            q = r;
            return true;
        }
    }
    unsigned long long m = 0;
    int digits = 0, fraction = 0;
    while (*p == '0') ++p;  // leading zeros carry no significance
    while (isDigit(*p)) {
        m = m * 10 + static_cast<unsigned>(*p++ - '0');
        ++digits;
    }
    if (*p == '.') {
        ++p;
        if (digits == 0)
            while (*p == '0') {
                ++p;
                ++fraction;
            }
        while (isDigit(*p)) {
            m = m * 10 + static_cast<unsigned>(*p++ - '0');
            ++digits;
            ++fraction;
        }
    }
    if (*p == 'e' || *p == 'E' || digits > 19 || fraction > 22 || m > (1ull << 53)) return false;
    const double v = static_cast<double>(m) / kPow10[fraction];
    value = negative ? -v : v;
    q = p;
    return true;
}

// atof of [begin, end) where the range holds no NUL.
double atofRange(const char* begin, const char* end) {
    const char* p = begin;
    while (p < end && cIsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p >= end) return 0.0;  // a sign alone converts nothing
    // Plain decimal text takes the fast path; hex, inf and nan go to strtod.
    bool decimal = isDigit(*p) || (*p == '.' && p + 1 < end && isDigit(p[1]));
    if (decimal && *p == '0' && p + 1 < end && (p[1] == 'x' || p[1] == 'X')) decimal = false;
    if (!decimal) return slowAtof(begin, end);
    double v = 0.0;
    auto res = std::from_chars(p, end, v, std::chars_format::general);
    if (res.ec != std::errc()) return slowAtof(begin, end);
    return negative ? -v : v;
}

}  // namespace

double cAtof(const char* begin, const char* end) {
    // The text ends at end or at its first NUL, whichever comes first.
    const char* nul = static_cast<const char*>(std::memchr(begin, 0, static_cast<size_t>(end - begin)));
    return atofRange(begin, nul ? nul : end);
}

int cAtoi(const char* begin, const char* end) {
    // Up to nine plain digits cannot overflow: the common case of face numbers.
    if (begin < end && isDigit(*begin)) {
        int v = 0;
        const char* p = begin;
        while (p < end && p - begin < 9 && isDigit(*p)) v = v * 10 + (*p++ - '0');
        if (p == end || !isDigit(*p)) return v;
    }
    // glibc: (int) strtol(text, NULL, 10), saturating at LONG_MIN / LONG_MAX.
    const char* p = begin;
    while (p < end && *p && cIsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    unsigned long acc = 0;
    bool overflow = false;
    const unsigned long limit = negative ? static_cast<unsigned long>(LONG_MAX) + 1ul : static_cast<unsigned long>(LONG_MAX);
    for (; p < end && isDigit(*p); ++p) {
        unsigned d = static_cast<unsigned>(*p - '0');
        if (overflow || acc > (limit - d) / 10) {
            overflow = true;
            continue;
        }
        acc = acc * 10 + d;
    }
    if (overflow) acc = limit;
    unsigned long bits = negative ? (0ul - acc) : acc;
    return static_cast<int>(static_cast<unsigned int>(bits));
}

namespace {

// Copies the line with every space that is followed by another space dropped.
size_t collapseSpaces(const char* line, char* copy) {
    size_t n = 0;
    for (size_t i = 0; line[i]; ++i) {
        if (line[i] == ' ' && line[i + 1] == ' ') continue;
        copy[n++] = line[i];
    }
    copy[n] = '\0';
    return n;
}

// The same tokens read straight from the line, for lines whose separators are
// single spaces (position 1 is taken as a separator whatever it holds). A run
// of spaces, which the collapsed copy would shrink, hands the line back: the
// result is then -1 and the caller takes the copy.
template <bool kPadded>
int takeValuesInPlace(const char* s, size_t maxLen, float* out, int want) {
    if (s[2] == ' ' && s[1] == ' ') return -1;
    const char* tokenStart = s + 2;
    int count = 0;
    for (;;) {
        double value = 0.0;
        const char* e = tokenStart;
        const bool simple = simpleDecimal<kPadded>(tokenStart, value, e);
        if (!simple) e = tokenStart;
        while (*e && *e != ' ') ++e;
        const size_t len = static_cast<size_t>(e - tokenStart);
        if (len < 1 || len > maxLen) return 0;
        if (!simple) value = atofRange(tokenStart, e);
        out[count++] = static_cast<float>(value);
        if (count == want) return 1;
        if (!*e) return 0;
        if (e[1] == ' ') return -1;
        tokenStart = e + 1;
    }
}

// The rule itself: the tokens of the collapsed copy. A copy has no run of
// spaces, so the in-place reading never hands it back.
bool takeCollapsed(const char* line, size_t maxLen, float* out, int want) {
    char copy[kCrLineBufferSize + 2];
    if (collapseSpaces(line, copy) < 2) return false;
    return takeValuesInPlace<false>(copy, maxLen, out, want) == 1;
}

}  // namespace

bool vertexTokenizer(const char* line, float out[3], bool padded) {
    int fast = 0;
    if (line[0] && line[1])
        fast = padded ? takeValuesInPlace<true>(line, 80, out, 3) : takeValuesInPlace<false>(line, 80, out, 3);
    if (fast >= 0) return fast == 1;
    return takeCollapsed(line, 80, out, 3);
}

bool uvTokenizer(const char* line, float out[2], bool padded) {
    // Position 1 becomes a space; when position 2 is a space too, the copy
    // drops one of them and reads as the line seen from position 1.
    if (line[0] && line[1]) {
        const char* view = line[2] == ' ' ? line + 1 : line;
        int fast = 0;
        if (view[1])
            fast = padded ? takeValuesInPlace<true>(view, 20, out, 2) : takeValuesInPlace<false>(view, 20, out, 2);
        if (fast >= 0) return fast == 1;
    }
    char src[kCrLineBufferSize + 2];
    size_t len = std::strlen(line);
    if (len > kCrLineBufferSize) len = kCrLineBufferSize;
    std::memcpy(src, line, len);
    src[len] = '\0';
    if (len >= 2) src[1] = ' ';
    return takeCollapsed(src, 20, out, 2);
}

namespace {

// One scan for the face-number tokenizer and, when wanted, the '/' count of
// the corner form (which looks at the whole line, also past an early stop).
template <bool kCountSlashes>
int scanFaceNumbers(const char* line, int* list, int* slashes, bool* doubleSlash) {
    int count = 0;
    if (!line[0]) return 0;
    const char* text = nullptr;  // start of the pending number text
    int plainValue = 0, plainDigits = 0;  // the text so far when it is up to nine digits
    const char* p = line + 1;
    for (;; ++p) {
        const char c = *p;
        if (kCountSlashes && c == '/') {
            if (p[1] == '/') *doubleSlash = true;
            ++*slashes;
        }
        if (!text) {
            if (c == '\0') break;
            if (c == ' ' || c == '/' || c == 'o') continue;
            text = p;
            plainDigits = isDigit(c) ? 1 : -1;
            plainValue = c - '0';
            continue;
        }
        if (c == '\0' || c == ' ' || c == '/' || c == '\r' || c == '\n') {
            int value = plainDigits > 0 ? plainValue : cAtoi(text, p);
            text = nullptr;
            if (value < 1) break;
            if (count < kNumberListSize) list[count++] = value;
            if (c == '\0') break;
        } else if (plainDigits > 0) {
            if (isDigit(c) && plainDigits < 9) {
                plainValue = plainValue * 10 + (c - '0');
                ++plainDigits;
            } else {
                plainDigits = -1;  // anything else: the C library's reading decides
            }
        }
    }
    if (kCountSlashes && *p)
        for (++p; *p; ++p)
            if (*p == '/') {
                if (p[1] == '/') *doubleSlash = true;
                ++*slashes;
            }
    return count;
}

int formFromSlashes(int numberCount, int slashes, bool doubleSlash) {
    if (doubleSlash) return 2;
    if (slashes == 0) return 1;
    return numberCount / slashes == 2 ? 2 : 3;
}

}  // namespace

int faceNumberTokenizer(const char* line, int* list) {
    return scanFaceNumbers<false>(line, list, nullptr, nullptr);
}

int cornerForm(const char* line, int numberCount) {
    if (!line[0]) return 1;
    int slashes = 0;
    for (const char* p = line; *p; ++p) {
        if (*p != '/') continue;
        if (p[1] == '/') return 2;
        ++slashes;
    }
    return formFromSlashes(numberCount, slashes, false);
}

namespace {

// The common face line: numbers of at most nine digits, each followed by a
// blank, '/', CR, LF or the end, between runs of blanks and slashes. Anything
// else (letters, tabs, signs, zeros that end the list) returns -1 and the
// general scan decides.
template <bool kPadded>
inline int plainNumber(const char*& p) {
    int value = 0;
    if constexpr (kPadded) {
        std::uint64_t run = 0;
        const int n = digitRun8(p, run);
        if (n == 8) return -1;  // no vertex number is that long; the general scan decides
        p += n;
        return static_cast<int>(run);
    } else {
        const char* start = p;
        while (isDigit(*p)) {
            if (p - start == 9) return -1;
            value = value * 10 + (*p++ - '0');
        }
        return value;
    }
}

template <bool kPadded>
int plainFaceNumbers(const char* line, int* list, int& slashes, bool& doubleSlash) {
    int count = 0;
    const char* p = line + 1;
    char c = *p;
    for (;;) {
        while (c == ' ' || c == '/' || c == 'o') {
            if (c == '/') {
                ++slashes;
                if (p[1] == '/') doubleSlash = true;
            }
            c = *++p;
        }
        if (c >= '1' && c <= '9') {
            // Numbers parted by one blank or one slash, the usual "f 1/1 2/2 3/3".
            for (;;) {
                const int value = plainNumber<kPadded>(p);
                if (value < 0 || count >= kNumberListSize) return -1;
                list[count++] = value;
                c = *p;
                if (c == '/') {
                    ++slashes;
                    if (p[1] == '/') doubleSlash = true;
                } else if (c != ' ') {
                    if (c == 'o') return -1;  // an 'o' right after digits belongs to the number text
                    break;
                }
                c = *++p;
                if (c < '1' || c > '9') break;
            }
            if (c == ' ' || c == '/' || c == 'o') continue;
        }
        if (c == '\0') return count;
        if (c == '\r' || c == '\n') {
            // A line end, after a number or where one could start, ends the list.
            if (c == '\r' && p[1] == '\n') ++p;
            return p[1] == '\0' ? count : -1;
        }
        return -1;  // anything else: the general scan decides
    }
}

}  // namespace

int faceNumbersAndForm(const char* line, int* list, int& form, bool padded) {
    if (line[0]) {
        int slashes = 0;
        bool doubleSlash = false;
        const int count = padded ? plainFaceNumbers<true>(line, list, slashes, doubleSlash)
                                 : plainFaceNumbers<false>(line, list, slashes, doubleSlash);
        if (count >= 0) {
            form = formFromSlashes(count, slashes, doubleSlash);
            return count;
        }
    }
    int slashes = 0;
    bool doubleSlash = false;
    const int count = scanFaceNumbers<true>(line, list, &slashes, &doubleSlash);
    form = line[0] ? formFromSlashes(count, slashes, doubleSlash) : 1;
    return count;
}

// ---- line reader ----

namespace {
constexpr size_t kChunkSize = 1 << 20;
}

LineReader::LineReader() : m_chunk(static_cast<unsigned char*>(std::malloc(kChunkSize))) {}
LineReader::~LineReader() { std::free(m_chunk); }

void LineReader::attach(std::FILE* file) {
    m_file = file;
    m_memory = nullptr;
    m_memorySize = m_memoryPos = 0;
    m_pos = m_len = 0;
}

void LineReader::attachMemory(const char* data, size_t size) {
    m_file = nullptr;
    m_memory = data;
    m_memorySize = data ? size : 0;
    m_memoryPos = 0;
    m_pos = m_len = 0;
}

void LineReader::rewind() {
    if (m_file) std::rewind(m_file);
    m_memoryPos = 0;
    m_pos = m_len = 0;
}

bool LineReader::fill() {
    if (!m_chunk) return false;
    if (m_memory) {
        // Copied chunk by chunk like a file, so both sources give the same lines.
        m_len = m_memorySize - m_memoryPos < kChunkSize ? m_memorySize - m_memoryPos : kChunkSize;
        std::memcpy(m_chunk, m_memory + m_memoryPos, m_len);
        m_memoryPos += m_len;
    } else {
        if (!m_file) return false;
        m_len = std::fread(m_chunk, 1, kChunkSize, m_file);
    }
    m_pos = 0;
    return m_len > 0;
}

size_t LineReader::readLf(char* buf) {
    size_t n = 0;
    const size_t max = kLineBufferSize - 1;
    while (n < max) {
        if (m_pos >= m_len && !fill()) break;
        size_t avail = m_len - m_pos;
        if (avail > max - n) avail = max - n;
        const unsigned char* start = m_chunk + m_pos;
        const void* lf = std::memchr(start, '\n', avail);
        size_t take = lf ? static_cast<size_t>(static_cast<const unsigned char*>(lf) - start) + 1 : avail;
        std::memcpy(buf + n, start, take);
        n += take;
        m_pos += take;
        if (lf) break;
    }
    buf[n] = '\0';
    return n;
}

int LineReader::readCr(char* buf) {
    std::memset(buf, 0, kCrLineBufferSize);
    int i = 0;
    for (;;) {
        if (m_pos >= m_len && !fill()) return 0;
        const char c = static_cast<char>(m_chunk[m_pos++]);
        if (c == '\r') {
            buf[i] = '\n';
            return i + 1;
        }
        if (i == 1000) return 0;
        buf[i++] = c;
    }
}

}  // namespace vortel
