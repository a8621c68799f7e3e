// The special functions panel `CMTM` without its window.
//
// Holds what the panel owns: the VCM table (130,000 partner entries), the VCM
// valid flag, the edge cut done flag, the normals dirty flag, the fusion corner
// counter, the slider position, the enabled state of every push button and the
// checks of the three radio buttons; runs start-up, panel reset and the
// commands behind the buttons. The Qt window shows this object and forwards its
// clicks; the console program registers it through `MtmPanelView`, so that the
// document's view refresh after a load runs the panel reset.
//
// The flags live in the panel object. A new panel runs start-up, which sets
// every flag but the VCM valid flag, and its mirror buttons stay disabled until
// its own "VCM GEN" has run, so flags kept per panel behave as flags kept for
// the whole program.
//
// Messages go to the platform with the caption "VORTEL"; long commands show the
// wait cursor and set the status progress bar (0..100), back to 0 at the end.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "doc/CVELTADoc.h"

namespace vortel {

// Control ids of the panel's dialog.
namespace mtm {
inline constexpr int RadioEdgeMaker = 1000;  // "EDGE MAKER"
inline constexpr int RadioMtMirror = 1001;   // "MT Mirror"
inline constexpr int RadioFusion = 1002;     // "FUSION/DIVIDE"
inline constexpr int Slider = 1018;
inline constexpr int VcmGen = 1020;      // "VCM GEN"
inline constexpr int LeftToRight = 1021;  // "L->R"
inline constexpr int RightToLeft = 1022;  // "R->L"
inline constexpr int Fusion = 1023;       // "FUSION"
inline constexpr int Swap = 1024;         // "SWAP"
inline constexpr int ResetRight = 1025;   // "RESET R"
inline constexpr int ResetLeft = 1026;    // "RESET L"
inline constexpr int ToOriginal = 1027;   // "TO ORIGINAL"
inline constexpr int StripP = 1028;       // "P", hidden
inline constexpr int Analysis = 1029;     // "1.ANALYSIS"
inline constexpr int Excute = 1030;       // "2.EXCUTE"
inline constexpr int ButtonC = 1031;      // "C", hidden
}  // namespace mtm

inline constexpr int kSliderMin = 0;
inline constexpr int kSliderMax = 12;
inline constexpr int kSliderStart = 8;
inline constexpr int kMaxEdgeLines = 130000;
inline constexpr int kMaxFusionPairs = 25000;
inline constexpr int kMaxFusionCorners = 25000;
inline constexpr int kMaxFusionGroups = 248;

enum class MirrorMode { LeftToRight, RightToLeft, Swap, ResetRight, ResetLeft };

// How a command ended, for callers that need to know (the console); the user
// learns it from the messages.
enum class CommandResult {
    Done,       // ran to its end
    Refused,    // stopped with a message
    Cancelled,  // the user chose Cancel
    Ignored,    // did nothing, silently (a disabled button, a mirror without morph or table)
};

class MtmPanel {
public:
    explicit MtmPanel(CVELTADoc& doc);
    MtmPanel(const MtmPanel&) = delete;
    MtmPanel& operator=(const MtmPanel&) = delete;

    CVELTADoc& doc() { return m_doc; }

    // ---- life cycle ----
    void startUp();     // initial update of the panel
    void panelReset();  // run by the document's view refresh after load

    // ---- controls ----
    bool isEnabled(int id) const;
    bool isShown(int id) const { return id != mtm::StripP && id != mtm::ButtonC; }
    bool isChecked(int radioId) const;
    int sliderPosition() const { return m_slider; }
    void setSliderPosition(int p);  // clamped to 0..12, as the trackbar does
    void sliderReleased();          // NM_RELEASEDCAPTURE: the normals must be normalised again
    void clickRadio(int radioId);
    // A click on a push button; a disabled or unknown button does nothing.
    CommandResult press(int id);

    // ---- commands (the buttons call these; the map file path is a parameter) ----
    CommandResult vcmGen();
    CommandResult mirror(MirrorMode mode);
    CommandResult edgeAnalysis();
    CommandResult edgeExecute();
    CommandResult fusion(const std::string& mapPath);
    CommandResult toOriginal(const std::string& mapPath);
    // The panel's map file: "work/VCMTEMP.VCM" in the home folder.
    std::string defaultMapPath() const;

    // ---- state ----
    // Partner of vertex k+1 (0-based), -1 for none; entries 0 .. vertex count - 1 are those of the last "VCM GEN".
    const int* vcmTable() const { return m_vcmTable.data(); }
    int* vcmTable() { return m_vcmTable.data(); }
    int vcmValidFlag = 0;
    int edgeCutDoneFlag = 0;
    int normalsDirtyFlag = 0;
    int fusionCornerCounter = 0;
    // Set only by the console's "--tolerance EPS": "VCM GEN" then pairs each
    // vertex with the nearest mirror image within EPS (ToleranceMap.h). The
    // window never sets it; its "VCM GEN" is exact.
    std::optional<double> mirrorTolerance;
    // Of the last "VCM GEN": vertices with exactly one partner, and the vertex
    // numbers (1-based) drawn as marker points, as many as marker point list 1 holds.
    int resolvedCount = 0;
    int markerVertexCount = 0;
    const int* markerVertices() const { return m_markerVertices.data(); }

    // The window refreshes its controls when the panel's state changes.
    std::function<void()> stateChanged;
    // "P" is wired to the strip builder, which installs itself here.
    std::function<void()> stripBuilder;

private:
    void enable(int id, bool on);
    void applyRadioState(int radioId);
    void setMirrorButtons(bool on);
    void notify();
    void message(const std::string& text);     // the panel's box: "VORTEL", OK
    void appMessage(const std::string& text);  // the application's box: "VORTEL", OK, warning icon
    bool askOkCancel(const std::string& text);

    CVELTADoc& m_doc;
    FixedArray<int> m_vcmTable{kMaxVertices};
    FixedArray<int> m_markerVertices{kMarkerSlots};
    bool m_enabled[14] = {};  // ids 1018 .. 1031
    int m_radio = 0;  // none until start-up
    int m_slider = kSliderStart;
};

// The panel as a view of the document: the view refresh after a load runs its panel reset.
// Registers itself with the document for its lifetime.
class MtmPanelView : public DocumentView {
public:
    MtmPanelView(CVELTADoc& doc, MtmPanel& panel) : m_doc(doc), m_panel(panel) { m_doc.addView(this); }
    ~MtmPanelView() override { m_doc.removeView(this); }
    void onLoadRefresh() override { m_panel.panelReset(); }
    MtmPanel& panel() { return m_panel; }

private:
    CVELTADoc& m_doc;
    MtmPanel& m_panel;
};

}  // namespace vortel
