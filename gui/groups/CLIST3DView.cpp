// CLIST3DView: registration with the document.
#include "groups/CLIST3DView.h"

CLIST3DView::CLIST3DView(vortel::CVELTADoc& doc, QWidget* parent) : QListWidget(parent), m_doc(doc) {
    setObjectName("CLIST3DView");
    m_doc.addView(this);
}

CLIST3DView::~CLIST3DView() { m_doc.removeView(this); }
