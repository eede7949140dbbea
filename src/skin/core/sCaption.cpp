// Captions drawn in the text colours of a skin section: contours, glow and text.

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <array>
#include <vector>

#include "platform/skin_message.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

namespace {

// The painter's text flags for a caption format.
int qtFlags(int format) {
    int flags = format & ~DT_NOCLIP;
    if (format & DT_NOCLIP) flags |= Qt::TextDontClip;
    return flags;
}

void drawText(QPainter& canvas, const QRect& area, int format, const QString& text, TColor colour,
              QPoint shift = QPoint()) {
    canvas.setPen(ToQColor(colour));
    canvas.drawText(area.translated(shift), qtFlags(format), text);
}

// The contour offsets: left, top, right, bottom.
constexpr std::array<QPoint, 4> kContourShift{QPoint(-1, 0), QPoint(0, -1), QPoint(1, 0),
                                              QPoint(0, 1)};

// Contours of the state that are set, each one pixel toward its side, then the text.
void drawInSectionColours(QPainter& canvas, const QString& text, const TsGenState& look, int format,
                          const QRect& area, int hue, int saturation) {
    canvas.save();
    canvas.setBackgroundMode(Qt::TransparentMode);
    for (size_t side = 0; side < 4; ++side) {
        const TColor contour = look.FontColor[side + 1];
        if (contour == clNone) continue;
        drawText(canvas, area, format, text, HueAndSaturation(contour, hue, saturation),
                 kContourShift[side]);
    }
    drawText(canvas, area, format | DT_NOCLIP, text,
             HueAndSaturation(look.FontColor[0], hue, saturation));
    canvas.restore();
}

// Disabled text: the section's normal text colour mixed with the form colour.
TColor disabledColour(const TsGeneralData& section, const TsSkinManager& manager) {
    return MixColours(ColorToRGB(section.Props[0].FontColor[0]), manager.FormColor(), 0.4);
}

// One box blur of `radius` along rows (step 1) or columns (step `width`), from `from` into
// `to`: each value the mean of those within the radius, cut at the ends. The window's sum is
// carried along the line, so a wide glow costs no more than a narrow one.
void boxBlur(const std::vector<int>& from, std::vector<int>& to, int width, int height, int radius,
             bool alongRows) {
    const int length = alongRows ? width : height;
    const int lines = alongRows ? height : width;
    const size_t step = alongRows ? 1 : size_t(width);
    for (int line = 0; line < lines; ++line) {
        const size_t start = alongRows ? size_t(line) * size_t(width) : size_t(line);
        const auto at = [&](int k) { return from[start + size_t(k) * step]; };
        int sum = 0;
        for (int k = 0; k <= std::min(length - 1, radius); ++k)
            sum += at(k);
        for (int i = 0; i < length; ++i) {
            const int first = std::max(0, i - radius);
            const int last = std::min(length - 1, i + radius);
            to[start + size_t(i) * step] = sum / (last - first + 1);
            // The window moves one on: the value leaving it out, the one entering in.
            if (i - radius >= 0) sum -= at(i - radius);
            if (i + radius + 1 < length) sum += at(i + radius + 1);
        }
    }
}

}  // namespace

void WriteSectionText(QPainter& canvas, const QString& text, bool enabled,
                      const TsSkinManager* manager, int state, int sectionIndex, int format,
                      const QRect& area) {
    if (!manager) manager = TsSkinManager::DefaultManager();
    if (!manager || !manager->IsValidSection(sectionIndex)) {
        canvas.drawText(area, qtFlags(format), text);
        return;
    }
    const TsGeneralData& section = manager->sections()[sectionIndex];
    if (!enabled) {
        canvas.save();
        drawText(canvas, area, format, text, disabledColour(section, *manager));
        canvas.restore();
        return;
    }
    drawInSectionColours(canvas, text, StateLook(section, state), format, area, 0, 0);
}

