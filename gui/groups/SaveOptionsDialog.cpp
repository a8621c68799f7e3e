// "SAVE OPTION": the controls at their dialog-unit places, kept in step with the state.
#include "groups/SaveOptionsDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "controls/CCircleButton.h"
#include "controls/DialogUnits.h"
#include "groups/GroupCheckList.h"

namespace vortel::gui {

SaveOptionsDialog::SaveOptionsDialog(const vortel::SaveOptionsRequest& request, QWidget* parent)
    : QDialog(parent), m_state(request) {
    setObjectName("SaveOptionsDialog");
    setWindowTitle("SAVE OPTION");
    QFont dialogFont("Arial", 9);
    setFont(dialogFont);
    const DialogUnits du(dialogFont);
    setFixedSize(du.x(178), du.y(172));

    m_vertexOnly = new QCheckBox("Vertex only (for MT)", this);
    m_vertexOnly->setGeometry(du.rect(7, 11, 110, 9));
    m_cutFloating = new QCheckBox("Cut Floating Point", this);
    m_cutFloating->setGeometry(du.rect(7, 24, 110, 8));
    m_cutFloating->setEnabled(false);
    m_cutFloating->hide();
    m_toggle = new CCircleButton("CLEAR ALL", this);
    m_toggle->setGeometry(du.rect(8, 39, 51, 14));
    m_list = new GroupCheckList(this);
    m_list->setGeometry(du.rect(7, 57, 164, 89));
    m_ok = new QPushButton("OK", this);
    m_ok->setGeometry(du.rect(121, 7, 50, 14));
    m_ok->setDefault(true);
    m_cancel = new QPushButton("CANCEL", this);
    m_cancel->setGeometry(du.rect(121, 24, 50, 14));
    m_status = new QLineEdit(this);
    m_status->setGeometry(du.rect(7, 152, 164, 13));
    m_status->setEnabled(false);

    m_list->setRows(m_state.rows());
    m_list->setEnabled(m_state.listEnabled());
    if (m_state.cutFloatingPoints()) m_cutFloating->setEnabled(true);

    connect(m_toggle, &QPushButton::clicked, this, [this] {
        m_state.pressToggle();
        showState();
    });
    connect(m_list, &GroupCheckList::rowChosen, this, [this](int row) {
        m_state.selectRow(row);
        showState();
    });
    connect(m_list, &GroupCheckList::checkBoxClicked, this, [this](int row) {
        m_state.selectRow(row);
        showState();
    });
    connect(m_vertexOnly, &QCheckBox::clicked, this, [this](bool checked) {
        m_state.clickVertexOnly(checked);
        showState();
    });
    connect(m_ok, &QPushButton::clicked, this, &SaveOptionsDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SaveOptionsDialog::reject);
    showState();
}

void SaveOptionsDialog::showState() {
    const std::vector<bool>& checks = m_state.checks();
    for (size_t i = 0; i < checks.size(); ++i) m_list->setCheck(static_cast<int>(i), checks[i]);
    m_list->viewport()->update();
    m_vertexOnly->setChecked(m_state.vertexOnly());
    m_vertexOnly->setEnabled(m_state.vertexOnlyEnabled());
    m_cutFloating->setChecked(m_state.cutFloatingPoints());
    m_toggle->setText(QString::fromStdString(m_state.toggleCaption()));
    m_status->setText(QString::fromStdString(m_state.statusLine()));
}

void SaveOptionsDialog::accept() {
    if (!m_state.pressOk()) {
        showState();
        return;
    }
    showState();
    QDialog::accept();
}

}  // namespace vortel::gui
