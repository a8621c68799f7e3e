// The morph target loader: each input is a target opened by MT Open against
// the small two-group mesh, loaded afresh each time so every run starts alike.
#include "FuzzSupport.h"
#include "SmallMeshes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& s = vortel::fuzz::session();
    static const std::string base = vortel::fuzz::writeScratch("base.obj", vortel::fuzz::kTwoGroups);
    s.open(base, 0);
    if (!s.loaded()) std::abort();
    s.openBytes("target.obj", data, size, 1);
    return 0;
}
