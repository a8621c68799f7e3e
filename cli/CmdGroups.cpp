// The group list's direct exports from the console:
//   vortel-cli cr2 BASE MT                 opens BASE, MT Open of MT by path, "save all parts in CR2 (for morphmanager)"
//   vortel-cli split MESH [--groups LIST]  shows the listed groups only (all by default), "save selected groups in obj"
// One JSON line on success; a refused or failed command prints none and exits 1.
#include <cstdio>
#include <cstring>
#include <string>

#include "CliCommands.h"
#include "CliCommon.h"
#include "groups/GroupExports.h"

namespace vortel::cli {

int cmdCr2(const std::vector<std::string>& args) {
    if (args.size() != 2) return kExitUsage;
    Session s;
    if (!openPath(s.doc, args[0], 0)) return kExitFailed;
    openPath(s.doc, args[1], 1);
    const Cr2ExportResult r = s.doc.module<GroupExports>()->saveCr2();
    if (!r.written) return kExitFailed;
    std::printf("{\"file\":%s,\"actors\":%d}\n", jsonString(r.path).c_str(), r.actors);
    return kExitOk;
}

int cmdSplit(const std::vector<std::string>& args) {
    std::optional<std::string> mesh;
    std::optional<std::vector<int>> groups;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--groups") {
            if (i + 1 >= args.size()) return kExitUsage;
            groups = parseGroupList(args[++i]);
            if (!groups) return kExitUsage;
        } else if (args[i].rfind("--", 0) == 0 || mesh) {
            return kExitUsage;
        } else {
            mesh = args[i];
        }
    }
    if (!mesh) return kExitUsage;
    Session s;
    if (!openPath(s.doc, *mesh, 0)) return kExitFailed;
    if (groups) {
        std::memset(s.doc.groupVisibleFlag.data(), 0, kMaxGroups);
        for (int g : *groups)
            if (g >= 0 && g < kMaxGroups) s.doc.groupVisibleFlag[g] = 1;
    } else {
        std::memset(s.doc.groupVisibleFlag.data(), 1, kMaxGroups);
    }
    const GroupObjExportResult r = s.doc.module<GroupExports>()->saveSelectedGroups();
    if (r.files.empty()) return kExitFailed;
    std::string j = "{\"folder\":" + jsonString(r.folder) + ",\"files\":[";
    for (size_t k = 0; k < r.files.size(); ++k) j += (k ? "," : "") + jsonString(r.files[k]);
    std::printf("%s]}\n", j.c_str());
    return kExitOk;
}

}  // namespace vortel::cli
