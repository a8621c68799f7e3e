// Segmented reading of large OBJ files; see ObjSegments.h.
#include "doc/ObjSegments.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <system_error>

namespace vortel {
namespace {

enum TokenKind : unsigned char { kVertex, kBadVertex, kUv, kBadUv, kFace, kLine, kGroup, kMaterial, kLongLine };

// The first line start at or after byte `at`: the byte after the first LF from
// at - 1 on. Every such byte starts a line whatever came before it, because no
// line the reader reads runs past a LF.
long long lineStartAtOrAfter(int fd, long long at, long long size) {
    if (at <= 0) return 0;
    char block[1 << 16];
    long long pos = at - 1;
    while (pos < size) {
        const ssize_t got = ::pread(fd, block, sizeof block, static_cast<off_t>(pos));
        if (got <= 0) break;
        const void* lf = std::memchr(block, '\n', static_cast<size_t>(got));
        if (lf) return pos + (static_cast<const char*>(lf) - block) + 1;
        pos += got;
    }
    return size;
}

}  // namespace

ObjSegmentTuning& objSegmentTuning() {
    static ObjSegmentTuning tuning;
    return tuning;
}

ObjSegmentRecord& lastObjSegmentRecord() {
    static ObjSegmentRecord record;
    return record;
}

void ObjSegmentReader::Tokens::clear() {
    kinds.clear();
    values.clear();
    numbers.clear();
    names.clear();
}

ObjSegmentReader::ObjSegmentReader() : m_tokens(kMaxSegments + 1) {
    for (auto& s : m_state) s.store(kFree);
}

ObjSegmentReader::~ObjSegmentReader() { finish(); }

bool ObjSegmentReader::start(std::FILE* file, const std::string& path) {
    finish();
    m_count = 0;
    lastObjSegmentRecord() = ObjSegmentRecord{};
    const ObjSegmentTuning& tuning = objSegmentTuning();
    const int fd = file ? ::fileno(file) : -1;
    struct stat sb {};
    if (fd < 0 || ::fstat(fd, &sb) != 0 || !S_ISREG(sb.st_mode)) return false;
    const long long size = sb.st_size;
    if (size <= 0 || size < tuning.minFileBytes) return false;

    const int later = std::clamp(tuning.segments, 1, kMaxSegments);
    const double share = std::clamp(tuning.firstShare, 0.0, 1.0);
    m_bounds[0] = 0;
    const long long first = lineStartAtOrAfter(fd, static_cast<long long>(static_cast<double>(size) * share), size);
    m_bounds[1] = first;
    for (int i = 2; i <= later; ++i) {
        const long long target = first + (size - first) * (i - 1) / later;
        m_bounds[i] = std::max(m_bounds[i - 1], lineStartAtOrAfter(fd, target, size));
    }
    // The last segment runs to the end of the file, wherever that is when it is read.
    m_bounds[later + 1] = LLONG_MAX / 2;
    m_count = later + 1;

    m_path = path;
    for (int i = 0; i < m_count; ++i) m_state[i].store(kFree);
    m_abort.store(false);
    try {
        m_thread = std::thread(&ObjSegmentReader::run, this);
    } catch (const std::system_error&) {
        m_count = 0;
        return false;
    }
    lastObjSegmentRecord().segments = m_count;
    return true;
}

void ObjSegmentReader::run() {
    std::FILE* file = std::fopen(m_path.c_str(), "rb");
    m_threadReader.attach(file);
    for (int i = 1; i < m_count; ++i) {
        int expected = kFree;
        if (!m_state[i].compare_exchange_strong(expected, kThread)) continue;
        const bool ok = file && !m_abort.load(std::memory_order_relaxed) &&
                        tokenizeSegment(i, m_threadReader, m_threadLine, m_threadNumbers);
        m_state[i].store(ok ? kDone : kGivenBack, std::memory_order_release);
        m_state[i].notify_all();
    }
    m_threadReader.attach(nullptr);
    if (file) std::fclose(file);
}

bool ObjSegmentReader::tokenizeSegment(int i, LineReader& reader, char* line, int* numberList) {
    Tokens& t = m_tokens[i];
    t.clear();
    if (!reader.setRange(offset(i), length(i))) return false;
    // A vertex or UV: its values when the tokenizer read them, else the failure.
    auto values = [&t](bool ok, const float* v, int n, unsigned char good, unsigned char bad) {
        t.kinds.push_back(ok ? good : bad);
        if (ok) t.values.insert(t.values.end(), v, v + n);
    };
    for (;;) {
        const size_t n = reader.readLf(line);
        if (n == 0) break;
        if (n >= kCrSwitchLength && std::strlen(line) >= kCrSwitchLength) {
            t.kinds.push_back(kLongLine);  // nothing after it is read in LF line mode
            break;
        }
        const ObjStatement statement = objStatementOf(line);
        switch (statement) {
            case ObjStatement::Vertex: {
                float v[3];
                values(vertexTokenizer(line, v, true), v, 3, kVertex, kBadVertex);
                break;
            }
            case ObjStatement::Uv: {
                float uv[2];
                values(uvTokenizer(line, uv, true), uv, 2, kUv, kBadUv);
                break;
            }
            case ObjStatement::Face:
            case ObjStatement::Line: {
                int form = 1;
                const int count = faceNumbersAndForm(line, numberList, form, true);
                t.kinds.push_back(statement == ObjStatement::Face ? kFace : kLine);
                t.numbers.push_back(count);
                t.numbers.push_back(form);
                t.numbers.insert(t.numbers.end(), numberList, numberList + count);
                break;
            }
            case ObjStatement::Group:
                t.kinds.push_back(kGroup);
                t.names.push_back(restOfLine(line, kGroupNameSkip));
                break;
            case ObjStatement::Material:
                t.kinds.push_back(kMaterial);
                t.names.push_back(restOfLine(line, kMaterialNameSkip));
                break;
            case ObjStatement::Other: break;
        }
    }
    return !std::ferror(reader.file());
}

bool ObjSegmentReader::helpAfter(int i, LineReader& reader, char* line) {
    for (int j = i + 1; j < m_count; ++j) {
        int expected = kFree;
        if (!m_state[j].compare_exchange_strong(expected, kReader)) continue;
        const bool ok = tokenizeSegment(j, reader, line, m_readerNumbers);
        m_state[j].store(ok ? kDone : kGivenBack, std::memory_order_release);
        return true;
    }
    return false;
}

ObjRunEnd ObjSegmentReader::readSegment(CVELTADoc& doc, ReadState& st, int i, LineReader& reader, char* line) {
    for (;;) {
        int s = m_state[i].load(std::memory_order_acquire);
        if (s == kFree && !objSegmentTuning().readerWaits && m_state[i].compare_exchange_strong(s, kReader)) s = kGivenBack;
        if (s == kGivenBack) {
            reader.setRange(offset(i), length(i));
            return readObjLines(doc, st, reader, line);
        }
        if (s == kDone) return store(doc, st, i);
        // The thread has it (or, with the reader waiting, has not reached it yet):
        // tokenize a later segment meanwhile, or wait.
        if (!helpAfter(i, reader, line)) m_state[i].wait(s, std::memory_order_acquire);
    }
}

ObjRunEnd ObjSegmentReader::store(CVELTADoc& doc, ReadState& st, int i) {
    ++lastObjSegmentRecord().storedFromTokens;
    const Tokens& t = m_tokens[i];
    const float* value = t.values.data();
    const int* number = t.numbers.data();
    size_t name = 0;
    for (const unsigned char kind : t.kinds) {
        switch (kind) {
            case kVertex:
                storeVertex(doc, st, true, value);
                value += 3;
                break;
            case kBadVertex: storeVertex(doc, st, false, value); break;
            case kUv:
                storeUv(doc, st, true, value);
                value += 2;
                break;
            case kBadUv: storeUv(doc, st, false, value); break;
            case kFace:
            case kLine:
                storeFace(doc, st, number + 2, number[0], number[1], kind == kFace ? 'P' : 'L', kObjFaceRules);
                number += 2 + number[0];
                break;
            case kGroup: selectObjGroup(doc, st, t.names[name++]); break;
            case kMaterial: selectObjMaterial(doc, st, t.names[name++]); break;
            case kLongLine: return ObjRunEnd::CrSwitch;
            default: break;
        }
        if (st.stop) return ObjRunEnd::Stopped;
    }
    return ObjRunEnd::Done;
}

void ObjSegmentReader::finish() {
    m_abort.store(true);
    if (m_thread.joinable()) m_thread.join();
}

}  // namespace vortel
