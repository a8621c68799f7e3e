// Segmented reading of large OBJ files. The file is cut at line starts into a
// first part, which the reader reads as usual, and later segments, which a
// second thread tokenizes ahead into values and number lists. The reader then
// stores each segment's tokens statement by statement in file order, so the
// document, the limits and the messages come out exactly as when every line is
// read in turn. A segment nobody has begun yet the reader reads itself; while
// it waits for the thread, it tokenizes a later segment.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "doc/ObjStatements.h"
#include "doc/ObjTokenizers.h"

namespace vortel {

// How a run of lines ended. CrSwitch: a line too long for LF line mode.
enum class ObjRunEnd { Done, Stopped, CrSwitch };

// The OBJ reader's loop: reads the reader's lines to its end (ObjReader.cpp).
ObjRunEnd readObjLines(CVELTADoc& doc, ReadState& st, LineReader& reader, char* line);

struct ObjSegmentTuning {
    long long minFileBytes = 1 << 20;  // smaller files are read in one piece
    int segments = 32;                 // segments after the first
    double firstShare = 0.2;           // share of the file in the first part
    bool readerWaits = false;          // the reader never reads a segment as lines (for tests)
};
// The tuning in force for every later load.
ObjSegmentTuning& objSegmentTuning();

// How the last OBJ load was read: its segments (0: in one piece) and how many
// of them were stored from the thread's tokens.
struct ObjSegmentRecord {
    int segments = 0;
    int storedFromTokens = 0;
};
ObjSegmentRecord& lastObjSegmentRecord();

class ObjSegmentReader {
public:
    static constexpr int kMaxSegments = 64;

    ObjSegmentReader();
    ~ObjSegmentReader();
    ObjSegmentReader(const ObjSegmentReader&) = delete;
    ObjSegmentReader& operator=(const ObjSegmentReader&) = delete;

    // Cuts a regular file large enough into segments and starts the thread;
    // false: the file is read in one piece.
    bool start(std::FILE* file, const std::string& path);
    int count() const { return m_count; }
    size_t firstLength() const { return length(0); }
    long offset(int i) const { return static_cast<long>(m_bounds[i]); }
    size_t length(int i) const { return static_cast<size_t>(m_bounds[i + 1] - m_bounds[i]); }
    // Takes segment i into the document, after segments 0..i-1: reads its lines
    // with the reader when nobody has begun it (or the thread could not read it),
    // otherwise stores its tokens. `line` is the reader's padded line buffer.
    ObjRunEnd readSegment(CVELTADoc& doc, ReadState& st, int i, LineReader& reader, char* line);
    // Stops the thread after its current segment and waits for it.
    void finish();

    // A segment's statements: one kind each, with their values, face numbers and names in order.
    struct Tokens {
        std::vector<unsigned char> kinds;
        std::vector<float> values;   // three per vertex, two per UV
        std::vector<int> numbers;    // per face: count, form, then the count numbers
        std::vector<std::string> names;
        void clear();
    };

private:
    void run();
    // Tokenizes segment i with the reader given; false when it could not be read.
    bool tokenizeSegment(int i, LineReader& reader, char* line, int* numberList);
    ObjRunEnd store(CVELTADoc& doc, ReadState& st, int i);
    // The reader tokenizes the first segment after i that nobody has begun; false when none is left.
    bool helpAfter(int i, LineReader& reader, char* line);

    enum : int { kFree, kThread, kReader, kDone, kGivenBack };
    std::string m_path;
    int m_count = 0;
    long long m_bounds[kMaxSegments + 2] = {};
    std::atomic<int> m_state[kMaxSegments + 1];
    std::atomic<bool> m_abort{false};
    std::vector<Tokens> m_tokens;
    std::thread m_thread;
    // The thread's own reader, line buffer (padded like the reader's) and number
    // list, and the reader's number list for the segments it tokenizes.
    LineReader m_threadReader;
    char m_threadLine[kCrLineBufferSize + kLinePadding] = {};
    int m_threadNumbers[kNumberListSize] = {};
    int m_readerNumbers[kNumberListSize] = {};
};

}  // namespace vortel
