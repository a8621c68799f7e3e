// The HAIR window's model; see HairPanel.h.
#include "scatter/HairPanel.h"

#include <algorithm>

#include "scatter/Hair.h"

namespace vortel {

void HairPanel::setTrackbarPosition(int p) { m_trackbar = std::clamp(p, kHairTrackbarMin, kHairTrackbarMax); }

void HairPanel::post(int w) {
    if (postRequest) postRequest(w, 0);
}

void HairPanel::press(int id) {
    switch (id) {
    case hairdlg::Done:
        post(m_trackbar);
        break;
    case hairdlg::Reset:
        post(kHairRequestReset);
        break;
    case hairdlg::Close:
        post(kHairRequestClose);
        if (endDialog) endDialog();
        break;
    case hairdlg::StripP:
        if (stripBuilder) stripBuilder();
        break;
    default:
        break;
    }
}

WindowRect HairPanel::readPlacement(const Settings& settings) {
    WindowRect r;
    r.left = settings.getInt("HWindow", "left", 134);
    r.top = settings.getInt("HWindow", "top", 267);
    r.right = settings.getInt("HWindow", "right", 394);
    r.bottom = settings.getInt("HWindow", "bottom", 394);
    return r;
}

void HairPanel::writePlacement(Settings& settings, const WindowRect& r) {
    settings.writeInt("HWindow", "left", r.left);
    settings.writeInt("HWindow", "top", r.top);
    settings.writeInt("HWindow", "right", r.right);
    settings.writeInt("HWindow", "bottom", r.bottom);
}

}  // namespace vortel
