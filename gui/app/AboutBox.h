// The About box, "About VORTEL I 1.2.5 BETA": the splash picture at the top,
// the small mark at the lower right and an OK button.
#pragma once

#include <QDialog>

namespace vortel::gui {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

// The splash window shown while the frame starts: a centred popup without a
// caption, with a thin frame around the splash picture.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    explicit SplashWindow(QWidget* owner);
};

}  // namespace vortel::gui
