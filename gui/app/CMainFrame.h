// CMainFrame: the single top-level window - menu bar, toolbar and dialog bar,
// status bar with the vertex/face/UV counters and the status progress bar,
// and the client area split into the file browser over the lower-left pane
// and the 3-D view on the right. It restores and saves its placement and pane
// sizes in "VELTA.ini", opens a mesh named on the command line, swaps the
// lower-left pane and relays the tool windows' requests to the document.
//
// Every menu, toolbar and accelerator command goes through the document's
// command table, which routes it to the active view, the document and its
// modules, the frame and the application, in that order. The frame registers
// its own and the application's commands there.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <array>
#include <functional>
#include <map>

#include "doc/CVELTADoc.h"

class QLabel;
class QProgressBar;
class QSplitter;
class QTimer;
class QToolBar;
class CVELTAView;

namespace vortel::gui {

class QtPlatform;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr QSize kDefaultSize{1000, 700};
    static constexpr int kDefaultPane = 200;
    static constexpr int kSpecialPanelHeight = 370;
    static constexpr int kUpdateIntervalMs = 200;

    // ARGUMENTS: the command line after the program name; the first names a mesh to open.
    CMainFrame(CVELTADoc& doc, QtPlatform& platform, const QStringList& arguments = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // ---- commands ----
    QAction* action(int id) const;
    CommandState commandState(int id) const;  // the routed enable and check rule
    void runCommand(int id);
    void updateCommandUi();  // every action and the counters

    // ---- panes and bars ----
    QSplitter* outerSplitter() const { return m_outer; }
    QSplitter* leftSplitter() const { return m_left; }
    CVELTAView* view3d() const { return m_view; }
    QWidget* treePane() const { return m_tree; }
    QWidget* lowerPane() const;
    QWidget* activeView() const { return m_activeView; }
    QProgressBar* statusProgressBar() const { return m_progress; }
    QLabel* counterLabel(int indicator) const;
    QToolBar* toolBar() const { return m_toolBar; }
    QToolBar* dialogBar() const { return m_dialogBar; }
    QWidget* splashWindow() const { return m_splash; }
    int panelShownFlag() const { return m_panelShown; }

    // ---- requests of the Drop and HAIR windows, run after the sender returned ----
    void postDropRequest(int wParam, int lParam);
    void postPresetSeedRequest(int index);
    void postHairRequest(int command, int lParam);
    // Receivers, installed by the tools that own them.
    std::function<void(int, int, int, int, int)> dropRoutine;
    std::function<void(int)> presetSeedLoad;
    std::function<void(int, int)> hairOperation;
    // The five numbers of a drop request: wParam / 1000, (wParam % 1000) / 100,
    // wParam % 100, lParam / 10, lParam % 10.
    static std::array<int, 5> decodeDropRequest(int wParam, int lParam);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    void createStatusBar();
    void createClient();
    void restorePlacement();
    void onStartupTimer();
    void saveLayout();
    void swapPanel(int command);
    QWidget* createLowerPane(int kind);
    void installLowerPane(QWidget* pane);
    void setActiveView(QWidget* view, bool focus = true);
    void registerFrameCommands();

    CVELTADoc& m_doc;
    QtPlatform& m_platform;
    QStringList m_arguments;
    std::map<int, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    QToolBar* m_dialogBar = nullptr;
    QProgressBar* m_progress = nullptr;
    std::map<int, QLabel*> m_counters;
    QSplitter* m_outer = nullptr;
    QSplitter* m_left = nullptr;
    CVELTAView* m_view = nullptr;
    QWidget* m_tree = nullptr;
    QPointer<QWidget> m_activeView;
    QPointer<QWidget> m_splash;
    QTimer* m_updateTimer = nullptr;
    QMetaObject::Connection m_focusWatch;
    int m_panelShown = 0;
    bool m_created = false;
    bool m_layoutSaved = false;
    bool m_exitRequested = false;
};

}  // namespace vortel::gui
