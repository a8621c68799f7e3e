// VORTEL's polygon font: filled polygons of at most four corners per glyph,
// drawn at the UV plane depth so the selection label faces the camera.
//
// Glyph data: a table of 2-D vertices, a table of polygons (corner count and
// four vertex numbers), and per character code 0..127 the first polygon, the
// polygon count and the advance width. Lower case draws as upper case; glyph 0
// (a hollow box) stands for every code outside 0..127.
#pragma once

#include <string>

namespace vortel::view {

struct GlyphVertex {
    float x, y;
};

struct GlyphPolygon {
    int cornerCount;  // 3 or 4
    int vertex[4];    // indices into the vertex table
};

struct GlyphEntry {
    int firstPolygon;
    int polygonCount;
    float advance;
};

struct PolygonFontData {
    const GlyphVertex* vertices;
    int vertexCount;
    const GlyphPolygon* polygons;
    int polygonCount;
    const GlyphEntry* glyphs;  // 128 entries
};

const PolygonFontData& polygonFont();

// Draws text t in the described format: size s (q = s x 0.25), colour from the
// group palette for p in 0..219 and grey 0.2 otherwise. Centred: the offsets
// come from the widest line and the line count, at the UV plane depth;
// otherwise x0, y0 and z are the caller's. The context must be current.
void drawPolygonText(const std::string& t, float s, int p, bool centred, float x0 = 0.0f, float y0 = 0.0f,
                     float z = 0.0f);

}  // namespace vortel::view
