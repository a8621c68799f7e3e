// The small meshes the fuzz targets load before the input: a two-group mesh
// whose border vertices are doubled, and the same mesh welded by "FUSION" and
// saved, which the map files in the corpus describe.
#pragma once

namespace vortel::fuzz {

inline constexpr const char* kTwoGroups =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 1 0 0\nv 2 0 0\nv 2 1 0\nv 1 1 0\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
    "g left\nusemtl skin\nf 1/1 2/2 3/3 4/4\ng right\nf 5/1 6/2 7/3 8/4\nf 6/2 7/3 3/3\n";

inline constexpr const char* kWelded =
    "v 0.000000 0.000000 0.000000\nv 1.000000 0.000000 0.000000\nv 1.000000 1.000000 0.000000\n"
    "v 0.000000 1.000000 0.000000\nv 2.000000 0.000000 0.000000\nv 2.000000 1.000000 0.000000\n"
    "vt 0.000000 0.000000\nvt 1.000000 0.000000\nvt 1.000000 1.000000\nvt 0.000000 1.000000\n"
    "g FUSIONDATA\nusemtl skin\n\nf 1/1 2/2 3/3 4/4\nf 2/1 5/2 6/3 3/4\nf 5/2 6/3 3/3\n";

}  // namespace vortel::fuzz
