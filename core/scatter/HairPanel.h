// The HAIR window (dialog 155, caption "HAIR") without its window: the
// THIN..THICK trackbar, what each button sends, and the window's placement
// keys. The Qt window shows this object and forwards its clicks.
//
// The window never calls the document: DONE, RESET and CLOSE post the hair
// request (0x1500) to the main frame, which runs the hair operation after the
// click has returned. "P" runs the strip builder, which is otherwise out of
// reach (the special panel's "P" is hidden).
#pragma once

#include <functional>

#include "platform/Settings.h"

namespace vortel {

namespace hairdlg {
inline constexpr int Done = 1;
inline constexpr int Close = 2;  // also the window's own close (Esc, title bar)
inline constexpr int Reset = 4;
inline constexpr int Trackbar = 1018;
inline constexpr int StripP = 1028;  // "P", the strip builder
}  // namespace hairdlg

inline constexpr int kHairTrackbarMin = 1;
inline constexpr int kHairTrackbarMax = 100;
inline constexpr int kHairTrackbarStart = 10;

// A window rectangle as "left", "top", "right", "bottom".
struct WindowRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool isEmpty() const { return right <= left || bottom <= top; }
    bool operator==(const WindowRect&) const = default;
};

class HairPanel {
public:
    int trackbarPosition() const { return m_trackbar; }
    void setTrackbarPosition(int p);  // clamped to 1..100, as the trackbar does
    // A click on DONE, RESET, CLOSE or "P"; any other id does nothing.
    void press(int id);

    // The hair request to the main frame (wParam, lParam).
    std::function<void(int, int)> postRequest;
    // Hides the window (CLOSE ends the dialog after posting).
    std::function<void()> endDialog;
    std::function<void()> stripBuilder;

    // Section "HWindow": read on initialisation (defaults 134, 267, 394, 394),
    // written with the restored placement when the window is destroyed.
    static WindowRect readPlacement(const Settings& settings);
    static void writePlacement(Settings& settings, const WindowRect& r);

private:
    void post(int w);
    int m_trackbar = kHairTrackbarStart;
};

}  // namespace vortel