void WriteCaption(QPainter& canvas, const QString& text, bool enabled, bool hot,
                  const TsCommonData& data, int format, const QRect& area, Bitmap32* glowTarget) {
    canvas.save();
    if (data.SkinSection() == QLatin1String("WEBBUTTON") && hot) {
        QFont font = canvas.font();
        font.setUnderline(true);
        canvas.setFont(font);
    }
    const TsSkinManager* manager = data.SkinManager();
    if (!data.IsSkinned() || data.CustomFont || !manager) {
        if (enabled) {
            drawText(canvas, area, data.CustomFont ? format | DT_NOCLIP : format, text,
                     FromQColor(canvas.pen().color()));
        } else {
            drawText(canvas, area, format, text, clBtnHighlight, QPoint(1, 1));
            drawText(canvas, area, format, text, clBtnShadow);
        }
        canvas.restore();
        return;
    }
    const int hue = ControlHue(data);
    const int saturation = ControlSaturation(data);
    const TsGeneralData* section = &manager->sections()[data.SkinIndex];
    if (!enabled) {
        drawText(canvas, area, format, text,
                 HueAndSaturation(disabledColour(*section, *manager), hue, saturation));
        canvas.restore();
        return;
    }
    const int state = hot ? 1 : 0;
    // Check boxes, radio buttons and group boxes write in the colours of the parent that
    // shows through them, when that parent's section gives its own font colours.
    const int kind = data.kind();
    if (kind == 32 || kind == 33 || kind == 74) {
        const TsGeneralData* current = section;
        QWidget* control = data.ownerControl();
        while (control && StateLook(*current, state).Transparency > 0) {
            control = control->parentWidget();
            if (!control) break;
            int index = -1;
            TsSkinMessage::ask(control, TsSkinMessage::AC_GETSKININDEX, 0, quintptr(&index));
            if (!manager->IsValidSection(index)) break;
            const TsGeneralData& found = manager->sections()[index];
            if (found.GiveOwnFont) {
                section = &found;
                break;
            }
            if (StateLook(found, state).Transparency <= 50) break;
            current = &found;
        }
    }
    const TsGenState& look = StateLook(*section, state);
    if (look.GlowSize > 0 && glowTarget && !glowTarget->isNull()) {
        const QPoint origin = canvas.deviceTransform().map(QPoint(0, 0));
        PaintTextGlow(*glowTarget, canvas.font(), text, format, area.translated(origin),
                      HueAndSaturation(look.GlowColor, hue, saturation), look.GlowSize);
    }
    drawInSectionColours(canvas, text, look, format, area, hue, saturation);
    canvas.restore();
}

void PaintTextGlow(Bitmap32& target, const QFont& font, const QString& text, int format,
                   const QRect& area, TColor colour, int size) {
    if (size <= 0 || text.isEmpty() || target.isNull()) return;
    // The text's coverage, in a picture grown by the glow size on every side.
    const QRect grown = area.adjusted(-size, -size, size, size);
    QImage coverage(grown.size(), QImage::Format_Alpha8);
    coverage.fill(0);
    {
        QPainter painter(&coverage);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(QPoint(size, size), area.size()), qtFlags(format), text);
    }
    // Two box blurs of radius size / 2 (at least 1) soften it into a halo.
    const int radius = std::max(1, size / 2);
    const int w = coverage.width();
    const int h = coverage.height();
    std::vector<int> values(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            values[size_t(y) * w + x] = coverage.constScanLine(y)[x];
    std::vector<int> scratch(values.size());
    for (int pass = 0; pass < 2; ++pass) {
        boxBlur(values, scratch, w, h, radius, true);
        boxBlur(scratch, values, w, h, radius, false);
    }
    // The halo laid over the target, twice as strong as the blurred coverage.
    const quint32 c = FillPixel(colour);
    const QRect cut = grown & target.rect();
    for (int y = cut.top(); y <= cut.bottom(); ++y) {
        quint32* line = target.row(y);
        for (int x = cut.left(); x <= cut.right(); ++x) {
            const int a =
                std::min(255, 2 * values[size_t(y - grown.top()) * w + (x - grown.left())]);
            if (a == 0) continue;
            const quint32 d = line[x];
            quint32 result = d & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int dv = int((d >> shift) & 0xFF);
                const int cv = int((c >> shift) & 0xFF);
                result |= quint32(dv + ((cv - dv) * a + 127) / 255) << shift;
            }
            line[x] = result;
        }
    }
}
