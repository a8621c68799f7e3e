// CBVH: registration with the document.
#include "special/CBVH.h"

CBVH::CBVH(vortel::CVELTADoc& doc, QWidget* parent) : QTreeWidget(parent), m_doc(doc) {
    setObjectName("CBVH");
    setHeaderHidden(true);
    m_doc.addView(this);
}

CBVH::~CBVH() { m_doc.removeView(this); }
