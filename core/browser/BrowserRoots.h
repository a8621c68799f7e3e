// The top-level items of the file browser and where they come from.
//
// The tree starts with the desktop item "     [DESKTOP]" (the XDG desktop
// folder, or the home folder when there is none), then the home folder, the
// file-system root "/", and the mounted removable media under /media,
// /run/media and /mnt, listed like drives: the mount point, followed by
// " [label]" when the volume has a label.
//
// The readers of the system (environment, XDG user-dirs file, mount table,
// /dev/disk/by-label) are separate from the rules that turn what they read into
// roots, so the rules are tested on any text.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vortel {

// Image numbers of the browser's image list: each kind of item has a normal
// image n and a selected image n + 1.
namespace treeimage {
inline constexpr int Drive = 0;       // roots and media of every other kind
inline constexpr int Folder = 2;
inline constexpr int MeshFile = 4;
inline constexpr int Floppy = 6;      // kept for the image list's order; no Linux root uses it
inline constexpr int Optical = 8;     // CD and DVD media
inline constexpr int OpenedFile = 10; // the mesh file opened last from the browser
inline constexpr int Desktop = 12;
inline constexpr int Count = 14;
}  // namespace treeimage

inline constexpr const char* kDesktopItemText = "     [DESKTOP]";

// One mounted medium: where it is mounted, its volume label (may be empty),
// and whether it is an optical disc.
struct MediaMount {
    std::string mountPoint;
    std::string label;
    bool optical = false;
};

// What the roots are built from.
struct RootSources {
    std::string home;     // the home folder
    std::string desktop;  // the desktop folder (the home folder when there is none)
    std::vector<MediaMount> media;
};

// A top-level item: its text in the tree, the folder it opens and its image.
struct BrowserRoot {
    std::string text;
    std::string path;
    int image = treeimage::Drive;
};

// The roots in tree order: desktop, home, "/", media. The home folder is left
// out when it is not a folder (the desktop item then falls back to "/").
std::vector<BrowserRoot> browserRoots(const RootSources& sources);

// The sources of the running system: HOME (or the password database), the
// XDG user-dirs file, /proc/self/mounts and /dev/disk/by-label.
RootSources systemRootSources();

// ---- the rules, on text ----

// The desktop folder from the text of a user-dirs.dirs file (XDG_DESKTOP_DIR,
// "$HOME/..." or an absolute path), when that folder exists; otherwise HOME's
// "Desktop" folder when it exists; otherwise HOME itself.
std::string desktopFolderOf(const std::string& home, const std::string& userDirsText);

// Mounted media from the text of a mount table (/proc/self/mounts format):
// block devices and network or FUSE file systems mounted at /mnt, or under
// /media, /run/media or /mnt, in mount-point order, each mount point once.
// LABELS maps a device path to its volume label; a mount's device is looked up
// as the table names it and, when RESOLVE is given, as the device it links to.
std::vector<MediaMount> mediaMountsOf(const std::string& mountsText,
                                      const std::map<std::string, std::string>& labels,
                                      const std::function<std::string(const std::string&)>& resolve = {});

// Undoes the mount table's octal escapes ("\040" for a blank).
std::string decodeMountField(const std::string& field);
// Undoes udev's "\xHH" escapes in a /dev/disk/by-label name.
std::string decodeLabelName(const std::string& name);

}  // namespace vortel
