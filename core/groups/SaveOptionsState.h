// The state and rules of the "SAVE OPTION" dialog, without its window: rows
// and checks, the forced "Vertex only (for MT)", the hidden "Cut Floating
// Point", the "CLEAR ALL"/"CHECK ALL" toggle, the status line and the OK
// validation. The Qt dialog shows this state; the console answers through it.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace vortel {

class SaveOptionsState {
public:
    explicit SaveOptionsState(const SaveOptionsRequest& request);

    // Row texts: group names with every CR and LF removed.
    const std::vector<std::string>& rows() const { return m_rows; }
    const std::vector<bool>& checks() const { return m_checks; }
    bool listEnabled() const { return !m_rows.empty(); }
    bool vertexOnly() const { return m_vertexOnly; }
    bool vertexOnlyEnabled() const { return m_vertexOnlyEnabled; }
    bool cutFloatingPoints() const { return m_cutFloating; }
    const std::string& statusLine() const { return m_status; }
    // Caption of button 1020: "CLEAR ALL" or "CHECK ALL".
    std::string toggleCaption() const { return m_clearing ? "CLEAR ALL" : "CHECK ALL"; }

    void pressToggle();
    void selectRow(int row);  // a selection change inverts the row's check
    void setCheck(int row, bool on);
    void clickVertexOnly(bool nowChecked);
    // True when the dialog may close with OK; otherwise the status line says why.
    bool pressOk();
    SaveOptionsAnswer answer() const { return SaveOptionsAnswer{m_checks, m_vertexOnly}; }

private:
    std::vector<std::string> m_rows;
    std::vector<bool> m_checks;
    bool m_vertexOnly = false;
    bool m_vertexOnlyEnabled = true;
    bool m_cutFloating = false;
    bool m_clearing = true;
    std::string m_status;
};

}  // namespace vortel
