// Shared by the fuzz targets: a silent platform, one document with the panel
// as its view, and a scratch folder in memory (/dev/shm). The line readers take
// each input straight from memory through the open-by-path entry; the map file
// of "TO ORIGINAL", read by path, is written to the scratch folder first. One
// folder per process, so parallel fuzzers never share a file.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "doc/CVELTADoc.h"
#include "platform/Platform.h"
#include "platform/Settings.h"
#include "special/MtmPanel.h"

namespace vortel::fuzz {

// Answers every question with OK (so "TO ORIGINAL" reads on past its question),
// shows nothing and never waits.
class SilentPlatform : public Platform {
public:
    explicit SilentPlatform(const std::string& home) : m_home(home), m_settings(home + "VELTA.ini") {}
    void showProgressBox(const std::string&, Rgb) override {}
    void closeProgressBox() override {}
    MsgAnswer messageBox(const std::string&, const std::string&, MsgButtons buttons, MsgIcon) override {
        return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    std::optional<std::string> openFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogRequest&) override { return std::nullopt; }
    std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest&) override { return std::nullopt; }
    void setStatusProgress(int) override {}
    void setWaitCursor(bool) override {}
    void waitMs(int) override {}
    void setMainWindowTitle(const std::string&) override {}
    Settings& settings() override { return m_settings; }
    std::string homeFolder() const override { return m_home; }

private:
    std::string m_home;
    Settings m_settings;
};

// The scratch folder of this process: /dev/shm/vortel-fuzz-PID/ (the temporary
// folder when there is no /dev/shm), with work/ inside; removed at exit.
inline const std::string& scratchFolder() {
    static const std::string folder = [] {
        namespace fs = std::filesystem;
        const fs::path root = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        const fs::path dir = root / ("vortel-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(dir / "work");
        static const std::string removeAtExit = dir.string();
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(removeAtExit, ec);
        });
        return dir.string() + "/";
    }();
    return folder;
}

// Writes BYTES to NAME in the scratch folder and gives its path.
inline std::string writeScratch(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = scratchFolder() + name;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}

inline std::string writeScratch(const std::string& name, const std::string& text) {
    return writeScratch(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The program's objects as the window holds them: one document for the whole
// run (loads overwrite it in place) with the special panel as its view.
struct Session {
    SilentPlatform platform{scratchFolder()};
    CVELTADoc doc{platform};
    MtmPanel panel{doc};
    MtmPanelView panelView{doc, panel};
    Session() { panel.startUp(); }

    // Opens PATH through the open-by-path entry (kind 0 mesh, 1 morph target).
    void open(const std::string& path, int kind) { doc.openByPath(path, "fuzz", kind); }
    // The same with the file's bytes in memory; NAME (in the scratch folder) gives the path its extension.
    void openBytes(const std::string& name, const uint8_t* data, size_t size, int kind) {
        doc.openFromMemory(scratchFolder() + name, reinterpret_cast<const char*>(data), size, kind);
    }
    bool loaded() const { return doc.loadStatus == "NORMAL" && doc.vertexCount > 0; }
    // Save As in direct mode, every group visible, into the scratch folder.
    void saveDirect() {
        static const std::string out = scratchFolder() + "saved.obj";
        std::memset(doc.groupVisibleFlag.data(), 1, kMaxGroups);
        doc.savePath = out;
        doc.directSaveFlag = 1;
        doc.onSaveAs();
        doc.directSaveFlag = 0;
    }
};

inline Session& session() {
    static Session* s = new Session;  // lives until the process ends, as the program's document does
    return *s;
}

}  // namespace vortel::fuzz
