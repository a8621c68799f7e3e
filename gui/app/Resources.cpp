// Registration of the compiled-in pictures, once per process.
#include "app/Resources.h"

#include <QtGlobal>

static void registerVortelResources() { Q_INIT_RESOURCE(vortel); }

namespace vortel::gui {

void initResources() {
    static const bool once = [] {
        registerVortelResources();
        return true;
    }();
    (void)once;
}

}  // namespace vortel::gui
