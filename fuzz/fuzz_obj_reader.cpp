// The OBJ mesh reader: each input is a mesh file opened as File > Open would.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vortel::fuzz::session().openBytes("input.obj", data, size, 0);
    return 0;
}
