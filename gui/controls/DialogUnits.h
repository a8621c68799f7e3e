// Dialog units: dialog layouts are given in units of the dialog font, a
// quarter of its average character width across and an eighth of its height
// down, so a layout keeps its proportions with any font.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QRect>

namespace vortel::gui {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font) {
        const QFontMetrics fm(font);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        m_baseX = (fm.horizontalAdvance(letters) / 26 + 1) / 2;
        m_baseY = fm.height();
    }
    int x(int units) const { return (units * m_baseX + 2) / 4; }
    int y(int units) const { return (units * m_baseY + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
    }
    int baseX() const { return m_baseX; }
    int baseY() const { return m_baseY; }

private:
    int m_baseX = 6, m_baseY = 13;
};

}  // namespace vortel::gui
