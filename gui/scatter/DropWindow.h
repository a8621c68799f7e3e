// DropWindow: the modeless "Drop" window (dialog 153). It shows the Drop
// window's controls (DropPanel) and the seed preview, and posts its buttons'
// requests to the main frame, which runs the drop routine or a preset seed
// load after the click has returned. Its placement comes from and goes back
// to "DWindow" in VELTA.ini.
#pragma once

#include <QDialog>
#include <map>

#include "doc/CVELTADoc.h"
#include "scatter/DropModule.h"
#include "scatter/DropPanel.h"

class QAbstractButton;
class QSlider;

namespace vortel::gui {

class CMainFrame;
class SeedPreview;

class DropWindow : public QDialog {
    Q_OBJECT
public:
    DropWindow(CVELTADoc& doc, DropModule& module, CMainFrame& frame);
    ~DropWindow() override;

    DropPanel& panel() { return m_panel; }
    SeedPreview* preview() const { return m_preview; }
    // The control with the id (buttons, check boxes, radio buttons), or nullptr.
    QAbstractButton* control(int id) const;
    QSlider* slider(int id) const;
    // The seed loaded notice: posted, repaints the whole window and the preview.
    void postSeedLoadedNotice();

    // "DWindow" defaults: left, top, right, bottom.
    static constexpr QRect kDefaultPlace{135, 268, 392 - 135, 560 - 268};

protected:
    // Escape and the title bar's close act as CLOSE (id 2, the dialog's cancel).
    void reject() override;

private:
    void press(int id);
    void restorePlacement();
    void savePlacement();

    CVELTADoc& m_doc;
    DropModule& m_module;
    CMainFrame& m_frame;
    DropPanel m_panel;
    SeedPreview* m_preview = nullptr;
    std::map<int, QAbstractButton*> m_controls;
    std::map<int, QSlider*> m_sliders;
};

// The program's side of the DROP module: it creates and destroys the Drop
// window, posts it the seed loaded notice, installs the frame's receivers of
// the drop and preset seed requests, and hands the drop mesh to the 3D view.
// A child of the frame; installed when the frame is built.
void installDropTool(CMainFrame& frame, CVELTADoc& doc);
// The tool's Drop window while it is open (tests).
DropWindow* dropWindowOf(CMainFrame& frame);

}  // namespace vortel::gui
