// Draws VORTEL's pictures into gui/resources/: the toolbar icons (16 x 15 and
// twice that), the file browser's item pictures and the group list's state
// icons (16 x 16 and twice that), the splash picture, the small mark of the
// About box, the progress box picture, the program icon and the toolbar band
// background.
//
//   vortel_draw_resources <gui/resources folder>
#include <QConicalGradient>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>

namespace {

const QColor kInk(40, 44, 60);
const QColor kBlue(40, 90, 200);
const QColor kCyan(40, 190, 210);
const QColor kMagenta(200, 60, 170);
const QColor kYellow(240, 200, 70);
const QColor kGreen(60, 170, 90);
const QColor kRed(210, 60, 50);

using Draw = std::function<void(QPainter&)>;

// Draws in 16 x 15 units at SCALE.
QImage icon(const Draw& draw, int scale) {
    QImage img(16 * scale, 15 * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    return img;
}

QPen pen(const QColor& c, double w = 1.0) { return QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// The closed outline through the corners, in order.
QPainterPath outline(std::initializer_list<QPointF> corners) {
    QPainterPath path;
    path.moveTo(*corners.begin());
    for (auto c = corners.begin() + 1; c != corners.end(); ++c) path.lineTo(*c);
    path.closeSubpath();
    return path;
}

void page(QPainter& p, double x, double y) {
    const QPainterPath path = outline({{x, y}, {x + 7, y}, {x + 10, y + 3}, {x + 10, y + 12}, {x, y + 12}});
    p.setPen(pen(kInk));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(x + 7, y), QPointF(x + 7, y + 3));
    p.drawLine(QPointF(x + 7, y + 3), QPointF(x + 10, y + 3));
}

void folder(QPainter& p, const QColor& body) {
    p.setPen(pen(kInk));
    p.setBrush(body.darker(115));
    p.drawRect(QRectF(1.5, 3.5, 12, 9));
    p.setBrush(body);
    const QPainterPath front = outline({{1.5, 12.5}, {4, 6.5}, {15, 6.5}, {13.5, 12.5}});
    p.drawPath(front);
}

// A sphere outline as a lattice of latitude and longitude lines.
void lattice(QPainter& p, QPointF c, double r, const QColor& ink, double width) {
    p.setPen(pen(ink, width));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    for (double k : {-0.5, 0.0, 0.5}) {
        const double y = c.y() + k * r, half = r * std::sqrt(1 - k * k);
        p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
    }
    p.drawEllipse(c, r * 0.45, r);
}

void triangleMesh(QPainter& p, const QColor& ink) {
    const QPointF v[] = {{2, 13}, {8, 13}, {14, 13}, {5, 7.5}, {11, 7.5}, {8, 2}};
    const int e[][2] = {{0, 1}, {1, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {3, 4}, {3, 5}, {4, 5}};
    p.setPen(pen(ink, 1.0));
    for (auto& ed : e) p.drawLine(v[ed[0]], v[ed[1]]);
}

void drawIcons(const QString& dir) {
    const std::pair<const char*, Draw> icons[] = {
        {"new",
         [](QPainter& p) {
             page(p, 3.5, 1.5);
             p.setPen(pen(kYellow.darker(120)));
             p.drawLine(QPointF(11, 9), QPointF(15, 13));
             p.drawLine(QPointF(15, 9), QPointF(11, 13));
         }},
        {"open", [](QPainter& p) { folder(p, kYellow); }},
        {"mtopen",
         [](QPainter& p) {
             folder(p, kYellow);
             p.setPen(pen(kMagenta, 1.6));
             p.drawLine(QPointF(6, 9.5), QPointF(12, 9.5));
             p.drawLine(QPointF(10, 7.5), QPointF(12, 9.5));
             p.drawLine(QPointF(10, 11.5), QPointF(12, 9.5));
         }},
        {"saveas",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kBlue);
             p.drawRoundedRect(QRectF(1.5, 1.5, 11, 12), 1, 1);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(4, 1.5, 6, 4));
             p.setBrush(QColor(220, 225, 235));
             p.drawRect(QRectF(3.5, 8, 7, 5.5));
             p.setPen(pen(kRed, 1.8));
             p.drawLine(QPointF(9, 12), QPointF(14.5, 6.5));
         }},
        {"pixel",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(kBlue);
             for (int i = 0; i < 12; ++i) {
                 const double a = i * M_PI / 6;
                 p.drawEllipse(QPointF(8 + 5.5 * std::cos(a), 7.5 + 5.5 * std::sin(a)), 0.9, 0.9);
             }
             for (int i = 0; i < 6; ++i) {
                 const double a = i * M_PI / 3 + 0.5;
                 p.drawEllipse(QPointF(8 + 2.6 * std::cos(a), 7.5 + 2.6 * std::sin(a)), 0.9, 0.9);
             }
         }},
        {"wire", [](QPainter& p) { triangleMesh(p, kBlue); }},
        {"wireplus",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(150, 185, 240));
             QPolygonF tri;
             tri << QPointF(2, 13) << QPointF(14, 13) << QPointF(8, 2);
             p.drawPolygon(tri);
             triangleMesh(p, kInk);
         }},
        {"flat",
         [](QPainter& p) {
             const QPointF c(8, 7.5);
             p.setPen(pen(kInk, 0.6));
             for (int i = 0; i < 8; ++i) {
                 const double a0 = i * M_PI / 4 - M_PI / 2, a1 = a0 + M_PI / 4;
                 QPolygonF f;
                 f << c << QPointF(8 + 6.5 * std::cos(a0), 7.5 + 6.5 * std::sin(a0))
                   << QPointF(8 + 6.5 * std::cos(a1), 7.5 + 6.5 * std::sin(a1));
                 const int shade = 110 + static_cast<int>(100 * (0.5 + 0.5 * std::cos(a0 + M_PI / 8 + 2.3)));
                 p.setBrush(QColor(shade / 3, shade / 2, shade));
                 p.drawPolygon(f);
             }
         }},
        {"smooth",
         [](QPainter& p) {
             QRadialGradient g(QPointF(5.5, 5), 8);
             g.setColorAt(0, QColor(230, 240, 255));
             g.setColorAt(0.5, QColor(70, 120, 220));
             g.setColorAt(1, QColor(20, 30, 90));
             p.setPen(Qt::NoPen);
             p.setBrush(g);
             p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
         }},
        {"uvview",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             for (int r = 0; r < 4; ++r)
                 for (int c = 0; c < 4; ++c) {
                     p.setBrush((r + c) % 2 ? QColor(90, 90, 90) : QColor(200, 200, 200));
                     p.drawRect(QRectF(2 + 3 * c, 1.5 + 3 * r, 3, 3));
                 }
             p.setPen(pen(kGreen, 1.4));
             p.drawLine(QPointF(2, 14), QPointF(15, 14));
             p.drawLine(QPointF(1, 1.5), QPointF(1, 14));
         }},
        {"stop",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kRed);
             p.drawRect(QRectF(3.5, 3, 9, 9));
         }},
        {"pause",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kYellow);
             p.drawRect(QRectF(3.5, 2.5, 3, 10));
             p.drawRect(QRectF(9.5, 2.5, 3, 10));
         }},
        {"play",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kGreen);
             QPolygonF t;
             t << QPointF(4, 2) << QPointF(13, 7.5) << QPointF(4, 13);
             p.drawPolygon(t);
         }},
        {"ff",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kGreen);
             QPolygonF a, b;
             a << QPointF(1.5, 3) << QPointF(7, 7.5) << QPointF(1.5, 12);
             b << QPointF(7, 3) << QPointF(12.5, 7.5) << QPointF(7, 12);
             p.drawPolygon(a);
             p.drawPolygon(b);
             p.setBrush(kInk);
             p.drawRect(QRectF(13, 3, 1.5, 9));
         }},
        {"special",
         [](QPainter& p) {
             // A mirrored face: the symmetry tools.
             p.setPen(pen(kBlue, 1.2));
             p.setBrush(QColor(200, 220, 250));
             p.drawEllipse(QPointF(8, 7.5), 5, 6);
             p.setBrush(kInk);
             p.setPen(Qt::NoPen);
             p.drawEllipse(QPointF(6, 6), 1, 1);
             p.drawEllipse(QPointF(10, 6), 1, 1);
             p.setPen(QPen(kMagenta, 1.0, Qt::DashLine));
             p.drawLine(QPointF(8, 0.5), QPointF(8, 14.5));
         }},
        {"drop",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(kCyan);
             for (QPointF c : {QPointF(4, 4), QPointF(9, 2.5), QPointF(12.5, 6)}) {
                 QPainterPath d;
                 d.moveTo(c + QPointF(0, -2.5));
                 d.cubicTo(c + QPointF(2, 0.5), c + QPointF(1.5, 2), c + QPointF(0, 2));
                 d.cubicTo(c + QPointF(-1.5, 2), c + QPointF(-2, 0.5), c + QPointF(0, -2.5));
                 p.drawPath(d);
             }
             p.setPen(pen(kInk, 1.2));
             p.drawArc(QRectF(-2, 10, 20, 10), 30 * 16, 120 * 16);
         }},
        {"collision",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(QColor(240, 150, 60));
             p.drawEllipse(QPointF(5, 8), 4, 4);
             p.setBrush(QColor(90, 150, 230));
             p.drawEllipse(QPointF(11, 7), 4, 4);
             p.setPen(pen(kRed, 1.2));
             p.drawLine(QPointF(8, 1), QPointF(8, 3));
             p.drawLine(QPointF(5.5, 2), QPointF(6.5, 3.5));
             p.drawLine(QPointF(10.5, 2), QPointF(9.5, 3.5));
         }},
        {"zidu",
         [](QPainter& p) {
             // The mesh leaves for another program.
             p.setPen(pen(kInk));
             p.setBrush(QColor(220, 225, 235));
             p.drawRect(QRectF(1.5, 4.5, 8, 9));
             p.setPen(pen(kGreen, 1.8));
             p.drawLine(QPointF(5, 9), QPointF(14, 2.5));
             p.drawLine(QPointF(10, 2.5), QPointF(14, 2.5));
             p.drawLine(QPointF(14, 2.5), QPointF(14, 6.5));
         }},
        {"copy",
         [](QPainter& p) {
             page(p, 1.5, 0.5);
             page(p, 5.5, 2.5);
         }},
        {"about",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(kBlue);
             p.drawEllipse(QPointF(8, 7.5), 6.5, 6.5);
             QFont f("DejaVu Sans");
             f.setPixelSize(10);
             f.setBold(true);
             p.setFont(f);
             p.setPen(Qt::white);
             p.drawText(QRectF(1.5, 1, 13, 13), Qt::AlignCenter, "?");
         }},
        {"paste",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(QColor(190, 140, 80));
             p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
             p.setBrush(QColor(150, 150, 160));
             p.drawRect(QRectF(4, 1, 5, 3));
             page(p, 6.5, 5.5);
         }},
    };
    QDir().mkpath(dir + "/icons");
    for (const auto& [name, draw] : icons) {
        icon(draw, 1).save(QString("%1/icons/%2.png").arg(dir, name));
        icon(draw, 2).save(QString("%1/icons/%2@2x.png").arg(dir, name));
    }
}

