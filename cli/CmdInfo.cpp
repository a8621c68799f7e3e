// vortel-cli info FILE: one JSON line describing the loaded mesh.
#include <cstdio>
#include <string>

#include "CliCommon.h"
#include "CliCommands.h"

namespace vortel::cli {

int cmdInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) return kExitUsage;
    Session s;
    openPath(s.doc, args[0], 0);
    const CVELTADoc& d = s.doc;
    std::string j = "{\"status\":" + jsonString(d.loadStatus) + ",\"message\":" + jsonString(d.loadMessage);
    j += ",\"vertices\":" + std::to_string(d.vertexCount) + ",\"uvs\":" + std::to_string(d.uvCount);
    j += ",\"faces\":" + std::to_string(d.faceCount) + ",\"corners\":" + std::to_string(d.cornerSum());
    j += ",\"groups\":[";
    for (int g = 0; g < d.groupCount && g < kGroupSlots; ++g)
        j += (g ? "," : "") + jsonString(d.groupNames[g]);
    j += "],\"materials\":[";
    for (int m = 0; m < d.materialCount && m < kMaterialSlots; ++m)
        j += (m ? "," : "") + jsonString(d.materialNames[m]);
    j += "],\"floating\":" + std::to_string(d.floatingCount) + ",\"has_uv\":" + std::to_string(d.hasUvFlag);
    j += ",\"file_colours\":" + std::to_string(d.fileColoursFlag);
    j += ",\"display_scale\":" + jsonFloat(d.displayScale);
    j += ",\"display_centre\":[" + jsonFloat(d.displayCentre.x) + "," + jsonFloat(d.displayCentre.y) + "," +
         jsonFloat(d.displayCentre.z) + "]}";
    std::printf("%s\n", j.c_str());
    return d.loadStatus == "NORMAL" ? kExitOk : kExitFailed;
}

}  // namespace vortel::cli
