// The VCM work file's integers and strings, little-endian whatever the host.
#include "special/VcmFile.h"

#include <algorithm>
#include <cstring>

namespace vortel {

std::string vcmDateText(std::time_t when) {
    char buf[64];
    std::tm local{};
    localtime_r(&when, &local);
    // The ctime form: "%.3s %.3s%3d %.2d:%.2d:%.2d %d".
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::snprintf(buf, sizeof buf, "[%.3s %.3s%3d %.2d:%.2d:%.2d %d]", days[(local.tm_wday % 7 + 7) % 7],
                  months[(local.tm_mon % 12 + 12) % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  1900 + local.tm_year);
    return buf;
}

namespace {
inline void putLe(unsigned char* p, int v) {
    const std::uint32_t u = static_cast<std::uint32_t>(v);
    p[0] = static_cast<unsigned char>(u);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[3] = static_cast<unsigned char>(u >> 24);
}
inline int getLe(const unsigned char* p) {
    const std::uint32_t u = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                            (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    return static_cast<int>(u);
}
}  // namespace

void VcmWriter::bytes(const void* p, size_t n) {
    const unsigned char* src = static_cast<const unsigned char*>(p);
    while (n > 0) {
        if (m_len == sizeof m_buf) flush();
        const size_t take = std::min(n, sizeof m_buf - m_len);
        std::memcpy(m_buf + m_len, src, take);
        m_len += take;
        src += take;
        n -= take;
    }
}

void VcmWriter::integer(int v) {
    unsigned char b[4];
    putLe(b, v);
    bytes(b, 4);
}

void VcmWriter::integers(const int* v, size_t n) {
    unsigned char b[4096];
    while (n > 0) {
        const size_t take = std::min(n, sizeof b / 4);
        for (size_t i = 0; i < take; ++i) putLe(b + 4 * i, v[i]);
        bytes(b, 4 * take);
        v += take;
        n -= take;
    }
}

void VcmWriter::string(const std::string& s) { bytes(s.c_str(), std::strlen(s.c_str()) + 1); }

bool VcmWriter::flush() {
    if (m_len > 0 && std::fwrite(m_buf, 1, m_len, m_file) != m_len) m_ok = false;
    m_len = 0;
    return m_ok;
}

bool VcmReader::integer(int& v) {
    unsigned char b[4];
    if (std::fread(b, 1, 4, m_file) != 4) return false;
    v = getLe(b);
    return true;
}

bool VcmReader::integers(int* v, size_t n) {
    unsigned char b[4096];
    while (n > 0) {
        const size_t take = std::min(n, sizeof b / 4);
        if (std::fread(b, 1, 4 * take, m_file) != 4 * take) return false;
        for (size_t i = 0; i < take; ++i) v[i] = getLe(b + 4 * i);
        v += take;
        n -= take;
    }
    return true;
}

bool VcmReader::string(std::string& s, size_t maxLength) {
    s.clear();
    for (;;) {
        const int c = std::getc(m_file);
        if (c == EOF) return false;
        if (c == 0) return true;
        if (s.size() >= maxLength) return false;
        s.push_back(static_cast<char>(c));
    }
}

}  // namespace vortel
