#pragma once

// A small skin of flat colours for the pixel tests of the controls: every pixel a control
// paints from it follows from the painting rules by hand.
//
// The master bitmap holds borders of 6 by 6 pixels per frame with 2-pixel margins: a ring
// of the frame's colour whose four outermost corner pixels are the key colour (cut off by
// the window's shape, showing the parent). Borders draw no middle, so the middle shows the
// section's colour of the state.

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <array>

namespace flat {

// Colours as the screen shows them.
constexpr QRgb Parent = 0xFF0A141E;                                       // behind the controls
constexpr std::array<QRgb, 3> Frame{0xFFFA0A0A, 0xFF0AFA0A, 0xFF0A0AFA};  // ring per state
constexpr QRgb Normal = 0xFFC86432;                                       // BUTTON state 0
constexpr QRgb Hot = 0xFF32C864;                                          // BUTTON states 1 and 2
constexpr QRgb Text = 0xFF000080;                                         // BUTTON normal text
constexpr QRgb HotText = 0xFF800000;                                      // BUTTON hot text
constexpr QRgb One = 0xFF5A5A5A;          // ONESTATE, a section of one state
constexpr QRgb PanelTop = 0xFF646464;     // PANEL's vertical gradient, top row
constexpr QRgb PanelBottom = 0xFFC8C8C8;  // and the colour it runs to
constexpr QRgb Edit = 0xFFF0F0E6;         // EDIT normal
constexpr QRgb EditHot = 0xFFFFFFF0;      // EDIT while focused or hovered
constexpr QRgb EditText = 0xFF204060;
constexpr QRgb Selection = 0xFF3060A0;
constexpr QRgb SelectionText = 0xFFFFFF00;
constexpr int Margin = 2;
constexpr int FrameSize = 6;

// A colour of the skin text (blue, green, red from the highest byte down).
inline QString skinColour(QRgb rgb) {
    return QStringLiteral("0x%1").arg((qBlue(rgb) << 16) | (qGreen(rgb) << 8) | qRed(rgb), 6, 16,
                                      QLatin1Char('0'));
}

// Writes the skin FLAT into `folder`/FLAT, with `extra` sections of a test's own added to
// its text and `global` keys added to its GLOBALINFO (pictures they name go beside it,
// written by the test).
inline void writeSkin(const QString& folder, const QString& extra = QString(),
                      const QString& global = QString()) {
    const QString path = folder + QStringLiteral("/FLAT");
    QDir().mkpath(path);
    // Frames side by side: three of BUTTON's ring, then the one frame of ONESTATE, then two
    // of EDIT.
    QImage master(6 * FrameSize, FrameSize, QImage::Format_RGB32);
    const std::array<QRgb, 6> rings{Frame[0],   Frame[1],   Frame[2],
                                    0xFF909090, 0xFF405060, 0xFF6080A0};
    for (int f = 0; f < 6; ++f) {
        const int left = f * FrameSize;
        for (int y = 0; y < FrameSize; ++y)
            for (int x = 0; x < FrameSize; ++x) {
                const bool ring =
                    x < Margin || y < Margin || x >= FrameSize - Margin || y >= FrameSize - Margin;
                master.setPixel(left + x, y, ring ? rings[size_t(f)] : qRgb(255, 0, 255));
            }
        for (const auto& [x, y] :
             {std::pair{0, 0}, std::pair{FrameSize - 1, 0}, std::pair{0, FrameSize - 1},
              std::pair{FrameSize - 1, FrameSize - 1}})
            master.setPixel(left + x, y, qRgb(255, 0, 255));
    }
    master.save(path + QStringLiteral("/MASTER.BMP"), "BMP");

    const auto border = [](int left, int frames) {
        return QStringLiteral("^%1,0000,%2,%3,0002,0002,0002,0002,%4,0,0,0")
            .arg(left, 4, 10, QLatin1Char('0'))
            .arg(left + frames * FrameSize, 4, 10, QLatin1Char('0'))
            .arg(FrameSize, 4, 10, QLatin1Char('0'))
            .arg(frames);
    };
    QString text = QStringLiteral("[GLOBALINFO]\nVERSION=7.3\nMASTERBITMAP=MASTER.BMP\n");
    text += QStringLiteral("COLOR=%1\nFONTCOLOR=%2\n").arg(skinColour(Parent), skinColour(Text));
    text += global;
    text += QStringLiteral(
                "[BUTTON]\nSTATES=3\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%4\n"
                "SHOWFOCUS=1\nBORDERSMASK=%5\n")
                .arg(skinColour(Normal), skinColour(Hot), skinColour(Text), skinColour(HotText),
                     border(0, 3));
    text += QStringLiteral("[ONESTATE]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\nBORDERSMASK=%3\n")
                .arg(skinColour(One), skinColour(Text), border(3 * FrameSize, 1));
    text += QStringLiteral(
                "[CLEAR]\nSTATES=2\nTRANSPARENCY=100\nHOTTRANSPARENCY=100\n"
                "FONTCOLOR=%1\n")
                .arg(skinColour(Text));
    text += QStringLiteral(
                "[PANEL]\nSTATES=1\nCOLOR=%1\nFONTCOLOR=%2\nGRADIENTPERCENT=100\n"
                "GRADIENTDATA=%1;%3;100;0;0\n")
                .arg(skinColour(PanelTop), skinColour(Text), skinColour(PanelBottom));
    text += QStringLiteral(
                "[EDIT]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%2\nFONTCOLOR=%3\nHOTFONTCOLOR=%3\n"
                "BORDERSMASK=%4\n")
                .arg(skinColour(Edit), skinColour(EditHot), skinColour(EditText),
                     border(4 * FrameSize, 2));
    text += QStringLiteral(
                "[SELECTION]\nSTATES=2\nCOLOR=%1\nHOTCOLOR=%1\nFONTCOLOR=%2\nHOTFONTCOLOR=%2\n")
                .arg(skinColour(Selection), skinColour(SelectionText));
    text += extra;
    QFile file(path + QStringLiteral("/Options.dat"));
    file.open(QIODevice::WriteOnly);
    file.write(text.toUtf8());
}

}  // namespace flat
