// The special functions panel from the console:
//   vortel-cli vcm MESH [--tolerance EPS]                 "VCM GEN", one JSON line
//   vortel-cli mirror BASE MT MODE OUT [--tolerance EPS]  "VCM GEN", a mirror button, Save As (dialog mode, all groups)
//   vortel-cli edges MESH ANGLE [OUT]     "1.ANALYSIS" at slider ANGLE, one JSON line; with OUT "2.EXCUTE" and a direct save
//   vortel-cli fuse MESH MAP OUT          "FUSION" with the map file MAP, direct save of the welded mesh
//   vortel-cli restore MESH MAP OUT       "TO ORIGINAL" from MAP, direct save
// The panel runs as a view of the document, so loads reset it as in the
// window; boxes go to standard error and every question is answered OK.
// A refused command prints no JSON line and exits 1.
// With --tolerance EPS, "VCM GEN" pairs each vertex with the nearest mirror
// image within EPS (mesh units) instead of the exactly equal one; table,
// messages and JSON keep their form, and EPS = 0 gives the exact result.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "CliCommands.h"
#include "CliCommon.h"
#include "special/MtmPanel.h"

namespace vortel::cli {

namespace {

// A session with the special panel shown and started.
struct PanelSession {
    Session s;
    MtmPanel panel{s.doc};
    MtmPanelView view{s.doc, panel};
    PanelSession() { panel.startUp(); }
};

bool parseSlider(const std::string& text, int& out) {
    if (text.empty() || text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    out = std::stoi(text);
    return out >= kSliderMin && out <= kSliderMax;
}

bool parseMirrorMode(const std::string& text, int& button) {
    if (text == "l2r")
        button = mtm::LeftToRight;
    else if (text == "r2l")
        button = mtm::RightToLeft;
    else if (text == "swap")
        button = mtm::Swap;
    else if (text == "reset-r")
        button = mtm::ResetRight;
    else if (text == "reset-l")
        button = mtm::ResetLeft;
    else
        return false;
    return true;
}

// Takes "--tolerance EPS" out of ARGS. False on a malformed option: a
// missing, repeated, negative, infinite or unparsable EPS.
bool takeTolerance(std::vector<std::string>& args, std::optional<double>& eps) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--tolerance") continue;
        if (eps || i + 1 >= args.size()) return false;
        const std::string& text = args[i + 1];
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !std::isfinite(value) || value < 0.0) return false;
        eps = value;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
        --i;
    }
    return true;
}

}  // namespace

int cmdVcm(const std::vector<std::string>& argList) {
    std::vector<std::string> args = argList;
    std::optional<double> tolerance;
    if (!takeTolerance(args, tolerance) || args.size() != 1) return kExitUsage;
    PanelSession ps;
    ps.panel.mirrorTolerance = tolerance;
    if (!openPath(ps.s.doc, args[0], 0)) return kExitFailed;
    ps.panel.clickRadio(mtm::RadioMtMirror);
    if (ps.panel.press(mtm::VcmGen) != CommandResult::Done) return kExitFailed;
    const int n = ps.s.doc.vertexCount;
    std::string j = "{\"resolved\":" + std::to_string(ps.panel.resolvedCount) + ",\"vertices\":" + std::to_string(n);
    j += ",\"valid\":" + std::to_string(ps.panel.vcmValidFlag) + ",\"table\":[";
    const int* table = ps.panel.vcmTable();
    for (int k = 0; k < n; ++k) {
        if (k) j += ',';
        j += std::to_string(table[k]);
    }
    j += "],\"markers\":[";
    for (int k = 0; k < ps.panel.markerVertexCount; ++k) {
        if (k) j += ',';
        j += std::to_string(ps.panel.markerVertices()[k]);
    }
    j += "]}";
    std::printf("%s\n", j.c_str());
    return kExitOk;
}

int cmdMirror(const std::vector<std::string>& argList) {
    std::vector<std::string> args = argList;
    std::optional<double> tolerance;
    if (!takeTolerance(args, tolerance) || args.size() != 4) return kExitUsage;
    int button = 0;
    if (!parseMirrorMode(args[2], button)) return kExitUsage;
    PanelSession ps;
    ps.panel.mirrorTolerance = tolerance;
    if (!openPath(ps.s.doc, args[0], 0)) return kExitFailed;
    openPath(ps.s.doc, args[1], 1);
    if (ps.s.doc.morphLoadedFlag != 1 || ps.s.doc.mtPath != args[1]) return kExitFailed;
    ps.panel.clickRadio(mtm::RadioMtMirror);
    if (ps.panel.press(mtm::VcmGen) != CommandResult::Done) return kExitFailed;
    if (ps.panel.press(button) != CommandResult::Done) return kExitFailed;
    return saveWithDialog(ps.s, args[3]) ? kExitOk : kExitFailed;
}

int cmdEdges(const std::vector<std::string>& args) {
    if (args.size() != 2 && args.size() != 3) return kExitUsage;
    int slider = 0;
    if (!parseSlider(args[1], slider)) return kExitUsage;
    PanelSession ps;
    if (!openPath(ps.s.doc, args[0], 0)) return kExitFailed;
    ps.panel.setSliderPosition(slider);
    ps.panel.sliderReleased();
    if (ps.panel.press(mtm::Analysis) != CommandResult::Done) return kExitFailed;
    const CVELTADoc& d = ps.s.doc;
    std::string j = "{\"hits\":" + std::to_string(d.edgeLineCount) + ",\"lines\":[";
    for (int k = 0; k < d.edgeLineCount; ++k) {
        const size_t i = static_cast<size_t>(k);
        if (k) j += ',';
        j += "[" + std::to_string(d.edgeLineFirst[i]) + "," + std::to_string(d.edgeLineSecond[i]) + "," +
             std::to_string(d.edgeLineFace[i]) + "]";
    }
    j += "]}";
    std::printf("%s\n", j.c_str());
    std::fflush(stdout);
    if (args.size() == 2) return kExitOk;
    if (ps.panel.press(mtm::Excute) != CommandResult::Done) return kExitFailed;
    return saveDirect(ps.s.doc, args[2], std::nullopt) ? kExitOk : kExitFailed;
}

namespace {
// MESH MAP OUT: run one of the map file commands, then Save As in direct mode.
int runMapCommand(const std::vector<std::string>& args, CommandResult (MtmPanel::*command)(const std::string&)) {
    if (args.size() != 3) return kExitUsage;
    PanelSession ps;
    if (!openPath(ps.s.doc, args[0], 0)) return kExitFailed;
    ps.panel.clickRadio(mtm::RadioFusion);
    if ((ps.panel.*command)(args[1]) != CommandResult::Done) return kExitFailed;
    return saveDirect(ps.s.doc, args[2], std::nullopt) ? kExitOk : kExitFailed;
}
}  // namespace

int cmdFuse(const std::vector<std::string>& args) { return runMapCommand(args, &MtmPanel::fusion); }

int cmdRestore(const std::vector<std::string>& args) { return runMapCommand(args, &MtmPanel::toOriginal); }

}  // namespace vortel::cli
