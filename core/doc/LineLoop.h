// LineLoop: the one way VORTEL's OBJ-like readers (mesh, morph target,
// prop/hair, seed) read their lines.
//
// Lines come from a file opened in binary mode, or from bytes in memory, into
// a 1000-byte line buffer (fgets: at most 999 bytes, through the first LF).
// A line reaching the reader's switch length (990 for meshes, 999 for the
// others) means the file was written with CR line ends: the loop switches the
// shared CR line mode flag on, goes back to the top of the file, lets the
// reader restart (it resets what it read so far) and reads again with the CR
// line reader. In CR line mode a line that long ends the read with
// MacFormatError, for which each reader has its message.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>

#include "doc/ObjTokenizers.h"

namespace vortel {

class CVELTADoc;

enum class LineLoopEnd { Done, Stopped, MacFormatError };

class LineLoop {
public:
    // switchLength: 990 meshes, 999 the others. blankSkip: leading blanks and
    // tabs (at most this many) skipped before a line is measured and handled.
    explicit LineLoop(int switchLength, int blankSkip = 0) : m_switchLength(switchLength), m_blankSkip(blankSkip) {}
    LineLoop(const LineLoop&) = delete;
    LineLoop& operator=(const LineLoop&) = delete;
    ~LineLoop() { close(); }

    // Opens the document's load source for `path`: the bytes handed to
    // CVELTADoc::openFromMemory while that runs, otherwise the file. False when
    // the file cannot be opened.
    bool open(const CVELTADoc& doc, const std::string& path);
    void close();

    // Reads every line. onLine(const char* line) handles one line and returns
    // false to stop (LineLoopEnd::Stopped); onRestart() runs after the switch
    // to CR line mode, before the file is read again from its top.
    template <class OnLine, class OnRestart>
    LineLoopEnd run(int& crLineMode, OnLine&& onLine, OnRestart&& onRestart) {
        for (;;) {
            const size_t n = crLineMode == 0 ? m_reader.readLf(m_line) : static_cast<size_t>(m_reader.readCr(m_line));
            if (n == 0) return LineLoopEnd::Done;
            const char* line = m_line;
            for (int skipped = 0; skipped < m_blankSkip && (*line == '\t' || *line == ' '); ++skipped) ++line;
            // strlen can only reach the switch length when the bytes read do.
            if (n >= static_cast<size_t>(m_switchLength) && std::strlen(line) >= static_cast<size_t>(m_switchLength)) {
                if (crLineMode == 1) return LineLoopEnd::MacFormatError;
                crLineMode = 1;
                m_reader.rewind();
                onRestart();
                continue;
            }
            if (!onLine(line)) return LineLoopEnd::Stopped;
        }
    }

private:
    int m_switchLength;
    int m_blankSkip;
    std::FILE* m_file = nullptr;
    LineReader m_reader;
    // Zero bytes past every line, so the tokenizers may read digits eight at a time.
    char m_line[kCrLineBufferSize + kLinePadding] = {};
};

}  // namespace vortel
