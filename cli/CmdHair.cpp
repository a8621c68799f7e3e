// HAIR and Collision from the console:
//   vortel-cli hair MESH OUT [--collect W]   the strip builder; with W the hair
//                                           request W (0 CLOSE, 9999 RESET, else
//                                           DONE); then Export > "HAIR" to OUT
//   vortel-cli collide MESH OUT              Collision, whatever "Coligion" says,
//                                           then Save As in direct mode, all groups
// Each prints one JSON line once its commands have run; boxes go to standard error.
#include <cstdio>
#include <string>

#include "CliCommands.h"
#include "CliCommon.h"
#include "scatter/HairModule.h"

namespace vortel::cli {

namespace {
// A whole decimal int with an optional sign.
bool parseInt(const std::string& text, int& out) {
    size_t digits = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (digits == text.size() || text.size() - digits > 9 ||
        text.find_first_not_of("0123456789", digits) != std::string::npos)
        return false;
    out = std::stoi(text);
    return true;
}
}  // namespace

int cmdHair(const std::vector<std::string>& args) {
    int w = 0;
    const bool collect = args.size() == 4;
    if (args.size() != 2 && !collect) return kExitUsage;
    if (collect && (args[2] != "--collect" || !parseInt(args[3], w))) return kExitUsage;
    Session s;
    if (!openPath(s.doc, args[0], 0)) return kExitFailed;
    HairModule& hair = *s.doc.module<HairModule>();
    if (hair.buildStrips() != HairResult::Done) return kExitFailed;
    if (collect && hair.hairOperation(w) != HairResult::Done) return kExitFailed;
    std::printf("{\"strands\":%d,\"vertices\":%d}\n", s.doc.hairStrandCount, hair.mesh().vertexCount);
    std::fflush(stdout);
    // Export > "HAIR" is disabled while there is no strand.
    if (!s.doc.commands().state(cmd::ExportHair).enabled) return kExitFailed;
    s.platform.saveAnswer = args[1];
    return hair.exportHair() == HairExportResult::Written ? kExitOk : kExitFailed;
}

int cmdCollide(const std::vector<std::string>& args) {
    if (args.size() != 2) return kExitUsage;
    Session s;
    if (!openPath(s.doc, args[0], 0)) return kExitFailed;
    const CollisionResult r = s.doc.module<HairModule>()->collide();
    std::printf("{\"processed\":%d,\"collided\":%d}\n", r.processed, r.collided);
    std::fflush(stdout);
    return saveDirect(s.doc, args[1], std::nullopt) ? kExitOk : kExitFailed;
}

}  // namespace vortel::cli
