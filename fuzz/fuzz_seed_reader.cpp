// The seed reader: each input is a seed opened by Seed Open (kind 9) while the
// small two-group mesh is loaded.
#include "FuzzSupport.h"
#include "SmallMeshes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& s = vortel::fuzz::session();
    static const bool base = [&s] {
        s.open(vortel::fuzz::writeScratch("base.obj", vortel::fuzz::kTwoGroups), 0);
        return s.loaded();
    }();
    if (!base) std::abort();
    s.openBytes("seed.obj", data, size, 9);
    return 0;
}
