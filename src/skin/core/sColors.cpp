#include "skin/core/sColors.h"

#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "imaging/bitmap32.h"

namespace {

// The palette role that means what the system colour of that index means.
QColor systemColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
        case 0:  // scroll bar
            return palette.color(QPalette::Mid);
        case 1:   // desktop
        case 12:  // application workspace
            return palette.color(QPalette::Dark);
        case 2:   // active caption
        case 27:  // gradient of the active caption
            return palette.color(QPalette::Active, QPalette::Highlight);
        case 3:   // inactive caption
        case 28:  // gradient of the inactive caption
            return palette.color(QPalette::Inactive, QPalette::Highlight);
        case 4:   // menu
        case 30:  // menu bar
            return palette.color(QPalette::Window);
        case 5:  // window
            return palette.color(QPalette::Base);
        case 6:  // window frame
            return palette.color(QPalette::Shadow);
        case 7:  // menu text
            return palette.color(QPalette::WindowText);
        case 8:  // window text
            return palette.color(QPalette::Text);
        case 9:  // caption text
            return palette.color(QPalette::Active, QPalette::HighlightedText);
        case 10:  // active border
        case 11:  // inactive border
        case 15:  // button face
            return palette.color(QPalette::Button);
        case 13:  // highlight
        case 29:  // menu highlight
            return palette.color(QPalette::Highlight);
        case 14:  // highlighted text
            return palette.color(QPalette::HighlightedText);
        case 16:  // button shadow
            return palette.color(QPalette::Dark);
        case 17:  // grey text
            return palette.color(QPalette::Disabled, QPalette::Text);
        case 18:  // button text
            return palette.color(QPalette::ButtonText);
        case 19:  // inactive caption text
            return palette.color(QPalette::Inactive, QPalette::HighlightedText);
        case 20:  // button highlight
            return palette.color(QPalette::Light);
        case 21:  // dark 3D shadow
            return palette.color(QPalette::Shadow);
        case 22:  // 3D light
            return palette.color(QPalette::Midlight);
        case 23:  // tool tip text
            return palette.color(QPalette::ToolTipText);
        case 24:  // tool tip background
            return palette.color(QPalette::ToolTipBase);
        case 26:  // hot-tracked item
            return palette.color(QPalette::Link);
        default:  // the system answers black for an index it does not know
            return QColor(0, 0, 0);
    }
}

struct Rgb {
    int r, g, b;
};

// Rounding to nearest with ties to even, the rounding of all pixel arithmetic.
int roundEven(double value) {
    return int(std::nearbyint(value));
}

int clampByte(double value) {
    return std::clamp(roundEven(value), 0, 255);
}

bool hueRotate(Rgb& c, int degrees) {
    const int v = std::max({c.r, c.g, c.b});
    const int low = std::min({c.r, c.g, c.b});
    if (v == low) return false;  // grey (black included)
    const double delta = v - low;
    const double s = delta / v;
    double hue;
    if (c.r == v)
        hue = 60.0 * (c.g - c.b) / delta;
    else if (c.g == v)
        hue = 120.0 + 60.0 * (c.b - c.r) / delta;
    else
        hue = 240.0 + 60.0 * (c.r - c.g) / delta;
    if (hue < 0) hue += 360.0;
    // A hue turned backwards is still a hue of the circle: the remainder is taken
    // mathematically, never negative. Whole double turns are dropped first, so that no amount
    // overflows; 720 is even, so halves still round to the same even number.
    int turned = roundEven(hue + degrees % 720) % 360;
    if (turned < 0) turned += 360;
    const double h = turned / 60.0;
    const int sector = int(h);
    const double f = h - sector;
    const int p = clampByte(v * (1 - s));
    const int q = clampByte(v * (1 - f * s));
    const int t = clampByte(v * (1 - (1 - f) * s));
    switch (sector) {
        case 0:
            c = {v, t, p};
            break;
        case 1:
            c = {q, v, p};
            break;
        case 2:
            c = {p, v, t};
            break;
        case 3:
            c = {p, q, v};
            break;
        case 4:
            c = {t, p, v};
            break;
        default:
            c = {v, p, q};
            break;
    }
    return true;
}

bool saturate(Rgb& c, int amount) {
    if (c.r == c.g && c.g == c.b) return false;
    const double m = (c.r + c.g + c.b) / 3.0;
    c.r = clampByte(c.r - (m - c.r) * amount / 100.0);
    c.g = clampByte(c.g - (m - c.g) * amount / 100.0);
    c.b = clampByte(c.b - (m - c.b) * amount / 100.0);
    return true;
}

template <class Change>
TColor changeColor(TColor color, Change change) {
    const quint32 value = quint32(color);
    if ((value & 0xFFFFFF) == quint32(clKey)) return color;
    Rgb c{int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF)};
    if (!change(c)) return color;
    return TColor((value & 0xFF000000u) | quint32(c.r) | (quint32(c.g) << 8) |
                  (quint32(c.b) << 16));
}

template <class Change>
void changeBitmap(Bitmap32& bitmap, Change change) {
    for (int y = 0; y < bitmap.height(); ++y) {
        quint32* pixel = bitmap.row(y);
        for (int x = 0; x < bitmap.width(); ++x) {
            const quint32 value = pixel[x];
            if (value == kKeyPixel) continue;
            Rgb c{int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF)};
            if (!change(c)) continue;
            pixel[x] =
                (value & 0xFF000000u) | (quint32(c.r) << 16) | (quint32(c.g) << 8) | quint32(c.b);
        }
    }
}

}  // namespace

TColor ColorToRGB(TColor color) {
    if (color >= 0) return color;
    const QColor system = systemColor(color & 0xFF);
    return TColor(system.red() | (system.green() << 8) | (system.blue() << 16));
}

QColor ToQColor(TColor color) {
    const quint32 c = quint32(ColorToRGB(color));
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

TColor FromQColor(const QColor& color) {
    return TColor(color.red() | color.green() << 8 | color.blue() << 16);
}

TColor ChangeHue(TColor color, int degrees) {
    return changeColor(color, [degrees](Rgb& c) { return hueRotate(c, degrees); });
}

void ChangeHue(Bitmap32& bitmap, int degrees) {
    changeBitmap(bitmap, [degrees](Rgb& c) { return hueRotate(c, degrees); });
}

TColor ChangeSaturation(TColor color, int amount) {
    return changeColor(color, [amount](Rgb& c) { return saturate(c, amount); });
}

void ChangeSaturation(Bitmap32& bitmap, int amount) {
    changeBitmap(bitmap, [amount](Rgb& c) { return saturate(c, amount); });
}

TColor HueAndSaturation(TColor color, int hue, int saturation) {
    TColor result = ColorToRGB(color);
    if (hue != 0) result = ChangeHue(result, hue);
    if (saturation != 0) result = ChangeSaturation(result, saturation);
    return result;
}
