// The group list without its window: the rows it shows (the groups while the
// 3D view colours by object, the materials while it colours by material,
// nothing in NONE mode) with their state images, the click toggle, "SELECT
// ALL", "CLEAR ALL" and "REVERSE", and the selected group.
//
// Reads the group and material counts and names; writes the 220 group visible
// flags and the selected group. The same 220 flags mean groups or materials,
// depending on the colour mode; every value other than 1 counts as hidden.
//
// The list is a module of every document, and the first subscriber to its
// notifications: the view refresh after a load (also a colour-mode change and
// the panel swaps) sets the selected group to -1 and every visible flag to 1,
// whether or not a list window is up; a group hidden in the 3D view sets the
// selected group to -1. A window that shows the list rebuilds it after either,
// with the colour mode the 3D view has then.
#pragma once

#include <string>
#include <vector>

#include "doc/CVELTADoc.h"

namespace vortel {

// The 3D view's colour modes, as the list reads them.
inline constexpr int kListColourObject = 0;
inline constexpr int kListColourMaterial = 1;
inline constexpr int kListColourNone = 2;

// State images of the rows, in the order of the window's image list.
inline constexpr int kImageGroupHidden = 0;
inline constexpr int kImageGroupShown = 1;
inline constexpr int kImageMaterialHidden = 2;
inline constexpr int kImageMaterialShown = 3;

struct GroupListRow {
    std::string text;
    int image = kImageGroupHidden;
    bool operator==(const GroupListRow&) const = default;
};

class GroupList : public DocumentModule, public DocumentView {
public:
    explicit GroupList(CVELTADoc& doc);
    ~GroupList() override;
    GroupList(const GroupList&) = delete;
    GroupList& operator=(const GroupList&) = delete;

    // One row per group (OBJECT), per material (MATERIAL), none (NONE).
    void rebuild(int colourMode);
    const std::vector<GroupListRow>& rows() const { return m_rows; }
    // The colour mode of the last rebuild: what the rows stand for.
    int colourMode() const { return m_colourMode; }

    // A name as a row shows it: a final line feed becomes a blank, and then a
    // carriage return just before the last character becomes a blank too.
    static std::string rowText(const std::string& name);

    // A click in the list. FIRST SELECTED is the first selected row in list
    // order after the click, whichever row was clicked, or -1 when none is.
    // Returns the row that was toggled and updated in place; -1 when no row was
    // selected and the list was rebuilt instead.
    int click(int firstSelected);

    // The context menu's commands; each redraws the document's views and rebuilds the list.
    void selectAll();
    void clearAll();
    void reverse();

    void onLoadRefresh() override;
    void onGroupListChange(int group, int state) override;

private:
    GroupListRow rowOf(int index) const;
    void changedAll();

    CVELTADoc& m_doc;
    int m_colourMode = kListColourObject;
    std::vector<GroupListRow> m_rows;
};

// Installs the group list and its exports in the document.
void installGroups(CVELTADoc& doc);

}  // namespace vortel
