// Generated OBJ files at VORTEL's limits, written once per benchmark run.
//
// Quad file: a 360 x 360 torus grid, 129,600 vertices, 129,600 texture
// coordinates and 129,600 quads with "f v/t" corners (518,400 corners), six
// groups and six materials, "%f" coordinates: about 13 MB.
// Triangle file: a 300 x 288 torus grid split into 172,800 triangles
// (518,400 corners, the most triangles the 520,000-corner list holds).
#pragma once

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace vortel::bench {

inline std::string writeTorusObj(const std::string& path, int nu, int nv, bool triangles) {
    if (std::filesystem::exists(path)) return path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    std::fprintf(f, "# VORTEL benchmark mesh\n");
    const double pi = 3.14159265358979323846;
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) {
            double u = 2 * pi * i / nu, v = 2 * pi * j / nv;
            double r = 1.0 + 0.35 * std::cos(v);
            std::fprintf(f, "v %f %f %f\n", r * std::cos(u), 0.35 * std::sin(v), r * std::sin(u));
        }
    for (int j = 0; j < nv; ++j)
        for (int i = 0; i < nu; ++i) std::fprintf(f, "vt %f %f\n", double(i) / nu, double(j) / nv);
    const int groups = 6;
    for (int j = 0; j < nv; ++j) {
        if (j % (nv / groups) == 0 && j / (nv / groups) < groups) {
            int g = j / (nv / groups);
            std::fprintf(f, "g part%d\nusemtl mat%d\n", g, g);
        }
        for (int i = 0; i < nu; ++i) {
            int a = j * nu + i + 1, b = j * nu + (i + 1) % nu + 1;
            int c = ((j + 1) % nv) * nu + (i + 1) % nu + 1, d = ((j + 1) % nv) * nu + i + 1;
            if (triangles) {
                std::fprintf(f, "f %d/%d %d/%d %d/%d\n", a, a, b, b, c, c);
                std::fprintf(f, "f %d/%d %d/%d %d/%d\n", a, a, c, c, d, d);
            } else {
                std::fprintf(f, "f %d/%d %d/%d %d/%d %d/%d\n", a, a, b, b, c, c, d, d);
            }
        }
    }
    std::fclose(f);
    return path;
}

inline std::string benchDir() {
    auto d = std::filesystem::temp_directory_path() / "vortel-bench";
    std::filesystem::create_directories(d);
    return d.string();
}

inline std::string quadLimitFile() { return writeTorusObj(benchDir() + "/limit_quads.obj", 360, 360, false); }
inline std::string triangleLimitFile() { return writeTorusObj(benchDir() + "/limit_tris.obj", 300, 288, true); }

}  // namespace vortel::bench
