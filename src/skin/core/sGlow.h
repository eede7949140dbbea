#pragma once

#include <QString>
#include <QWidget>

class TsSkinManager;

// The glow around a control under the mouse: a frameless, translucent top-level window that
// shows the section's GLOW0 image stretched around the control's screen rectangle, grown by
// the section's glow margin. Glows are kept in one list for the whole program.
class TsGlowWindow : public QWidget {
    Q_OBJECT

public:
    TsGlowWindow(const QImage& picture, const QRect& screenArea);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

// The picture of the glow of `section` around a control of `size`, grown by `margin` (bounded
// to TsSkinLimits::GlowMargin) on every side: the corners of the section's GLOW0 image as they
// are, its edges stretched, the middle left empty. A null picture when the section has no
// GLOW0 image, or the grown size is empty or beyond the largest picture.
QImage GlowPicture(const TsSkinManager& manager, const QString& section, QSize size, int margin);
// Shows the glow of `section` around `control`; answers its identifier, or -1 when the
// section has no GLOW0 image, there is no glow picture, or the control is not on the screen.
int ShowGlow(const TsSkinManager& manager, QWidget& control, const QString& section, int margin);
// Removes the glow and sets the identifier to -1.
void HideGlow(int& id);
// Removes every glow (before a new skin and when the skin is removed).
void ClearGlows();
// The glow window with that identifier, or none.
TsGlowWindow* GlowWindow(int id);
