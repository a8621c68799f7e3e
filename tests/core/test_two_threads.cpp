// The work VORTEL spreads over two threads must give exactly what one thread
// gives. Segmented reading of large OBJ files: the same arrays, names, boxes,
// flags, load status, message and boxes shown, whether the reader or the second
// thread takes a segment, and wherever the segments are cut. Normals of large
// meshes: the same sums to the bit. Save As in halves: the same bytes. The
// tunings make small test files take the two-thread paths. The chunk worker the
// 3D view uses: every chunk once, in order, finished when waited for.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <thread>

#include "TestUtil.h"
#include "doc/ObjSegments.h"
#include "doc/ObjText.h"

using namespace vortel;
using namespace vortel::test;

namespace {

template <typename T>
std::string bytesOf(const T* data, long long count) {
    if (count <= 0) return {};
    return std::string(reinterpret_cast<const char*>(data), static_cast<size_t>(count) * sizeof(T));
}

// Everything a load leaves in the document, part by part.
std::vector<std::pair<std::string, std::string>> snapshot(const DocFixture& fx) {
    const CVELTADoc& d = fx.doc;
    std::vector<std::pair<std::string, std::string>> s;
    auto add = [&](const char* name, std::string bytes) { s.emplace_back(name, std::move(bytes)); };
    add("status", d.loadStatus + " / " + d.loadMessage);
    std::string calls;
    for (const std::string& c : fx.ui.calls) calls += c + "\n";
    add("platform calls", calls);
    const int counts[] = {d.vertexCount, d.uvCount,       d.faceCount,     d.groupCount,  d.materialCount,
                          d.hasUvFlag,   d.floatingCount, d.crLineMode,    d.fileColoursFlag};
    add("counts", bytesOf(counts, 9));
    // Faces and corners are compared up to the load's own counts even after an
    // error, when the counts shown are cleared.
    const int faces = std::min(d.faceCount, kMaxFaces);
    add("vertices", bytesOf(d.vertexArray.data(), d.vertexCount));
    add("floating", bytesOf(d.floatingFlag.data(), d.vertexCount));
    add("uvs", bytesOf(d.uvArray.data(), d.uvCount));
    add("face first", bytesOf(d.faceFirstCorner.data(), faces));
    add("face corners", bytesOf(d.faceCornerCount.data(), faces));
    add("face group", bytesOf(d.faceGroup.data(), faces));
    add("face material", bytesOf(d.faceMaterial.data(), faces));
    add("face kind", bytesOf(d.faceKind.data(), faces));
    const int corners = d.ownedCornerEnd();
    add("corner vertices", bytesOf(d.cornerVertexList.data(), corners));
    add("corner uvs", bytesOf(d.cornerUvList.data(), corners));
    std::string names;
    for (int g = 0; g < kGroupSlots; ++g) names += d.groupNames[g] + '\0';
    for (int m = 0; m < kMaterialSlots; ++m) names += d.materialNames[m] + '\0';
    add("names", names);
    add("group boxes", bytesOf(d.groupBoxMax.data(), kGroupSlots) + bytesOf(d.groupBoxMin.data(), kGroupSlots));
    add("material boxes",
        bytesOf(d.materialBoxMax.data(), kMaterialSlots) + bytesOf(d.materialBoxMin.data(), kMaterialSlots));
    add("model box", bytesOf(&d.modelBoxMax, 1) + bytesOf(&d.modelBoxMin, 1));
    add("group has uv", bytesOf(d.groupHasUvFlag.data(), kMaxGroups));
    add("display", bytesOf(&d.displayScale, 1) + bytesOf(&d.displayCentre, 1) +
                       bytesOf(d.displayVertexArray.data(), d.vertexCount));
    add("normals", bytesOf(d.vertexNormalSums.data(), d.vertexCount) + bytesOf(d.faceNormalArray.data(), faces));
    return s;
}

struct TuningScope {
    ObjSegmentTuning saved = objSegmentTuning();
    ~TuningScope() { objSegmentTuning() = saved; }
};

// Loads the file in one piece, then segmented with each tuning, and compares.
void expectSameLoad(const std::string& path, const std::vector<ObjSegmentTuning>& tunings, const std::string& what) {
    TuningScope scope;
    DocFixture& fx = fixture();
    objSegmentTuning().minFileBytes = LLONG_MAX;
    fx.reset();
    fx.doc.openByPath(path, "seg", 0);
    const auto reference = snapshot(fx);
    for (const ObjSegmentTuning& t : tunings) {
        objSegmentTuning() = t;
        fx.reset();
        fx.doc.openByPath(path, "seg", 0);
        const auto segmented = snapshot(fx);
        ASSERT_EQ(lastObjSegmentRecord().segments, t.segments + 1) << what;
        if (t.readerWaits && fx.doc.crLineMode == 0 && fx.doc.loadStatus == "NORMAL") {
            ASSERT_EQ(lastObjSegmentRecord().storedFromTokens, t.segments) << what;
        }
        ASSERT_EQ(reference.size(), segmented.size());
        for (size_t i = 0; i < reference.size(); ++i)
            ASSERT_TRUE(reference[i].second == segmented[i].second)
                << what << ": " << reference[i].first << " differs with " << t.segments << " segments, first share "
                << t.firstShare << (t.readerWaits ? ", reader waits" : "") << "\nreference: "
                << (i < 2 ? reference[i].second : "") << "\nsegmented: " << (i < 2 ? segmented[i].second : "");
    }
}

std::vector<ObjSegmentTuning> everyWay(std::mt19937& rng, int n) {
    std::vector<ObjSegmentTuning> out;
    std::uniform_int_distribution<int> segs(1, ObjSegmentReader::kMaxSegments);
    std::uniform_real_distribution<double> share(0.0, 0.9);
    for (int i = 0; i < n; ++i) {
        ObjSegmentTuning t;
        t.minFileBytes = 0;
        t.segments = i == 0 ? 1 : segs(rng);
        t.firstShare = i == 1 ? 0.0 : share(rng);
        t.readerWaits = i % 2 == 0;
        out.push_back(t);
    }
    return out;
}

// A random OBJ text with every statement kind, well and badly formed; with
// `clean`, only statements that load without an error.
std::string randomObj(std::mt19937& rng, bool clean = false) {
    std::uniform_int_distribution<int> pick(0, 99);
    std::uniform_real_distribution<double> coord(-5.0, 5.0);
    std::string s;
    char buf[64];
    int vertices = 0;
    const int lines = 20 + pick(rng) * 3;
    for (int i = 0; i < lines; ++i) {
        const int k = clean ? pick(rng) % 93 : pick(rng);
        if (k < 30 || (clean && vertices == 0)) {
            std::snprintf(buf, sizeof buf, k < 27 || clean ? "v %.6f %.6f %.6f\n" : "v  %.3e\t%.2f   %g\n", coord(rng), coord(rng),
                          coord(rng));
            s += buf;
            ++vertices;
        } else if (k < 45) {
            std::snprintf(buf, sizeof buf, "vt %.6f %.6f\n", coord(rng), coord(rng));
            s += buf;
        } else if (k < 70) {
            const int corners = 1 + pick(rng) % 5;
            const int form = 1 + pick(rng) % 3;
            s += k < 68 ? "f" : "l";
            for (int c = 0; c < corners; ++c) {
                // Now and then a number outside the vertices read so far.
                const int v = clean ? 1 + pick(rng) % vertices
                                    : pick(rng) < 97 ? 1 + pick(rng) % (vertices + 1) : vertices + 3;
                s += " " + std::to_string(v);
                for (int e = 1; e < form; ++e) s += "/" + std::to_string(1 + pick(rng) % 9);
            }
            s += pick(rng) < 90 ? "\n" : "  \n";
        } else if (k < 75) {
            s += "g part" + std::to_string(pick(rng) % 4) + "\n";
        } else if (k < 79) {
            s += "usemtl mat" + std::to_string(pick(rng) % 3) + "\n";
        } else if (k < 84) {
            s += "# note\n";
        } else if (k < 87) {
            s += "\n";
        } else if (k < 89) {
            s += "vn 0 1 0\r\n";
        } else if (k < 91) {
            s += std::string("g na\0me\n", 8);  // a NUL ends the name
        } else if (k < 93) {
            s += "g\n";  // shorter than its keyword
        } else if (k < 95) {
            s += "v " + std::string(static_cast<size_t>(970 + pick(rng) % 60), '1') + " 2 3\n";  // near the line length
        } else if (k < 96) {
            s += "v 1.0 2.0\n";  // not 3D: ends the load
        } else if (k < 97) {
            s += "vt x\n";  // not a UV: ends the load
        } else if (k < 98) {
            s += "# " + std::string(995, 'x') + "\n";  // too long for LF line mode
        } else {
            s += "f 1 2 3";  // no line end
        }
    }
    return s;
}

}  // namespace

