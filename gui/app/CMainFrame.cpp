// CMainFrame: bars, panes, placement, start-up timer, command routing and
// the panel swap of the lower-left pane.
#include "app/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/AboutBox.h"
#include "app/FrameCommands.h"
#include "app/HandOff.h"
#include "app/QtPlatform.h"
#include "app/Resources.h"
#include "browser/CTTtreeView.h"
#include "controls/DialogUnits.h"
#include "groups/CLIST3DView.h"
#include "scatter/DropRequest.h"
#include "scatter/DropWindow.h"
#include "scatter/HairWindow.h"
#include "special/CBVH.h"
#include "special/CMTM.h"
#include "view3d/CVELTAView.h"
#include "controls/WindowPlacement.h"

namespace vortel::gui {
namespace {

struct CommandEntry {
    int id;
    const char* text;
    QList<QKeySequence> keys;
    const char* icon;  // toolbar picture, or nullptr
    bool checkable;
};

const std::vector<CommandEntry>& commandTable() {
    using QK = QKeySequence;
    static const std::vector<CommandEntry> table = {
        {cmd::FileNew, "&New", {QK(Qt::CTRL | Qt::Key_N)}, "new", false},
        {cmd::FileOpen, "&Open...", {QK(Qt::CTRL | Qt::Key_O)}, "open", false},
        {cmd::MtOpen, "MT Open ", {}, "mtopen", false},
        {cmd::SeedOpen, "Seed Open", {}, nullptr, false},
        {cmd::FileSave, "&Save", {QK(Qt::CTRL | Qt::Key_S)}, nullptr, false},
        {cmd::FileSaveAs, "Save &As...", {}, "saveas", false},
        {cmd::ExportDrop, "Drop", {}, nullptr, false},
        {cmd::ExportHair, "HAIR", {}, nullptr, false},
        {cmd::AppExit, "E&xit", {}, nullptr, false},
        {cmd::EditUndo, "&Undo", {QK(Qt::CTRL | Qt::Key_Z), QK(Qt::ALT | Qt::Key_Backspace)}, nullptr, false},
        {cmd::EditCopy, "&Copy", {QK(Qt::CTRL | Qt::Key_C), QK(Qt::CTRL | Qt::Key_Insert)}, "copy", false},
        {cmd::EditCut, "Cu&t", {QK(Qt::CTRL | Qt::Key_X), QK(Qt::SHIFT | Qt::Key_Delete)}, nullptr, false},
        {cmd::EditPaste, "&Paste", {QK(Qt::CTRL | Qt::Key_V), QK(Qt::SHIFT | Qt::Key_Insert)}, "paste", false},
        {cmd::ViewToolbar, "&Toolbar", {}, nullptr, true},
        {cmd::ViewStatusBar, "&Status Bar", {}, nullptr, true},
        {cmd::Play, "Play", {}, "play", true},
        {cmd::Pause, "Pause", {}, "pause", true},
        {cmd::FF, "FF", {}, "ff", true},
        {cmd::Stop, "Stop", {}, "stop", true},
        {cmd::ViewPixel, "PIXEL", {}, "pixel", true},
        {cmd::ViewWire, "WIRE", {}, "wire", true},
        {cmd::ViewWirePlus, "WIRE ++", {}, "wireplus", true},
        {cmd::ViewFlat, "FLAT", {}, "flat", true},
        {cmd::ViewSmooth, "SMOOTH", {}, "smooth", true},
        {cmd::UvView, "UV VIEW", {}, "uvview", true},
        {cmd::SpecialFunc, "SPECIAL FUNC", {}, "special", true},
        {cmd::Drop, "DROP", {}, "drop", true},
        {cmd::ExcuteZidu, "Excute ZIDU", {}, "zidu", false},
        {cmd::Collision, "Collision", {}, "collision", false},
        {cmd::HairDialog, "HAIR", {}, nullptr, true},
        {cmd::Motion, "MOTION", {}, nullptr, false},
        {cmd::AppAbout, "&About VORTEL ...", {}, "about", false},
        {cmd::Vuroz, "VUROZ++", {}, nullptr, false},
    };
    return table;
}

// A rectangle that no screen shows would put the window out of reach.
bool onSomeScreen(const QRect& r) {
    for (QScreen* s : QGuiApplication::screens())
        if (s->availableVirtualGeometry().intersects(r)) return true;
    return QGuiApplication::screens().isEmpty();
}

int paneSize(int stored) { return stored == 0 ? CMainFrame::kDefaultPane : std::max(0, stored); }

}  // namespace

CMainFrame::CMainFrame(CVELTADoc& doc, QtPlatform& platform, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_doc(doc), m_platform(platform), m_arguments(arguments) {
    initResources();
    setObjectName("CMainFrame");
    setWindowIcon(QIcon(":/vortel/vortel.png"));
    // The document's name beside the program's title, as for any opened document.
    const QString name = m_arguments.isEmpty() ? QStringLiteral("Please Open OBJ file :)")
                                               : QFileInfo(m_arguments.first()).fileName();
    setWindowTitle(name + " - VORTEL");

    createClient();
    createActions();
    createMenus();
    createToolBars();
    createStatusBar();
    restorePlacement();
    m_platform.attachMainWindow(this, m_progress);

    registerFrameCommands();
    installDropTool(*this, m_doc);
    installHairWindow(*this, m_doc);
    m_focusWatch = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (QWidget* pane : {static_cast<QWidget*>(m_view), m_tree, lowerPane()})
            if (pane && now && (now == pane || pane->isAncestorOf(now))) setActiveView(pane, false);
    });
    m_updateTimer = new QTimer(this);
    m_updateTimer->setInterval(kUpdateIntervalMs);
    connect(m_updateTimer, &QTimer::timeout, this, &CMainFrame::updateCommandUi);
    m_updateTimer->start();
    QTimer::singleShot(100, this, &CMainFrame::onStartupTimer);
    updateCommandUi();
    m_created = true;
}

