// The pictures of gui/resources/ live in the static library; this registers them.
#pragma once

namespace vortel::gui {
void initResources();
}
