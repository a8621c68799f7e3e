// CLIST3DView: rows from the model, clicks and the context menu.
#include "groups/CLIST3DView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>

#include <memory>

#include "app/Resources.h"
#include "groups/GroupCommandIds.h"
#include "view3d/ViewState.h"

static_assert(vortel::kListColourObject == vortel::view::kColourObject &&
              vortel::kListColourMaterial == vortel::view::kColourMaterial &&
              vortel::kListColourNone == vortel::view::kColourNone);

namespace {

vortel::GroupList& modelOf(vortel::CVELTADoc& doc) {
    vortel::GroupList* list = doc.module<vortel::GroupList>();
    Q_ASSERT(list);  // every document installs it
    return *list;
}

}  // namespace

CLIST3DView::CLIST3DView(vortel::CVELTADoc& doc, std::function<int()> colourMode, QWidget* parent)
    : QTableWidget(parent), m_doc(doc), m_model(modelOf(doc)), m_colourMode(std::move(colourMode)) {
    vortel::gui::initResources();
    setObjectName("CLIST3DView");
    const char* icons[] = {"list_group_hidden", "list_group_shown", "list_material_hidden", "list_material_shown"};
    for (int i = 0; i < 4; ++i) m_icons[i] = QIcon(QString(":/vortel/icons/%1.png").arg(icons[i]));

    setColumnCount(1);
    setHorizontalHeaderItem(0, new QTableWidgetItem("GROUP NAME"));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setColumnWidth(0, kColumnWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(std::max(18, fontMetrics().height() + 4));
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setIconSize(QSize(16, 16));
    setFocusPolicy(Qt::StrongFocus);
    QPalette p = palette();
    p.setColor(QPalette::Text, kTextColour);
    setPalette(p);

    m_doc.addView(this);
    rebuild();
}

CLIST3DView::~CLIST3DView() { m_doc.removeView(this); }

void CLIST3DView::rebuild() {
    m_model.rebuild(m_colourMode ? m_colourMode() : vortel::kListColourObject);
    showRows();
}

void CLIST3DView::showRows() {
    setRowCount(0);  // every row and the selection go
    const std::vector<vortel::GroupListRow>& rows = m_model.rows();
    setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rowCount(); ++r) {
        auto* item = new QTableWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setForeground(kTextColour);
        setItem(r, 0, item);
        showRow(r);
    }
}

void CLIST3DView::showRow(int row) {
    QTableWidgetItem* it = item(row, 0);
    if (!it || row >= static_cast<int>(m_model.rows().size())) return;
    const vortel::GroupListRow& r = m_model.rows()[row];
    it->setText(QString::fromStdString(r.text));
    it->setIcon(m_icons[r.image]);
    it->setData(Qt::UserRole, r.image);
}

int CLIST3DView::rowImage(int row) const {
    const QTableWidgetItem* it = item(row, 0);
    return it ? it->data(Qt::UserRole).toInt() : -1;
}

void CLIST3DView::clickRow() {
    int first = -1;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        if (first < 0 || index.row() < first) first = index.row();
    const int toggled = m_model.click(first);
    if (toggled < 0)
        showRows();
    else
        showRow(toggled);
}

void CLIST3DView::mousePressEvent(QMouseEvent* event) {
    // A click on no row ends the selection, unless Ctrl or Shift keeps it.
    if (!indexAt(event->position().toPoint()).isValid() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier)))
        clearSelection();
    m_leftPressed = event->button() == Qt::LeftButton;
    QTableWidget::mousePressEvent(event);
}

void CLIST3DView::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        clickRow();
    } else if (event->button() == Qt::RightButton) {
        std::unique_ptr<QMenu> menu(createContextMenu(this));
        menu->exec(event->globalPosition().toPoint());
    }
}

void CLIST3DView::contextMenuEvent(QContextMenuEvent* event) {
    // The menu comes from the right click itself; no other menu.
    event->accept();
}

QMenu* CLIST3DView::createContextMenu(QWidget* parent) {
    auto* menu = new QMenu("DUMMY", parent);
    auto add = [this](QMenu* m, const char* text, int id) {
        QAction* a = m->addAction(QString::fromLatin1(text));
        a->setData(id);
        a->setEnabled(m_doc.commands().state(id).enabled);
        connect(a, &QAction::triggered, this, [this, id] { runMenuCommand(id); });
    };
    menu->addSeparator();
    add(menu, "SELECT ALL", vortel::cmd::GroupSelectAll);
    add(menu, "CLEAR ALL", vortel::cmd::GroupClearAll);
    add(menu, "REVERSE", vortel::cmd::GroupReverse);
    menu->addSeparator();
    QMenu* exports = menu->addMenu("DIRECT EXPORT");
    add(exports, "save selected groups in obj", vortel::cmd::ExportGroupObjs);
    exports->addSeparator();
    add(exports, "save all parts in CR2 (for morphmanager)", vortel::cmd::ExportCr2);
    exports->addSeparator();
    return menu;
}

void CLIST3DView::runMenuCommand(int id) {
    if (!m_doc.commands().state(id).enabled) return;
    m_doc.commands().run(id);
    // The model rebuilt its rows after "SELECT ALL", "CLEAR ALL" and "REVERSE".
    if (id == vortel::cmd::GroupSelectAll || id == vortel::cmd::GroupClearAll || id == vortel::cmd::GroupReverse)
        showRows();
}
