// Shared pieces of the vortel-cli commands: opening files as the window does,
// JSON text, group lists and Save As runs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ConsolePlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"

namespace vortel::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// The console program's document with its one (windowless) view.
struct Session {
    ConsolePlatform platform;
    CVELTADoc doc{platform};
    HeadlessView view{doc};
    Session() { doc.addView(&view); }
};

// Opens PATH through the open-by-path entry with the given kind; true when the load status is "NORMAL".
bool openPath(CVELTADoc& doc, const std::string& path, int kind);
// A string as JSON: each byte one character; bytes below 0x20, '"', '\\' and 0x80.. as \u00XX.
std::string jsonString(const std::string& bytes);
std::string jsonFloat(float v);  // "%.9g"
// "0,2,5" -> {0, 2, 5}; nothing on malformed text.
std::optional<std::vector<int>> parseGroupList(const std::string& text);
// Save As in direct mode to OUT with exactly the listed groups (all when none) visible;
// the user's visible flags are restored afterwards. True when OUT was written.
bool saveDirect(CVELTADoc& doc, const std::string& out, const std::optional<std::vector<int>>& groups);
// Save As through the scripted dialogs. True when OUT was written.
bool saveWithDialog(Session& s, const std::string& out);

}  // namespace vortel::cli
