#include "skin/controls/sControlStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QWidget>

// A fresh instance of the application's style, so that everything the skin does not answer
// looks as it does on every other control.
TsControlStyle::TsControlStyle()
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

bool TsControlStyle::wear(QWidget* control, bool on) {
    if (!control || (control->style() == this) == on) return false;
    control->setStyle(on ? this : nullptr);
    return true;
}
