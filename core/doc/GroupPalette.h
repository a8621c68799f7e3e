// The group palette: one colour per group or material number.
//
// The 3D view colours groups and materials with it, and the save options
// dialog colours its rows with it. Entries 199 to 219 are black.
#pragma once

namespace vortel {

inline constexpr int kGroupPaletteSize = 220;

struct PaletteColour {
    float r, g, b;
};

extern const PaletteColour kGroupPalette[kGroupPaletteSize];

// Colour of group or material number n (0..219); any other number gives black.
const PaletteColour& groupPaletteColour(int n);

}  // namespace vortel
