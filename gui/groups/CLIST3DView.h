// CLIST3DView: the group list pane (lower left). It lists nothing yet; it
// takes its place in the frame and in the document's views.
#pragma once

#include <QListWidget>

#include "doc/CVELTADoc.h"

class CLIST3DView : public QListWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CLIST3DView(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CLIST3DView() override;

    void onRedraw() override { viewport()->update(); }

private:
    vortel::CVELTADoc& m_doc;
};
