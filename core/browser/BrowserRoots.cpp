// The browser's roots: desktop, home, file-system root and mounted media.
#include "browser/BrowserRoots.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace vortel {
namespace {

// A folder path without trailing slashes; "/" stays "/".
std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

// Media are mounted at /mnt itself or in a folder below /media, /run/media or /mnt.
bool isMediaMountPoint(const std::string& mountPoint) {
    if (mountPoint == "/mnt" || mountPoint == "/media") return true;
    for (const char* base : {"/media/", "/run/media/", "/mnt/"})
        if (startsWith(mountPoint, base) && mountPoint.size() > std::char_traits<char>::length(base)) return true;
    return false;
}

// Block devices and file systems of other machines are media; memory and
// kernel file systems mounted there (tmpfs, proc, overlay ...) are not.
bool isMediaSource(const std::string& device, const std::string& type) {
    if (startsWith(device, "/dev/")) return true;
    return startsWith(type, "nfs") || type == "cifs" || type == "smb3" || startsWith(type, "fuse.");
}

}  // namespace

std::vector<BrowserRoot> browserRoots(const RootSources& sources) {
    std::vector<BrowserRoot> roots;
    const std::string home = withoutTrailingSlash(sources.home);
    const bool homeShown = isFolder(home);
    std::string desktop = withoutTrailingSlash(sources.desktop);
    if (!isFolder(desktop)) desktop = homeShown ? home : "/";
    roots.push_back(BrowserRoot{kDesktopItemText, desktop, treeimage::Desktop});
    if (homeShown) roots.push_back(BrowserRoot{home, home, treeimage::Drive});
    roots.push_back(BrowserRoot{"/", "/", treeimage::Drive});
    for (const MediaMount& m : sources.media) {
        const std::string point = withoutTrailingSlash(m.mountPoint);
        if (!isFolder(point)) continue;  // a root that is not there is skipped
        const std::string text = m.label.empty() ? point : point + " [" + m.label + "]";
        roots.push_back(BrowserRoot{text, point, m.optical ? treeimage::Optical : treeimage::Drive});
    }
    return roots;
}

std::string desktopFolderOf(const std::string& home, const std::string& userDirsText) {
    std::istringstream lines(userDirsText);
    std::string line, value;
    bool found = false;
    while (std::getline(lines, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        if (line.compare(start, 16, "XDG_DESKTOP_DIR=") != 0) continue;
        std::string raw = line.substr(start + 16);
        while (!raw.empty() && (raw.back() == '\r' || raw.back() == ' ' || raw.back() == '\t')) raw.pop_back();
        if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') raw = raw.substr(1, raw.size() - 2);
        // The value is shell-quoted: a backslash keeps the next character.
        value.clear();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\\' && i + 1 < raw.size()) ++i;
            value += raw[i];
        }
        found = true;  // the last assignment counts, as when the shell reads the file
    }
    if (found) {
        if (startsWith(value, "$HOME")) value = home + value.substr(5);
        if (!value.empty() && value.front() == '/' && isFolder(value)) return withoutTrailingSlash(value);
    }
    const std::string conventional = withoutTrailingSlash(home) + "/Desktop";
    if (isFolder(conventional)) return conventional;
    return withoutTrailingSlash(home);
}

std::string decodeMountField(const std::string& field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::string decodeLabelName(const std::string& name) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
            hex(name[i + 3]) >= 0) {
            out += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
            i += 3;
            continue;
        }
        out += name[i];
    }
    return out;
}

std::vector<MediaMount> mediaMountsOf(const std::string& mountsText, const std::map<std::string, std::string>& labels,
                                      const std::function<std::string(const std::string&)>& resolve) {
    std::vector<MediaMount> media;
    std::set<std::string> seen;
    std::istringstream lines(mountsText);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type)) continue;
        device = decodeMountField(device);
        point = decodeMountField(point);
        if (!isMediaMountPoint(point) || !isMediaSource(device, type)) continue;
        if (!seen.insert(point).second) continue;
        MediaMount m;
        m.mountPoint = point;
        m.optical = type == "iso9660" || type == "udf";
        auto label = labels.find(device);
        if (label == labels.end() && resolve) label = labels.find(resolve(device));
        if (label != labels.end()) m.label = label->second;
        media.push_back(std::move(m));
    }
    std::sort(media.begin(), media.end(),
              [](const MediaMount& a, const MediaMount& b) { return a.mountPoint < b.mountPoint; });
    return media;
}

RootSources systemRootSources() {
    RootSources s;
    if (const char* home = std::getenv("HOME"); home && *home) {
        s.home = home;
    } else if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
        s.home = pw->pw_dir;
    }
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && xdg[0] == '/')
        config = xdg;
    else
        config = withoutTrailingSlash(s.home) + "/.config";
    s.desktop = desktopFolderOf(s.home, readWholeFile(config + "/user-dirs.dirs"));

    auto canonical = [](const std::string& path) {
        std::error_code ec;
        const fs::path p = fs::canonical(path, ec);
        return ec ? path : p.string();
    };
    std::map<std::string, std::string> labels;
    std::error_code ec;
    for (fs::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec))
        labels[canonical(it->path().string())] = decodeLabelName(it->path().filename().string());
    s.media = mediaMountsOf(readWholeFile("/proc/self/mounts"), labels, canonical);
    return s;
}

}  // namespace vortel