CMainFrame::~CMainFrame() {
    // The panes go after this body; focus moves while they do.
    disconnect(m_focusWatch);
    m_doc.commands().removeOwner(this);
    m_doc.commands().setActiveView(nullptr);
    saveLayout();
    delete m_splash.data();
    m_platform.detachMainWindow(this);
}

// ---------------------------------------------------------------- bars

void CMainFrame::createActions() {
    for (const CommandEntry& entry : commandTable()) {
        auto* a = new QAction(QString::fromUtf8(entry.text), this);
        a->setData(entry.id);
        a->setShortcuts(entry.keys);
        a->setCheckable(entry.checkable);
        if (entry.icon) a->setIcon(QIcon(QString(":/vortel/icons/%1.png").arg(entry.icon)));
        connect(a, &QAction::triggered, this, [this, id = entry.id] { runCommand(id); });
        addAction(a);  // accelerators work with or without a menu item
        m_actions[entry.id] = a;
    }
}

void CMainFrame::createMenus() {
    QMenuBar* bar = menuBar();
    auto add = [this](QMenu* m, int id) { m->addAction(action(id)); };

    QMenu* file = bar->addMenu("&File");
    add(file, cmd::FileNew);
    add(file, cmd::FileOpen);
    add(file, cmd::MtOpen);
    add(file, cmd::SeedOpen);
    add(file, cmd::FileSaveAs);
    QMenu* exportMenu = file->addMenu("Export");
    add(exportMenu, cmd::ExportDrop);
    add(exportMenu, cmd::ExportHair);
    file->addSeparator();
    add(file, cmd::AppExit);

    QMenu* edit = bar->addMenu("&Edit");
    add(edit, cmd::EditUndo);

    QMenu* view = bar->addMenu("&View");
    add(view, cmd::ViewToolbar);
    add(view, cmd::ViewStatusBar);

    QMenu* mode = bar->addMenu("&Mode");
    QMenu* mt = mode->addMenu("MT");
    for (int id : {cmd::Play, cmd::Pause, cmd::FF, cmd::Stop}) add(mt, id);
    QMenu* model = mode->addMenu("MODEL VIEW");
    for (int id : {cmd::ViewPixel, cmd::ViewWire, cmd::ViewWirePlus, cmd::ViewFlat, cmd::ViewSmooth}) add(model, id);
    add(mode, cmd::UvView);

    QMenu* function = bar->addMenu("&Function");
    for (int id : {cmd::SpecialFunc, cmd::Drop, cmd::ExcuteZidu, cmd::Collision, cmd::Motion}) add(function, id);
    add(function, cmd::HairDialog);

    QMenu* help = bar->addMenu("&Help");
    add(help, cmd::AppAbout);
    add(help, cmd::Vuroz);

    // Every item shows its state as it is when the menu opens.
    for (QMenu* m : bar->findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, &CMainFrame::updateCommandUi);
}

