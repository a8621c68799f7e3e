// Glyphs of the polygon font, built once from stroke outlines: every stroke
// segment becomes one counter-clockwise quad, so the label survives back-face
// culling and stays legible at the size the view draws it.
#include "view3d/PolygonFont.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "doc/GroupPalette.h"
#include "view3d/ViewState.h"

namespace vortel::view {
namespace {

// Strokes on a grid 4 wide and 6 high ('|' separates polylines, points are "x,y").
const char* strokesFor(int code) {
    switch (code) {
    case 'A': return "0,0 0,4 2,6 4,4 4,0|0,3 4,3";
    case 'B': return "0,0 0,6 3,6 4,5 4,4 3,3 0,3|3,3 4,2 4,1 3,0 0,0";
    case 'C': return "4,6 1,6 0,5 0,1 1,0 4,0";
    case 'D': return "0,0 0,6 3,6 4,5 4,1 3,0 0,0";
    case 'E': return "4,6 0,6 0,0 4,0|0,3 3,3";
    case 'F': return "4,6 0,6 0,0|0,3 3,3";
    case 'G': return "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,3 2,3";
    case 'H': return "0,0 0,6|4,0 4,6|0,3 4,3";
    case 'I': return "1,6 3,6|2,6 2,0|1,0 3,0";
    case 'J': return "4,6 4,1 3,0 1,0 0,1";
    case 'K': return "0,0 0,6|4,6 0,2|1,3 4,0";
    case 'L': return "0,6 0,0 4,0";
    case 'M': return "0,0 0,6 2,3 4,6 4,0";
    case 'N': return "0,0 0,6 4,0 4,6";
    case 'O': return "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0";
    case 'P': return "0,0 0,6 3,6 4,5 4,4 3,3 0,3";
    case 'Q': return "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0|2,2 4,0";
    case 'R': return "0,0 0,6 3,6 4,5 4,4 3,3 0,3|2,3 4,0";
    case 'S': return "4,5 3,6 1,6 0,5 0,4 1,3 3,3 4,2 4,1 3,0 1,0 0,1";
    case 'T': return "0,6 4,6|2,6 2,0";
    case 'U': return "0,6 0,1 1,0 3,0 4,1 4,6";
    case 'V': return "0,6 2,0 4,6";
    case 'W': return "0,6 1,0 2,3 3,0 4,6";
    case 'X': return "0,6 4,0|0,0 4,6";
    case 'Y': return "0,6 2,3 4,6|2,3 2,0";
    case 'Z': return "0,6 4,6 0,0 4,0";
    case '0': return "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0|0,1 4,5";
    case '1': return "1,5 2,6 2,0|1,0 3,0";
    case '2': return "0,5 1,6 3,6 4,5 4,4 0,0 4,0";
    case '3': return "0,5 1,6 3,6 4,5 4,4 3,3 4,2 4,1 3,0 1,0 0,1|1,3 3,3";
    case '4': return "3,0 3,6 0,2 4,2";
    case '5': return "4,6 0,6 0,3 3,3 4,2 4,1 3,0 0,0";
    case '6': return "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,2 3,3 0,3";
    case '7': return "0,6 4,6 1,0";
    case '8': return "1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3 1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3";
    case '9': return "0,1 1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,4 1,3 4,3";
    case '[': return "3,6 1,6 1,0 3,0";
    case ']': return "1,6 3,6 3,0 1,0";
    case '(': return "3,6 1,4 1,2 3,0";
    case ')': return "1,6 3,4 3,2 1,0";
    case '{': return "3,6 2,5 2,4 1,3 2,2 2,1 3,0";
    case '}': return "1,6 2,5 2,4 3,3 2,2 2,1 1,0";
    case '<': return "4,6 0,3 4,0";
    case '>': return "0,6 4,3 0,0";
    case '-': return "1,3 3,3";
    case '_': return "0,0 4,0";
    case '+': return "2,1 2,5|0,3 4,3";
    case '=': return "0,2 4,2|0,4 4,4";
    case '*': return "2,1 2,5|0,2 4,4|0,4 4,2";
    case '/': return "0,0 4,6";
    case '\\': return "0,6 4,0";
    case '|': return "2,0 2,6";
    case '.': return "2,0 2,0.6";
    case ',': return "2,1 1.4,-0.6";
    case ':': return "2,1 2,1.6|2,4 2,4.6";
    case ';': return "2,4 2,4.6|2,1.5 1.4,-0.3";
    case '!': return "2,6 2,2|2,0 2,0.6";
    case '?': return "0,5 1,6 3,6 4,5 4,4 2,3 2,2|2,0 2,0.6";
    case '\'': return "2,6 2,4.5";
    case '"': return "1,6 1,4.5|3,6 3,4.5";
    case '`': return "1,6 2,5";
    case '#': return "1,0 1,6|3,0 3,6|0,2 4,2|0,4 4,4";
    case '%': return "0,0 4,6|0,6 0,5|4,0 4,1";
    case '&': return "4,0 1,4 1,5 2,6 3,5 0,1 1,0 2,0 4,2";
    case '@': return "3,2 3,4 1,4 1,2 4,2 4,5 3,6 1,6 0,5 0,1 1,0 4,0";
    case '$': return "4,5 1,5 0,4 1,3 3,3 4,2 3,1 0,1|2,6 2,0";
    case '^': return "0,4 2,6 4,4";
    case '~': return "0,4 1,5 3,4 4,5";
    case 0: return "0,0 4,0 4,6 0,6 0,0";
    default: return "";
    }
}

constexpr float kGridStep = 0.0022f;   // glyph units per grid step
constexpr float kHalfStroke = 0.0005f;  // half the stroke width, glyph units
constexpr float kAdvance = 0.011f;

struct FontTables {
    std::vector<GlyphVertex> vertices;
    std::vector<GlyphPolygon> polygons;
    GlyphEntry glyphs[128];
    PolygonFontData data{};

