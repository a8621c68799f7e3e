// The VCM work file "VCMTEMP.VCM": binary, written and read in one pass.
//
// Layout, in order: the date string ("[" + ctime text without its line feed
// + "]"), V, F, G, G group names, F face groups, the corner vertex numbers of
// faces 1 .. F (as many per face as it has corners, no count stored), the
// marker string "HERE", V vertex map entries. Integers are signed 32-bit
// little-endian; a string is its bytes followed by one zero byte.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>

namespace vortel {

// "[Sun Dec  6 06:45:41 2026]": the local time as ctime writes it, without its line feed.
std::string vcmDateText(std::time_t when);

// Buffered output; remembers the first failed write.
class VcmWriter {
public:
    explicit VcmWriter(std::FILE* file) : m_file(file) {}
    VcmWriter(const VcmWriter&) = delete;
    VcmWriter& operator=(const VcmWriter&) = delete;

    void integer(int v);
    void integers(const int* v, size_t n);
    void string(const std::string& s);  // up to its first zero byte, then a zero byte
    // Writes what is buffered; true when every write so far succeeded.
    bool flush();

private:
    void bytes(const void* p, size_t n);
    std::FILE* m_file;
    unsigned char m_buf[1 << 16];
    size_t m_len = 0;
    bool m_ok = true;
};

// Input that reports every short read; a string longer than its limit, or
// without its zero byte before the end of the file, is malformed.
class VcmReader {
public:
    explicit VcmReader(std::FILE* file) : m_file(file) {}
    bool integer(int& v);
    bool integers(int* v, size_t n);
    bool string(std::string& s, size_t maxLength);

private:
    std::FILE* m_file;
};

// Longest string a map file may hold (the names come from lines of the reader's 1000-byte buffer).
inline constexpr size_t kMaxVcmString = 1000;

}  // namespace vortel
