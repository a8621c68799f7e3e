// CVELTAView: placeholder until the view's drawing lands; clears to the background.
#include "view3d/CVELTAView.h"

#include <GL/gl.h>

CVELTAView::CVELTAView(vortel::CVELTADoc& doc, QWidget* parent) : QOpenGLWidget(parent), m_doc(doc) {
    setObjectName("CVELTAView");
    m_doc.addView(this);
}

CVELTAView::~CVELTAView() { m_doc.removeView(this); }

void CVELTAView::onLoadRefresh() { update(); }
void CVELTAView::playback(int) { update(); }
void CVELTAView::setDisplayMode(int) { update(); }

void CVELTAView::initializeGL() {}

void CVELTAView::paintGL() {
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
