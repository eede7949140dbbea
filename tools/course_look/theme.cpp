#include "theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace theme {

QColor withAlpha(QColor color, int alpha) {
    color.setAlpha(alpha);
    return color;
}

QFont font(qreal pixelSize, QFont::Weight weight, qreal letterSpacing) {
    QFont result(QStringLiteral("DejaVu Sans"));
    result.setPixelSize(qRound(pixelSize));
    result.setWeight(weight);
    result.setStyleStrategy(QFont::PreferAntialias);
    if (letterSpacing != 0) result.setLetterSpacing(QFont::AbsoluteSpacing, letterSpacing);
    return result;
}

void paintBackdrop(QPainter& painter, const QRectF& area) {
    QLinearGradient diagonal(area.topLeft(), area.bottomRight());
    diagonal.setColorAt(0.0, kDeepBlue);
    diagonal.setColorAt(0.55, kMidBlue);
    diagonal.setColorAt(1.0, kTeal);
    painter.fillRect(area, diagonal);

    QRadialGradient light(QPointF(area.center().x(), area.top() + area.height() * 0.38),
                          area.width() * 0.6);
    light.setColorAt(0.0, QColor(255, 255, 255, 30));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.fillRect(area, light);

    QRadialGradient rim(area.center(), area.width() * 0.75);
    rim.setColorAt(0.6, QColor(0, 0, 0, 0));
    rim.setColorAt(1.0, QColor(0, 0, 0, 60));
    painter.fillRect(area, rim);
}

void paintAccentLine(QPainter& painter, qreal centreX, qreal y, qreal halfWidth) {
    QLinearGradient line(centreX - halfWidth, y, centreX + halfWidth, y);
    line.setColorAt(0.0, withAlpha(kAccent, 0));
    line.setColorAt(0.5, withAlpha(kAccent, 230));
    line.setColorAt(1.0, withAlpha(kAccent, 0));
    painter.fillRect(QRectF(centreX - halfWidth, y - 1, halfWidth * 2, 2), line);
}

void paintNetwork(QPainter& painter, const QRectF& area, qreal opacity) {
    // Node positions as fractions of the area, and the links between them.
    static const QPointF nodes[] = {{0.08, 0.30}, {0.30, 0.12}, {0.55, 0.38}, {0.80, 0.15},
                                    {0.95, 0.55}, {0.62, 0.85}, {0.28, 0.70}};
    static const int links[][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 2}, {2, 6}, {6, 0}};
    const auto at = [&](int i) {
        return QPointF(area.left() + nodes[i].x() * area.width(),
                       area.top() + nodes[i].y() * area.height());
    };
    const qreal radius = qMax<qreal>(4, area.height() * 0.045);
    painter.save();
    painter.setOpacity(opacity);
    painter.setRenderHint(QPainter::Antialiasing);
    for (const auto& link : links) {
        painter.setPen(QPen(withAlpha(kAccent, 50), radius * 0.9, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at(link[0]), at(link[1]));
        painter.setPen(QPen(withAlpha(kAccent, 190), qMax<qreal>(1, radius * 0.2)));
        painter.drawLine(at(link[0]), at(link[1]));
    }
    for (int i = 0; i < int(std::size(nodes)); ++i) {
        QRadialGradient glow(at(i), radius * 2.4);
        glow.setColorAt(0.0, withAlpha(kAccent, 110));
        glow.setColorAt(1.0, withAlpha(kAccent, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawEllipse(at(i), radius * 2.4, radius * 2.4);
        painter.setBrush(QColor(0x14, 0x4f, 0x7e));
        painter.setPen(QPen(QColor(255, 255, 255, 220), qMax<qreal>(1, radius * 0.22)));
        painter.drawEllipse(at(i), radius, radius);
    }
    painter.restore();
}

}  // namespace theme
