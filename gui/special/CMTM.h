// CMTM: the special functions panel, swapped into the lower-left pane by
// "SPECIAL FUNC". Its tools are not here yet; it takes its place in the frame
// and in the document's views.
#pragma once

#include <QWidget>

#include "doc/CVELTADoc.h"

class CMTM : public QWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CMTM(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CMTM() override;

    void onRedraw() override { update(); }

private:
    vortel::CVELTADoc& m_doc;
};
