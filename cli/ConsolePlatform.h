// The console face of the platform: boxes become lines on standard error,
// dialogs are answered from the command line, waits are skipped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/Settings.h"

namespace vortel {

class ConsolePlatform : public Platform {
public:
    ConsolePlatform();

    void showProgressBox(const std::string& text, Rgb colour) override;
    void closeProgressBox() override {}
    MsgAnswer messageBox(const std::string& caption, const std::string& text, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& req) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& req) override;
    std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest& req) override;
    void setStatusProgress(int) override {}
    void setWaitCursor(bool) override {}
    void waitMs(int) override {}
    void setMainWindowTitle(const std::string&) override {}
    Settings& settings() override { return m_settings; }
    std::string homeFolder() const override { return m_home; }

    // Scripted answers.
    std::optional<std::string> openAnswer;
    std::optional<std::string> saveAnswer;
    std::optional<std::vector<int>> groupList;  // checked rows; nothing: the initial checks
    bool vertexOnly = false;

private:
    std::string m_home;
    Settings m_settings;
};

// TEXT with every line feed written as the two characters \n.
std::string escapeLineFeeds(const std::string& text);

}  // namespace vortel
