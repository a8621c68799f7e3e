// vortel-cli: the VORTEL core behind a console, for batch work and scripted checks.
//
// The command table below is the one source of the usage lines printed on a
// usage error, of the help text and, through the help text, of the manual
// page that the build makes (vortel-cli.1).
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliCommon.h"

#ifndef VORTEL_VERSION
#define VORTEL_VERSION "unknown"
#endif

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* usage;
    const char* summary = nullptr;  // what the command does, for the help text
};

const Command kCommands[] = {
    {"info", vortel::cli::cmdInfo, "info FILE",
     "Opens FILE (OBJ, or a .pp2 prop or .hr2 hair file) as the window's Open does and prints one JSON line: "
     "load status and message, counts, group and material names, floating vertices and the display "
     "transform."},
    {"save", vortel::cli::cmdSave, "save IN OUT [--morph MT] [--groups LIST] [--vertex-only] [--direct]",
     "Opens IN, with --morph also the morph target MT, and writes OUT through Save As: the listed groups "
     "(comma-separated numbers from 0) or all, only vertices with --vertex-only, without the options dialog "
     "with --direct."},
    {"vcm", vortel::cli::cmdVcm, "vcm MESH [--tolerance EPS]",
     "Runs \"VCM GEN\" on MESH and prints one JSON line: resolved vertices, the partner table and the marker "
     "vertices. With --tolerance EPS each vertex takes the nearest mirror image within EPS."},
    {"mirror", vortel::cli::cmdMirror, "mirror BASE MT l2r|r2l|swap|reset-r|reset-l OUT [--tolerance EPS]",
     "Opens BASE and the morph target MT, runs \"VCM GEN\" (with --tolerance EPS, the nearest mirror image "
     "within EPS) and the chosen mirror button, then saves the morphed mesh to OUT."},
    {"edges", vortel::cli::cmdEdges, "edges MESH ANGLE(0..12) [OUT]",
     "Runs \"1.ANALYSIS\" on MESH at slider position ANGLE and prints one JSON line of edge lines; with OUT "
     "also \"2.EXCUTE\" and a direct save."},
    {"fuse", vortel::cli::cmdFuse, "fuse MESH MAP OUT",
     "Runs \"FUSION\" on MESH, writing the map file MAP, and saves the welded mesh to OUT."},
    {"restore", vortel::cli::cmdRestore, "restore MESH MAP OUT",
     "Runs \"TO ORIGINAL\" on MESH with the map file MAP and saves the restored mesh to OUT."},
    {"cr2", vortel::cli::cmdCr2, "cr2 BASE MT",
     "Opens BASE and the morph target MT and writes MT + \".cr2\": one morph channel per group; prints the "
     "file and the number of actors."},
    {"split", vortel::cli::cmdSplit, "split MESH [--groups LIST]",
     "Writes each shown group of MESH (the listed groups, or all) as its own OBJ file in a time-stamped "
     "folder beside MESH; prints the folder and the files."},
    {"hair", vortel::cli::cmdHair, "hair MESH OUT [--collect W]",
     "Builds polygon strips from the line faces of MESH, with --collect W runs the HAIR window's request "
     "(0 CLOSE, 9999 RESET, else DONE), and writes the HAIR export to OUT."},
    {"collide", vortel::cli::cmdCollide, "collide MESH OUT",
     "Runs Collision on MESH (the first group pushed out of the others) and saves the mesh to OUT."},
    {"drop", vortel::cli::cmdDrop,
     "drop MESH SEED OUT [--n N] [--size S] [--front] [--fixed-size] [--fixed-location] [--time T]",
     "Scatters copies of SEED (an OBJ file, or F, C or S for a preset) over MESH as DROP does, with the Drop "
     "window's options, and writes Export > Drop to OUT; --time T fixes the random numbers."},
};

int usage() {
    std::fprintf(stderr, "usage: vortel-cli COMMAND ...\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  vortel-cli %s\n", c.usage);
    return vortel::cli::kExitUsage;
}

// Prints TEXT indented by INDENT, broken at blanks before column 79.
void printWrapped(const char* text, int indent) {
    const std::string s = text;
    const size_t width = 79 - static_cast<size_t>(indent);
    size_t i = 0;
    while (i < s.size()) {
        size_t end = s.size();
        if (end - i > width) {
            end = s.rfind(' ', i + width);
            if (end == std::string::npos || end <= i) end = s.find(' ', i + width);
            if (end == std::string::npos) end = s.size();
        }
        std::printf("%*s%s\n", indent, "", s.substr(i, end - i).c_str());
        i = end;
        while (i < s.size() && s[i] == ' ') ++i;
    }
}

// The help text. Its layout is what help2man reads to build the manual page:
// "Usage:" lines, then sections whose entries are indented two blanks with
// their description on the lines below.
int help() {
    std::printf("Usage: vortel-cli COMMAND ARGUMENTS...\n");
    std::printf("  or:  vortel-cli --help | --version\n");
    printWrapped("Runs VORTEL's commands on mesh files without a window: each command opens its files as the "
                 "program's open-by-path entry does, runs the same code as the window's buttons and reports "
                 "on standard output; boxes and progress texts go to standard error, each on one line, and "
                 "every question is answered OK.",
                 0);
    std::printf("\nCommands:\n");
    for (const Command& c : kCommands) {
        std::printf("  %s\n", c.usage);
        if (c.summary) printWrapped(c.summary, 6);
    }
    std::printf("\nOptions:\n");
    std::printf("  --help\n");
    printWrapped("Prints this text and exits.", 6);
    std::printf("  --version\n");
    printWrapped("Prints the version and exits.", 6);
    std::printf("\nExit status:\n");
    std::printf("  0\n");
    printWrapped("The command ran to its end.", 6);
    std::printf("  1\n");
    printWrapped("A load failed or the command was refused (its message is on standard error).", 6);
    std::printf("  2\n");
    printWrapped("The command line was not understood.", 6);
    std::printf("\nEnvironment:\n");
    std::printf("  VORTEL_HOME\n");
    printWrapped("The home folder for \"VELTA.ini\", work/ and preset/. Without it, the program's own folder "
                 "when that can be written (a build tree), else $XDG_DATA_HOME/vortel (by default "
                 "~/.local/share/vortel), made on first start with copies of the shipped presets.",
                 6);
    return vortel::cli::kExitOk;
}

int version() {
    std::printf("vortel-cli (VORTEL) %s\n", VORTEL_VERSION);
    return vortel::cli::kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    if (argc < 2) return usage();
    if (std::strcmp(argv[1], "--help") == 0) return help();
    if (std::strcmp(argv[1], "--version") == 0) return version();
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) {
            int rc = c.run(args);
            if (rc == vortel::cli::kExitUsage) std::fprintf(stderr, "usage: vortel-cli %s\n", c.usage);
            return rc;
        }
    return usage();
}
