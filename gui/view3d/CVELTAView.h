// CVELTAView: the OpenGL view of the document's mesh (right-hand pane).
#pragma once

#include <QOpenGLWidget>

#include "doc/CVELTADoc.h"

class CVELTAView : public QOpenGLWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CVELTAView(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CVELTAView() override;

    vortel::ViewKind viewKind() const override { return vortel::ViewKind::VeltaView; }
    void onLoadRefresh() override;
    void playback(int mode) override;
    void setDisplayMode(int mode) override;
    void redraw() override { update(); }

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    vortel::CVELTADoc& m_doc;
};
