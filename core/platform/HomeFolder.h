// The program's home folder: where "VELTA.ini", work/ and preset/ live.
#pragma once

#include <string>

namespace vortel {

// VORTEL_HOME when set (tests, portable installs), else the folder of the
// running executable; always ending in '/'.
std::string programHomeFolder();

}  // namespace vortel
