// Buffered OBJ text output with the printf conversions the formats name:
// "%f" (fixed, six decimals) and "%d", byte for byte what printf writes.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace vortel {

class ObjTextOut {
public:
    explicit ObjTextOut(std::FILE* file);
    // Text gathered in memory, appended to `sink`, for the writer's second thread.
    explicit ObjTextOut(std::vector<char>& sink);
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
    // Text already gathered elsewhere: written as it is, after the text before it, without a copy here.
    void gathered(const std::vector<char>& text);
    void fixed6(double v);  // "%f"
    void integer(int v);    // "%d"
    void flush();

    static constexpr size_t kSize = 1 << 20;

private:
    void reserve(size_t n) {
        if (m_len + n > kSize) flush();
    }
    std::FILE* m_file = nullptr;
    std::vector<char>* m_sink = nullptr;
    char* m_buf;
    size_t m_len = 0;
};

// Save As writes a mesh of at least this many vertex, texture and face lines on
// two threads: the later part of each section is gathered in memory on the
// second thread and written after the first. Tests lower it.
struct ObjWriterTuning {
    long long twoThreadLines = 100000;
};
ObjWriterTuning& objWriterTuning();

// "%f" of v into out (at least 330 bytes writable); returns the length.
size_t formatFixed6(double v, char* out);

}  // namespace vortel
