// CTTtreeView: registration with the document.
#include "browser/CTTtreeView.h"

CTTtreeView::CTTtreeView(vortel::CVELTADoc& doc, QWidget* parent) : QTreeWidget(parent), m_doc(doc) {
    setObjectName("CTTtreeView");
    setHeaderHidden(true);
    m_doc.addView(this);
}

CTTtreeView::~CTTtreeView() { m_doc.removeView(this); }
