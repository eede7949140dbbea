#include "skin/controls/sButtonFace.h"

#include <QPainter>
#include <algorithm>
#include <vector>

#include "skin/core/sSkinManager.h"

namespace {

// How far picture and caption keep from the side they are aligned to.
constexpr int kAlignedEdge = 4;

// The section's background alone, as PaintControlSection paints it under the border: the
// same pixels, hue and saturation included, so that the border can go over the face later.
void paintBackgroundOnly(const TsCommonData& data, const TCacheInfo& parent, int state,
                         Bitmap32& target) {
    const TsSkinManager* manager = data.SkinManager();
    const TsGeneralData& section = manager->sections()[data.SkinIndex];
    TsSectionPaint paint;
    paint.SectionIndex = data.SkinIndex;
    paint.SectionName = data.SkinSection();
    paint.Parent = parent;
    paint.CustomColor = data.CustomColor ? ColorToRGB(data.OwnerColour()) : clKey;
    paint.Texture = data.Texture;
    paint.HotTexture = data.HotTexture;
    paint.Manager = manager;
    paint.Area = target.rect();
    paint.State = LimitState(section, state);
    paint.DrawBorder = false;
    PaintSection(target, paint);
    bool bordered = false;
    if (manager->IsValidImage(data.BorderIndex)) {
        const TsMaskData& border = manager->images()[size_t(data.BorderIndex)];
        bordered = !(paint.State == 0 && (border.DrawMode & dmNoBorderInState0));
    }
    const int transparency =
        paint.CustomColor != clKey ? 0 : StateLook(section, paint.State).Transparency;
    if (transparency == 0 || bordered) {
        if (ControlHue(data) != 0) ChangeHue(target, ControlHue(data));
        if (ControlSaturation(data) != 0) ChangeSaturation(target, ControlSaturation(data));
    }
}

}  // namespace

TsGlyphPlacement BitmapButtonLayout(const QRect& client, QSize glyph, QSize text,
                                    TButtonLayout layout, int margin, int spacing,
                                    bool rightToLeft) {
    if (rightToLeft && layout == blGlyphLeft)
        layout = blGlyphRight;
    else if (rightToLeft && layout == blGlyphRight)
        layout = blGlyphLeft;
    const int cw = client.width(), ch = client.height();
    const int gw = std::max(0, glyph.width()), gh = std::max(0, glyph.height());
    const int tw = std::max(0, text.width()), th = std::max(0, text.height());
    const bool across = layout == blGlyphLeft || layout == blGlyphRight;
    QPoint g, t;
    if (across) {
        g.setY((ch - gh + 1) / 2);
        t.setY((ch - th + 1) / 2);
    } else {
        g.setX((cw - gw + 1) / 2);
        t.setX((cw - tw + 1) / 2);
    }
    if (tw == 0 || gw == 0) spacing = 0;
    const int room = across ? cw : ch;
    if (margin == -1) {
        if (spacing == -1) {
            margin = (room - (across ? gw + tw : gh + th)) / 3;
            spacing = margin;
        } else {
            margin = (room - (across ? gw + spacing + tw : gh + spacing + th) + 1) / 2;
        }
    } else if (spacing == -1) {
        spacing = (room - margin - (across ? gw + tw : gh + th)) / 2;
    }
    switch (layout) {
        case blGlyphLeft:
            g.setX(margin);
            t.setX(g.x() + gw + spacing);
            break;
        case blGlyphRight:
            g.setX(cw - margin - gw);
            t.setX(g.x() - spacing - tw);
            break;
        case blGlyphTop:
            g.setY(margin);
            t.setY(g.y() + gh + spacing);
            break;
        case blGlyphBottom:
            g.setY(ch - margin - gh);
            t.setY(g.y() - spacing - th);
            break;
    }
    return {QRect(client.topLeft() + g, QSize(gw, gh)), QRect(client.topLeft() + t, QSize(tw, th))};
}

