// vortel-cli: the VORTEL core behind a console, for batch work and scripted checks.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "CliCommands.h"
#include "CliCommon.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* usage;
};

const Command kCommands[] = {
    {"info", vortel::cli::cmdInfo, "info FILE"},
    {"save", vortel::cli::cmdSave, "save IN OUT [--morph MT] [--groups LIST] [--vertex-only] [--direct]"},
    {"vcm", vortel::cli::cmdVcm, "vcm MESH [--tolerance EPS]"},
    {"mirror", vortel::cli::cmdMirror, "mirror BASE MT l2r|r2l|swap|reset-r|reset-l OUT [--tolerance EPS]"},
    {"edges", vortel::cli::cmdEdges, "edges MESH ANGLE(0..12) [OUT]"},
    {"fuse", vortel::cli::cmdFuse, "fuse MESH MAP OUT"},
    {"restore", vortel::cli::cmdRestore, "restore MESH MAP OUT"},
    {"cr2", vortel::cli::cmdCr2, "cr2 BASE MT"},
    {"split", vortel::cli::cmdSplit, "split MESH [--groups LIST]"},
    {"hair", vortel::cli::cmdHair, "hair MESH OUT [--collect W]"},
    {"collide", vortel::cli::cmdCollide, "collide MESH OUT"},
    {"drop", vortel::cli::cmdDrop,
     "drop MESH SEED OUT [--n N] [--size S] [--front] [--fixed-size] [--fixed-location] [--time T]"},
};

int usage() {
    std::fprintf(stderr, "usage: vortel-cli COMMAND ...\n");
    for (const Command& c : kCommands) std::fprintf(stderr, "  vortel-cli %s\n", c.usage);
    return vortel::cli::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "C");
    if (argc < 2) return usage();
    std::vector<std::string> args(argv + 2, argv + argc);
    for (const Command& c : kCommands)
        if (std::strcmp(argv[1], c.name) == 0) {
            int rc = c.run(args);
            if (rc == vortel::cli::kExitUsage) std::fprintf(stderr, "usage: vortel-cli %s\n", c.usage);
            return rc;
        }
    return usage();
}
