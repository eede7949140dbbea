#include "platform/form.h"

#include <QCloseEvent>
#include <QLayout>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/application.h"

QFont pixelFont(const QString& family, int pixels) {
    QFont font(family);
    font.setPixelSize(pixels);
    return font;
}

void setBackgroundColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setBlackOnWhite(QWidget* box) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    box->setPalette(palette);
}

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {}

// The designed sizes are those of the whole window. The desktop's frame lies outside the
// widget and is counted as designed; a frame drawn inside the window is the widget's own.
void TForm::setFormHeight(int height) {
    resize(width(), hasInnerFrame() ? height : height - frameHeight());
}

int TForm::formHeight() const {
    return hasInnerFrame() ? height() : height() + frameHeight();
}

void TForm::setFormSize(int width, int height) {
    resize(hasInnerFrame() ? QSize(width, height)
                           : QSize(width - frameWidth(), height - frameHeight()));
}

void TForm::setInnerFrame(const QMargins& frame) {
    if (frame == innerFrame_) return;
    // The window keeps its whole size: a frame of its own takes the place of the desktop's.
    const QSize desktopFrame(frameWidth(), frameHeight());
    const QSize whole = hasInnerFrame() ? size() : size() + desktopFrame;
    const QPoint shift(frame.left() - innerFrame_.left(), frame.top() - innerFrame_.top());
    // Children placed by hand move with the client area; a layout's follow the margins.
    moveHandPlacedChildren(this, shift);
    innerFrame_ = frame;
    setContentsMargins(frame);
    resize(hasInnerFrame() ? whole : whole - desktopFrame);
}

void TForm::setDesktopFrame(bool shown) {
    setWindowFlag(Qt::FramelessWindowHint, !shown);
}

bool TForm::isMainForm() const {
    return Application && Application->mainForm() == this;
}

static QScreen* screenOf(const QWidget* widget) {
    QScreen* screen = widget->screen();
    return screen ? screen : QGuiApplication::primaryScreen();
}

void TForm::centreOnScreen() {
    const QRect area = screenOf(this)->availableGeometry();
    const QRect frame = frameGeometry();
    move(area.center() - QPoint(frame.width() / 2, frame.height() / 2) + (pos() - frame.topLeft()));
}

void TForm::fillWorkArea() {
    const QRect area = screenOf(this)->availableGeometry();
    // The window manager's frame, if any, must fit inside the work area too.
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    setGeometry(area.marginsRemoved(margins));
}

QMenuBar* TForm::createMainMenu() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* menu = new QMenuBar(this);
    menu->setObjectName(QStringLiteral("MainMenu1"));
    layout->setMenuBar(menu);
    return menu;
}

QAction* TForm::addMenuItem(QWidget* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous()) return;
    if (centredOnShow_) centreOnScreen();
    // A window the program shows comes to the front with the keyboard, as users expect.
    raise();
    activateWindow();
}

void TForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isMainForm()) Application->terminate();
}
