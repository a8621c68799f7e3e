// CMTM: registration with the document.
#include "special/CMTM.h"

CMTM::CMTM(vortel::CVELTADoc& doc, QWidget* parent) : QWidget(parent), m_doc(doc) {
    setObjectName("CMTM");
    setAutoFillBackground(true);
    m_doc.addView(this);
}

CMTM::~CMTM() { m_doc.removeView(this); }