TEST(SegmentedRead, RandomFilesEveryCutOfSegments) {
    std::mt19937 rng(20261207);
    const std::string path = (tempDir() / "segments_random.obj").string();
    for (int file = 0; file < 250; ++file) {
        const std::string text = randomObj(rng);
        writeFile("segments_random.obj", text);
        expectSameLoad(path, everyWay(rng, 6), "random file " + std::to_string(file));
        if (HasFatalFailure()) return;
    }
}

TEST(SegmentedRead, SamplesAndTheirCuts) {
    std::mt19937 rng(7);
    for (const char* sample : {"data/samples/figure.obj", "data/samples/parts.obj", "data/samples/hair.obj"}) {
        const std::string bytes = readFile(sourcePath(sample));
        expectSameLoad(sourcePath(sample), everyWay(rng, 8), sample);
        if (HasFatalFailure()) return;
        // Cut short at spread points, some inside lines.
        for (int i = 1; i <= 24; ++i) {
            const size_t cut = bytes.size() * static_cast<size_t>(i) / 25 + static_cast<size_t>(i % 7);
            const std::string path = writeFile("segments_cut.obj", bytes.substr(0, cut));
            expectSameLoad(path, everyWay(rng, 3), std::string(sample) + " cut at " + std::to_string(cut));
            if (HasFatalFailure()) return;
        }
    }
}

