// kesta-skin-art: draws the course's skin and the picture of the skin stored in the program.
//
//   kesta-skin-art wlm OUTDIR      the skin WLM: OUTDIR/Options.dat and its pictures
//   kesta-skin-art desert FILE     the master bitmap of "Desert (internal)"
//
// Everything is drawn from code with fixed coordinates and a fixed pseudo-random sequence,
// so every run writes the same files.
//
// WLM is calm, light blue and glassy. Frames and glyphs are drawn antialiased on a
// transparent canvas and stored as an image half over a mask half (mask type 1): the mask
// is white where the element is transparent, so painting blends the soft edges over
// whatever lies beneath. Fully transparent pixels of the image half hold the key colour.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// ---- colours ---------------------------------------------------------------------------------

// A colour as the skin text writes it: red in the lowest byte, as hexadecimal.
QString skinColor(const QColor& c) {
    const unsigned value =
        unsigned(c.red()) | (unsigned(c.green()) << 8) | (unsigned(c.blue()) << 16);
    return QStringLiteral("0x%1")
        .arg(value, 6, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

QColor rgb(unsigned value) {
    return QColor((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
}

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

// The palette of WLM.
const QColor kWindow = rgb(0xEEF4FB);        // window background
const QColor kWindowLow = rgb(0xDDE9F6);     // bottom of the window gradient
const QColor kText = rgb(0x1D3557);          // text
const QColor kTextSoft = rgb(0x4A6283);      // secondary text
const QColor kFrame = rgb(0x93B2D6);         // frames of controls
const QColor kFrameHot = rgb(0x4F8ACB);      // frames of hot controls
const QColor kFramePressed = rgb(0x3A6EA8);  // frames of pressed controls
const QColor kAccent = rgb(0x3C7DD0);        // glyphs, checks
const QColor kGlassTop = rgb(0xFBFDFF);
const QColor kGlassMid = rgb(0xE4EEF9);
const QColor kGlassLow = rgb(0xD2E3F5);
const QColor kGlassBottom = rgb(0xE2EDF9);
const QColor kHotTop = rgb(0xF2F9FF);
const QColor kHotMid = rgb(0xD6EAFC);
const QColor kHotLow = rgb(0xBDDAF7);
const QColor kHotBottom = rgb(0xD4E8FB);
const QColor kSelection = rgb(0xCFE3F8);
const QColor kKey = QColor(255, 0, 255);

// ---- canvases --------------------------------------------------------------------------------

QImage transparentCanvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The fully transparent pixels outside each frame's shape: those reached from the frame's
// corners without crossing a drawn pixel. Painting shows the parent there (the key colour);
// transparent pixels inside the shape keep whatever the element's own background is.
std::vector<bool> outsideShape(const QImage& element, int frameWidth) {
    const int w = element.width();
    const int h = element.height();
    std::vector<bool> outside(size_t(w) * size_t(h), false);
    std::vector<QPoint> pending;
    const auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        const size_t at = size_t(y) * size_t(w) + size_t(x);
        if (outside[at] || qAlpha(element.pixel(x, y)) != 0) return;
        outside[at] = true;
        pending.push_back(QPoint(x, y));
    };
    for (int left = 0; left < w; left += frameWidth) {
        const int right = std::min(left + frameWidth, w) - 1;
        for (const QPoint corner :
             {QPoint(left, 0), QPoint(right, 0), QPoint(left, h - 1), QPoint(right, h - 1)}) {
            visit(corner.x(), corner.y());
            while (!pending.empty()) {
                const QPoint p = pending.back();
                pending.pop_back();
                // Stay inside this frame.
                if (p.x() > left) visit(p.x() - 1, p.y());
                if (p.x() < right) visit(p.x() + 1, p.y());
                visit(p.x(), p.y() - 1);
                visit(p.x(), p.y() + 1);
            }
        }
    }
    return outside;
}

// The element over its mask: the upper half holds the colours (the key colour outside the
// element's shape), the lower half the mask (white: transparent).
QImage withMask(const QImage& element) {
    const QImage straight = element.convertToFormat(QImage::Format_ARGB32);
    const int frameWidth = element.text(QStringLiteral("frameWidth")).toInt();
    const std::vector<bool> outside =
        outsideShape(straight, frameWidth > 0 ? frameWidth : straight.width());
    QImage result(straight.width(), straight.height() * 2, QImage::Format_RGB32);
    for (int y = 0; y < straight.height(); ++y) {
        const auto* source = reinterpret_cast<const QRgb*>(straight.constScanLine(y));
        auto* image = reinterpret_cast<QRgb*>(result.scanLine(y));
        auto* mask = reinterpret_cast<QRgb*>(result.scanLine(y + straight.height()));
        for (int x = 0; x < straight.width(); ++x) {
            const int alpha = qAlpha(source[x]);
            const bool key = outside[size_t(y) * size_t(straight.width()) + size_t(x)];
            image[x] = key ? kKey.rgb() : alpha == 0 ? qRgb(0, 0, 0) : (source[x] | 0xFF000000u);
            const int m = 255 - alpha;
            mask[x] = qRgb(m, m, m);
        }
    }
    return result;
}

// Frames side by side, each drawn by `draw(painter, frameRect, state)`.
QImage frames(int frameWidth, int frameHeight, int count,
              const std::function<void(QPainter&, const QRectF&, int)>& draw) {
    QImage canvas = transparentCanvas(frameWidth * count, frameHeight);
    QPainter p(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    for (int state = 0; state < count; ++state)
        draw(p, QRectF(state * frameWidth, 0, frameWidth, frameHeight), state);
    p.end();
    canvas.setText(QStringLiteral("frameWidth"), QString::number(frameWidth));
    return canvas;
}

QPainterPath rounded(const QRectF& r, qreal radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

// A glassy rounded frame: the outline, a light inner line along the top half, nothing
// inside (the section's own background shows there).
void glassFrame(QPainter& p, const QRectF& area, qreal radius, const QColor& outline,
                int innerLight) {
    const QRectF outer = area.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(outline, 1.0));
    p.drawPath(rounded(outer, radius));
    if (innerLight > 0) {
        QLinearGradient light(area.topLeft(), area.bottomLeft());
        light.setColorAt(0.0, withAlpha(Qt::white, innerLight));
        light.setColorAt(0.55, withAlpha(Qt::white, innerLight / 3));
        light.setColorAt(1.0, withAlpha(Qt::white, 0));
        p.setPen(QPen(QBrush(light), 1.0));
        p.drawPath(rounded(outer.adjusted(1, 1, -1, -1), std::max<qreal>(radius - 1, 0)));
    }
}

// A filled glass plate: the button's look as a picture (title buttons, check boxes).
void glassPlate(QPainter& p, const QRectF& area, qreal radius, const QColor& top,
                const QColor& middle, const QColor& low, const QColor& bottom,
                const QColor& outline) {
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0.0, top);
    fill.setColorAt(0.48, middle);
    fill.setColorAt(0.52, low);
    fill.setColorAt(1.0, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(rounded(area.adjusted(0.5, 0.5, -0.5, -0.5), radius));
    glassFrame(p, area, radius, outline, 170);
}

// ---- the master bitmap -----------------------------------------------------------------------

// Places pictures on shelves of the master bitmap and remembers where.
class Master {
public:
    explicit Master(int width) : width_(width) {}

    QRect place(const QImage& picture) {
        if (x_ + picture.width() > width_) {
            x_ = 0;
            y_ += shelf_ + 2;
            shelf_ = 0;
        }
        const QRect at(x_, y_, picture.width(), picture.height());
        pieces_.append({at, picture});
        x_ += picture.width() + 2;
        shelf_ = std::max(shelf_, picture.height());
        return at;
    }

    QImage render() const {
        QImage image(width_, y_ + shelf_, QImage::Format_RGB32);
        image.fill(kKey);
        QPainter p(&image);
        for (const auto& [at, picture] : pieces_)
            p.drawImage(at.topLeft(), picture);
        return image;
    }

private:
    int width_;
    int x_ = 0;
    int y_ = 0;
    int shelf_ = 0;
    QList<QPair<QRect, QImage>> pieces_;
};

QString digits(int value, int width) {
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

QString rectColumns(const QRect& r) {
    return digits(r.left(), 4) + u',' + digits(r.top(), 4) + u',' +
           digits(r.left() + r.width(), 4) + u',' + digits(r.top() + r.height(), 4);
}

// "@left,top,right,bottom,frames,mask type": a glyph in the master bitmap.
QString glyphRef(const QRect& r, int frames, int maskType) {
    return u'@' + rectColumns(r) + u',' + QString::number(frames) + u',' +
           QString::number(maskType);
}

// "^rect,margins,frames,mask type,draw mode,border width": a border in the master bitmap.
QString borderRef(const QRect& r, int margin, int frames, int maskType, int drawMode) {
    const QString m = digits(margin, 4);
    return u'^' + rectColumns(r) + u',' + m + u',' + m + u',' + m + u',' + m + u',' +
           QString::number(frames) + u',' + QString::number(maskType) + u',' +
           QString::number(drawMode) + u",0";
}

// "~rect,draw mode,mask type": a texture in the master bitmap.
QString textureRef(const QRect& r, int drawMode) {
    return u'~' + rectColumns(r) + u',' + digits(drawMode, 2) + u",0";
}

// "#(left,top,right,bottom) (frames,mask type,border width,draw mode)".
QString wordRef(const QRect& r, int frames, int maskType, int borderWidth, int drawMode) {
    return QStringLiteral("#(%1,%2,%3,%4) (%5,%6,%7,%8)")
        .arg(r.left())
        .arg(r.top())
        .arg(r.left() + r.width())
        .arg(r.top() + r.height())
        .arg(frames)
        .arg(maskType)
        .arg(borderWidth)
        .arg(drawMode);
}

// ---- glyphs ----------------------------------------------------------------------------------

enum class Arrow { Up, Down, Left, Right };

void drawArrow(QPainter& p, const QRectF& area, Arrow direction, const QColor& colour) {
    const QPointF c = area.center();
    const qreal s = std::min(area.width(), area.height()) * 0.28;
    QPolygonF triangle;
    switch (direction) {
        case Arrow::Up:
            triangle << QPointF(c.x() - s, c.y() + s * 0.55) << QPointF(c.x() + s, c.y() + s * 0.55)
                     << QPointF(c.x(), c.y() - s * 0.55);
            break;
        case Arrow::Down:
            triangle << QPointF(c.x() - s, c.y() - s * 0.55) << QPointF(c.x() + s, c.y() - s * 0.55)
                     << QPointF(c.x(), c.y() + s * 0.55);
            break;
        case Arrow::Left:
            triangle << QPointF(c.x() + s * 0.55, c.y() - s) << QPointF(c.x() + s * 0.55, c.y() + s)
                     << QPointF(c.x() - s * 0.55, c.y());
            break;
        case Arrow::Right:
            triangle << QPointF(c.x() - s * 0.55, c.y() - s) << QPointF(c.x() - s * 0.55, c.y() + s)
                     << QPointF(c.x() + s * 0.55, c.y());
            break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(triangle);
}

QColor stateColour(int state) {
    return state == 0 ? kTextSoft : state == 1 ? kFrameHot : kFramePressed;
}

QImage arrowGlyph(Arrow direction, int size) {
    return withMask(frames(size, size, 3, [direction](QPainter& p, const QRectF& r, int state) {
        drawArrow(p, r, direction, stateColour(state));
    }));
}

enum class Check { Unchecked, Checked, Grayed };

// A check box or radio button in three states: normal, hot, pressed.
QImage checkGlyph(int size, bool radio, Check mark) {
    return withMask(frames(size, size, 3, [=](QPainter& p, const QRectF& r, int state) {
        const QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
        const QColor outline = state == 0 ? kFrame : state == 1 ? kFrameHot : kFramePressed;
        QLinearGradient fill(box.topLeft(), box.bottomLeft());
        fill.setColorAt(0.0, state == 0 ? rgb(0xF4F8FD) : rgb(0xEAF4FF));
        fill.setColorAt(1.0, state == 0 ? Qt::white : rgb(0xFAFDFF));
        p.setBrush(fill);
        p.setPen(QPen(outline, 1.0));
        if (radio)
            p.drawEllipse(box.adjusted(0.5, 0.5, -0.5, -0.5));
        else
            p.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 2.5, 2.5);
        if (mark == Check::Unchecked) return;
        const QColor ink = mark == Check::Grayed ? rgb(0xA9B9CC) : kAccent;
        if (radio) {
            const qreal d = r.width() * 0.42;
            QRadialGradient dot(r.center() - QPointF(d * 0.15, d * 0.2), d * 0.6);
            dot.setColorAt(0.0, ink.lighter(140));
            dot.setColorAt(1.0, ink);
            p.setPen(Qt::NoPen);
            p.setBrush(dot);
            p.drawEllipse(r.center(), d / 2, d / 2);
        } else if (mark == Check::Grayed) {
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            p.drawRoundedRect(r.adjusted(r.width() * 0.28, r.height() * 0.28, -r.width() * 0.28,
                                         -r.height() * 0.28),
                              1.5, 1.5);
        } else {
            QPainterPath tick;
            tick.moveTo(r.left() + r.width() * 0.24, r.top() + r.height() * 0.52);
            tick.lineTo(r.left() + r.width() * 0.42, r.top() + r.height() * 0.70);
            tick.lineTo(r.left() + r.width() * 0.76, r.top() + r.height() * 0.30);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(ink, r.width() * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(tick);
        }
    }));
}

enum class TitleGlyph { Close, Maximize, Restore, Minimize, Help };

void drawTitleSymbol(QPainter& p, const QRectF& r, TitleGlyph glyph, const QColor& ink) {
    const QPointF c = r.center();
    const qreal s = std::min(r.width(), r.height()) * 0.2;
    QPen pen(ink, std::max<qreal>(1.4, s * 0.45), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen);
    switch (glyph) {
        case TitleGlyph::Close:
            p.drawLine(c + QPointF(-s, -s), c + QPointF(s, s));
            p.drawLine(c + QPointF(-s, s), c + QPointF(s, -s));
            break;
        case TitleGlyph::Maximize:
            pen.setWidthF(1.3);
            p.setPen(pen);
            p.drawRect(QRectF(c.x() - s, c.y() - s, 2 * s, 2 * s));
            p.drawLine(QPointF(c.x() - s, c.y() - s + 1), QPointF(c.x() + s, c.y() - s + 1));
            break;
        case TitleGlyph::Restore:
            pen.setWidthF(1.2);
            p.setPen(pen);
            p.drawRect(QRectF(c.x() - s, c.y() - s * 0.4, s * 1.4, s * 1.4));
            p.drawPolyline(QPolygonF()
                           << QPointF(c.x() - s * 0.4, c.y() - s * 0.4)
                           << QPointF(c.x() - s * 0.4, c.y() - s) << QPointF(c.x() + s, c.y() - s)
                           << QPointF(c.x() + s, c.y() + s * 0.4)
                           << QPointF(c.x() + s * 0.4, c.y() + s * 0.4));
            break;
        case TitleGlyph::Minimize:
            p.drawLine(QPointF(c.x() - s, c.y() + s * 0.8), QPointF(c.x() + s, c.y() + s * 0.8));
            break;
        case TitleGlyph::Help: {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPixelSize(int(r.height() * 0.55));
            font.setBold(true);
            p.setFont(font);
            p.drawText(r, Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
    }
}

// A title button glyph: normal (symbol only), hot (glass plate), pressed (deeper plate).
QImage titleGlyph(int width, int height, TitleGlyph glyph) {
    const bool close = glyph == TitleGlyph::Close;
    return withMask(frames(width, height, 3, [=](QPainter& p, const QRectF& r, int state) {
        const QRectF plate = r.adjusted(1, 1, -1, -1);
        if (state == 1) {
            if (close)
                glassPlate(p, plate, 3.5, rgb(0xF6C9C4), rgb(0xE58B82), rgb(0xD9675D),
                           rgb(0xE4877E), rgb(0xB5473F));
            else
                glassPlate(p, plate, 3.5, kHotTop, kHotMid, kHotLow, kHotBottom, kFrameHot);
        } else if (state == 2) {
            if (close)
                glassPlate(p, plate, 3.5, rgb(0xD97A71), rgb(0xC9564C), rgb(0xB8453B),
                           rgb(0xC65A50), rgb(0x8F2F28));
            else
                glassPlate(p, plate, 3.5, rgb(0xC7DEF5), rgb(0xB3D1F0), rgb(0x9DC2EA),
                           rgb(0xB1D0F0), kFramePressed);
        }
        const QColor ink = close && state > 0 ? Qt::white : kText;
        drawTitleSymbol(p, plate, glyph, ink);
    }));
}

// ---- pictures of their own -------------------------------------------------------------------

// A small, soft frost texture: light blue with faint diagonal streaks and fine grain.
QImage frostTexture(int size) {
    QImage image(size, size, QImage::Format_RGB32);
    quint32 seed = 0x2545F491u;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) & 0xFFFF;
    };
    for (int y = 0; y < size; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            // The streaks repeat across the tile's edges, so tiles join without seams.
            const double phase = 2 * M_PI * (x + y) / size;
            const double streak = 3.0 * std::sin(phase * 2) + 2.0 * std::sin(phase * 5 + 1.3);
            const double grain = (int(next() % 9) - 4) * 0.6;
            const double v = streak + grain;
            line[x] = qRgb(std::clamp(int(236 + v), 0, 255), std::clamp(int(243 + v), 0, 255),
                           std::clamp(int(251 + v * 0.6), 0, 255));
        }
    }
    return image;
}

// ---- the skin text ---------------------------------------------------------------------------

class SkinText {
public:
    void section(const QString& name, const QString& comment = QString()) {
        if (!text_.isEmpty()) text_ += u'\n';
        if (!comment.isEmpty()) text_ += QStringLiteral("; ") + comment + u'\n';
        text_ += u'[' + name + QStringLiteral("]\n");
    }
    void key(const QString& name, const QString& value) { text_ += name + u'=' + value + u'\n'; }
    void key(const QString& name, int value) { key(name, QString::number(value)); }
    void colour(const QString& name, const QColor& value) { key(name, skinColor(value)); }
    const QString& text() const { return text_; }

private:
    QString text_;
};

// A vertical gradient in pieces: each piece runs from one colour to the next over its share.
QString gradient(const QList<QPair<QColor, int>>& stops) {
    QStringList words;
    for (int i = 0; i + 1 < stops.size(); ++i) {
        words << skinColor(stops[i].first) << skinColor(stops[i + 1].first)
              << QString::number(stops[i].second) << QStringLiteral("0") << QStringLiteral("0");
    }
    return words.join(u';');
}

QString glassGradient(const QColor& top, const QColor& middle, const QColor& low,
                      const QColor& bottom) {
    return gradient({{top, 48}, {middle, 4}, {low, 48}, {bottom, 0}});
}

void save(const QImage& image, const QString& path, const char* format) {
    QImage out = image;
    if (qstrcmp(format, "BMP") == 0) out = image.convertToFormat(QImage::Format_RGB888);
    if (!out.save(path, format, qstrcmp(format, "JPG") == 0 ? 92 : -1)) {
        std::fprintf(stderr, "kesta-skin-art: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

void writeText(const QString& path, const QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) < 0) {
        std::fprintf(stderr, "kesta-skin-art: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

void drawWlm(const QString& folder) {
    QDir().mkpath(folder);
    const auto path = [&folder](const char* name) -> QString {
        return folder + u'/' + QLatin1String(name);
    };
    Master master(256);
    SkinText t;

    // Frames of controls (master bitmap).
    const QRect editFrame =
        master.place(withMask(frames(12, 12, 2, [](QPainter& p, const QRectF& r, int s) {
            glassFrame(p, r, 2.5, s == 0 ? kFrame : kFrameHot, 0);
            if (s == 1) {
                p.setPen(QPen(withAlpha(kFrameHot, 60), 1.0));
                p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 1.5));
            }
        })));
    const QRect panelFrame =
        master.place(withMask(frames(12, 12, 1, [](QPainter& p, const QRectF& r, int) {
            glassFrame(p, r, 3.0, rgb(0xB3CAE5), 200);
        })));
    const QRect lowFrame =
        master.place(withMask(frames(12, 12, 1, [](QPainter& p, const QRectF& r, int) {
            glassFrame(p, r, 2.0, rgb(0xA2BCDD), 0);
            p.setPen(QPen(withAlpha(rgb(0x6F8FB8), 70), 1.0));
            p.drawLine(QPointF(r.left() + 2, r.top() + 1.5), QPointF(r.right() - 2, r.top() + 1.5));
        })));
    const QRect groupFrame =
        master.place(withMask(frames(16, 16, 1, [](QPainter& p, const QRectF& r, int) {
            glassFrame(p, r, 4.0, rgb(0xA9C3E3), 150);
        })));
    const auto buttonLike = [](qreal radius) {
        return [radius](QPainter& p, const QRectF& r, int s) {
            glassFrame(p, r, radius,
                       s == 0   ? kFrame
                       : s == 1 ? kFrameHot
                                : kFramePressed,
                       s == 2 ? 60 : 190);
        };
    };
    const QRect comboButton = master.place(withMask(frames(16, 16, 3, buttonLike(3.0))));
    const QRect toolFrame = master.place(withMask(frames(16, 16, 3, buttonLike(3.0))));
    const QRect itemFrame =
        master.place(withMask(frames(12, 12, 2, [](QPainter& p, const QRectF& r, int s) {
            glassFrame(p, r, 3.0, s == 0 ? kFrame : rgb(0x8DB6E6), 150);
        })));
    const QRect scrollButton = master.place(withMask(frames(16, 16, 3, buttonLike(2.5))));
    const QRect sliderFrame = master.place(withMask(frames(16, 16, 3, buttonLike(3.5))));
    const QRect trackFrame =
        master.place(withMask(frames(12, 12, 1, [](QPainter& p, const QRectF& r, int) {
            glassFrame(p, r, 2.0, rgb(0xCBDBEE), 0);
        })));
    const QRect formFrame =
        master.place(withMask(frames(20, 20, 2, [](QPainter& p, const QRectF& r, int s) {
            const QColor outline = s == 1 ? rgb(0x6E98C9) : rgb(0xA3BAD6);
            p.setPen(QPen(outline, 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawPath(rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 5));
            // Glass rim just inside the outline.
            p.setPen(QPen(withAlpha(Qt::white, s == 1 ? 190 : 140), 1.0));
            p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 4));
            p.setPen(QPen(withAlpha(s == 1 ? rgb(0xB9D3F0) : rgb(0xD3E0EF), 200), 2.0));
            p.drawPath(rounded(r.adjusted(3, 3, -3, -3), 3));
        })));
    // A separator: a soft line over a white one, etched into the menu.
    QImage divider(12, 3, QImage::Format_RGB32);
    divider.fill(kKey);
    for (int x = 0; x < 12; ++x) {
        divider.setPixel(x, 1, rgb(0xC9D8EA).rgb());
        divider.setPixel(x, 2, QColor(Qt::white).rgb());
    }
    const QRect dividerLine = master.place(divider);
    // The tool bar's glass band, stretched over the bar.
    QImage band(4, 30, QImage::Format_RGB32);
    {
        QPainter p(&band);
        QLinearGradient g(0, 0, 0, 30);
        g.setColorAt(0.0, rgb(0xF9FBFE));
        g.setColorAt(0.49, rgb(0xE9F1FA));
        g.setColorAt(0.51, rgb(0xDCE8F5));
        g.setColorAt(1.0, rgb(0xE7EFF9));
        p.fillRect(band.rect(), g);
    }
    const QRect toolBand = master.place(band);

    // Glyphs (master bitmap).
    const QRect comboArrow = master.place(arrowGlyph(Arrow::Down, 11));
    const QRect arrowUp = master.place(arrowGlyph(Arrow::Up, 11));
    const QRect arrowDown = master.place(arrowGlyph(Arrow::Down, 11));
    const QRect arrowLeft = master.place(arrowGlyph(Arrow::Left, 11));
    const QRect arrowRight = master.place(arrowGlyph(Arrow::Right, 11));
    const QRect gripV =
        master.place(withMask(frames(9, 9, 3, [](QPainter& p, const QRectF& r, int s) {
            p.setPen(QPen(stateColour(s), 1.0));
            for (int i = -1; i <= 1; ++i)
                p.drawLine(QPointF(r.left() + 2, r.center().y() + i * 2.5),
                           QPointF(r.right() - 2, r.center().y() + i * 2.5));
        })));
    const QRect gripH =
        master.place(withMask(frames(9, 9, 3, [](QPainter& p, const QRectF& r, int s) {
            p.setPen(QPen(stateColour(s), 1.0));
            for (int i = -1; i <= 1; ++i)
                p.drawLine(QPointF(r.center().x() + i * 2.5, r.top() + 2),
                           QPointF(r.center().x() + i * 2.5, r.bottom() - 2));
        })));
    const QRect boxChecked = master.place(checkGlyph(15, false, Check::Checked));
    const QRect boxUnchecked = master.place(checkGlyph(15, false, Check::Unchecked));
    const QRect boxGrayed = master.place(checkGlyph(15, false, Check::Grayed));
    const QRect radioChecked = master.place(checkGlyph(15, true, Check::Checked));
    const QRect radioUnchecked = master.place(checkGlyph(15, true, Check::Unchecked));
    const QRect radioGrayed = master.place(checkGlyph(15, true, Check::Grayed));
    const QRect smallChecked = master.place(checkGlyph(11, false, Check::Checked));
    const QRect smallUnchecked = master.place(checkGlyph(11, false, Check::Unchecked));
    const QRect smallGrayed = master.place(checkGlyph(11, false, Check::Grayed));
    const QRect menuCheck =
        master.place(withMask(frames(12, 12, 2, [](QPainter& p, const QRectF& r, int s) {
            QPainterPath tick;
            tick.moveTo(r.left() + 2.5, r.top() + 6.5);
            tick.lineTo(r.left() + 5, r.top() + 9);
            tick.lineTo(r.left() + 9.5, r.top() + 3.5);
            p.setPen(
                QPen(s == 0 ? kText : kAccent, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawPath(tick);
        })));
    const QRect sClose = master.place(titleGlyph(17, 15, TitleGlyph::Close));
    const QRect sMax = master.place(titleGlyph(17, 15, TitleGlyph::Maximize));
    const QRect sNorm = master.place(titleGlyph(17, 15, TitleGlyph::Restore));
    const QRect sMin = master.place(titleGlyph(17, 15, TitleGlyph::Minimize));
    const QRect sHelp = master.place(titleGlyph(17, 15, TitleGlyph::Help));
    const QRect grip =
        master.place(withMask(frames(12, 12, 1, [](QPainter& p, const QRectF& r, int) {
            p.setPen(Qt::NoPen);
            for (int row = 0; row < 3; ++row) {
                for (int col = 2 - row; col < 3; ++col) {
                    const QPointF at(r.left() + 2.5 + col * 3.5, r.top() + 2.5 + row * 3.5);
                    p.setBrush(Qt::white);
                    p.drawEllipse(at + QPointF(0.7, 0.7), 1.1, 1.1);
                    p.setBrush(rgb(0x9CB6D6));
                    p.drawEllipse(at, 1.1, 1.1);
                }
            }
        })));

    save(master.render(), path("MASTER.BMP"), "BMP");

    // Pictures of their own: a "!" PNG for the buttons and title glyphs, a "!" BMP for the
    // title bar, a plain BMP for the popup menus, a JPEG texture for panels.
    save(withMask(frames(22, 22, 3, buttonLike(3.5))), path("BUTTON.PNG"), "PNG");
    save(titleGlyph(27, 21, TitleGlyph::Close), path("BICLOSE.PNG"), "PNG");
    save(titleGlyph(27, 21, TitleGlyph::Maximize), path("BIMAX.PNG"), "PNG");
    save(titleGlyph(27, 21, TitleGlyph::Restore), path("BINORM.PNG"), "PNG");
    save(titleGlyph(27, 21, TitleGlyph::Minimize), path("BIMIN.PNG"), "PNG");
    save(titleGlyph(27, 21, TitleGlyph::Help), path("BIHELP.PNG"), "PNG");
    save(withMask(frames(20, 20, 2,
                         [](QPainter& p, const QRectF& r, int s) {
                             // The title bar's rounded top: light rim over the bar's glass.
                             QPainterPath top;
                             const QRectF a = r.adjusted(0.5, 0.5, -0.5, 8);
                             top.addRoundedRect(a, 5, 5);
                             p.setPen(QPen(withAlpha(Qt::white, s == 1 ? 200 : 140), 1.0));
                             p.setBrush(Qt::NoBrush);
                             p.drawPath(top);
                         })),
         path("TITLE.BMP"), "BMP");
    save(withMask(frames(18, 18, 3,
                         [](QPainter& p, const QRectF& r, int) {
                             p.setPen(QPen(rgb(0x9DB7D8), 1.0));
                             p.setBrush(Qt::NoBrush);
                             p.drawPath(rounded(r.adjusted(0.5, 0.5, -0.5, -0.5), 3));
                             p.setPen(QPen(withAlpha(Qt::white, 220), 1.0));
                             p.drawPath(rounded(r.adjusted(1.5, 1.5, -1.5, -1.5), 2));
                         })),
         path("MENUBORDER.BMP"), "BMP");
    save(frostTexture(96), path("FROST.JPG"), "JPG");

    // The skin text.
    t.section(QStringLiteral("GLOBALINFO"), QStringLiteral("WLM: calm, light blue, glassy."));
    t.key(QStringLiteral("VERSION"), QStringLiteral("7.3"));
    t.key(QStringLiteral("AUTHOR"), QStringLiteral("Kesta"));
    t.key(QStringLiteral("DESCRIPTION"), QStringLiteral("Light blue glass for the Kesta course"));
    t.key(QStringLiteral("MASTERBITMAP"), QStringLiteral("MASTER.BMP"));
    t.key(QStringLiteral("BORDERWIDTH"), 4);
    t.key(QStringLiteral("TITLEHEIGHT"), 28);
    t.key(QStringLiteral("FORMOFFSET"), 4);
    t.key(QStringLiteral("BISPACE"), 1);
    t.key(QStringLiteral("BIRIGHT"), 4);
    t.key(QStringLiteral("BILEFT"), 4);
    t.key(QStringLiteral("BITOP"), 3);
    t.colour(QStringLiteral("BORDERCOLOR"), rgb(0xB7CBE3));
    t.colour(QStringLiteral("SHADOW1COLOR"), rgb(0x2B4A72));
    t.key(QStringLiteral("SHADOW1OFFSET"), 0);
    t.key(QStringLiteral("SHADOW1BLUR"), 6);
    t.key(QStringLiteral("SHADOW1TRANSPARENCY"), 70);
    t.colour(QStringLiteral("COLOR"), kWindow);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), kSelection);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("BICONCLOSE"), QStringLiteral("!BICLOSE.PNG!3!1!2"));
    t.key(QStringLiteral("BICLOSEALONE"), QStringLiteral("!BICLOSE.PNG!3!1!2"));
    t.key(QStringLiteral("BICONMAX"), QStringLiteral("!BIMAX.PNG!3!1!2"));
    t.key(QStringLiteral("BICONNORM"), QStringLiteral("!BINORM.PNG!3!1!2"));
    t.key(QStringLiteral("BICONMIN"), QStringLiteral("!BIMIN.PNG!3!1!2"));
    t.key(QStringLiteral("BICONHELP"), QStringLiteral("!BIHELP.PNG!3!1!2"));
    t.key(QStringLiteral("SICONCLOSE"), glyphRef(sClose, 3, 1));
    t.key(QStringLiteral("SICONMAX"), glyphRef(sMax, 3, 1));
    t.key(QStringLiteral("SICONNORM"), glyphRef(sNorm, 3, 1));
    t.key(QStringLiteral("SICONMIN"), glyphRef(sMin, 3, 1));
    t.key(QStringLiteral("SICONHELP"), glyphRef(sHelp, 3, 1));
    t.key(QStringLiteral("BOXCHECKED"), glyphRef(boxChecked, 3, 1));
    t.key(QStringLiteral("BOXUNCHECKED"), glyphRef(boxUnchecked, 3, 1));
    t.key(QStringLiteral("BOXGRAYED"), glyphRef(boxGrayed, 3, 1));
    t.key(QStringLiteral("RADIOCHECKED"), glyphRef(radioChecked, 3, 1));
    t.key(QStringLiteral("RADIOUNCHECKED"), glyphRef(radioUnchecked, 3, 1));
    t.key(QStringLiteral("RADIOGRAYED"), glyphRef(radioGrayed, 3, 1));
    t.key(QStringLiteral("SMALLCHECKED"), glyphRef(smallChecked, 3, 1));
    t.key(QStringLiteral("SMALLUNCHECKED"), glyphRef(smallUnchecked, 3, 1));
    t.key(QStringLiteral("SMALLGRAYED"), glyphRef(smallGrayed, 3, 1));
    t.key(QStringLiteral("CHECK"), glyphRef(menuCheck, 2, 1));
    t.key(QStringLiteral("GRIPIMAGE"), glyphRef(grip, 1, 1));

    const QString windowGradient = gradient({{rgb(0xF5F9FD), 100}, {kWindowLow, 0}});
    t.section(QStringLiteral("FORM"), QStringLiteral("Windows: frame and background."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), kWindow);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"), windowGradient);
    t.colour(QStringLiteral("HOTCOLOR"), kWindow);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"), windowGradient);
    t.key(QStringLiteral("BORDERSMASK"), wordRef(formFrame, 2, 1, 6, 1));

    t.section(QStringLiteral("FORMTITLE"),
              QStringLiteral("Title bar: state 0 inactive, 1 active."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), rgb(0xE3ECF6));
    t.colour(QStringLiteral("FONTCOLOR"), kTextSoft);
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"),
          glassGradient(rgb(0xF4F7FB), rgb(0xE8EEF6), rgb(0xDCE5F0), rgb(0xE2EAF3)));
    t.colour(QStringLiteral("HOTCOLOR"), rgb(0xD4E6F9));
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTTCBOTTOM"), rgb(0xF4F9FF));
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"),
          glassGradient(rgb(0xF0F7FF), rgb(0xD9EAFB), rgb(0xC6DDF6), rgb(0xD3E6FA)));
    t.key(QStringLiteral("BORDERSMASK"), QStringLiteral("!TITLE.BMP!2!1!0!6!6!6!0!1"));

    t.section(QStringLiteral("CAPTION"), QStringLiteral("A faint plate behind window captions."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), Qt::white);
    t.key(QStringLiteral("TRANSPARENCY"), 85);
    t.colour(QStringLiteral("FONTCOLOR"), kTextSoft);
    t.colour(QStringLiteral("HOTCOLOR"), Qt::white);
    t.key(QStringLiteral("HOTTRANSPARENCY"), 70);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);

    t.section(QStringLiteral("DIALOG"), QStringLiteral("Message boxes and dialogs."));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("FORM"));

    const QString buttonGradient = glassGradient(kGlassTop, kGlassMid, kGlassLow, kGlassBottom);
    const QString hotGradient = glassGradient(kHotTop, kHotMid, kHotLow, kHotBottom);
    t.section(QStringLiteral("BUTTON"), QStringLiteral("Push buttons: normal, hot, pressed."));
    t.key(QStringLiteral("STATES"), 3);
    t.colour(QStringLiteral("COLOR"), kGlassMid);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"), buttonGradient);
    t.colour(QStringLiteral("HOTCOLOR"), kHotMid);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"), hotGradient);
    t.key(QStringLiteral("SHOWFOCUS"), 1);
    t.key(QStringLiteral("FADINGENABLED"), 1);
    t.key(QStringLiteral("FADINGITERATIONS"), 4);
    t.key(QStringLiteral("BORDERSMASK"), QStringLiteral("!BUTTON.PNG!3!1!0!5!5!5!5!1"));

    t.section(QStringLiteral("SPEEDBUTTON"), QStringLiteral("Speed buttons look like buttons."));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("BUTTON"));

    t.section(QStringLiteral("TOOLBUTTON"), QStringLiteral("Flat until the mouse comes."));
    t.key(QStringLiteral("STATES"), 3);
    t.colour(QStringLiteral("COLOR"), kWindow);
    t.key(QStringLiteral("TRANSPARENCY"), 100);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), kHotMid);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"), hotGradient);
    t.key(QStringLiteral("BORDERSMASK"), borderRef(toolFrame, 4, 3, 1, 3));

    t.section(QStringLiteral("SPEEDBUTTON_SMALL"),
              QStringLiteral("Pressed frame of checked menu items."));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("TOOLBUTTON"));

    t.section(QStringLiteral("EDIT"), QStringLiteral("Edits, memos, trees: hot while focused."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), Qt::white);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), rgb(0xFCFEFF));
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("BORDERSMASK"), borderRef(editFrame, 3, 2, 1, 1));

    t.section(QStringLiteral("COMBOBOX"), QStringLiteral("Combo boxes: an edit with an arrow."));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("EDIT"));
    t.key(QStringLiteral("GLYPHMASK"), glyphRef(comboArrow, 3, 1));

    t.section(QStringLiteral("COMBOBTN"), QStringLiteral("The button of combo boxes."));
    t.key(QStringLiteral("STATES"), 3);
    t.colour(QStringLiteral("COLOR"), kGlassMid);
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"), buttonGradient);
    t.colour(QStringLiteral("HOTCOLOR"), kHotMid);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"), hotGradient);
    t.key(QStringLiteral("BORDERSMASK"), borderRef(comboButton, 4, 3, 1, 1));

    t.section(QStringLiteral("PANEL"), QStringLiteral("Panels: frosted glass."));
    t.key(QStringLiteral("STATES"), 1);
    t.colour(QStringLiteral("COLOR"), rgb(0xEAF2FA));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("IMAGEPERCENT"), 35);
    t.key(QStringLiteral("PATTERN"), QStringLiteral("FROST.JPG"));
    t.key(QStringLiteral("GRADIENTPERCENT"), 65);
    t.key(QStringLiteral("GRADIENTDATA"), gradient({{rgb(0xF6FAFE), 100}, {rgb(0xE4EEF8), 0}}));
    t.key(QStringLiteral("BORDERSMASK"), wordRef(panelFrame, 1, 1, 4, 1));

    t.section(QStringLiteral("PANEL_LOW"), QStringLiteral("Lowered panels."));
    t.key(QStringLiteral("STATES"), 1);
    t.colour(QStringLiteral("COLOR"), rgb(0xE5EEF8));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("BORDERSMASK"), borderRef(lowFrame, 3, 1, 1, 1));

    t.section(QStringLiteral("GROUPBOX"), QStringLiteral("Group boxes: a frame over the parent."));
    t.key(QStringLiteral("STATES"), 1);
    t.key(QStringLiteral("TRANSPARENCY"), 100);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("GIVEOWNFONT"), 1);
    t.key(QStringLiteral("BORDERSMASK"), borderRef(groupFrame, 5, 1, 1, 1));

    t.section(QStringLiteral("CHECKBOX"), QStringLiteral("Check boxes show their parent."));
    t.key(QStringLiteral("STATES"), 2);
    t.key(QStringLiteral("TRANSPARENCY"), 100);
    t.key(QStringLiteral("HOTTRANSPARENCY"), 100);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kFramePressed);
    t.key(QStringLiteral("SHOWFOCUS"), 1);

    t.section(QStringLiteral("RADIOBUTTON"));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("CHECKBOX"));

    t.section(QStringLiteral("TOOLBAR"), QStringLiteral("Tool bars and navigators: a glass band."));
    t.key(QStringLiteral("STATES"), 1);
    t.colour(QStringLiteral("COLOR"), rgb(0xE6EFF9));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("IMAGEPERCENT"), 100);
    t.key(QStringLiteral("PATTERN"), textureRef(toolBand, 1));

    t.section(QStringLiteral("MAINMENU"), QStringLiteral("Popup menus."));
    t.key(QStringLiteral("STATES"), 1);
    t.colour(QStringLiteral("COLOR"), rgb(0xFAFCFF));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.key(QStringLiteral("BORDERSMASK"), QStringLiteral("MENUBORDER.BMP"));

    t.section(QStringLiteral("MENUITEM"),
              QStringLiteral("Menu items: glass under the selected one."));
    t.key(QStringLiteral("STATES"), 2);
    t.key(QStringLiteral("TRANSPARENCY"), 100);
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), kSelection);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"),
          glassGradient(rgb(0xEEF6FE), rgb(0xDCEBFB), rgb(0xCDE2F8), rgb(0xD8E9FB)));
    t.key(QStringLiteral("BORDERSMASK"), borderRef(itemFrame, 3, 2, 1, 3));

    t.section(QStringLiteral("MENULINE"), QStringLiteral("The menu bar of windows."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), rgb(0xF2F6FB));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), rgb(0xF2F6FB));
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"), gradient({{rgb(0xF9FBFE), 100}, {rgb(0xE9F0F8), 0}}));

    t.section(QStringLiteral("ICOLINE"), QStringLiteral("The glyph column of popup menus."));
    t.key(QStringLiteral("STATES"), 1);
    t.colour(QStringLiteral("COLOR"), rgb(0xEAF2FB));
    t.key(QStringLiteral("GRADIENTPERCENT"), 100);
    t.key(QStringLiteral("GRADIENTDATA"),
          QStringLiteral("%1;%2;100;1;0").arg(skinColor(rgb(0xE2EDF9)), skinColor(rgb(0xF3F8FD))));

    t.section(QStringLiteral("DIVIDERV"), QStringLiteral("Separator lines of menus."));
    t.key(QStringLiteral("STATES"), 1);
    t.key(QStringLiteral("TRANSPARENCY"), 100);
    t.key(QStringLiteral("BORDERSMASK"), wordRef(dividerLine, 1, 0, 0, 1));

    t.section(QStringLiteral("SELECTION"), QStringLiteral("Selected items of lists and trees."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), rgb(0xE1ECF8));
    t.colour(QStringLiteral("FONTCOLOR"), kText);
    t.colour(QStringLiteral("HOTCOLOR"), kSelection);
    t.colour(QStringLiteral("HOTFONTCOLOR"), kText);
    t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
    t.key(QStringLiteral("HOTGRADIENTDATA"),
          glassGradient(rgb(0xEEF6FE), rgb(0xDCEBFB), rgb(0xCDE2F8), rgb(0xD8E9FB)));
    t.key(QStringLiteral("BORDERSMASK"), borderRef(itemFrame, 3, 2, 1, 1));

    const struct {
        const char* name;
        QRect arrow;
    } buttons[] = {{"SCROLLBTNTOP", arrowUp},
                   {"SCROLLBTNBOTTOM", arrowDown},
                   {"SCROLLBTNLEFT", arrowLeft},
                   {"SCROLLBTNRIGHT", arrowRight}};
    for (const auto& button : buttons) {
        t.section(QLatin1String(button.name));
        t.key(QStringLiteral("STATES"), 3);
        t.colour(QStringLiteral("COLOR"), kGlassMid);
        t.key(QStringLiteral("GRADIENTPERCENT"), 100);
        t.key(QStringLiteral("GRADIENTDATA"), buttonGradient);
        t.colour(QStringLiteral("HOTCOLOR"), kHotMid);
        t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
        t.key(QStringLiteral("HOTGRADIENTDATA"), hotGradient);
        t.key(QStringLiteral("BORDERSMASK"), borderRef(scrollButton, 3, 3, 1, 1));
        t.key(QStringLiteral("GLYPHMASK"), glyphRef(button.arrow, 3, 1));
    }
    const struct {
        const char* name;
        QRect grip;
        int mode;
    } sliders[] = {{"SCROLLSLIDERV", gripV, 1}, {"SCROLLSLIDERH", gripH, 0}};
    for (const auto& slider : sliders) {
        t.section(QLatin1String(slider.name));
        t.key(QStringLiteral("STATES"), 3);
        t.colour(QStringLiteral("COLOR"), kGlassMid);
        t.key(QStringLiteral("GRADIENTPERCENT"), 100);
        t.key(QStringLiteral("GRADIENTDATA"), QStringLiteral("%1;%2;50;%3;0;%2;%4;50;%3;0")
                                                  .arg(skinColor(kGlassTop), skinColor(kGlassMid))
                                                  .arg(slider.mode)
                                                  .arg(skinColor(kGlassLow)));
        t.colour(QStringLiteral("HOTCOLOR"), kHotMid);
        t.key(QStringLiteral("HOTGRADIENTPERCENT"), 100);
        t.key(QStringLiteral("HOTGRADIENTDATA"), QStringLiteral("%1;%2;50;%3;0;%2;%4;50;%3;0")
                                                     .arg(skinColor(kHotTop), skinColor(kHotMid))
                                                     .arg(slider.mode)
                                                     .arg(skinColor(kHotLow)));
        t.key(QStringLiteral("BORDERSMASK"), borderRef(sliderFrame, 4, 3, 1, 1));
        t.key(QStringLiteral("GLYPHMASK"), glyphRef(slider.grip, 3, 1));
    }
    t.section(QStringLiteral("SCROLLBAR1H"), QStringLiteral("Scroll bar tracks."));
    t.key(QStringLiteral("STATES"), 2);
    t.colour(QStringLiteral("COLOR"), rgb(0xF1F6FC));
    t.colour(QStringLiteral("HOTCOLOR"), rgb(0xE6EFF9));
    t.key(QStringLiteral("BORDERSMASK"), borderRef(trackFrame, 2, 1, 1, 1));
    t.section(QStringLiteral("SCROLLBAR1V"));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("SCROLLBAR1H"));
    t.section(QStringLiteral("SCROLLBAR2H"), QStringLiteral("The track's other side."));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("SCROLLBAR1H"));
    t.section(QStringLiteral("SCROLLBAR2V"));
    t.key(QStringLiteral("PARENTCLASS"), QStringLiteral("SCROLLBAR1H"));

    writeText(path("Options.dat"), t.text());
}

