// CMTM: the special functions panel, swapped into the lower-left pane by
// "SPECIAL FUNC" - the window of `MtmPanel`.
//
// It lays out dialog 158 in dialog units of its font (Arial 9, or the closest
// font the system has): the radio buttons "EDGE MAKER", "MT Mirror" and
// "FUSION/DIVIDE", the command buttons drawn as circle buttons, the angle
// slider with its labels "0'" and "90'", and the hidden "P" and "C". Like a
// form view it scrolls when its pane is smaller than the dialog.
//
// The panel model holds every rule: this window shows its state (enabled,
// shown, checked, slider position) and forwards clicks, the slider's moves and
// the release of the mouse on the slider. Each new panel runs start-up; the
// document's refresh after a load runs the panel reset. Boxes, the wait cursor
// and the status progress bar come through the platform.
#pragma once

#include <QScrollArea>
#include <map>

#include "doc/CVELTADoc.h"
#include "special/MtmPanel.h"

class QAbstractButton;
class QLabel;
class QSlider;

class CMTM : public QScrollArea, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CMTM(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CMTM() override;

    // ---- document view ----
    void onLoadRefresh() override;
    void onRedraw() override;

    // ---- the model and the controls, by dialog id ----
    vortel::MtmPanel& panel() { return m_panel; }
    QAbstractButton* button(int id) const;  // push and radio buttons
    QSlider* slider() const { return m_slider; }
    QWidget* form() const { return m_form; }  // the dialog, 107 x 190 dialog units
    // The dialog's font as asked for; the system may substitute a close one.
    static QFont dialogFont();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildDialog();
    void showModelState();
    void press(int id);

    vortel::CVELTADoc& m_doc;
    vortel::MtmPanel m_panel;
    QWidget* m_form = nullptr;
    QSlider* m_slider = nullptr;
    std::map<int, QAbstractButton*> m_buttons;
    bool m_showing = false;  // while the controls are set from the model
};