// Draws in 16 x 16 units at SCALE (the file browser's and the group list's pictures).
QImage treeIcon(const Draw& draw, int scale) {
    QImage img(16 * scale, 16 * scale, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    draw(p);
    return img;
}

void treeFolder(QPainter& p, bool open) {
    p.setPen(pen(kInk));
    p.setBrush(kYellow.darker(118));
    const QPainterPath back = outline({{1.5, 13.5}, {1.5, 3.5}, {5.5, 3.5}, {7, 5}, {13.5, 5}, {13.5, 13.5}});
    p.drawPath(back);
    p.setBrush(open ? kYellow.lighter(115) : kYellow);
    p.drawPath(open ? outline({{1.5, 13.5}, {4, 7.5}, {15.5, 7.5}, {13.5, 13.5}})
                    : outline({{1.5, 13.5}, {1.5, 6.5}, {13.5, 6.5}, {13.5, 13.5}}));
}

// A mesh file: a page with a small triangle mesh; TINT colours the page.
void meshPage(QPainter& p, const QColor& tint, const QColor& wire) {
    const QPainterPath path = outline({{2.5, 0.5}, {9.5, 0.5}, {13.5, 4.5}, {13.5, 15.5}, {2.5, 15.5}});
    p.setPen(pen(kInk));
    p.setBrush(tint);
    p.drawPath(path);
    p.drawLine(QPointF(9.5, 0.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(13.5, 4.5));
    const QPointF v[] = {{4, 14}, {8, 14}, {12, 14}, {6, 10}, {10, 10}, {8, 6}};
    const int e[][2] = {{0, 1}, {1, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}, {3, 4}, {3, 5}, {4, 5}};
    p.setPen(pen(wire, 0.9));
    for (auto& ed : e) p.drawLine(v[ed[0]], v[ed[1]]);
}

// The mark of the file opened last: a magenta play arrow in the page's corner.
void openedBadge(QPainter& p) {
    p.setPen(pen(Qt::white, 1.0));
    p.setBrush(kMagenta);
    p.drawEllipse(QPointF(11.5, 11.5), 4, 4);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    QPolygonF play;
    play << QPointF(10.2, 9.4) << QPointF(13.6, 11.5) << QPointF(10.2, 13.6);
    p.drawPolygon(play);
}

void drawTreeIcons(const QString& dir) {
    const std::pair<const char*, Draw> icons[] = {
        {"drive",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             QLinearGradient g(0, 5, 0, 12);
             g.setColorAt(0, QColor(225, 228, 235));
             g.setColorAt(1, QColor(150, 156, 170));
             p.setBrush(g);
             p.drawRoundedRect(QRectF(0.5, 5.5, 15, 7), 1.5, 1.5);
             p.setPen(pen(QColor(90, 95, 110), 1.0));
             p.drawLine(QPointF(3, 10), QPointF(9, 10));
             p.setPen(Qt::NoPen);
             p.setBrush(kGreen);
             p.drawEllipse(QPointF(12.5, 9.5), 1.2, 1.2);
         }},
        {"folder", [](QPainter& p) { treeFolder(p, false); }},
        {"folder_open", [](QPainter& p) { treeFolder(p, true); }},
        {"mesh", [](QPainter& p) { meshPage(p, Qt::white, kBlue); }},
        {"mesh_selected", [](QPainter& p) { meshPage(p, QColor(205, 225, 255), kInk); }},
        {"floppy",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             p.setBrush(QColor(70, 80, 110));
             const QPainterPath body = outline({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}});
             p.drawPath(body);
             p.setBrush(QColor(200, 205, 215));
             p.drawRect(QRectF(4.5, 1.5, 7, 4.5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(3.5, 8.5, 9, 6));
         }},
        {"optical",
         [](QPainter& p) {
             QConicalGradient g(QPointF(8, 8), 30);
             g.setColorAt(0, QColor(230, 235, 245));
             g.setColorAt(0.25, QColor(170, 210, 250));
             g.setColorAt(0.5, QColor(240, 220, 250));
             g.setColorAt(0.75, QColor(200, 240, 210));
             g.setColorAt(1, QColor(230, 235, 245));
             p.setPen(pen(kInk));
             p.setBrush(g);
             p.drawEllipse(QPointF(8, 8), 7, 7);
             p.setBrush(Qt::white);
             p.drawEllipse(QPointF(8, 8), 2, 2);
         }},
        {"opened",
         [](QPainter& p) {
             meshPage(p, Qt::white, kBlue);
             openedBadge(p);
         }},
        {"opened_selected",
         [](QPainter& p) {
             meshPage(p, QColor(205, 225, 255), kInk);
             openedBadge(p);
         }},
        {"desktop",
         [](QPainter& p) {
             p.setPen(pen(kInk));
             QLinearGradient g(0, 2, 0, 11);
             g.setColorAt(0, QColor(90, 170, 240));
             g.setColorAt(1, QColor(30, 80, 170));
             p.setBrush(g);
             p.drawRoundedRect(QRectF(0.5, 1.5, 15, 10), 1, 1);
             p.setBrush(QColor(150, 156, 170));
             p.drawRect(QRectF(6.5, 11.5, 3, 2));
             p.drawRect(QRectF(3.5, 13.5, 9, 1.5));
         }},
    };
    QDir().mkpath(dir + "/tree");
    for (const auto& [name, draw] : icons) {
        treeIcon(draw, 1).save(QString("%1/tree/%2.png").arg(dir, name));
        treeIcon(draw, 2).save(QString("%1/tree/%2@2x.png").arg(dir, name));
    }
}

