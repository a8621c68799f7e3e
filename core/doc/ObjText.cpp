// "%f" and "%d" through std::to_chars, which rounds exactly as printf does;
// infinities and NaNs keep printf's own spelling.
#include "doc/ObjText.h"

#include <charconv>
#include <cmath>
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

size_t formatFixed6(double v, char* out) {
    if (!std::isfinite(v)) return static_cast<size_t>(std::snprintf(out, 330, "%f", v));
    auto res = std::to_chars(out, out + 329, v, std::chars_format::fixed, 6);
    return static_cast<size_t>(res.ptr - out);
}

void ObjTextOut::fixed6(double v) {
    reserve(330);
    m_len += formatFixed6(v, m_buf + m_len);
}

void ObjTextOut::integer(int v) {
    reserve(12);
    auto res = std::to_chars(m_buf + m_len, m_buf + m_len + 12, v);
    m_len = static_cast<size_t>(res.ptr - m_buf);
}

}  // namespace vortel
