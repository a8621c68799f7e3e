// vortel-cli save IN OUT [--morph MT] [--groups LIST] [--vertex-only] [--direct]
#include <string>

#include "CliCommon.h"
#include "CliCommands.h"

namespace vortel::cli {

int cmdSave(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::optional<std::string> morph;
    std::optional<std::vector<int>> groups;
    bool vertexOnly = false, direct = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--morph" || a == "--groups") {
            if (i + 1 >= args.size()) return kExitUsage;
            const std::string& v = args[++i];
            if (a == "--morph") {
                morph = v;
            } else {
                groups = parseGroupList(v);
                if (!groups) return kExitUsage;
            }
        } else if (a == "--vertex-only") {
            vertexOnly = true;
        } else if (a == "--direct") {
            direct = true;
        } else if (a.rfind("--", 0) == 0) {
            return kExitUsage;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 2) return kExitUsage;
    Session s;
    if (!openPath(s.doc, positional[0], 0)) return kExitFailed;
    if (morph) {
        openPath(s.doc, *morph, 1);
        if (s.doc.morphLoadedFlag != 1 || s.doc.mtPath != *morph) return kExitFailed;
    }
    bool written = false;
    if (direct) {
        written = saveDirect(s.doc, positional[1], groups);
    } else {
        s.platform.groupList = groups;
        s.platform.vertexOnly = vertexOnly;
        written = saveWithDialog(s, positional[1]);
    }
    return written ? kExitOk : kExitFailed;
}

}  // namespace vortel::cli
