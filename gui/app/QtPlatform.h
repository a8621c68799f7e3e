// QtPlatform: the Qt windows behind the core's platform interface - the
// progress box, message boxes, file dialogs, the "SAVE OPTION" dialog, the
// status progress bar, the wait cursor, waits, the window title and
// "VELTA.ini" in the home folder.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <QWidget>
#include <string>

#include "app/ProgressBox.h"
#include "platform/HomeFolder.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

namespace vortel::gui {



class QtPlatform : public Platform {
public:
    // HOME ends in '/'; the settings file is HOME + "VELTA.ini".
    explicit QtPlatform(std::string home);
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    void showProgressBox(const std::string& text, Rgb colour) override;
    void closeProgressBox() override;
    MsgAnswer messageBox(const std::string& caption, const std::string& text, MsgButtons buttons,
                         MsgIcon icon) override;
    std::optional<std::string> openFileDialog(const FileDialogRequest& req) override;
    std::optional<std::string> saveFileDialog(const FileDialogRequest& req) override;
    std::optional<SaveOptionsAnswer> saveOptionsDialog(const SaveOptionsRequest& req) override;
    void setStatusProgress(int position) override;
    void setWaitCursor(bool on) override;
    void waitMs(int ms) override;
    void setMainWindowTitle(const std::string& title) override;
    Settings& settings() override { return m_settings; }
    std::string homeFolder() const override { return m_home; }
    // To the desktop trash where there is one, else removed.
    bool deleteFile(const std::string& path) override;

    // The main frame registers itself: it owns the title, the status progress
    // bar, and is the owner of boxes when no other window is active.
    void attachMainWindow(QWidget* window, QProgressBar* statusProgress);
    void detachMainWindow(QWidget* window);
    QWidget* mainWindow() const { return m_main; }

    // Tests run the progress box waits without waiting.
    void setWaitsEnabled(bool on) { m_waitsEnabled = on; }
    ProgressBox* progressBox() const { return m_box; }

private:
    QWidget* dialogOwner() const;

    std::string m_home;
    Settings m_settings;
    QPointer<QWidget> m_main;
    QPointer<QProgressBar> m_statusProgress;
    QPointer<ProgressBox> m_box;
    int m_waitCursorDepth = 0;
    bool m_waitsEnabled = true;
};

// The home folder fixed at start-up: the folder is made the current
// directory and recorded in "VELTA.ini" ("Locate"/"name" and "drive").
using vortel::recordHomeFolder;

}  // namespace vortel::gui