    void addSegment(float ax, float ay, float bx, float by) {
        float dx = bx - ax, dy = by - ay;
        const float len = std::sqrt(dx * dx + dy * dy);
        if (len > 0.0f) {
            dx /= len;
            dy /= len;
        } else {
            dx = 1.0f;
            dy = 0.0f;
        }
        const float r = kHalfStroke;
        const float nx = -dy * r, ny = dx * r;
        const float sx = ax - dx * r, sy = ay - dy * r;  // ends stretched so joints close
        const float ex = bx + dx * r, ey = by + dy * r;
        const int base = static_cast<int>(vertices.size());
        // (start - n), (end - n), (end + n), (start + n): counter-clockwise.
        vertices.push_back({sx - nx, sy - ny});
        vertices.push_back({ex - nx, ey - ny});
        vertices.push_back({ex + nx, ey + ny});
        vertices.push_back({sx + nx, sy + ny});
        polygons.push_back({4, {base, base + 1, base + 2, base + 3}});
    }

    void addStrokes(const char* text) {
        const char* p = text;
        bool havePrev = false;
        float px = 0.0f, py = 0.0f;
        while (*p) {
            if (*p == '|') {
                havePrev = false;
                ++p;
                continue;
            }
            if (*p == ' ') {
                ++p;
                continue;
            }
            char* end = nullptr;
            const float x = std::strtof(p, &end);
            p = end + 1;  // skip ','
            const float y = std::strtof(p, &end);
            p = end;
            const float gx = x * kGridStep, gy = y * kGridStep;
            if (havePrev) addSegment(px, py, gx, gy);
            px = gx;
            py = gy;
            havePrev = true;
        }
    }

    FontTables() {
        for (int code = 0; code < 128; ++code) {
            int source = code;
            if (code >= 'a' && code <= 'z') source = code - 'a' + 'A';
            const int first = static_cast<int>(polygons.size());
            addStrokes(strokesFor(source));
            glyphs[code] = {first, static_cast<int>(polygons.size()) - first, kAdvance};
        }
        data.vertices = vertices.data();
        data.vertexCount = static_cast<int>(vertices.size());
        data.polygons = polygons.data();
        data.polygonCount = static_cast<int>(polygons.size());
        data.glyphs = glyphs;
    }
};

}  // namespace

const PolygonFontData& polygonFont() {
    static const FontTables tables;
    return tables.data;
}

void drawPolygonText(const std::string& t, float s, int p, bool centred, float x0, float y0, float z) {
    const PolygonFontData& font = polygonFont();
    if (p >= 0 && p < kGroupPaletteSize) {
        const PaletteColour& c = kGroupPalette[p];
        glColor4f(c.r, c.g, c.b, 1.2f);
    } else {
        glColor3f(0.2f, 0.2f, 0.2f);
    }
    const float q = s * 0.25f;
    if (centred) {
        float widest = 0.0f, width = 0.0f;
        int lines = 1;
        for (unsigned char ch : t) {
            if (ch == '\n') {
                if (width > widest) widest = width;
                width = 0.0f;
                ++lines;
                continue;
            }
            const int code = ch < 128 ? ch : 0;
            width += font.glyphs[code].advance + 0.005f;
        }
        if (width > widest) widest = width;
        x0 = widest;
        y0 = -0.0275f * static_cast<float>(lines);
        z = kUvPlaneDepth;
    }
    float penX = -0.023f, penY = -0.03f;
    for (unsigned char ch : t) {
        if (ch == '\n') {
            penX = -0.023f;
            penY -= 0.055f;
            continue;
        }
        const GlyphEntry& g = font.glyphs[ch < 128 ? ch : 0];
        for (int i = 0; i < g.polygonCount; ++i) {
            const GlyphPolygon& poly = font.polygons[g.firstPolygon + i];
            glBegin(GL_POLYGON);
            for (int k = 0; k < poly.cornerCount; ++k) {
                const GlyphVertex& v = font.vertices[poly.vertex[k]];
                glVertex3f(q * (penX + 3.0f * v.x - x0), q * (penY + 3.0f * v.y - y0), z);
            }
            glEnd();
        }
        penX += 3.0f * g.advance + 0.005f;
    }
}

}  // namespace vortel::view
