// course_art: draws the splash and title pictures of the course program.
//
//   course_art OUTDIR
//
// Writes OUTDIR/splash.bmp (500x500), OUTDIR/titl.bmp and OUTDIR/titl1.bmp
// (640x400) as uncompressed 24-bit BMP files, and the program's icon OUTDIR/kesta.png
// (64x64, with transparency). Everything is drawn from code with fixed coordinates, so
// every run produces the same bytes.

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>

#include <cstdio>

#include "theme.h"

namespace {

using theme::kAccent;
using theme::kSoftText;
using theme::withAlpha;

enum class Kind { Host, Router, Globe };

struct Node {
    QPointF pos;
    qreal r;
    Kind kind;
};

struct Network {
    QList<Node> nodes;
    QList<QPair<int, int>> links;
};

// The course's backdrop with a thin rounded frame.
void paintBackground(QPainter& p, const QSize& size) {
    const QRectF area(QPointF(0, 0), size);
    theme::paintBackdrop(p, area);
    p.setPen(QPen(QColor(255, 255, 255, 28), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(area.adjusted(6.5, 6.5, -6.5, -6.5), 10, 10);
}

void drawArrow(QPainter& p, QPointF from, QPointF to, qreal head) {
    p.drawLine(from, to);
    const qreal dir = to.x() > from.x() ? -1 : 1;
    p.drawLine(to, to + QPointF(dir * head, -head * 0.8));
    p.drawLine(to, to + QPointF(dir * head, head * 0.8));
}

void drawGlyph(QPainter& p, const Node& n) {
    const QPointF c = n.pos;
    const qreal r = n.r;
    p.setPen(
        QPen(Qt::white, qMax<qreal>(1.4, r * 0.09), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    switch (n.kind) {
        case Kind::Host: {  // monitor on a stand
            const QRectF screen(c.x() - r * 0.5, c.y() - r * 0.45, r, r * 0.66);
            p.setBrush(withAlpha(kAccent, 70));
            p.drawRoundedRect(screen, r * 0.08, r * 0.08);
            p.drawLine(QPointF(c.x(), screen.bottom()), QPointF(c.x(), c.y() + r * 0.38));
            p.drawLine(QPointF(c.x() - r * 0.25, c.y() + r * 0.38),
                       QPointF(c.x() + r * 0.25, c.y() + r * 0.38));
            break;
        }
        case Kind::Router:  // traffic in both directions
            drawArrow(p, c + QPointF(-r * 0.5, -r * 0.2), c + QPointF(r * 0.5, -r * 0.2), r * 0.22);
            drawArrow(p, c + QPointF(r * 0.5, r * 0.2), c + QPointF(-r * 0.5, r * 0.2), r * 0.22);
            break;
        case Kind::Globe:  // outer network
            p.drawEllipse(c, r * 0.55, r * 0.55);
            p.drawEllipse(c, r * 0.24, r * 0.55);
            p.drawLine(c + QPointF(-r * 0.55, 0), c + QPointF(r * 0.55, 0));
            break;
    }
}

// Links with a soft glow, small "packets" on them, and round glowing nodes.
void drawNetwork(QPainter& p, const Network& net, qreal opacity) {
    p.save();
    p.setOpacity(opacity);
    for (const auto& [a, b] : net.links) {
        const QPointF pa = net.nodes[a].pos, pb = net.nodes[b].pos;
        p.setPen(QPen(withAlpha(kAccent, 45), 9, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(pa, pb);
        p.setPen(QPen(withAlpha(kAccent, 200), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(pa, pb);
    }
    for (int i = 0; i < net.links.size(); ++i) {
        const auto [a, b] = net.links[i];
        const qreal t = 0.3 + 0.4 * ((i * 37) % 10) / 10.0;
        const QPointF at = net.nodes[a].pos + (net.nodes[b].pos - net.nodes[a].pos) * t;
        QRadialGradient dot(at, 7);
        dot.setColorAt(0.0, Qt::white);
        dot.setColorAt(0.35, withAlpha(kAccent, 230));
        dot.setColorAt(1.0, withAlpha(kAccent, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(dot);
        p.drawEllipse(at, 7, 7);
    }
    for (const Node& n : net.nodes) {
        QRadialGradient glow(n.pos, n.r * 2.2);
        glow.setColorAt(0.0, withAlpha(kAccent, 120));
        glow.setColorAt(0.45, withAlpha(kAccent, 40));
        glow.setColorAt(1.0, withAlpha(kAccent, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(n.pos, n.r * 2.2, n.r * 2.2);

        QRadialGradient body(n.pos - QPointF(n.r * 0.35, n.r * 0.45), n.r * 1.4);
        body.setColorAt(0.0, QColor(0x2b, 0x8f, 0xc0));
        body.setColorAt(1.0, QColor(0x0c, 0x33, 0x5c));
        p.setBrush(body);
        p.setPen(QPen(QColor(255, 255, 255, 225), 2));
        p.drawEllipse(n.pos, n.r, n.r);
        drawGlyph(p, n);
    }
    p.restore();
}

// Horizontally centred line of text with a soft drop shadow; centreY is the
// vertical middle of the line.
void drawCentered(QPainter& p, qreal width, qreal centreY, const QString& text, const QFont& font,
                  const QColor& color, qreal shift = 0) {
    p.setFont(font);
    const QRectF box(shift, centreY - font.pixelSize(), width, font.pixelSize() * 2);
    p.setPen(QColor(0, 0, 0, 70));
    p.drawText(box.translated(0, 2), Qt::AlignCenter, text);
    p.setPen(QColor(0, 0, 0, 35));
    p.drawText(box.translated(0, 3.5), Qt::AlignCenter, text);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter, text);
}

QImage newCanvas(int w, int h, QPainter& p) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::black);
    p.begin(&img);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                     QPainter::SmoothPixmapTransform);
    paintBackground(p, img.size());
    return img;
}

// Faint network framing a title card; it stays clear of the central panel.
Network cardDecoration() {
    Network net;
    net.nodes = {{{48, 58}, 15, Kind::Host},     {{168, 66}, 18, Kind::Router},
                 {{320, 50}, 17, Kind::Globe},   {{472, 66}, 18, Kind::Router},
                 {{592, 58}, 15, Kind::Host},    {{44, 220}, 15, Kind::Host},
                 {{596, 220}, 15, Kind::Host},   {{80, 342}, 15, Kind::Host},
                 {{210, 350}, 18, Kind::Router}, {{340, 362}, 15, Kind::Host},
                 {{560, 342}, 18, Kind::Router}};
    net.links = {{0, 1}, {1, 2}, {2, 3}, {3, 4},  {0, 5}, {4, 6},
                 {5, 7}, {7, 8}, {8, 9}, {9, 10}, {6, 10}};
    return net;
}

QImage drawSplash() {
    QPainter p;
    QImage img = newCanvas(500, 500, p);

    Network net;
    net.nodes = {{{250, 62}, 24, Kind::Globe},   {{172, 146}, 26, Kind::Router},
                 {{328, 146}, 26, Kind::Router}, {{72, 88}, 20, Kind::Host},
                 {{84, 210}, 20, Kind::Host},    {{428, 88}, 20, Kind::Host},
                 {{416, 210}, 20, Kind::Host}};
    net.links = {{0, 1}, {0, 2}, {1, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}};
    drawNetwork(p, net, 1.0);

    drawCentered(p, 500, 300, QStringLiteral("Kesta"), theme::font(84, QFont::Bold, 2), Qt::white);
    theme::paintAccentLine(p, 250, 352, 120);
    drawCentered(p, 500, 378, QStringLiteral("Электронный учебник"),
                 theme::font(22, QFont::Normal, 0.5), kSoftText);
    drawCentered(p, 500, 412, QStringLiteral("Компьютерные сети"), theme::font(25, QFont::Bold),
                 kAccent);

    const QFont hint = theme::font(13, QFont::Normal);
    const QString hintText = QStringLiteral("Щёлкните мышью, чтобы продолжить");
    const qreal hintWidth = QFontMetricsF(hint).horizontalAdvance(hintText) + 36;
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(250 - hintWidth / 2, 454.5, hintWidth, 27), 13.5, 13.5);
    drawCentered(p, 500, 468, hintText, hint, QColor(255, 255, 255, 200));
    p.end();
    return img;
}

QImage drawCard(const QString& title, const QString& subtitle, bool pointLeft) {
    QPainter p;
    QImage img = newCanvas(640, 400, p);
    drawNetwork(p, cardDecoration(), 0.32);

    // Frosted panel behind the text keeps it readable over the decoration.
    const QRectF panel(80, 112, 480, 176);
    p.setPen(QPen(QColor(255, 255, 255, 45), 1));
    p.setBrush(QColor(6, 20, 45, 110));
    p.drawRoundedRect(panel, 16, 16);

    drawCentered(p, 640, 142, QStringLiteral("KESTA · ЭЛЕКТРОННЫЙ УЧЕБНИК"),
                 theme::font(11, QFont::Bold, 2.5), withAlpha(kAccent, 210));
    drawCentered(p, 640, 186, title, theme::font(36, QFont::Bold, 0.5), Qt::white);
    theme::paintAccentLine(p, 320, 220, 160);

    const QFont subFont = theme::font(16, QFont::Normal);
    if (pointLeft) {
        const qreal textWidth = QFontMetricsF(subFont).horizontalAdvance(subtitle);
        // Arrow (22 px) + gap (14 px) + text, centred as one group.
        const qreal tipX = 320 - (textWidth + 36) / 2;
        p.setPen(QPen(kAccent, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        drawArrow(p, QPointF(tipX + 22, 254), QPointF(tipX, 254), 7);
        drawCentered(p, 640, 254, subtitle, subFont, kSoftText, 18);
    } else {
        drawCentered(p, 640, 254, subtitle, subFont, kSoftText);
    }

    p.end();
    return img;
}

// The program's icon: three linked nodes of a network on the course's backdrop, in a
// rounded square that reads at 16 pixels as well as at 64.
QImage drawIcon() {
    QImage icon(64, 64, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF square(2, 2, 60, 60);
    QPainterPath rounded;
    rounded.addRoundedRect(square, 12, 12);
    p.setClipPath(rounded);
    theme::paintBackdrop(p, square);
    p.setClipping(false);
    p.setPen(QPen(withAlpha(kAccent, 120), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rounded);
    const QPointF nodes[] = {{20, 42}, {44, 42}, {32, 20}};
    p.setPen(QPen(kSoftText, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(nodes[0], nodes[1]);
    p.drawLine(nodes[1], nodes[2]);
    p.drawLine(nodes[2], nodes[0]);
    p.setPen(Qt::NoPen);
    for (const QPointF& node : nodes) {
        p.setBrush(withAlpha(kAccent, 90));
        p.drawEllipse(node, 10, 10);
        p.setBrush(kAccent);
        p.drawEllipse(node, 6.5, 6.5);
    }
    return icon;
}

bool saveIcon(const QImage& icon, const QString& dir) {
    const QString path = QDir(dir).filePath(QStringLiteral("kesta.png"));
    if (!icon.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        std::fprintf(stderr, "course_art: cannot write %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

bool save(const QImage& img, const QString& dir, const QString& name) {
    const QString path = QDir(dir).filePath(name);
    if (!img.convertToFormat(QImage::Format_RGB888).save(path, "BMP")) {
        std::fprintf(stderr, "course_art: cannot write %s\n",
                     qPrintable(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: course_art OUTDIR\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString outDir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "course_art: cannot create directory %s\n", argv[1]);
        return 1;
    }
    const bool ok =
        save(drawSplash(), outDir, QStringLiteral("splash.bmp")) &&
        save(drawCard(QStringLiteral("Добро пожаловать!"),
                      QStringLiteral("Выберите раздел в меню, чтобы начать занятие"), false),
             outDir, QStringLiteral("titl.bmp")) &&
        save(drawCard(QStringLiteral("Компьютерные сети"),
                      QStringLiteral("Выберите тему в списке слева"), true),
             outDir, QStringLiteral("titl1.bmp")) &&
        saveIcon(drawIcon(), outDir);
    return ok ? 0 : 1;
}
