// The HAIR window (dialog 155, caption "HAIR"): "FOR P5 LINE POLYGON", the
// THIN..THICK trackbar, DONE, RESET, CLOSE and "P". A modeless tool window of
// the main frame; its rules live in vortel::HairPanel, and it talks to the
// document only through the main frame's hair request (and "P" through the
// strip builder, run after the click has returned).
#pragma once

#include <QDialog>

#include "doc/CVELTADoc.h"
#include "scatter/HairPanel.h"

class QLabel;
class QPushButton;
class QSlider;

namespace vortel::gui {

class CMainFrame;

class HairWindow : public QDialog {
    Q_OBJECT
public:
    HairWindow(CVELTADoc& doc, CMainFrame& frame);
    ~HairWindow() override;

    HairPanel& panel() { return m_panel; }
    QPushButton* doneButton() const { return m_done; }    // 1
    QPushButton* closeButton() const { return m_close; }  // 2
    QPushButton* resetButton() const { return m_reset; }  // 4
    QPushButton* stripButton() const { return m_strip; }  // 1028, "P"
    QSlider* trackbar() const { return m_trackbar; }      // 1018

public slots:
    // Esc and the title bar's close are CLOSE, as the dialog's cancel id is CLOSE's.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CVELTADoc& m_doc;
    HairPanel m_panel;
    QPushButton* m_done;
    QPushButton* m_close;
    QPushButton* m_reset;
    QPushButton* m_strip;
    QSlider* m_trackbar;
};

// Puts the HAIR window behind the document's toggle (32816) and the frame's
// hair request behind the document's hair operation, for the frame's lifetime.
void installHairWindow(CMainFrame& frame, CVELTADoc& doc);

}  // namespace vortel::gui