void DrawGlyph(Bitmap32& target, QPoint at, const QImage& picture, int opacity, bool grey) {
    if (picture.isNull() || target.isNull() || opacity <= 0) return;
    const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
    const QRect area = QRect(at, source.size()) & target.rect();
    opacity = std::min(opacity, 255);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y - at.y()));
        quint32* line = target.row(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb src = from[x - at.x()];
            const int a = qAlpha(src) * opacity / 255;
            if (a == 0) continue;
            if (grey) {
                const int v = (qRed(src) * 77 + qGreen(src) * 150 + qBlue(src) * 29 + 128) >> 8;
                src = qRgba(v, v, v, qAlpha(src));
            }
            const quint32 dst = line[x];
            const auto mix = [a](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
            const int dstAlpha = int(dst >> 24);
            const int alpha = dstAlpha + a * (255 - dstAlpha) / 255;
            line[x] = quint32(alpha) << 24 |
                      quint32(mix(qRed(src), int((dst >> 16) & 0xFF))) << 16 |
                      quint32(mix(qGreen(src), int((dst >> 8) & 0xFF))) << 8 |
                      quint32(mix(qBlue(src), int(dst & 0xFF)));
        }
    }
}

void DrawReflection(QPainter& canvas, QPoint at, const QImage& picture) {
    QImage mirror = picture.mirrored(false, true).convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < mirror.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(mirror.scanLine(y));
        const int fade = 96 * (mirror.height() - y) / std::max(1, mirror.height());
        for (int x = 0; x < mirror.width(); ++x)
            line[x] =
                qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), qAlpha(line[x]) * fade / 255);
    }
    canvas.drawImage(at, mirror);
}

QImage GlyphWithTransparency(const QImage& picture) {
    if (picture.isNull()) return QImage();
    if (picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_ARGB32);
    QImage glyph = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = glyph.pixel(0, glyph.height() - 1);
    for (int y = 0; y < glyph.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(glyph.scanLine(y));
        std::replace(line, line + glyph.width(), key, QRgb(0));
    }
    return glyph;
}

QSize TsButtonFace::pictureSize(const TsImageList* images, int imageIndex) const {
    if (images && images->isValidIndex(imageIndex)) return images->size();
    if (Glyph.isNull()) return QSize();
    const int frames = std::clamp(NumGlyphs, 1, 4);
    return QSize(Glyph.width() / frames, Glyph.height());
}

QImage TsButtonFace::picture(const TsImageList* images, int imageIndex, bool enabled, int state,
                             bool down, bool* ownDisabled) const {
    if (ownDisabled) *ownDisabled = false;
    if (images && images->isValidIndex(imageIndex)) return images->image(imageIndex);
    const QSize size = pictureSize(nullptr, -1);
    if (size.isEmpty()) return QImage();
    // A frame the strip does not have falls back to the picture of the button at rest.
    const int frames = std::clamp(NumGlyphs, 1, 4);
    int frame = 0;
    if (!enabled) {
        if (frames > 1) frame = 1;
        if (ownDisabled) *ownDisabled = frame == 1;
    } else if (down && frames > 3) {
        frame = 3;
    } else if (state == 2 && frames > 2) {
        frame = 2;
    }
    return Glyph.copy(frame * size.width(), 0, size.width(), size.height());
}