// The group list's state icons, 16 x 16 units: a group is a small shaded
// cube, a material a shaded ball; shown in colour, hidden as a faint grey
// outline crossed out.
void drawListIcons(const QString& dir) {
    auto cube = [](QPainter& p, bool shown) {
        const QPointF top[] = {{8, 1.5}, {14, 4.5}, {8, 7.5}, {2, 4.5}};
        const QPointF left[] = {{2, 4.5}, {8, 7.5}, {8, 14.5}, {2, 11.5}};
        const QPointF right[] = {{8, 7.5}, {14, 4.5}, {14, 11.5}, {8, 14.5}};
        p.setPen(pen(shown ? kInk : QColor(150, 150, 160), 0.8));
        const QColor faces[] = {QColor(150, 200, 255), QColor(60, 120, 220), QColor(30, 70, 160)};
        const QPointF* sides[] = {top, left, right};
        for (int i = 0; i < 3; ++i) {
            p.setBrush(shown ? faces[i] : QColor(235, 235, 240, 120));
            p.drawPolygon(sides[i], 4);
        }
    };
    auto ball = [](QPainter& p, bool shown) {
        QRadialGradient g(QPointF(6, 5.5), 9);
        g.setColorAt(0, QColor(255, 235, 245));
        g.setColorAt(0.45, QColor(230, 90, 170));
        g.setColorAt(1, QColor(110, 20, 80));
        p.setPen(pen(shown ? kInk : QColor(150, 150, 160), 0.8));
        p.setBrush(shown ? QBrush(g) : QBrush(QColor(235, 235, 240, 120)));
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    };
    auto crossed = [](QPainter& p) {
        p.setPen(pen(QColor(200, 50, 50), 1.6));
        p.drawLine(QPointF(3, 13), QPointF(13, 3));
    };
    const std::pair<const char*, Draw> icons[] = {
        {"list_group_hidden", [&](QPainter& p) { cube(p, false); crossed(p); }},
        {"list_group_shown", [&](QPainter& p) { cube(p, true); }},
        {"list_material_hidden", [&](QPainter& p) { ball(p, false); crossed(p); }},
        {"list_material_shown", [&](QPainter& p) { ball(p, true); }},
    };
    QDir().mkpath(dir + "/icons");
    for (const auto& [name, draw] : icons) {
        treeIcon(draw, 1).save(QString("%1/icons/%2.png").arg(dir, name));
        treeIcon(draw, 2).save(QString("%1/icons/%2@2x.png").arg(dir, name));
    }
}

