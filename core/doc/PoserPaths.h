// Where the geometry of a Poser file that only refers to an OBJ lies.
#pragma once

#include <string>

namespace vortel {

// For a location starting with '/' (a ':'-path converted): the part of the
// file path before its first "Runtime" (any case, separator dropped) followed
// by the location; empty for any other location.
std::string resolveRuntimePath(const std::string& filePath, const std::string& location);

}  // namespace vortel