void CMainFrame::createToolBars() {
    m_toolBar = addToolBar("Toolbar");
    m_toolBar->setObjectName("Toolbar");
    m_toolBar->setIconSize(QSize(16, 15));
    const int layout[] = {cmd::FileNew, cmd::FileOpen, cmd::MtOpen, 0, cmd::FileSaveAs, 0, cmd::ViewPixel,
                          cmd::ViewWire, cmd::ViewWirePlus, cmd::ViewFlat, cmd::ViewSmooth, 0, cmd::UvView, 0,
                          cmd::Stop, cmd::Pause, cmd::Play, cmd::FF, 0, cmd::SpecialFunc, cmd::Drop, 0,
                          cmd::Collision, cmd::ExcuteZidu, 0, cmd::EditCopy, cmd::AppAbout, cmd::EditPaste};
    for (int id : layout) {
        if (id == 0)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(action(id));
    }
    // The dialog bar: an empty band beside the toolbar.
    m_dialogBar = addToolBar("DialogBar");
    m_dialogBar->setObjectName("DialogBar");
    auto* empty = new QWidget(m_dialogBar);
    const DialogUnits du(font());
    empty->setFixedSize(du.x(163), du.y(15));
    m_dialogBar->addWidget(empty);
    const QString band = "QToolBar { background-image: url(:/vortel/band.png); border: none; }";
    m_toolBar->setStyleSheet(band);
    m_dialogBar->setStyleSheet(band);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setMinimumHeight(22);
    const struct {
        int id;
        const char* sample;
    } indicators[] = {{cmd::IndicatorVertices, "V:000000"}, {cmd::IndicatorFaces, "F:000000"},
                      {cmd::IndicatorUvs, "U:000000"}};
    for (const auto& ind : indicators) {
        auto* label = new QLabel(bar);
        label->setObjectName(QString("Indicator%1").arg(ind.id));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(ind.sample) + 8);
        bar->addPermanentWidget(label);
        m_counters[ind.id] = label;
    }
    m_progress = new QProgressBar(bar);
    m_progress->setObjectName("StatusProgress");
    m_progress->setGeometry(QRect(QPoint(25, 2), QPoint(399, 18)));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->raise();
}

void CMainFrame::restorePlacement() {
    const Settings& s = m_platform.settings();
    const int left = s.getInt("Window", "left", 0), top = s.getInt("Window", "top", 0);
    const int right = s.getInt("Window", "right", 0), bottom = s.getInt("Window", "bottom", 0);
    const QRect stored(left, top, right - left, bottom - top);
    if (stored.width() > 0 && stored.height() > 0 && onSomeScreen(stored))
        setGeometry(stored);
    else
        resize(kDefaultSize);
}

// ---------------------------------------------------------------- panes

void CMainFrame::createClient() {
    const Settings& s = m_platform.settings();
    m_outer = new QSplitter(Qt::Horizontal, this);
    m_outer->setObjectName("OuterSplitter");
    m_outer->setChildrenCollapsible(true);
    m_left = new QSplitter(Qt::Vertical, m_outer);
    m_left->setObjectName("LeftSplitter");
    m_view = new CVELTAView(m_doc, m_outer);
    m_tree = new CTTtreeView(m_doc, m_left);
    m_left->addWidget(m_tree);
    installLowerPane(createLowerPane(0));
    m_outer->addWidget(m_left);
    m_outer->addWidget(m_view);
    for (QWidget* w : {static_cast<QWidget*>(m_left), m_tree, static_cast<QWidget*>(m_view)}) w->setMinimumSize(1, 1);
    // The left column and the browser keep their pixel sizes; the rest gets what is left.
    m_outer->setStretchFactor(0, 0);
    m_outer->setStretchFactor(1, 1);
    m_left->setStretchFactor(0, 0);
    m_left->setStretchFactor(1, 1);
    m_left->setSizes({paneSize(s.getInt("Window", "pane2", 0)), 1});
    m_outer->setSizes({paneSize(s.getInt("Window", "pane", 0)), 1});
    setCentralWidget(m_outer);

    m_splash = new SplashWindow(this);
    m_splash->show();
    setActiveView(m_view);
}

