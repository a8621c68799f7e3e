// The progress box: a small modeless window that shows one loading, success
// or error text on a coloured background while a loader or the writer runs.
#pragma once

#include <QColor>
#include <QDialog>

class QLabel;
class QPushButton;

namespace vortel::gui {

class ProgressBox : public QDialog {
    Q_OBJECT
public:
    explicit ProgressBox(QWidget* owner);

    // Sets the text and the background, centres the box on its owner (or the
    // screen) and shows it without taking the focus.
    void present(const QString& text, const QColor& background);

    QString text() const;
    QColor background() const { return m_background; }
    QPushButton* textButton() const { return m_button; }  // control 1012

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void centre();

    QPushButton* m_button;
    QLabel* m_picture;  // control 1037, shows the box's own picture
    QColor m_background;
};

}  // namespace vortel::gui
