// printf-style messages and file titles.
#include "doc/Text.h"

#include <cstdarg>
#include <cstdio>

namespace vortel {

std::string formatMessage(const char* fmt, ...) {
    char buf[1200];
    va_list ap;
    va_start(ap, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

std::string fileTitleOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

}  // namespace vortel
