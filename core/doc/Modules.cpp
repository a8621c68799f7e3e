// The document's subsystem modules. Each subsystem adds one line here; its
// state, rules and command registrations stay in its own folder.
#include "doc/CVELTADoc.h"
#include "groups/GroupList.h"
#include "scatter/HairModule.h"
#include "scatter/DropModule.h"

namespace vortel {

void installDocumentModules(CVELTADoc& doc) {
    installGroups(doc);
    installHairModule(doc);
    installDrop(doc);
}

}  // namespace vortel
