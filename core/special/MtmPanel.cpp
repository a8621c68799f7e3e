// The special functions panel: start-up, panel reset, the three panel states,
// the slider and the dispatch of the push buttons. The commands live in one
// file each (SymmetryMap, MorphMirror, EdgeMaker, Fusion, Divide).
#include "special/MtmPanel.h"

#include <algorithm>

#include "special/PositionHash.h"

namespace vortel {

namespace {
int controlIndex(int id) { return id >= mtm::Slider && id <= mtm::ButtonC ? id - mtm::Slider : -1; }

bool isPushButton(int id) {
    switch (id) {
    case mtm::VcmGen:
    case mtm::LeftToRight:
    case mtm::RightToLeft:
    case mtm::Fusion:
    case mtm::Swap:
    case mtm::ResetRight:
    case mtm::ResetLeft:
    case mtm::ToOriginal:
    case mtm::StripP:
    case mtm::Analysis:
    case mtm::Excute:
    case mtm::ButtonC:
        return true;
    default:
        return false;
    }
}
}  // namespace

MtmPanel::MtmPanel(CVELTADoc& doc) : m_doc(doc) {
    std::fill(m_vcmTable.data(), m_vcmTable.data() + m_vcmTable.size(), -1);
    // The dialog template: every push button enabled except the hidden "P" and "C".
    for (int id = mtm::Slider; id <= mtm::ButtonC; ++id) enable(id, isPushButton(id));
    enable(mtm::StripP, false);
    enable(mtm::ButtonC, false);
}

void MtmPanel::startUp() {
    fusionCornerCounter = 0;
    m_slider = kSliderStart;
    m_radio = mtm::RadioEdgeMaker;
    applyRadioState(mtm::RadioEdgeMaker);
    normalsDirtyFlag = 1;
    edgeCutDoneFlag = 0;
    notify();
}

void MtmPanel::panelReset() {
    m_doc.edgeLineCount = 0;
    fusionCornerCounter = 0;
    setMirrorButtons(false);
    edgeCutDoneFlag = 0;
    normalsDirtyFlag = 1;
    notify();
}

bool MtmPanel::isEnabled(int id) const {
    if (id == mtm::Slider) return true;
    if (id >= mtm::RadioEdgeMaker && id <= mtm::RadioFusion) return true;
    const int i = controlIndex(id);
    return i >= 0 && m_enabled[i];
}

bool MtmPanel::isChecked(int radioId) const { return radioId == m_radio; }

void MtmPanel::setSliderPosition(int p) {
    m_slider = std::clamp(p, kSliderMin, kSliderMax);
    notify();
}

void MtmPanel::sliderReleased() { normalsDirtyFlag = 1; }

void MtmPanel::clickRadio(int radioId) {
    if (radioId < mtm::RadioEdgeMaker || radioId > mtm::RadioFusion) return;
    m_radio = radioId;
    applyRadioState(radioId);
    notify();
}

CommandResult MtmPanel::press(int id) {
    if (!isPushButton(id) || !isEnabled(id)) return CommandResult::Ignored;
    switch (id) {
    case mtm::VcmGen:
        return vcmGen();
    case mtm::LeftToRight:
        return mirror(MirrorMode::LeftToRight);
    case mtm::RightToLeft:
        return mirror(MirrorMode::RightToLeft);
    case mtm::Swap:
        return mirror(MirrorMode::Swap);
    case mtm::ResetRight:
        return mirror(MirrorMode::ResetRight);
    case mtm::ResetLeft:
        return mirror(MirrorMode::ResetLeft);
    case mtm::Analysis:
        return edgeAnalysis();
    case mtm::Excute:
        return edgeExecute();
    case mtm::Fusion:
        return fusion(defaultMapPath());
    case mtm::ToOriginal:
        return toOriginal(defaultMapPath());
    case mtm::StripP:
        if (stripBuilder) stripBuilder();
        return CommandResult::Done;
    default:
        return CommandResult::Ignored;  // "C" has no command
    }
}

std::string MtmPanel::defaultMapPath() const { return m_doc.platform().homeFolder() + "work/VCMTEMP.VCM"; }

void MtmPanel::enable(int id, bool on) {
    const int i = controlIndex(id);
    if (i >= 0) m_enabled[i] = on;
}

void MtmPanel::setMirrorButtons(bool on) {
    for (int id : {mtm::RightToLeft, mtm::LeftToRight, mtm::Swap, mtm::ResetRight, mtm::ResetLeft}) enable(id, on);
}

void MtmPanel::applyRadioState(int radioId) {
    switch (radioId) {
    case mtm::RadioEdgeMaker:
        enable(mtm::Analysis, true);
        enable(mtm::Excute, true);
        enable(mtm::VcmGen, false);
        setMirrorButtons(false);
        enable(mtm::Fusion, false);
        enable(mtm::ToOriginal, false);
        break;
    case mtm::RadioMtMirror:
        // The mirror buttons keep their state: only a finished "VCM GEN" enables them.
        enable(mtm::VcmGen, true);
        enable(mtm::Analysis, false);
        enable(mtm::Excute, false);
        enable(mtm::Fusion, false);
        enable(mtm::ToOriginal, false);
        break;
    case mtm::RadioFusion:
        enable(mtm::Fusion, true);
        enable(mtm::ToOriginal, true);
        enable(mtm::VcmGen, false);
        setMirrorButtons(false);
        enable(mtm::Analysis, false);
        enable(mtm::Excute, false);
        break;
    default:
        break;
    }
}

void MtmPanel::notify() {
    if (stateChanged) stateChanged();
}

void MtmPanel::message(const std::string& text) {
    m_doc.platform().messageBox("VORTEL", text, MsgButtons::Ok, MsgIcon::None);
}

void MtmPanel::appMessage(const std::string& text) {
    m_doc.platform().messageBox("VORTEL", text, MsgButtons::Ok, MsgIcon::Warning);
}

bool MtmPanel::askOkCancel(const std::string& text) {
    return m_doc.platform().messageBox("VORTEL", text, MsgButtons::OkCancel, MsgIcon::Information) == MsgAnswer::Ok;
}

}  // namespace vortel
