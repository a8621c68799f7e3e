// Home folder lookup: VORTEL_HOME, the program folder or the user's data folder.
#include "platform/HomeFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/Settings.h"

// The installed data folder seen from the installed program folder ("../share/vortel"
// for the usual bin/ and share/); the build sets it from its install directories.
#ifndef VORTEL_DATA_FROM_PROGRAM
#define VORTEL_DATA_FROM_PROGRAM "../share/vortel"
#endif

namespace vortel {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace

std::string programFolder() {
    std::string folder;
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n > 0) {
        buf[n] = '\0';
        folder = buf;
        size_t slash = folder.find_last_of('/');
        folder = slash == std::string::npos ? std::string() : folder.substr(0, slash);
    }
    return withSlash(folder);
}

bool isInstalledLayout(const std::string& program) {
    return isFolder(withSlash(program) + VORTEL_DATA_FROM_PROGRAM "/preset");
}

std::string programDataFolder(const std::string& program) {
    if (isInstalledLayout(program)) {
        std::error_code ec;
        // The tidy form for the manual's address and the messages that show a path.
        fs::path data = fs::weakly_canonical(fs::path(withSlash(program) + VORTEL_DATA_FROM_PROGRAM), ec);
        if (!ec) return withSlash(data.string());
        return withSlash(withSlash(program) + VORTEL_DATA_FROM_PROGRAM);
    }
    return withSlash(program);
}

std::string userDataFolder(const char* xdgDataHome, const char* home) {
    // A relative XDG_DATA_HOME names no folder of the user's; it is ignored, as desktop programs do.
    if (xdgDataHome && xdgDataHome[0] == '/') return withSlash(xdgDataHome) + "vortel/";
    if (home && *home) return withSlash(home) + ".local/share/vortel/";
    return {};
}

std::string chooseHomeFolder(const char* vortelHome, const std::string& program, const std::string& userData) {
    if (vortelHome && *vortelHome) return withSlash(vortelHome);
    // An installed program folder is never a home, even for root who could write it.
    if (access(program.c_str(), W_OK) == 0 && !isInstalledLayout(program)) return withSlash(program);
    if (!userData.empty()) return withSlash(userData);
    return withSlash(program);  // nowhere better: settings writes then fail, which is not an error
}

bool prepareUserHome(const std::string& home, const std::string& data) {
    std::error_code ec;
    fs::create_directories(home, ec);
    if (!isFolder(home)) return false;
    fs::create_directories(home + "work", ec);
    const std::string presets = home + "preset";
    if (isFolder(presets)) return true;  // not the first start: the user's presets are the user's
    if (!fs::create_directory(presets, ec)) return true;
    for (fs::directory_iterator it(withSlash(data) + "preset", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code one;
        if (!it->is_regular_file(one)) continue;
        fs::copy_file(it->path(), fs::path(presets) / it->path().filename(), fs::copy_options::skip_existing, one);
    }
    return true;
}

std::string programHomeFolder() {
    const std::string program = programFolder();
    const char* vortelHome = std::getenv("VORTEL_HOME");
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* pw = getpwuid(getuid());
        home = pw ? pw->pw_dir : nullptr;
    }
    const std::string userData = userDataFolder(std::getenv("XDG_DATA_HOME"), home);
    const std::string chosen = chooseHomeFolder(vortelHome, program, userData);
    if (!(vortelHome && *vortelHome) && chosen == userData) prepareUserHome(chosen, programDataFolder(program));
    return chosen;
}

void recordHomeFolder(Settings& settings, const std::string& home) {
    settings.writeString("Locate", "name", home);
    const int drive = home.empty() ? 0 : static_cast<int>(static_cast<signed char>(home[0]));
    settings.writeInt("Locate", "drive", drive);
}

}  // namespace vortel
