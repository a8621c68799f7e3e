// Group check list: palette row colours, the row painter and the choosing rules.
#include "groups/GroupCheckList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "doc/GroupPalette.h"

namespace vortel::gui {
namespace {

constexpr int kCheckRole = Qt::UserRole + 1;
constexpr int kCheckMargin = 2;
constexpr int kIndicator = 13;

class RowPainter : public QStyledItemDelegate {
public:
    explicit RowPainter(GroupCheckList* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect row = option.rect;
        const bool checked = index.data(kCheckRole).toBool();
        // Check box at the left of the row.
        QStyleOptionButton box;
        box.rect = QRect(row.left() + kCheckMargin, row.top() + (row.height() - kIndicator) / 2, kIndicator,
                         kIndicator);
        box.state = (checked ? QStyle::State_On : QStyle::State_Off);
        if (m_list->isEnabled()) box.state |= QStyle::State_Enabled;
        QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, p, m_list);
        // The item itself starts right of the check box.
        QRect item = row;
        item.setLeft(row.left() + GroupCheckList::checkBoxWidth());
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(item.adjusted(1, 0, 0, 0),
                    selected ? GroupCheckList::kSelectionFill : m_list->palette().color(QPalette::Base));
        p->setPen(m_list->rowColour(index.row()));
        p->setFont(option.font);
        p->drawText(item.adjusted(3, 2, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(kIndicator + 2, option.fontMetrics.height() + 2));
        return s;
    }

private:
    GroupCheckList* m_list;
};

}  // namespace

GroupCheckList::GroupCheckList(QWidget* parent) : QListWidget(parent) {
    setObjectName("GroupCheckList");
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setItemDelegate(new RowPainter(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Each row keeps its palette colour, two thirds of the palette brightness.
    for (int i = 0; i < kRowColours; ++i) {
        const vortel::PaletteColour& c = vortel::kGroupPalette[i];
        m_red[i] = static_cast<int>(c.r * 255.0f * 2.0f / 3.0f);
        m_green[i] = static_cast<int>(c.g * 255.0f * 2.0f / 3.0f);
        m_blue[i] = static_cast<int>(c.b * 255.0f * 2.0f / 3.0f);
    }
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> chosen = selectedItems();
        if (chosen.isEmpty()) return;
        const int r = row(chosen.first());
        if (r == m_lastChosen) return;
        m_lastChosen = r;
        emit rowChosen(r);
    });
}

int GroupCheckList::checkBoxWidth() { return kIndicator + 2 * kCheckMargin; }

void GroupCheckList::setRows(const std::vector<std::string>& rows) {
    clear();
    m_lastChosen = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(rows[i]));
        item->setData(kCheckRole, false);
        insertItem(static_cast<int>(i), item);
    }
}

void GroupCheckList::setCheck(int r, bool on) {
    if (QListWidgetItem* it = item(r)) it->setData(kCheckRole, on);
}

bool GroupCheckList::check(int r) const {
    const QListWidgetItem* it = item(r);
    return it && it->data(kCheckRole).toBool();
}

QColor GroupCheckList::rowColour(int r) const {
    if (r < 0 || r >= kRowColours) return Qt::black;
    return QColor(m_red[r], m_green[r], m_blue[r]);
}

QRect GroupCheckList::checkBoxRect(int r) const {
    const QRect rowRect = visualItemRect(item(r));
    return QRect(rowRect.left(), rowRect.top(), checkBoxWidth(), rowRect.height());
}

void GroupCheckList::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const int r = index.isValid() ? index.row() : -1;
    // The check box of the row already chosen flips it; any other row is
    // flipped by becoming the chosen row.
    if (r >= 0 && r == m_lastChosen && item(r)->isSelected() &&
        checkBoxRect(r).contains(event->position().toPoint())) {
        emit checkBoxClicked(r);
        return;
    }
    QListWidget::mousePressEvent(event);
}

void GroupCheckList::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && currentRow() >= 0) {
        emit checkBoxClicked(currentRow());
        return;
    }
    QListWidget::keyPressEvent(event);
}

}  // namespace vortel::gui
