// Helpers of the core tests: temporary files and a document with a fake platform.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "FakePlatform.h"
#include "doc/CVELTADoc.h"
#include "doc/MorphPlayback.h"

namespace vortel::test {

inline std::filesystem::path tempDir() {
    static std::filesystem::path dir = [] {
        // Memory-backed when the machine has it: the cut tests write thousands of files.
        const std::filesystem::path root =
            std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
        auto d = root / ("vortel-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline std::string writeFile(const std::string& name, const std::string& bytes) {
    auto p = tempDir() / name;
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string sourcePath(const std::string& rel) { return std::string(VORTEL_SOURCE_DIR) + "/" + rel; }

// Runs vortel-cli with ARGS (a shell command line), its output thrown away; the exit status.
inline int runCli(const std::string& args) {
    const std::string command = std::string(VORTEL_CLI_PATH) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// One document per process: it is 87 MB, and the program too builds it once.
struct DocFixture {
    FakePlatform ui;
    CVELTADoc doc{ui};
    HeadlessView view{doc};
    DocFixture() { doc.addView(&view); }

    void openText(const std::string& name, const std::string& text) {
        reset();
        doc.openByPath(writeFile(name, text), name, 0);
    }
    // Forget what earlier tests left in the platform record.
    void reset() { ui = FakePlatform(); }
};

// The one document of the test program, shared by every test (it is built once, as in the program).
inline DocFixture& fixture() {
    static DocFixture* f = new DocFixture();
    return *f;
}

}  // namespace vortel::test
