// The vortel-cli commands; each takes the arguments after its name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace vortel::cli {

int cmdInfo(const std::vector<std::string>& args);
int cmdSave(const std::vector<std::string>& args);
int cmdVcm(const std::vector<std::string>& args);
int cmdMirror(const std::vector<std::string>& args);
int cmdEdges(const std::vector<std::string>& args);
int cmdFuse(const std::vector<std::string>& args);
int cmdRestore(const std::vector<std::string>& args);
int cmdCr2(const std::vector<std::string>& args);
int cmdSplit(const std::vector<std::string>& args);
int cmdHair(const std::vector<std::string>& args);
int cmdCollide(const std::vector<std::string>& args);
int cmdDrop(const std::vector<std::string>& args);

}  // namespace vortel::cli
