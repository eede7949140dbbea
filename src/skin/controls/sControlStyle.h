#pragma once

#include <QProxyStyle>

class QWidget;

// The style a skinned control wears while the skin paints it: the application's own style,
// with the few answers changed that must agree with the skin's pictures (where the parts of
// a scroll bar or a combo box lie, what a selected row highlights). Without a skin the
// control goes back to the application's style, so it looks exactly like its platform
// control. Each control has its own instance, owned by the control.
class TsControlStyle : public QProxyStyle {
    Q_OBJECT

public:
    TsControlStyle();

    // Puts the style on `control`, or takes it off again (the application's style returns).
    // Answers whether anything changed.
    bool wear(QWidget* control, bool on);
};
