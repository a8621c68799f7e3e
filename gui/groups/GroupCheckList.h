// The check list of the "SAVE OPTION" dialog: one row per group, each row's
// text drawn in the group's palette colour (two thirds of its brightness),
// the selected row on light green. Choosing a row inverts its check.
#pragma once

#include <QColor>
#include <QListWidget>
#include <string>
#include <vector>

namespace vortel::gui {

class GroupCheckList : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kRowColours = 220;
    static inline const QColor kSelectionFill{190, 255, 190};

    explicit GroupCheckList(QWidget* parent = nullptr);

    void setRows(const std::vector<std::string>& rows);
    void setCheck(int row, bool on);
    bool check(int row) const;
    QColor rowColour(int row) const;
    // Where a row's check box is drawn, in viewport coordinates.
    QRect checkBoxRect(int row) const;
    static int checkBoxWidth();

signals:
    void rowChosen(int row);       // a row became the selected row
    void checkBoxClicked(int row); // the check box of the selected row, or Space

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int m_red[kRowColours];
    int m_green[kRowColours];
    int m_blue[kRowColours];
    int m_lastChosen = -1;
};

}  // namespace vortel::gui