TEST(SegmentedRead, LimitsAndSwitchesLateInTheFile) {
    std::mt19937 rng(11);
    std::string many;
    // More groups than the limit, the last ones only in the later segments.
    for (int g = 0; g <= kMaxGroups; ++g) many += "v 1 2 3\ng group" + std::to_string(g) + "\nf 1 1 1\n";
    expectSameLoad(writeFile("segments_groups.obj", many), everyWay(rng, 6), "group limit");

    // One vertex more than the limit.
    std::string vertices;
    for (int v = 0; v <= kMaxVertices; ++v) vertices += "v 0.5 0.25 0.125\n";
    expectSameLoad(writeFile("segments_vertices.obj", vertices), everyWay(rng, 3), "vertex limit");

    // A line too long for LF line mode at the very end: everything read again in CR line mode.
    std::string late = readFile(sourcePath("data/samples/parts.obj"));
    expectSameLoad(writeFile("segments_late_long.obj", late + std::string(1200, 'v')), everyWay(rng, 6),
                   "long last line");
    // A CR-only file.
    std::string cr = late;
    for (char& c : cr)
        if (c == '\n') c = '\r';
    expectSameLoad(writeFile("segments_cr.obj", cr), everyWay(rng, 4), "CR line ends");
    // A vertex number out of range in the last segment: POINT ERR, and reading goes on.
    expectSameLoad(writeFile("segments_point.obj", late + "f 1 2 999999\nv 1 1 1\nf 1 2 3\n"), everyWay(rng, 6),
                   "POINT ERR late");
}

TEST(SegmentedRead, TheLimitMeshIsSegmentedByDefault) {
    // The default tuning segments a large file, and gives the same document.
    std::string big;
    char line[96];
    for (int i = 0; i < 300; ++i)
        for (int j = 0; j < 300; ++j) {
            std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\nvt %.6f %.6f\n", i * 0.01, j * 0.01, (i ^ j) * 0.001,
                          i / 300.0, j / 300.0);
            big += line;
        }
    for (int i = 0; i + 1 < 300; ++i)
        for (int j = 0; j + 1 < 300; ++j) {
            const int a = i * 300 + j + 1;
            std::snprintf(line, sizeof line, "f %d/%d %d/%d %d/%d %d/%d\n", a, a, a + 300, a + 300, a + 301, a + 301,
                          a + 1, a + 1);
            big += line;
        }
    ASSERT_GE(static_cast<long long>(big.size()), ObjSegmentTuning{}.minFileBytes);
    expectSameLoad(writeFile("segments_big.obj", big), {ObjSegmentTuning{}}, "default tuning");
    EXPECT_EQ(fixture().doc.faceCount, 299 * 299);
}