// The master bitmap of the skin stored in the program: warm dunes under a pale sky, a
// picture of our own that no section refers to.
void drawDesert(const QString& file) {
    QImage image(160, 160, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 90);
    sky.setColorAt(0.0, rgb(0xBFD8EA));
    sky.setColorAt(1.0, rgb(0xF3E3C3));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(rgb(0xFFF2C8));
    p.drawEllipse(QPointF(118, 34), 13, 13);
    const QColor dunes[] = {rgb(0xE3B877), rgb(0xD6A25E), rgb(0xC78C4A)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath dune;
        const qreal base = 86 + i * 22;
        dune.moveTo(0, base + 10);
        dune.cubicTo(40, base - 18 + i * 4, 90, base + 24, 160, base - 6);
        dune.lineTo(160, 160);
        dune.lineTo(0, 160);
        dune.closeSubpath();
        p.setBrush(dunes[i]);
        p.drawPath(dune);
    }
    p.end();
    QDir().mkpath(QFileInfo(file).absolutePath());
    save(image, file, "BMP");
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("wlm")) {
        drawWlm(arguments[2]);
        return 0;
    }
    if (arguments.size() == 3 && arguments[1] == QLatin1String("desert")) {
        drawDesert(arguments[2]);
        return 0;
    }
    std::fprintf(stderr, "usage: kesta-skin-art wlm OUTDIR | desert FILE\n");
    return 2;
}