QRect PaintButtonFace(Bitmap32& cache, const TCacheInfo& parent, const TsFacePaint& paint) {
    const TsCommonData& data = *paint.Data;
    const TsButtonFace& face = *paint.Face;
    const TsSkinManager* manager = data.SkinManager();
    const bool skinned = manager && manager->IsValidSection(data.SkinIndex);

    // The section: nothing of it on a flat button at rest; with the border over the face,
    // its background now and the complete look kept for the border's pixels.
    Bitmap32 look;
    std::vector<bool> border;
    if (!skinned || (paint.Flat && paint.State == 0)) {
        CopyParentBackground(cache, cache.rect(), parent);
    } else if (face.DrawOverBorder) {
        look = cache;
        PaintControlSection(data, parent, paint.SkinState, look, QPoint(0, 0), look.rect());
        paintBackgroundOnly(data, parent, paint.SkinState, cache);
        border.resize(size_t(cache.width()) * size_t(cache.height()));
        bool any = false;
        for (int y = 0; y < cache.height(); ++y)
            for (int x = 0; x < cache.width(); ++x) {
                const bool differs = look.pixel(x, y) != cache.pixel(x, y);
                border[size_t(y) * size_t(cache.width()) + size_t(x)] = differs;
                any = any || differs;
            }
        if (!any) look = Bitmap32();
    } else {
        PaintControlSection(data, parent, paint.SkinState, cache, QPoint(0, 0), cache.rect());
    }

    bool ownDisabled = false;
    const QImage picture = face.picture(paint.Images, paint.ImageIndex, paint.Enabled, paint.State,
                                        paint.Down, &ownDisabled);
    const QRect client = paint.Client.isEmpty() ? cache.rect() : paint.Client;
    const QString caption = face.ShowCaption ? paint.Caption : QString();
    int flags = int(face.TextAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter |
                (paint.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    if (paint.RightToLeft) flags |= Qt::TextForceRightToLeft;

    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(paint.Font);
    QSize textSize;
    if (!caption.isEmpty()) {
        int room = client.width();
        if (!picture.isNull() && (face.Layout == blGlyphLeft || face.Layout == blGlyphRight))
            room -= picture.width() + std::max(0, face.Spacing);
        const QRect measured = canvas.fontMetrics().boundingRect(
            QRect(0, 0, std::max(1, room), 0x7FFF),
            (flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop, caption);
        textSize = measured.size();
    }
    TsGlyphPlacement place =
        BitmapButtonLayout(client, picture.isNull() ? QSize() : picture.size(), textSize,
                           face.Layout, face.Margin, face.Spacing, paint.RightToLeft);
    if (face.Margin == -1 && !(face.Alignment & Qt::AlignHCenter)) {
        QRect block = place.Glyph.isEmpty() ? place.Text : place.Glyph;
        if (!place.Text.isEmpty()) block |= place.Text;
        int shift = 0;
        if (face.Alignment & Qt::AlignLeft) shift = client.left() + kAlignedEdge - block.left();
        if (face.Alignment & Qt::AlignRight) shift = client.right() - kAlignedEdge - block.right();
        place.Glyph.translate(shift, 0);
        place.Text.translate(shift, 0);
    }
    place.Text.translate(face.TextOffset, 0);
    if (paint.State == 2) {
        place.Glyph.translate(1, 1);
        place.Text.translate(1, 1);
    }

    // A button whose disabled look covers it writes its caption as an enabled one, under
    // that look; without one the caption itself shows it is disabled.
    const bool textEnabled = paint.Enabled || paint.DisabledKind != 0;
    if (!caption.isEmpty())
        WriteCaption(canvas, caption, textEnabled, paint.State > 0, data, flags, place.Text,
                     &cache);
    canvas.end();

    if (!paint.Enabled) {
        ApplyDisabledLook(cache, parent, paint.DisabledKind);
        if (!look.isNull()) ApplyDisabledLook(look, parent, paint.DisabledKind);
    }

    // The picture has looks of its own: disabled (unless the strip has a disabled frame),
    // and grey or faded while the button is at rest.
    if (!picture.isNull()) {
        int opacity = 255;
        bool grey = false;
        if (!paint.Enabled) {
            if (!ownDisabled) {
                grey = face.DisabledGlyphKind & dgGrayed;
                if (face.DisabledGlyphKind & dgBlended) opacity = 128;
            }
        } else if (paint.State == 0) {
            grey = face.Grayed;
            opacity = 255 * (100 - std::clamp(face.Blend, 0, 100)) / 100;
        }
        DrawGlyph(cache, place.Glyph.topLeft(), picture, opacity, grey);
        if (paint.Reflected && paint.Images && paint.Images->isValidIndex(paint.ImageIndex) &&
            paint.Images->hasAlpha()) {
            QImage reflected = cache.image();
            QPainter mirror(&reflected);
            DrawReflection(mirror, place.Glyph.bottomLeft() + QPoint(0, 1), picture);
        }
    }

    if (!look.isNull()) {
        for (int y = 0; y < cache.height(); ++y) {
            quint32* line = cache.row(y);
            const quint32* from = look.row(y);
            for (int x = 0; x < cache.width(); ++x)
                if (border[size_t(y) * size_t(cache.width()) + size_t(x)]) line[x] = from[x];
        }
    }

    if (paint.Focus && paint.Enabled && skinned && !caption.isEmpty()) {
        const TsGeneralData& section = manager->sections()[data.SkinIndex];
        if (section.ShowFocus) {
            const TColor colour = StateLook(section, paint.SkinState > 0 ? 1 : 0).FontColor[0];
            const int m = paint.FocusMargin;
            DrawFocusRect(cache, place.Text.adjusted(-m, -m, m, m),
                          HueAndSaturation(colour, ControlHue(data), ControlSaturation(data)));
        }
    }
    return place.Text;
}
