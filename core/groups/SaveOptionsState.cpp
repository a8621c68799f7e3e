// Rules of the "SAVE OPTION" dialog; see SaveOptionsState.h.
#include "groups/SaveOptionsState.h"

namespace vortel {

SaveOptionsState::SaveOptionsState(const SaveOptionsRequest& request) {
    for (size_t i = 0; i < request.groupNames.size(); ++i) {
        std::string row;
        for (char c : request.groupNames[i])
            if (c != '\r' && c != '\n') row += c;
        m_rows.push_back(row);
        m_checks.push_back(i < request.checks.size() && request.checks[i]);
    }
    if (request.messageText == "ALL POINTS ARE FLOATING P.") {
        m_vertexOnly = true;
        m_vertexOnlyEnabled = false;
    }
    if (request.messageText.compare(0, 18, "FLOATING Point Num") == 0) m_cutFloating = true;
    m_status = request.messageText;
}

void SaveOptionsState::pressToggle() {
    m_status = " ";
    if (m_rows.empty()) return;
    for (size_t i = 0; i < m_checks.size(); ++i) m_checks[i] = !m_clearing;
    m_clearing = !m_clearing;
}

void SaveOptionsState::selectRow(int row) {
    if (row < 0 || static_cast<size_t>(row) >= m_checks.size()) return;
    m_checks[row] = !m_checks[row];
}

void SaveOptionsState::setCheck(int row, bool on) {
    if (row < 0 || static_cast<size_t>(row) >= m_checks.size()) return;
    m_checks[row] = on;
}

void SaveOptionsState::clickVertexOnly(bool nowChecked) {
    if (!m_vertexOnlyEnabled) return;
    m_vertexOnly = nowChecked;
    m_status = nowChecked ? "SAVE DATA IS VERTEX ONLY." : " ";
}

bool SaveOptionsState::pressOk() {
    m_status = " ";
    int checked = 0;
    for (bool c : m_checks) checked += c ? 1 : 0;
    if (m_rows.empty() || checked == 0) {
        m_status = "NO SELECTION. AT LEAST SELECT ONE.";
        return false;
    }
    return true;
}

}  // namespace vortel
