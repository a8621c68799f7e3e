// The relay between the Drop window and the main frame: the window encodes
// its controls into the drop request's two integers, the frame decodes them
// into the drop routine's five arguments. The numbers are the messages'
// own and stay as they are.
#pragma once

#include <array>

namespace vortel {

inline constexpr int kDropRequestMessage = 0x1400;        // Drop window -> main frame
inline constexpr int kPresetSeedRequestMessage = 0x1410;  // Drop window -> main frame, wParam 0..2
inline constexpr int kSeedLoadedNotice = 0x1420;          // seed loader -> Drop window

struct DropRequest {
    int wParam = 0;
    int lParam = 0;
    bool operator==(const DropRequest&) const = default;
};

// DONE: wParam = n + 100 x Location + 1000 x Size check, lParam = Top + 10 x (100 - Size slider).
inline DropRequest encodeDropRequest(int sizeCheck, int locationCheck, int n, int top, int sizeSlider) {
    return DropRequest{n + 100 * locationCheck + 1000 * sizeCheck, top + 10 * (100 - sizeSlider)};
}
inline constexpr DropRequest kResetRequest{0, 0};
inline constexpr DropRequest kCloseRequest{1, 0};

// Size random, location random, n, size divisor d, top (integer division).
inline std::array<int, 5> decodeDropRequest(int wParam, int lParam) {
    return {wParam / 1000, (wParam % 1000) / 100, wParam % 100, lParam / 10, lParam % 10};
}

}  // namespace vortel