QWidget* CMainFrame::createLowerPane(int kind) {
    QWidget* pane = nullptr;
    switch (kind) {
    case 1: pane = new CMTM(m_doc); break;
    case 2: pane = new CBVH(m_doc); break;
    default:
        pane = new CLIST3DView(m_doc, [view = QPointer<CVELTAView>(m_view)] { return view ? view->colourMode() : 0; });
        break;
    }
    pane->setMinimumSize(1, 1);
    return pane;
}

void CMainFrame::installLowerPane(QWidget* pane) {
    if (m_left->count() < 2)
        m_left->addWidget(pane);
    else
        delete m_left->replaceWidget(1, pane);
    m_left->setStretchFactor(1, 1);
}

QWidget* CMainFrame::lowerPane() const { return m_left && m_left->count() > 1 ? m_left->widget(1) : nullptr; }

QLabel* CMainFrame::counterLabel(int indicator) const {
    auto it = m_counters.find(indicator);
    return it == m_counters.end() ? nullptr : it->second;
}

void CMainFrame::setActiveView(QWidget* view, bool focus) {
    m_activeView = view;
    // The command table knows views by their DocumentView side.
    m_doc.commands().setActiveView(dynamic_cast<DocumentView*>(view));
    if (view && focus) view->setFocus();
}

void CMainFrame::swapPanel(int command) {
    m_doc.specialPanelShownFlag = m_doc.specialPanelShownFlag ? 0 : 1;
    QWidget* old = lowerPane();
    const int width = old ? old->width() : 0;
    int kind = 0;  // an alternative panel is up: the command returns to the group list
    if (m_panelShown != 1) {
        kind = command == cmd::SpecialFunc ? 1 : 2;
        m_doc.viewRefreshAfterLoad();
        update();
    }
    QWidget* pane = createLowerPane(kind);
    pane->resize(width, 0);
    installLowerPane(pane);  // the old pane and its view go with it
    setActiveView(pane);
    m_panelShown = m_panelShown ? 0 : 1;
    if (m_doc.specialPanelShownFlag == 1 && m_created) {
        // The panel gets about 370 pixels; the browser above keeps the rest.
        const int browser = std::max(0, m_outer->height() - kSpecialPanelHeight);
        m_left->setSizes({browser, std::max(1, m_left->height() - browser - m_left->handleWidth())});
    }
    m_doc.redrawAll();
}

// ---------------------------------------------------------------- commands

