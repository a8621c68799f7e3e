// Console answers for every box and dialog a command asks for.
#include "ConsolePlatform.h"

#include <cstdio>

#include "groups/SaveOptionsState.h"
#include "platform/HomeFolder.h"

namespace vortel {

std::string escapeLineFeeds(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Start-up as the window's: the home folder is fixed and recorded in "VELTA.ini".
ConsolePlatform::ConsolePlatform() : m_home(programHomeFolder()), m_settings(m_home + "VELTA.ini") {
    recordHomeFolder(m_settings, m_home);
}

void ConsolePlatform::showProgressBox(const std::string& text, Rgb) {
    std::fprintf(stderr, "[progress] %s\n", escapeLineFeeds(text).c_str());
}

MsgAnswer ConsolePlatform::messageBox(const std::string& caption, const std::string& text, MsgButtons buttons,
                                      MsgIcon) {
    std::fprintf(stderr, "[%s] %s\n", caption.c_str(), escapeLineFeeds(text).c_str());
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    default:
        return MsgAnswer::Ok;
    }
}

std::optional<std::string> ConsolePlatform::openFileDialog(const FileDialogRequest&) { return openAnswer; }

std::optional<std::string> ConsolePlatform::saveFileDialog(const FileDialogRequest&) { return saveAnswer; }

std::optional<SaveOptionsAnswer> ConsolePlatform::saveOptionsDialog(const SaveOptionsRequest& req) {
    SaveOptionsState dialog(req);
    if (groupList) {
        for (size_t i = 0; i < dialog.checks().size(); ++i) dialog.setCheck(static_cast<int>(i), false);
        for (int g : *groupList) dialog.setCheck(g, true);
    }
    if (vertexOnly) dialog.clickVertexOnly(true);
    if (!dialog.pressOk()) {
        // The dialog would stay open; the console can only give up.
        std::fprintf(stderr, "[SAVE OPTION] %s\n", dialog.statusLine().c_str());
        return std::nullopt;
    }
    return dialog.answer();
}

}  // namespace vortel
