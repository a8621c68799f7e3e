// The modal "SAVE OPTION" dialog shown before Save As writes an OBJ file: the
// groups with check boxes, "Vertex only (for MT)", the hidden "Cut Floating
// Point", "CLEAR ALL"/"CHECK ALL", OK, CANCEL and a status line. Its rules
// live in vortel::SaveOptionsState; this window shows that state.
#pragma once

#include <QDialog>

#include "groups/SaveOptionsState.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class CCircleButton;

namespace vortel::gui {

class GroupCheckList;

class SaveOptionsDialog : public QDialog {
    Q_OBJECT
public:
    SaveOptionsDialog(const vortel::SaveOptionsRequest& request, QWidget* parent = nullptr);

    const vortel::SaveOptionsState& state() const { return m_state; }

    QCheckBox* vertexOnlyBox() const { return m_vertexOnly; }     // 1019
    QCheckBox* cutFloatingBox() const { return m_cutFloating; }   // 1021
    CCircleButton* toggleButton() const { return m_toggle; }      // 1020
    GroupCheckList* groupList() const { return m_list; }          // 1033
    QPushButton* okButton() const { return m_ok; }                // 1
    QPushButton* cancelButton() const { return m_cancel; }        // 2
    QLineEdit* statusLine() const { return m_status; }            // 1008

public slots:
    void accept() override;

private:
    void showState();

    vortel::SaveOptionsState m_state;
    QCheckBox* m_vertexOnly;
    QCheckBox* m_cutFloating;
    CCircleButton* m_toggle;
    GroupCheckList* m_list;
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QLineEdit* m_status;
};

}  // namespace vortel::gui
