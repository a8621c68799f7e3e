// The exports module: registers "save selected groups in obj" and "save all
// parts in CR2 (for morphmanager)" in the document's command table.
#include "groups/GroupExports.h"

#include "groups/GroupCommandIds.h"
#include "groups/GroupList.h"

namespace vortel {

GroupExports::GroupExports(CVELTADoc& doc) : m_doc(doc) {
    CommandTable& t = m_doc.commands();
    // The per-group export writes groups: the list's menu offers it only while
    // the list shows groups, not materials.
    t.add(
        cmd::ExportGroupObjs, CommandLevel::Document,
        [this] {
            const GroupList* list = m_doc.module<GroupList>();
            return CommandRule{!list || list->colourMode() == kListColourObject};
        },
        [this] { saveSelectedGroups(); }, this);
    t.add(cmd::ExportCr2, CommandLevel::Document, nullptr, [this] { saveCr2(); }, this);
}

GroupExports::~GroupExports() { m_doc.commands().removeOwner(this); }

}  // namespace vortel
