#pragma once

#include <QColor>
#include <QtGlobal>

class Bitmap32;

// Colours as skins write them: red in the lowest byte, green in the second, blue in the
// third. A value with the top bit set names a system colour by its low byte.
using TColor = qint32;

constexpr TColor clNone = -1;
constexpr TColor clKey = 0xFF00FF;  // the transparent key colour
constexpr TColor clWhite = 0xFFFFFF;

// System colours, by the index in their low byte.
constexpr TColor clScrollBar = TColor(0x80000000u);
constexpr TColor clActiveCaption = TColor(0x80000002u);
constexpr TColor clMenu = TColor(0x80000004u);
constexpr TColor clWindow = TColor(0x80000005u);
constexpr TColor clMenuText = TColor(0x80000007u);
constexpr TColor clWindowText = TColor(0x80000008u);
constexpr TColor clHighlight = TColor(0x8000000Du);
constexpr TColor clHighlightText = TColor(0x8000000Eu);
constexpr TColor clBtnFace = TColor(0x8000000Fu);
constexpr TColor clBtnShadow = TColor(0x80000010u);
constexpr TColor clGrayText = TColor(0x80000011u);
constexpr TColor clBtnText = TColor(0x80000012u);
constexpr TColor clBtnHighlight = TColor(0x80000014u);

// A system colour turned into its current value from the application's palette; any other
// colour is returned as it is.
TColor ColorToRGB(TColor color);

// A colour as Qt takes it (system colours resolved), and a Qt colour in the skin's layout.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// Hue rotation by `degrees` and saturation change by `amount` percent, of one colour (its
// top byte kept) or of every pixel of a bitmap (alpha kept). Grey colours and the key colour
// are left alone.
TColor ChangeHue(TColor color, int degrees);
void ChangeHue(Bitmap32& bitmap, int degrees);
TColor ChangeSaturation(TColor color, int amount);
void ChangeSaturation(Bitmap32& bitmap, int amount);
// A colour (system colours resolved) with a control's own hue offset and saturation applied.
TColor HueAndSaturation(TColor color, int hue, int saturation);
