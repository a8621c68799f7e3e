// Shared pieces of the vortel-cli commands.
#include "CliCommon.h"

#include <cstdio>
#include <cstring>

#include "doc/Text.h"

namespace vortel::cli {

bool openPath(CVELTADoc& doc, const std::string& path, int kind) {
    doc.openByPath(path, fileTitleOf(path), kind);
    return doc.loadStatus == "NORMAL";
}

std::string jsonString(const std::string& bytes) {
    std::string out = "\"";
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == '"' || c == '\\' || c >= 0x80) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string jsonFloat(float v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", static_cast<double>(v));
    return buf;
}

std::optional<std::vector<int>> parseGroupList(const std::string& text) {
    std::vector<int> list;
    size_t i = 0;
    if (text.empty()) return std::nullopt;
    while (i <= text.size()) {
        size_t comma = text.find(',', i);
        if (comma == std::string::npos) comma = text.size();
        std::string item = text.substr(i, comma - i);
        if (item.empty() || item.size() > 4 || item.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        list.push_back(std::stoi(item));
        i = comma + 1;
    }
    return list;
}

bool saveDirect(CVELTADoc& doc, const std::string& out, const std::optional<std::vector<int>>& groups) {
    std::vector<char> saved(doc.groupVisibleFlag.data(), doc.groupVisibleFlag.data() + kMaxGroups);
    if (groups) {
        std::memset(doc.groupVisibleFlag.data(), 0, kMaxGroups);
        for (int g : *groups)
            if (g >= 0 && g < kMaxGroups) doc.groupVisibleFlag[g] = 1;
    } else {
        std::memset(doc.groupVisibleFlag.data(), 1, kMaxGroups);
    }
    doc.savePath = out;
    doc.directSaveFlag = 1;
    const SaveResult result = doc.onSaveAs();
    doc.directSaveFlag = 0;
    std::memcpy(doc.groupVisibleFlag.data(), saved.data(), kMaxGroups);
    return result == SaveResult::Written;
}

bool saveWithDialog(Session& s, const std::string& out) {
    s.platform.saveAnswer = out;
    return s.doc.onSaveAs() == SaveResult::Written;
}

}  // namespace vortel::cli
