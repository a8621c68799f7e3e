// Shared set-up of the 3D view tests: one document per process (it is 87 MB),
// a scripted platform, and the view in a plain 800 x 600 window.
#pragma once

#include <QImage>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

#include "../core/FakePlatform.h"
#include "doc/CVELTADoc.h"
#include "view3d/CVELTAView.h"

namespace viewtest {

inline std::string tempPath(const std::string& name) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("vortel-view-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return (dir / name).string();
}

inline std::string writeText(const std::string& name, const std::string& text) {
    const std::string p = tempPath(name);
    std::ofstream(p, std::ios::binary) << text;
    return p;
}

inline std::string samplePath(const std::string& name) {
    return std::string(VORTEL_SOURCE_DIR) + "/data/samples/" + name;
}

struct Rgb8 {
    int r, g, b;
};

// Colour of a float colour after conversion to 8 bits.
inline Rgb8 to8(float r, float g, float b) {
    auto c = [](float v) { return static_cast<int>(v * 255.0f + 0.5f); };
    return {c(r), c(g), c(b)};
}

inline bool near8(QRgb p, Rgb8 c, int tol = 1) {
    return std::abs(qRed(p) - c.r) <= tol && std::abs(qGreen(p) - c.g) <= tol && std::abs(qBlue(p) - c.b) <= tol;
}

inline int countColour(const QImage& img, Rgb8 c, int tol = 1) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (near8(img.pixel(x, y), c, tol)) ++n;
    return n;
}

inline bool isBlack(QRgb p) { return qRed(p) == 0 && qGreen(p) == 0 && qBlue(p) == 0; }

struct ViewFixture {
    vortel::test::FakePlatform ui;
    vortel::CVELTADoc doc{ui};
    QWidget window;
    CVELTAView* view = nullptr;

    ViewFixture() {
        window.resize(800, 600);
        view = new CVELTAView(doc, &window);
        view->setGeometry(0, 0, 800, 600);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
        QTest::qWait(50);
    }

    void open(const std::string& path) { doc.openByPath(path, std::filesystem::path(path).stem().string(), 0); }
    void openText(const std::string& name, const std::string& text) { open(writeText(name, text)); }

    // A fresh view state with the given display mode, as after start-up.
    void resetView(int mode = 4) {
        vortel::view::ViewState fresh;
        view->state() = fresh;
        view->setDisplayMode(mode);
        doc.uvViewFlag = 0;
    }

    QImage grab(bool reference = false) {
        view->setReferenceDrawing(reference);
        QImage img = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        view->setReferenceDrawing(false);
        return img;
    }
};

// Built on first use, destroyed by releaseFixture() while the application still exists.
inline std::unique_ptr<ViewFixture>& fixtureSlot() {
    static std::unique_ptr<ViewFixture> f;
    return f;
}

inline ViewFixture& fixture() {
    if (!fixtureSlot()) fixtureSlot() = std::make_unique<ViewFixture>();
    return *fixtureSlot();
}

inline void releaseFixture() { fixtureSlot().reset(); }

}  // namespace viewtest
