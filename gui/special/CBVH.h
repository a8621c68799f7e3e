// CBVH: the motion pane swapped in by "MOTION": a tree with no items and no
// handlers of its own.
#pragma once

#include <QTreeWidget>

#include "doc/CVELTADoc.h"

class CBVH : public QTreeWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CBVH(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CBVH() override;

    void onRedraw() override { viewport()->update(); }

private:
    vortel::CVELTADoc& m_doc;
};
