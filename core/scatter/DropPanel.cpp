// The Drop window's controls and the requests of its buttons.
#include "scatter/DropPanel.h"

#include <algorithm>

namespace vortel {

void DropPanel::setNum(int n) { m_num = std::clamp(n, kNumMin, kNumMax); }

void DropPanel::setSizeSlider(int s) { m_size = std::clamp(s, kSizeMin, kSizeMax); }

bool DropPanel::doneAllowed(int seedVertexCount, int n) {
    return static_cast<long long>(seedVertexCount) * n * n <= kMaxDropCopyVertices;
}

std::optional<DropRequest> DropPanel::done(int seedVertexCount) const {
    if (!doneAllowed(seedVertexCount, m_num)) return std::nullopt;
    return encodeDropRequest(sizeCheck, locationCheck, m_num, top, m_size);
}

int DropPanel::presetIndex(int buttonId) {
    switch (buttonId) {
    case dropwin::PresetF:
        return 0;
    case dropwin::PresetC:
        return 1;
    case dropwin::PresetS:
        return 2;
    default:
        return -1;
    }
}

}  // namespace vortel
