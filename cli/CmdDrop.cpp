// vortel-cli drop MESH SEED OUT [--n N] [--size S] [--front] [--fixed-size] [--fixed-location] [--time T]
//
// Loads MESH, loads SEED (an OBJ file through the open-by-path entry with the
// seed kind, or F, C, S for the presets), sets the Drop window's controls,
// runs DONE's rule, encodes the drop request as the window does and decodes it
// as the main frame does, runs the drop routine, then Export > "Drop" to OUT.
// One JSON line: {"lines":N x N,"hits":...,"vertices":...,"faces":...}.
// Exit 1, OUT not written, when a load failed, the seed is empty, DONE is
// refused, the drop mesh is empty or would not fit.
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "CliCommands.h"
#include "CliCommon.h"
#include "scatter/DropModule.h"
#include "scatter/DropPanel.h"

namespace vortel::cli {

namespace {

// Decimal digits only, at most `maxValue`.
bool parseNumber(const std::string& text, unsigned long long maxValue, unsigned long long& out) {
    if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoull(text);
    return out <= maxValue;
}

}  // namespace

int cmdDrop(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    int n = kNumStart, size = kSizeStart;
    bool front = false, fixedSize = false, fixedLocation = false;
    std::optional<std::uint32_t> time;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        unsigned long long v = 0;
        if (a == "--n" || a == "--size" || a == "--time") {
            if (i + 1 >= args.size()) return kExitUsage;
            const std::string& value = args[++i];
            if (a == "--n") {
                if (!parseNumber(value, kNumMax, v) || v < kNumMin) return kExitUsage;
                n = static_cast<int>(v);
            } else if (a == "--size") {
                if (!parseNumber(value, kSizeMax, v) || v < kSizeMin) return kExitUsage;
                size = static_cast<int>(v);
            } else {
                if (!parseNumber(value, 0xFFFFFFFFull, v)) return kExitUsage;
                time = static_cast<std::uint32_t>(v);
            }
        } else if (a == "--front") {
            front = true;
        } else if (a == "--fixed-size") {
            fixedSize = true;
        } else if (a == "--fixed-location") {
            fixedLocation = true;
        } else if (a.rfind("--", 0) == 0) {
            return kExitUsage;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 3) return kExitUsage;

    Session s;
    if (!openPath(s.doc, positional[0], 0)) return kExitFailed;
    DropModule& drop = *s.doc.module<DropModule>();
    const std::string& seed = positional[1];
    if (seed == "F" || seed == "C" || seed == "S")
        drop.presetSeedLoad(seed == "F" ? 0 : (seed == "C" ? 1 : 2));
    else
        openPath(s.doc, seed, 9);
    if (drop.seed.usableVertexCount() == 0) return kExitFailed;

    DropPanel panel;
    panel.setNum(n);
    panel.setSizeSlider(size);
    panel.top = front ? 0 : 1;
    panel.sizeCheck = fixedSize ? 0 : 1;
    panel.locationCheck = fixedLocation ? 0 : 1;
    const std::optional<DropRequest> request = panel.done(drop.seed.usableVertexCount());
    if (!request) return kExitFailed;
    const std::array<int, 5> a = decodeDropRequest(request->wParam, request->lParam);
    drop.fixedRandomSeed = time;
    if (drop.dropRoutine(a[0], a[1], a[2], a[3], a[4]) != DropOutcome::Dropped) return kExitFailed;

    if (!s.doc.commands().state(cmd::ExportDrop).enabled) return kExitFailed;
    s.platform.saveAnswer = positional[2];
    if (drop.exportDrop() != SaveResult::Written) return kExitFailed;
    std::printf("{\"lines\":%d,\"hits\":%d,\"vertices\":%d,\"faces\":%d}\n", a[2] * a[2], s.doc.markerPointCount2,
                s.doc.dropResultCount, s.doc.dropFaceCount);
    return kExitOk;
}

}  // namespace vortel::cli
