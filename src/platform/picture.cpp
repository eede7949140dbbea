#include "platform/picture.h"

#include <QMouseEvent>

TImage::TImage(QWidget* parent) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setScaledContents(false);
}

void TImage::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) Q_EMIT clicked();
}
