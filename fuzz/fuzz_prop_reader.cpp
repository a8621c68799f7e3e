// The Poser prop and hair reader: each input is a .pp2 file opened as a mesh.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vortel::fuzz::session().openBytes("input.pp2", data, size, 0);
    return 0;
}
