#include "app/zastavka.h"

#include <QKeyEvent>
#include <QPixmap>

#include "app/registracia.h"

TForm8* Form8 = nullptr;

TForm8::TForm8() {
    setObjectName(QStringLiteral("Form8"));
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(501, 501);
    // The picture is one pixel smaller than the window; the edge it leaves stays dark.
    setBackgroundColour(this, QColor(12, 30, 60));
    setCentredOnShow(true);

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 501, 501);
    Image1->setPixmap(QPixmap(QStringLiteral(":/kesta/splash.bmp")));
    connect(Image1, &TImage::clicked, this, &TForm8::Image1Click);
}

void TForm8::Image1Click() {
    Form1->show();
    hide();
}

void TForm8::keyPressEvent(QKeyEvent* event) {
    // The keyboard moves on as a click does.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            Image1Click();
            return;
        default:
            TForm::keyPressEvent(event);
    }
}
