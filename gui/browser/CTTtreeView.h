// CTTtreeView: the file browser pane (top left). It shows no folders yet; it
// takes its place in the frame and in the document's views.
#pragma once

#include <QTreeWidget>

#include "doc/CVELTADoc.h"

class CTTtreeView : public QTreeWidget, public vortel::DocumentView {
    Q_OBJECT
public:
    explicit CTTtreeView(vortel::CVELTADoc& doc, QWidget* parent = nullptr);
    ~CTTtreeView() override;

    void onTreePath(const std::string& path) override { m_shownPath = path; }
    void onRedraw() override { viewport()->update(); }

    // The path the document asked the tree to show last.
    const std::string& shownPath() const { return m_shownPath; }

private:
    vortel::CVELTADoc& m_doc;
    std::string m_shownPath;
};
