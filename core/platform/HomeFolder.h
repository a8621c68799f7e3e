// The program's home folder: where "VELTA.ini", work/ and preset/ live.
//
// In a build tree (or any folder the user may write that is not an installed
// layout) the home folder is the program's own folder, as it always was. An
// installed VORTEL keeps its executables in bin/ and what it ships (manual,
// presets, samples) in share/vortel/, both read-only for a normal user; it
// then keeps each user's settings and work files in the user's data folder,
// $XDG_DATA_HOME/vortel/ (by default ~/.local/share/vortel/), made on first
// start with copies of the shipped presets.
#pragma once

#include <string>

namespace vortel {

class Settings;

// VORTEL_HOME when set (tests, portable installs); else the program folder
// when it is writable and not an installed layout; else the user's data
// folder, prepared for use. Always ends in '/'.
std::string programHomeFolder();

// The folder of the running executable, ending in '/'.
std::string programFolder();

// Where the files that ship with the program lie (manual.html, preset/,
// samples/): PROGRAM + "../share/vortel/" in an installed layout, else PROGRAM
// itself (a build tree puts them beside the executable). Ends in '/'.
std::string programDataFolder(const std::string& program);

// True when PROGRAM sits in an installed layout: its data folder holds preset/.
bool isInstalledLayout(const std::string& program);

// $XDG_DATA_HOME/vortel/ when XDG_DATA_HOME is an absolute path, else
// HOME + "/.local/share/vortel/"; empty when neither is known.
std::string userDataFolder(const char* xdgDataHome, const char* home);

// The choice of programHomeFolder() without the environment: VORTEL_HOME (may
// be null), the program folder and the user's data folder (may be empty).
// Touches nothing on disk but what it reads.
std::string chooseHomeFolder(const char* vortelHome, const std::string& program, const std::string& userData);

// Makes HOME usable: creates it with its parents and work/, and on first start
// (no preset/ yet) creates preset/ with a copy of every file in DATA/preset/.
// Files already there are never replaced. False when HOME could not be made.
bool prepareUserHome(const std::string& home, const std::string& data);

// Start-up's record of the home folder in "VELTA.ini": "Locate"/"name" the
// folder, "Locate"/"drive" the signed code of its first character.
void recordHomeFolder(Settings& settings, const std::string& home);

}  // namespace vortel
