#include "skin/controls/sLabel.h"

TsLabel::TsLabel(QWidget* parent) : QLabel(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void TsLabel::setFontColor(const QColor& color) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, color);
    setPalette(palette);
}

void TsLabel::setCaption(const QString& caption) {
    setText(caption);
    if (AutoSize) adjustSize();
}
