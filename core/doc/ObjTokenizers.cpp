// Tokenizers and number conversions of the OBJ readers; see ObjTokenizers.h.
#include "doc/ObjTokenizers.h"

#include <charconv>
#include <climits>
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

double cAtof(const char* begin, const char* end) {
    // The text ends at end or at its first NUL, whichever comes first.
    const char* nul = static_cast<const char*>(std::memchr(begin, 0, static_cast<size_t>(end - begin)));
    if (nul) end = nul;
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

int cAtoi(const char* begin, const char* end) {
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

// Tokens separated by single spaces after position 1, each of 1..maxLen characters.
bool takeValues(const char* copy, size_t n, size_t maxLen, float* out, int want) {
    size_t prev = 1;
    int count = 0;
    for (size_t i = 2; i <= n; ++i) {
        if (i != n && copy[i] != ' ') continue;
        size_t len = i - prev - 1;
        if (len < 1 || len > maxLen) return false;
        out[count++] = static_cast<float>(cAtof(copy + prev + 1, copy + i));
        if (count == want) return true;
        prev = i;
    }
    return false;
}

}  // namespace

bool vertexTokenizer(const char* line, float out[3]) {
    char copy[kCrLineBufferSize + 2];
    size_t n = collapseSpaces(line, copy);
    return takeValues(copy, n, 80, out, 3);
}

bool uvTokenizer(const char* line, float out[2]) {
    char src[kCrLineBufferSize + 2];
    size_t len = std::strlen(line);
    if (len > kCrLineBufferSize) len = kCrLineBufferSize;
    std::memcpy(src, line, len);
    src[len] = '\0';
    if (len >= 2) src[1] = ' ';
    char copy[kCrLineBufferSize + 2];
    size_t n = collapseSpaces(src, copy);
    return takeValues(copy, n, 20, out, 2);
}

int faceNumberTokenizer(const char* line, int* list) {
    int count = 0;
    if (!line[0]) return 0;
    const char* text = nullptr;  // start of the pending number text
    for (const char* p = line + 1;; ++p) {
        const char c = *p;
        if (!text) {
            if (c == '\0') break;
            if (c == ' ' || c == '/' || c == 'o') continue;
            text = p;
            continue;
        }
        if (c == '\0' || c == ' ' || c == '/' || c == '\r' || c == '\n') {
            int value = cAtoi(text, p);
            text = nullptr;
            if (value < 1) return count;
            if (count < kNumberListSize) list[count++] = value;
            if (c == '\0') break;
        }
    }
    return count;
}

int cornerForm(const char* line, int numberCount) {
    if (!line[0]) return 1;
    int slashes = 0;
    for (const char* p = line; *p; ++p) {
        if (*p != '/') continue;
        if (p[1] == '/') return 2;
        ++slashes;
    }
    if (slashes == 0) return 1;
    return numberCount / slashes == 2 ? 2 : 3;
}

// ---- line reader ----

namespace {
constexpr size_t kChunkSize = 1 << 20;
}

LineReader::LineReader() : m_chunk(static_cast<unsigned char*>(std::malloc(kChunkSize))) {}
LineReader::~LineReader() { std::free(m_chunk); }

void LineReader::attach(std::FILE* file) {
    m_file = file;
    m_pos = m_len = 0;
}

void LineReader::rewind() {
    if (m_file) std::rewind(m_file);
    m_pos = m_len = 0;
}

bool LineReader::fill() {
    if (!m_file || !m_chunk) return false;
    m_len = std::fread(m_chunk, 1, kChunkSize, m_file);
    m_pos = 0;
    return m_len > 0;
}

bool LineReader::readLf(char* buf) {
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
    return n > 0;
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
