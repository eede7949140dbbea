#include "slides.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

#include "files.h"
#include "theme.h"

using namespace theme;

namespace {

// Slides are drawn on a 1280 by 720 canvas, scaled to the page.
constexpr qreal kWidth = 1280;
constexpr qreal kHeight = 720;
constexpr qreal kBandHeight = 132;
constexpr qreal kBodyTop = 178;
constexpr qreal kBodyBottom = 640;
constexpr qreal kBodyLeft = 92;
constexpr qreal kBodyRight = 1188;

QString clean(const QString& text) {
    return text.simplified();
}

qreal wrappedHeight(const QFont& font, qreal width, const QString& text) {
    return QFontMetricsF(font)
        .boundingRect(QRectF(0, 0, width, 1e6), Qt::TextWordWrap, text)
        .height();
}

// The largest type, from `largest` down to `smallest`, at which the text fits the box.
qreal fittingSize(qreal largest, qreal smallest, QFont::Weight weight, const QSizeF& box,
                  const QString& text) {
    qreal size = largest;
    while (size > smallest && wrappedHeight(font(size, weight), box.width(), text) > box.height())
        size -= 2;
    return size;
}

// Soft gradients and glows go into the PDF as a picture: drawn as vectors, their
// translucency reaches some viewers as solid black. Text stays vector on top.
template <typename Paint>
void drawPicture(QPainter& painter, const QRectF& area, Paint&& paint) {
    constexpr qreal scale = 1.5;
    QImage picture((area.size() * scale).toSize(), QImage::Format_RGB32);
    picture.fill(kDeepBlue);
    QPainter canvas(&picture);
    canvas.setRenderHint(QPainter::Antialiasing);
    canvas.scale(scale, scale);
    paint(canvas, QRectF(QPointF(0, 0), area.size()));
    canvas.end();
    painter.drawImage(area, picture);
}

void drawShadowedText(QPainter& painter, const QRectF& box, int flags, const QString& text,
                      const QColor& color) {
    painter.setPen(QColor(0, 0, 0, 70));
    painter.drawText(box.translated(0, 2), flags, text);
    painter.setPen(color);
    painter.drawText(box, flags, text);
}

void drawNumber(QPainter& painter, int number, int count, const QColor& color) {
    painter.setFont(font(16));
    painter.setPen(color);
    painter.drawText(QRectF(kWidth - 272, kHeight - 52, 200, 30), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1 / %2").arg(number).arg(count));
}

void drawTitleSlide(QPainter& painter, const SlideDeck::Slide& slide) {
    drawPicture(painter, QRectF(0, 0, kWidth, kHeight), [](QPainter& canvas, const QRectF& area) {
        paintBackdrop(canvas, area);
        paintNetwork(canvas, QRectF(760, 36, 480, 190), 0.35);
        paintNetwork(canvas, QRectF(40, 520, 420, 160), 0.22);
    });

    // The label, title, accent line and subtitles form one block, centred on the slide.
    const QFont subtitleFont = font(26);
    qreal subtitlesHeight = 0;
    for (const SlideDeck::Item& item : slide.items)
        subtitlesHeight += wrappedHeight(subtitleFont, 1000, item.text) + 8;
    const QSizeF titleBox(1040, 190);
    // One line when the title fits it in large type; two or three lines otherwise.
    qreal titleSize = 64;
    while (titleSize > 48 &&
           QFontMetricsF(font(titleSize, QFont::Bold)).horizontalAdvance(slide.title) >
               titleBox.width())
        titleSize -= 2;
    if (QFontMetricsF(font(titleSize, QFont::Bold)).horizontalAdvance(slide.title) >
        titleBox.width())
        titleSize = fittingSize(56, 36, QFont::Bold, titleBox, slide.title);
    const QFont titleFont = font(titleSize, QFont::Bold);
    const qreal titleHeight = wrappedHeight(titleFont, titleBox.width(), slide.title);
    const qreal blockHeight = 30 + 24 + titleHeight + 56 + subtitlesHeight;
    qreal y = qMax<qreal>(60, (kHeight - blockHeight) / 2);

    painter.setFont(font(16, QFont::Bold, 4));
    painter.setPen(withAlpha(kAccent, 220));
    painter.drawText(QRectF(0, y, kWidth, 30), Qt::AlignCenter,
                     QStringLiteral("ЭЛЕКТРОННЫЙ УЧЕБНИК · ПРЕЗЕНТАЦИЯ"));
    y += 30 + 24;
    painter.setFont(titleFont);
    drawShadowedText(painter, QRectF(120, y, titleBox.width(), titleHeight),
                     Qt::AlignHCenter | Qt::TextWordWrap, slide.title, Qt::white);
    y += titleHeight + 28;
    paintAccentLine(painter, kWidth / 2, y, 220);
    y += 28;
    for (const SlideDeck::Item& item : slide.items) {
        const qreal height = wrappedHeight(subtitleFont, 1000, item.text);
        painter.setFont(subtitleFont);
        painter.setPen(kSoftText);
        painter.drawText(QRectF(140, y, 1000, height), Qt::AlignHCenter | Qt::TextWordWrap,
                         item.text);
        y += height + 8;
    }
}

void drawSectionSlide(QPainter& painter, const SlideDeck::Slide& slide, int number, int count) {
    drawPicture(painter, QRectF(0, 0, kWidth, kHeight), [](QPainter& canvas, const QRectF& area) {
        paintBackdrop(canvas, area);
        paintNetwork(canvas, QRectF(820, 470, 420, 200), 0.25);
    });
    const QSizeF box(1000, 300);
    const QFont titleFont = font(fittingSize(56, 32, QFont::Bold, box, slide.title), QFont::Bold);
    painter.setFont(titleFont);
    const qreal height = wrappedHeight(titleFont, box.width(), slide.title);
    drawShadowedText(painter, QRectF(140, (kHeight - height) / 2 - 20, box.width(), height),
                     Qt::AlignHCenter | Qt::TextWordWrap, slide.title, Qt::white);
    paintAccentLine(painter, kWidth / 2, (kHeight + height) / 2, 200);
    drawNumber(painter, number, count, kSoftText);
}

struct Layout {
    qreal indent;  // of the text from the body's left edge
    qreal marker;  // radius of the bullet; 0 for none
    qreal scale;   // of the type, relative to the slide's point size
    QFont::Weight weight;
};

Layout layoutOf(SlideDeck::Item::Kind kind) {
    switch (kind) {
        case SlideDeck::Item::Point:
            return {34, 7, 1.0, QFont::Normal};
        case SlideDeck::Item::SubPoint:
            return {74, 5, 0.86, QFont::Normal};
        case SlideDeck::Item::Paragraph:
            break;
    }
    return {0, 0, 0.93, QFont::Normal};
}

qreal bodyHeight(const QList<SlideDeck::Item>& items, qreal size) {
    qreal height = 0;
    for (const SlideDeck::Item& item : items) {
        const Layout layout = layoutOf(item.kind);
        const QFont type = font(size * layout.scale, layout.weight);
        if (height > 0) height += size * 0.6;
        height += wrappedHeight(type, kBodyRight - kBodyLeft - layout.indent, item.text);
    }
    return height;
}

void drawPointsSlide(QPainter& painter, const SlideDeck& deck, int index) {
    const SlideDeck::Slide& slide = deck.slides[index];
    QLinearGradient paper(0, 0, 0, kHeight);
    paper.setColorAt(0, QColor(0xfb, 0xfd, 0xfe));
    paper.setColorAt(1, QColor(0xec, 0xf3, 0xf7));
    painter.fillRect(QRectF(0, 0, kWidth, kHeight), paper);

    drawPicture(painter, QRectF(0, 0, kWidth, kBandHeight),
                [](QPainter& canvas, const QRectF& area) {
                    QLinearGradient band(area.topLeft(), area.topRight());
                    band.setColorAt(0, kDeepBlue);
                    band.setColorAt(0.6, kMidBlue);
                    band.setColorAt(1, kTeal);
                    canvas.fillRect(area, band);
                    paintNetwork(canvas, QRectF(1010, 10, 250, kBandHeight - 20), 0.3);
                });
    painter.fillRect(QRectF(0, kBandHeight, kWidth, 4), kAccent);

    const QSizeF titleBox(900, kBandHeight - 28);
    const QFont titleFont =
        font(fittingSize(40, 24, QFont::Bold, titleBox, slide.title), QFont::Bold);
    painter.setFont(titleFont);
    const qreal titleHeight = wrappedHeight(titleFont, titleBox.width(), slide.title);
    drawShadowedText(painter,
                     QRectF(72, (kBandHeight - titleHeight) / 2, titleBox.width(), titleHeight),
                     Qt::AlignLeft | Qt::TextWordWrap, slide.title, Qt::white);

    // The largest type that fits the body; the points stand near the top, a short list a
    // little lower so that it does not cling to the band.
    const qreal room = kBodyBottom - kBodyTop;
    qreal size = 34;
    while (size > 18 && bodyHeight(slide.items, size) > room)
        size -= 1;
    const qreal height = bodyHeight(slide.items, size);
    if (height > room)
        fail(QStringLiteral("%1, line %2: the slide \"%3\" holds more text than fits")
                 .arg(deck.path)
                 .arg(slide.line)
                 .arg(slide.title));
    qreal y = kBodyTop + qMin<qreal>(40, (room - height) / 4);
    for (const SlideDeck::Item& item : slide.items) {
        const Layout layout = layoutOf(item.kind);
        const QFont type = font(size * layout.scale, layout.weight);
        const qreal width = kBodyRight - kBodyLeft - layout.indent;
        const qreal itemHeight = wrappedHeight(type, width, item.text);
        if (layout.marker > 0) {
            const QPointF centre(kBodyLeft + layout.indent - 22,
                                 y + QFontMetricsF(type).height() / 2);
            painter.setPen(item.kind == SlideDeck::Item::Point ? Qt::NoPen : QPen(kTeal, 2));
            painter.setBrush(item.kind == SlideDeck::Item::Point ? QBrush(kTeal) : Qt::NoBrush);
            painter.drawEllipse(centre, layout.marker, layout.marker);
        }
        painter.setFont(type);
        painter.setPen(item.kind == SlideDeck::Item::Point ? kInk : kMuted);
        painter.drawText(QRectF(kBodyLeft + layout.indent, y, width, itemHeight),
                         Qt::AlignLeft | Qt::TextWordWrap, item.text);
        y += itemHeight + size * 0.6;
    }

    painter.fillRect(QRectF(72, kHeight - 62, kWidth - 144, 1), QColor(0xc9, 0xd6, 0xe2));
    painter.setFont(font(16));
    painter.setPen(kMuted);
    painter.drawText(QRectF(72, kHeight - 52, 900, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     deck.slides.first().title);
    drawNumber(painter, index + 1, int(deck.slides.size()), kMuted);
}

}  // namespace

SlideDeck parseSlides(const QString& text, const QString& path) {
    SlideDeck deck{path, {}};
    const QStringList lines = textLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) continue;
        const auto error = [&](const QString& what) {
            fail(QStringLiteral("%1, line %2: %3").arg(path).arg(i + 1).arg(what));
        };
        if (line.startsWith(u'#')) {
            const QString title = clean(line.mid(1));
            if (title.isEmpty()) error(QStringLiteral("a slide without a title"));
            deck.slides.append({i + 1, title, {}});
            continue;
        }
        if (deck.slides.isEmpty())
            error(QStringLiteral("text before the first slide; a slide starts with \"# Title\""));
        SlideDeck::Item item{SlideDeck::Item::Paragraph, clean(trimmed)};
        if (trimmed.startsWith(QLatin1String("- ")) || trimmed == QLatin1String("-")) {
            item.text = clean(trimmed.mid(1));
            item.kind = line[0].isSpace() ? SlideDeck::Item::SubPoint : SlideDeck::Item::Point;
            if (item.text.isEmpty()) error(QStringLiteral("an empty point"));
        }
        if (deck.slides.size() == 1) item.kind = SlideDeck::Item::Paragraph;  // subtitles
        deck.slides.last().items.append(item);
    }
    if (deck.slides.isEmpty())
        fail(QStringLiteral("%1: no slides; a slide starts with \"# Title\"").arg(path));
    return deck;
}

void writeSlideDeck(const SlideDeck& deck, const QString& pdfPath) {
    QPdfWriter pdf(pdfPath);
    // 13.33 by 7.5 inches, the usual wide-screen slide.
    pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(190.5, 338.667), QPageSize::Millimeter),
                                  QPageLayout::Landscape, QMarginsF()));
    pdf.setResolution(96);
    pdf.setTitle(deck.slides.first().title);
    pdf.setCreator(QStringLiteral("Kesta"));
    QPainter painter;
    if (!painter.begin(&pdf)) fail(QStringLiteral("cannot write %1").arg(pdfPath));
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.scale(pdf.width() / kWidth, pdf.height() / kHeight);
    const int count = int(deck.slides.size());
    try {
        for (int i = 0; i < count; ++i) {
            if (i > 0) pdf.newPage();
            const SlideDeck::Slide& slide = deck.slides[i];
            if (i == 0)
                drawTitleSlide(painter, slide);
            else if (slide.items.isEmpty())
                drawSectionSlide(painter, slide, i + 1, count);
            else
                drawPointsSlide(painter, deck, i);
        }
    } catch (...) {
        painter.end();
        throw;
    }
    painter.end();
}
