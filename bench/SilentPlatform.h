// A platform that shows nothing: every box answered OK (the last text kept),
// every dialog cancelled, so commands run in direct mode only; and the one
// document a benchmark program builds on it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

namespace vortel::bench {

class SilentPlatform : public Platform {
public:
    void showProgressBox(const std::string&, Rgb) override {}
    void closeProgressBox() override {}
    MsgAnswer messageBox(const std::string&, const std::string& text, MsgButtons, MsgIcon) override {
        lastMessage = text;
        return MsgAnswer::Ok;
    }
    std::optional<std::string> openFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest&) override { return std::nullopt; }
    void setStatusProgress(int) override {}
    void setWaitCursor(bool) override {}
    void waitMs(int) override {}
    void setMainWindowTitle(const std::string&) override {}
    Settings& settings() override { return m_settings; }
    std::string homeFolder() const override { return home; }

    std::string home = "/tmp/", lastMessage;

private:
    Settings m_settings;
};

// Opens PATH as a mesh through the open-by-path entry; a benchmark cannot go on
// without it, so a failed load ends the program with the load message.
inline void loadOrAbort(CVELTADoc& doc, const std::string& path, const std::string& title) {
    doc.openByPath(path, title, 0);
    if (doc.loadStatus != "NORMAL") {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), doc.loadMessage.c_str());
        std::abort();
    }
}

// Writes TEXT to PATH; a benchmark cannot go on without its input file.
inline void writeTextOrAbort(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) std::abort();
    std::fclose(f);
}

// The one document of a benchmark program, with its playback view, built on
// first use (it is 87 MB, as in the program).
struct SilentSession {
    SilentPlatform ui;
    CVELTADoc doc{ui};
    HeadlessView view{doc};
    SilentSession() { doc.addView(&view); }

    static SilentSession& shared() {
        static SilentSession* s = new SilentSession();
        return *s;
    }
};

}  // namespace vortel::bench
