// Shared pieces of the vortel-cli commands.
#include "CliCommon.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "doc/ObjStatements.h"

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

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {
// The writer shows the document path in the file browser only once it has
// written and closed its file: that call, not the file's presence, tells that
// this run wrote OUT (a file already there is never removed).
struct WriteWatch : DocumentView {
    explicit WriteWatch(CVELTADoc& d) : doc(d) { doc.addView(this); }
    ~WriteWatch() override { doc.removeView(this); }
    ViewKind viewKind() const override { return ViewKind::TreeView; }
    void showTreePath(const std::string&) override { written = true; }
    CVELTADoc& doc;
    bool written = false;
};
}  // namespace

bool saveDirect(CVELTADoc& doc, const std::string& out, const std::optional<std::vector<int>>& groups) {
    WriteWatch watch(doc);
    std::vector<char> saved(doc.groupVisibleFlag.data(), doc.groupVisibleFlag.data() + kMaxGroups);
    if (groups) {
        std::memset(doc.groupVisibleFlag.data(), 0, kMaxGroups);
        for (int g : *groups)
            if (g >= 0 && g < kMaxGroups) doc.groupVisibleFlag[static_cast<size_t>(g)] = 1;
    } else {
        std::memset(doc.groupVisibleFlag.data(), 1, kMaxGroups);
    }
    doc.savePath = out;
    doc.directSaveFlag = 1;
    doc.onSaveAs();
    doc.directSaveFlag = 0;
    std::memcpy(doc.groupVisibleFlag.data(), saved.data(), kMaxGroups);
    return watch.written && fileExists(out);
}

bool saveWithDialog(Session& s, const std::string& out) {
    WriteWatch watch(s.doc);
    s.platform.saveAnswer = out;
    s.doc.onSaveAs();
    return watch.written && fileExists(out);
}

}  // namespace vortel::cli
