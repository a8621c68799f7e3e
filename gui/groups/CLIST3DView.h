// CLIST3DView: the group list pane (lower left). It shows vortel::GroupList
// as a report-style list without a header: one row per group (or material)
// with its state icon, several rows selectable, grid lines, full-row select.
// A left click toggles the first selected row; a right click opens the menu
// with "SELECT ALL", "CLEAR ALL", "REVERSE" and the "DIRECT EXPORT"s. The
// rules live in the model; this window shows it and forwards the clicks.
#pragma once

#include <QIcon>
#include <QTableWidget>
#include <functional>

#include "doc/CVELTADoc.h"
#include "groups/GroupList.h"

class QMenu;

class CLIST3DView : public QTableWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    static constexpr int kColumnWidth = 400;
    static inline const QColor kTextColour{0x40, 0x40, 0x5E};

    // COLOUR MODE tells the 3D view's colour mode (0 OBJECT, 1 MATERIAL, 2 NONE)
    // at each rebuild; without it the list shows groups.
    explicit CLIST3DView(vortel::CVELTADoc& doc, std::function<int()> colourMode = {}, QWidget* parent = nullptr);
    ~CLIST3DView() override;

    // ---- document view ----
    void onLoadRefresh() override { rebuild(); }
    void onGroupListChange(int, int) override { rebuild(); }
    void onRedraw() override { viewport()->update(); }

    // Rows anew from the document, in the 3D view's colour mode.
    void rebuild();
    // The state icons: 0 group hidden, 1 group shown, 2 material hidden, 3 material shown.
    const QIcon& stateIcon(int image) const { return m_icons[image]; }
    // The image number a row shows.
    int rowImage(int row) const;
    vortel::GroupList& model() { return m_model; }

    // Menu 167 ("DUMMY") with each item's state as it opens; its items run the commands.
    QMenu* createContextMenu(QWidget* parent);
    void runMenuCommand(int id);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void showRows();
    void showRow(int row);
    void clickRow();

    vortel::CVELTADoc& m_doc;
    vortel::GroupList& m_model;
    std::function<int()> m_colourMode;
    QIcon m_icons[4];
    bool m_leftPressed = false;
};
