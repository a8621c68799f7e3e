// The group list's rows, click toggle and context-menu commands; see GroupList.h.
#include "groups/GroupList.h"

#include <algorithm>
#include <cstring>

#include "groups/GroupCommandIds.h"
#include "groups/GroupExports.h"

namespace vortel {

GroupList::GroupList(CVELTADoc& doc) : m_doc(doc) {
    m_doc.addView(this);
    CommandTable& t = m_doc.commands();
    t.add(cmd::GroupSelectAll, CommandLevel::Document, nullptr, [this] { selectAll(); }, this);
    t.add(cmd::GroupClearAll, CommandLevel::Document, nullptr, [this] { clearAll(); }, this);
    t.add(cmd::GroupReverse, CommandLevel::Document, nullptr, [this] { reverse(); }, this);
}

GroupList::~GroupList() {
    m_doc.removeView(this);
    m_doc.commands().removeOwner(this);
}

std::string GroupList::rowText(const std::string& name) {
    std::string text = name;
    const size_t n = text.size();
    if (n >= 1 && text[n - 1] == '\n') text[n - 1] = ' ';
    if (n >= 2 && text[n - 2] == '\r') text[n - 2] = ' ';
    return text;
}

GroupListRow GroupList::rowOf(int index) const {
    const bool shown = m_doc.groupVisibleFlag[index] == 1;
    if (m_colourMode == kListColourMaterial)
        return GroupListRow{rowText(m_doc.materialNames[index]), shown ? kImageMaterialShown : kImageMaterialHidden};
    return GroupListRow{rowText(m_doc.groupNames[index]), shown ? kImageGroupShown : kImageGroupHidden};
}

void GroupList::rebuild(int colourMode) {
    m_colourMode = colourMode;
    m_rows.clear();
    int count = 0;
    if (colourMode == kListColourObject) count = m_doc.groupCount;
    if (colourMode == kListColourMaterial) count = m_doc.materialCount;
    count = std::clamp(count, 0, kMaxGroups);
    for (int i = 0; i < count; ++i) m_rows.push_back(rowOf(i));
}

int GroupList::click(int firstSelected) {
    if (firstSelected < 0 || firstSelected >= kMaxGroups) {
        m_doc.selectedGroup = 0;
        rebuild(m_colourMode);
        return -1;
    }
    m_doc.selectedGroup = firstSelected + 1;
    char& flag = m_doc.groupVisibleFlag[firstSelected];
    flag = flag == 1 ? 0 : 1;
    if (static_cast<size_t>(firstSelected) < m_rows.size()) m_rows[firstSelected] = rowOf(firstSelected);
    m_doc.redrawAll();
    return firstSelected;
}

void GroupList::changedAll() {
    m_doc.redrawAll();
    rebuild(m_colourMode);
}

void GroupList::selectAll() {
    m_doc.selectedGroup = 0;
    std::memset(m_doc.groupVisibleFlag.data(), 1, kMaxGroups);
    changedAll();
}

void GroupList::clearAll() {
    std::memset(m_doc.groupVisibleFlag.data(), 0, kMaxGroups);
    changedAll();
}

void GroupList::reverse() {
    for (int i = 0; i < kMaxGroups; ++i) m_doc.groupVisibleFlag[i] = m_doc.groupVisibleFlag[i] == 1 ? 0 : 1;
    changedAll();
}

void GroupList::onLoadRefresh() {
    m_doc.selectedGroup = -1;
    std::memset(m_doc.groupVisibleFlag.data(), 1, kMaxGroups);
}

void GroupList::onGroupListChange(int /*group*/, int /*state*/) { m_doc.selectedGroup = -1; }

void installGroups(CVELTADoc& doc) {
    doc.addModule(std::make_unique<GroupList>(doc));
    doc.addModule(std::make_unique<GroupExports>(doc));
}

}  // namespace vortel