QAction* CMainFrame::action(int id) const {
    auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

CommandState CMainFrame::commandState(int id) const { return m_doc.commands().state(id); }

void CMainFrame::registerFrameCommands() {
    CommandTable& t = m_doc.commands();
    constexpr CommandLevel frame = CommandLevel::Frame;
    constexpr CommandLevel app = CommandLevel::Application;
    t.add(cmd::UvView, frame, [this] { return CommandRule{true, m_doc.uvViewFlag == 1}; },
          [this] {
              m_doc.uvViewFlag = m_doc.uvViewFlag ? 0 : 1;
              m_doc.redrawAll();
              for (QWidget* w : findChildren<QWidget*>()) w->update();
          },
          this);
    t.add(cmd::ExcuteZidu, frame, [this] { return CommandRule{handOffEnabled(m_platform.settings())}; },
          [this] { handOffToProgram(m_doc, m_platform.settings()); }, this);
    t.add(cmd::ViewToolbar, frame, [this] { return CommandRule{true, m_toolBar && !m_toolBar->isHidden()}; },
          [this] { m_toolBar->setVisible(m_toolBar->isHidden()); }, this);
    t.add(cmd::ViewStatusBar, frame, [this] { return CommandRule{true, !statusBar()->isHidden()}; },
          [this] { statusBar()->setVisible(statusBar()->isHidden()); }, this);
    t.add(cmd::SpecialFunc, frame, [this] { return CommandRule{true, m_doc.specialPanelShownFlag != 0}; },
          [this] { swapPanel(cmd::SpecialFunc); }, this);
    t.add(cmd::Motion, frame, nullptr, [this] { swapPanel(cmd::Motion); }, this);
    t.add(cmd::Vuroz, app, nullptr, [this] { QDesktopServices::openUrl(homePageUrl(m_platform.homeFolder())); },
          this);
    t.add(cmd::AppAbout, app, nullptr,
          [this] {
              AboutBox about(this);
              about.exec();
          },
          this);
    t.add(cmd::AppExit, app, nullptr, [this] { m_exitRequested = true; }, this);
}

void CMainFrame::updateCommandUi() {
    for (auto& [id, a] : m_actions) {
        const CommandState s = commandState(id);
        a->setEnabled(s.enabled);
        if (a->isCheckable()) a->setChecked(s.checked);
    }
    if (QLabel* l = counterLabel(cmd::IndicatorVertices)) l->setText(QString("V:%1").arg(m_doc.vertexCount));
    if (QLabel* l = counterLabel(cmd::IndicatorFaces)) l->setText(QString("F:%1").arg(m_doc.faceCount));
    if (QLabel* l = counterLabel(cmd::IndicatorUvs)) l->setText(QString("U:%1").arg(m_doc.uvCount));
}

void CMainFrame::runCommand(int id) {
    // A click can arrive before the last update pass saw a change.
    if (!commandState(id).enabled) {
        updateCommandUi();
        return;
    }
    m_doc.commands().run(id);
    if (m_exitRequested) {
        m_exitRequested = false;
        close();
        return;
    }
    updateCommandUi();
}

// ---------------------------------------------------------------- requests

std::array<int, 5> CMainFrame::decodeDropRequest(int wParam, int lParam) {
    return vortel::decodeDropRequest(wParam, lParam);
}

void CMainFrame::postDropRequest(int wParam, int lParam) {
    QMetaObject::invokeMethod(
        this,
        [this, wParam, lParam] {
            const std::array<int, 5> v = decodeDropRequest(wParam, lParam);
            if (dropRoutine) dropRoutine(v[0], v[1], v[2], v[3], v[4]);
        },
        Qt::QueuedConnection);
}

void CMainFrame::postPresetSeedRequest(int index) {
    QMetaObject::invokeMethod(
        this, [this, index] { if (presetSeedLoad) presetSeedLoad(index); }, Qt::QueuedConnection);
}

void CMainFrame::postHairRequest(int command, int lParam) {
    QMetaObject::invokeMethod(
        this, [this, command, lParam] { if (hairOperation) hairOperation(command, lParam); }, Qt::QueuedConnection);
}

// ---------------------------------------------------------------- start and end

void CMainFrame::onStartupTimer() {
    if (!m_arguments.isEmpty()) {
        const QString argument = m_arguments.first();
        const std::string path = argument.toStdString();
        m_doc.openByPath(path, QFileInfo(argument).completeBaseName().toStdString(), 0);
        m_doc.treeRefresh(path);
    }
    QTimer::singleShot(200, this, [this] { delete m_splash.data(); });
    updateCommandUi();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    saveLayout();
    QMainWindow::closeEvent(event);
}

void CMainFrame::saveLayout() {
    if (m_layoutSaved) return;
    m_layoutSaved = true;
    Settings& s = m_platform.settings();
    const Qt::WindowStates state = windowState();
    const QRect r = restoredGeometry(*this);
    s.writeInt("Window", "left", r.x());
    s.writeInt("Window", "top", r.y());
    s.writeInt("Window", "right", r.x() + r.width());
    s.writeInt("Window", "bottom", r.y() + r.height());
    const int show = (state & Qt::WindowMinimized) ? 2 : (state & Qt::WindowMaximized) ? 3 : 1;
    s.writeInt("Window", "show", show);
    s.writeInt("Window", "pane", m_left->width());
    s.writeInt("Window", "pane2", m_tree->height());
    // Keys created so that they can be edited by hand; a user's value stays.
    if (s.getString("Excute", "Applname", "NULL") == "NULL") s.writeString("Excute", "Applname", "NULL");
    if (s.getString("Excute", "DeleteFile", "NONE") == "NONE") s.writeString("Excute", "DeleteFile", "NULL");
    if (s.getString("Function", "FurFur", "NONE") == "NONE") s.writeString("Function", "FurFur", "NONE");
    if (s.getString("Function", "Coligion", "NONE") == "NONE") s.writeString("Function", "Coligion", "NONE");
}

}  // namespace vortel::gui