// The program's mark: a wire sphere with a morph arrow sweeping round it.
void drawMark(QPainter& p, QPointF c, double r) {
    QRadialGradient glow(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    glow.setColorAt(0, QColor(90, 200, 255));
    glow.setColorAt(1, QColor(20, 50, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(c, r, r);
    lattice(p, c, r, QColor(210, 245, 255), std::max(1.0, r / 24));
    QPainterPath arrow;
    const QRectF orbit(c.x() - r * 1.25, c.y() - r * 0.55, r * 2.5, r * 1.1);
    arrow.arcMoveTo(orbit, 200);
    arrow.arcTo(orbit, 200, 250);
    p.setPen(QPen(kMagenta.lighter(120), std::max(1.5, r / 10), Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    const QPointF tip = arrow.currentPosition();
    const double s = r * 0.22;
    QPolygonF head;
    head << tip + QPointF(s, 0) << tip + QPointF(-s * 0.4, -s * 0.9) << tip + QPointF(-s * 0.4, s * 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(kMagenta.lighter(120));
    p.drawPolygon(head);
}

QImage splash() {
    QImage img(176, 176, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 176);
    sky.setColorAt(0, QColor(14, 20, 48));
    sky.setColorAt(1, QColor(34, 60, 120));
    p.fillRect(img.rect(), sky);
    // A floor grid in perspective.
    p.setPen(QPen(QColor(80, 120, 200, 120), 1));
    for (int i = -6; i <= 6; ++i) p.drawLine(QPointF(88 + i * 6, 118), QPointF(88 + i * 26, 176));
    for (double y : {122.0, 130.0, 142.0, 158.0, 176.0}) p.drawLine(QPointF(0, y), QPointF(176, y));
    drawMark(p, QPointF(88, 72), 40);
    QFont title("DejaVu Sans");
    title.setPixelSize(28);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(title);
    p.setPen(QColor(0, 0, 0, 140));
    p.drawText(QRectF(2, 128, 176, 32), Qt::AlignHCenter, "VORTEL");
    p.setPen(QColor(235, 245, 255));
    p.drawText(QRectF(0, 126, 176, 32), Qt::AlignHCenter, "VORTEL");
    QFont small("DejaVu Sans");
    small.setPixelSize(10);
    p.setFont(small);
    p.setPen(QColor(170, 200, 240));
    p.drawText(QRectF(0, 158, 176, 14), Qt::AlignHCenter, "I 1.2.5 BETA");
    return img;
}

QImage mark(int size, bool opaque) {
    QImage img(size, size, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    img.fill(opaque ? QColor(236, 236, 236) : QColor(Qt::transparent));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawMark(p, QPointF(size / 2.0, size / 2.0), size * 0.36);
    return img;
}

// The desktop icon in the hicolor theme, drawn afresh at each usual size.
void drawAppIcons(const QString& dir) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1/hicolor/%2x%2/apps").arg(dir).arg(size);
        QDir().mkpath(folder);
        mark(size, false).save(folder + "/vortel.png");
    }
}

// The progress box picture: an hourglass over a small wire sphere.
QImage progressPicture() {
    QImage img(48, 48, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 50));
    p.drawEllipse(QPointF(24, 24), 23, 23);
    lattice(p, QPointF(24, 24), 19, QColor(220, 235, 255, 170), 1.2);
    QPolygonF glass;
    glass << QPointF(15, 9) << QPointF(33, 9) << QPointF(24, 24) << QPointF(33, 39) << QPointF(15, 39)
          << QPointF(24, 24);
    p.setPen(QPen(Qt::white, 2));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawPolygon(glass);
    p.setPen(Qt::NoPen);
    p.setBrush(kYellow);
    QPolygonF sandTop, sandBottom;
    sandTop << QPointF(19, 14) << QPointF(29, 14) << QPointF(24, 22);
    sandBottom << QPointF(17, 37) << QPointF(31, 37) << QPointF(24, 30);
    p.drawPolygon(sandTop);
    p.drawPolygon(sandBottom);
    return img;
}

QImage band() {
    QImage img(8, 40, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, QColor(246, 247, 250));
    g.setColorAt(1, QColor(214, 220, 232));
    p.fillRect(img.rect(), g);
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: vortel_draw_resources <gui/resources folder>\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    drawIcons(dir);
    drawTreeIcons(dir);
    drawListIcons(dir);
    splash().save(dir + "/splash.png");
    mark(48, false).save(dir + "/mark.png");
    mark(64, false).save(dir + "/vortel.png");
    drawAppIcons(dir);
    progressPicture().save(dir + "/progress.png");
    band().save(dir + "/band.png");
    return 0;
}
