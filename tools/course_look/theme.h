#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

// The course's look, shared by its splash and title pictures, presentations and videos:
// deep blue to teal, an accent of light cyan, DejaVu Sans.
namespace theme {

inline const QColor kDeepBlue{0x0a, 0x1c, 0x3d};
inline const QColor kMidBlue{0x0f, 0x45, 0x70};
inline const QColor kTeal{0x10, 0x86, 0x80};
inline const QColor kAccent{0x6c, 0xe5, 0xe8};
inline const QColor kSoftText{0xd4, 0xea, 0xf2};
inline const QColor kInk{0x1d, 0x27, 0x33};
inline const QColor kMuted{0x5b, 0x6b, 0x7b};

QColor withAlpha(QColor color, int alpha);
QFont font(qreal pixelSize, QFont::Weight weight = QFont::Normal, qreal letterSpacing = 0);

// The diagonal deep-blue-to-teal gradient with a soft light spot and a darkened rim.
void paintBackdrop(QPainter& painter, const QRectF& area);
// A thin horizontal line that fades out at both ends.
void paintAccentLine(QPainter& painter, qreal centreX, qreal y, qreal halfWidth);
// A faint network of glowing nodes and links, placed in a rectangle, as decoration.
void paintNetwork(QPainter& painter, const QRectF& area, qreal opacity);

}  // namespace theme
