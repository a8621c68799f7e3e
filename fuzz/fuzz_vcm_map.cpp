// The map file that "TO ORIGINAL" reads: each input is a map applied to the
// small welded mesh, loaded afresh each time; a restored mesh is then saved,
// as the user would next.
#include "FuzzSupport.h"
#include "SmallMeshes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& s = vortel::fuzz::session();
    static const std::string base = vortel::fuzz::writeScratch("welded.obj", vortel::fuzz::kWelded);
    s.open(base, 0);
    if (!s.loaded()) std::abort();
    // The button reads the panel's map file, work/VCMTEMP.VCM in the home folder.
    vortel::fuzz::writeScratch("work/VCMTEMP.VCM", data, size);
    s.panel.clickRadio(vortel::mtm::RadioFusion);
    if (s.panel.press(vortel::mtm::ToOriginal) == vortel::CommandResult::Done) s.saveDirect();
    return 0;
}
