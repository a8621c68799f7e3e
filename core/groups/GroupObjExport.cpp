// "save selected groups in obj": every shown group as an OBJ file of its own,
// in a new time-stamped folder beside the mesh.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

#include "doc/Text.h"
#include "groups/GroupExports.h"

namespace vortel {

std::string groupFolderStamp(std::time_t t) {
    std::tm utc{};
    gmtime_r(&t, &utc);
    // With the minute: a stamp of hour and second alone names the same folder
    // in every minute of the hour, and a later export would replace the files
    // of an earlier one.
    return formatMessage("%04d%02d%02d%02d%02d%02d", utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour,
                         utc.tm_min, utc.tm_sec);
}

std::string groupFileName(const std::string& title, const std::string& groupName) {
    // The stored name keeps the line end of its "g" line (LF, CR LF, or CR
    // in CR line mode); a name at the end of a file has none.
    size_t end = groupName.size();
    while (end > 0 && (groupName[end - 1] == '\n' || groupName[end - 1] == '\r')) --end;
    std::string cleaned = groupName.substr(0, end);
    for (char& c : cleaned)
        if (c == '\0' || std::strchr("\\\"/:,;*?<>|", c)) c = ' ';
    // No '/' is left, and the name starts with the title and '_' and ends in
    // ".obj": it can be neither "." nor "..".
    return title + "_" + cleaned + ".obj";
}

namespace {

// NAME, or when an earlier group of the same export already took it (two
// names that differ only in characters a file name cannot hold), NAME with
// "_2", "_3" ... before ".obj", so that no group's file replaces another's.
std::string unusedName(std::set<std::string>& used, const std::string& name) {
    std::string chosen = name;
    const std::string stem = name.substr(0, name.size() - 4);  // every name ends in ".obj"
    for (int n = 2; used.count(chosen) != 0; ++n) chosen = stem + "_" + std::to_string(n) + ".obj";
    used.insert(chosen);
    return chosen;
}

}  // namespace

GroupObjExportResult GroupExports::saveSelectedGroups() {
    CVELTADoc& d = m_doc;
    GroupObjExportResult result;
    const int groups = std::clamp(d.groupCount, 0, kMaxGroups);
    int shown = 0;
    for (int g = 0; g < groups; ++g)
        if (d.groupVisibleFlag[g] == 1) ++shown;
    if (groups == 0 || shown == 0) return result;

    result.folder = d.documentPath + groupFolderStamp(clock());
    std::error_code ec;
    std::filesystem::create_directory(result.folder, ec);
    if (!std::filesystem::is_directory(result.folder, ec)) {
        result.folderFailed = true;
        d.platform().messageBox("VORTEL", "FOLDER CREATE ERR:" + result.folder, MsgButtons::Ok, MsgIcon::Warning);
        return result;
    }

    char saved[kMaxGroups];
    std::memcpy(saved, d.groupVisibleFlag.data(), kMaxGroups);
    std::memset(d.groupVisibleFlag.data(), 0, kMaxGroups);
    std::set<std::string> used;
    for (int g = 0; g < groups; ++g) {
        if (saved[g] != 1) continue;
        const std::string path = result.folder + "/" + unusedName(used, groupFileName(d.fileTitle, d.groupNames[g]));
        d.groupVisibleFlag[g] = 1;
        d.savePath = path;
        d.directSaveFlag = 1;
        const SaveResult written = d.onSaveAs();
        d.directSaveFlag = 0;
        d.groupVisibleFlag[g] = 0;
        if (written == SaveResult::Written) result.files.push_back(path);
    }
    std::memcpy(d.groupVisibleFlag.data(), saved, kMaxGroups);
    return result;
}

}  // namespace vortel
