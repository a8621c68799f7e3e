// The Drop window (dialog 153) without its window: its controls with their
// start states, DONE's 130,000 rule and the requests its buttons make. The Qt
// window shows this object and forwards its clicks; the console's "drop"
// command sets the same controls.
#pragma once

#include <optional>

#include "scatter/DropRequest.h"

namespace vortel {

// Control ids of the Drop window.
namespace dropwin {
inline constexpr int Done = 1;
inline constexpr int Close = 2;
inline constexpr int PresetF = 3;
inline constexpr int Reset = 4;
inline constexpr int PresetC = 5;
inline constexpr int PresetS = 6;
inline constexpr int Blank = 7;  // a disabled button without caption
inline constexpr int Top = 1000;
inline constexpr int Front = 1001;
inline constexpr int NumSlider = 1018;
inline constexpr int SizeCheck = 1019;
inline constexpr int LocationCheck = 1020;
inline constexpr int SizeSlider = 1022;
}  // namespace dropwin

inline constexpr int kNumMin = 10, kNumMax = 40, kNumStart = 10;
inline constexpr int kSizeMin = 1, kSizeMax = 99, kSizeStart = 50;
// DONE is refused when seed vertices x n x n would pass this.
inline constexpr int kMaxDropCopyVertices = 130000;

class DropPanel {
public:
    // ---- controls ----
    int sizeCheck = 1;      // "Size" in "RANDOM": a random size per copy
    int locationCheck = 1;  // "Location" in "RANDOM": a random offset per grid cell
    int top = 1;            // "Top" (1) or "Front" (0) in "GEN POINT"
    int num() const { return m_num; }
    int sizeSlider() const { return m_size; }
    // The trackbars keep their ranges: 10..40 and 1..99.
    void setNum(int n);
    void setSizeSlider(int s);

    // ---- buttons ----
    static bool doneAllowed(int seedVertexCount, int n);
    // DONE: the drop request, or nothing (silently) when the copies would pass 130,000 vertices.
    std::optional<DropRequest> done(int seedVertexCount) const;
    DropRequest reset() const { return kResetRequest; }
    DropRequest close() const { return kCloseRequest; }
    // F, C, S: the preset index of the preset seed request, -1 for other ids.
    static int presetIndex(int buttonId);

private:
    int m_num = kNumStart;
    int m_size = kSizeStart;
};

}  // namespace vortel
