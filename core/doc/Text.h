// Small text helpers shared by the readers, the writer, the commands and the
// command line: printf-style messages and the file title of a path.
#pragma once

#include <string>

namespace vortel {

// The message text of a printf format (at most 1199 bytes, as the boxes show).
std::string formatMessage(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// The file name of a path without its folder and its last extension.
std::string fileTitleOf(const std::string& path);

}  // namespace vortel
