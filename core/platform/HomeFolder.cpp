// Home folder lookup through VORTEL_HOME or /proc/self/exe.
#include "platform/HomeFolder.h"

#include <unistd.h>

#include <cstdlib>

namespace vortel {

std::string programHomeFolder() {
    std::string folder;
    if (const char* env = std::getenv("VORTEL_HOME"); env && *env) {
        folder = env;
    } else {
        char buf[4096];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n > 0) {
            buf[n] = '\0';
            folder = buf;
            size_t slash = folder.find_last_of('/');
            folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
        }
    }
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace vortel
