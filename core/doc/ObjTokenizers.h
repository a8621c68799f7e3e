// OBJ line tokenizers, the corner form, the C library number conversions and
// the line readers, shared by the OBJ, morph target, prop and seed readers.
//
// A line is a NUL-terminated buffer as the line reader left it; every
// tokenizer stops at the first NUL, as the C string functions do.
#pragma once

#include <cstddef>
#include <cstdio>

namespace vortel {

inline constexpr int kLineBufferSize = 1000;   // fgets buffer: at most 999 bytes a line
inline constexpr int kCrLineBufferSize = 1002;  // 1001 bytes of the CR reader plus a terminator
inline constexpr int kNumberListSize = 1000;

// Exactly what atof / atoi give for the text [begin, end), read as if a NUL stood at end.
double cAtof(const char* begin, const char* end);
int cAtoi(const char* begin, const char* end);

// With padded, the line lies in a buffer with kLinePadding readable bytes
// past its terminating NUL, and the digits are read eight at a time.
inline constexpr int kLinePadding = 16;

// Vertex tokenizer: true and three values, or false ("INPUT ERR:Vertex NON 3D").
bool vertexTokenizer(const char* line, float out[3], bool padded = false);
// UV tokenizer: true and u, v, or false ("UV Format ERROR").
bool uvTokenizer(const char* line, float out[2], bool padded = false);
// Face-number tokenizer: count of numbers, stored in list (kNumberListSize entries).
int faceNumberTokenizer(const char* line, int* list);
// Corner form: 1, 2 or 3 numbers per corner ("FlineType").
int cornerForm(const char* line, int numberCount);
// Both in one scan of the line, for the readers' hot loop.
int faceNumbersAndForm(const char* line, int* list, int& form, bool padded = false);

// Buffered line source over one open file or a buffer in memory, allocated once and reused.
class LineReader {
public:
    LineReader();
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    void attach(std::FILE* file);
    // Reads `size` bytes at `data` (not copied: they must outlive the reading).
    void attachMemory(const char* data, size_t size);
    // Back to the start of the file, reading to its end.
    void rewind();
    // fgets(buf, 1000, file): up to 999 bytes, through the first LF; NUL-terminated.
    // The number of bytes read (a NUL among them ends the line for strlen); 0 at end of file.
    size_t readLf(char* buf);
    // CR line reader: buf (kCrLineBufferSize) cleared, bytes up to a CR, which is
    // stored as LF. 0 at end of file or on a 1001st byte without CR.
    int readCr(char* buf);

private:
    bool fill();
    std::FILE* m_file = nullptr;
    unsigned char* m_chunk;
    size_t m_pos = 0;
    size_t m_len = 0;
    const char* m_memory = nullptr;
    size_t m_memorySize = 0;
    size_t m_memoryPos = 0;
};

}  // namespace vortel
