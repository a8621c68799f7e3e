// The one door from the core to the user interface.
//
// Every box, dialog, cursor, wait and settings access a command needs goes
// through `Platform`. The Qt program implements it with real windows, the
// console program prints boxes to standard error, and the tests use a scripted
// fake that answers dialogs and records every call.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace vortel {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// Progress box colours of the loaders and the writer.
inline constexpr Rgb kColourLoading{0x20, 0x20, 0x80};
inline constexpr Rgb kColourError{0x80, 0x00, 0x00};
inline constexpr Rgb kColourSame{0x80, 0x20, 0x20};
inline constexpr Rgb kColourSuccess{0x00, 0x80, 0x00};

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

struct FileDialogRequest {
    std::string defaultExtension;  // without dot, e.g. "obj"
    std::string initialName;       // e.g. "*.obj" or "body_VL.obj"
    std::string filter;            // in the "Text (*.ext)|*.ext||" form
    std::string initialDirectory;  // may be a file path; its folder is meant
    bool overwritePrompt = false;
};

struct SaveOptionsRequest {
    std::vector<std::string> groupNames;  // as stored, line ends included
    std::vector<bool> checks;             // initial checks, one per group
    std::string messageText;
};

struct SaveOptionsAnswer {
    std::vector<bool> checks;
    bool vertexOnly = false;
};

class Settings;

class Platform {
public:
    virtual ~Platform() = default;

    // Progress box: shows (or replaces) the one box with this text and colour.
    virtual void showProgressBox(const std::string& text, Rgb colour) = 0;
    virtual void closeProgressBox() = 0;

    virtual MsgAnswer messageBox(const std::string& caption, const std::string& text,
                                 MsgButtons buttons, MsgIcon icon) = 0;

    // Answer a path, or nothing for Cancel.
    virtual std::optional<std::string> openFileDialog(const FileDialogRequest& req) = 0;
    virtual std::optional<std::string> saveFileDialog(const FileDialogRequest& req) = 0;

    // The modal "SAVE OPTION" dialog; nothing for Cancel.
    virtual std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest& req) = 0;

    virtual void setStatusProgress(int position) = 0;  // 0..100
    virtual void setWaitCursor(bool on) = 0;
    virtual void waitMs(int ms) = 0;
    virtual void setMainWindowTitle(const std::string& title) = 0;

    virtual Settings& settings() = 0;
    // Folder of the program, ending in '/'; "work/" and "preset/" live there.
    virtual std::string homeFolder() const = 0;

    // ---- file browser ----
    // Deletes a file the way the desktop does: the Qt program moves it to the
    // desktop's trash where there is one. False when the file could not be deleted.
    virtual bool deleteFile(const std::string& path) { return std::remove(path.c_str()) == 0; }
};

}  // namespace vortel
