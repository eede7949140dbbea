#include "platform/message_box.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {

MessageBoxRecorder* activeRecorder = nullptr;

constexpr unsigned kButtonMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;

int firstButton(unsigned flags) {
    return (flags & kButtonMask) == mbYesNo ? idYes : idOk;
}

// A message box whose Yes/No variant ignores a close through the window frame.
class Box : public QMessageBox {
public:
    explicit Box(bool closable) : closable_(closable) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        if (!closable_ && event->spontaneous()) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool closable_;
};

}  // namespace

MessageBoxRecorder::MessageBoxRecorder() : previous_(activeRecorder) {
    activeRecorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    activeRecorder = previous_;
}

MessageBoxRecorder* MessageBoxRecorder::active() {
    return activeRecorder;
}

QStringList MessageBoxRecorder::texts() const {
    QStringList result;
    for (const auto& call : calls_)
        result.append(call.text);
    return result;
}

int MessageBoxRecorder::answer(const QString& text, const QString& caption, unsigned flags) {
    const int result = answers_.isEmpty() ? firstButton(flags) : answers_.takeFirst();
    calls_.append({text, caption, flags, result});
    if (watcher_) watcher_(calls_.constLast());
    return result;
}

int MessageBox(const QString& text, const QString& caption, unsigned flags) {
    if (activeRecorder) return activeRecorder->answer(text, caption, flags);

    const unsigned buttons = flags & kButtonMask;
    Box box(buttons != mbYesNo);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (flags & kIconMask) {
        case mbIconError:
            box.setIcon(QMessageBox::Critical);
            break;
        case mbIconQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case mbIconInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }

    // Button captions are set here so that they read in Russian whatever the desktop's language.
    const auto add = [&box](QMessageBox::StandardButton which, const QString& caption) {
        QPushButton* button = box.addButton(which);
        button->setText(caption);
        return button;
    };
    QPushButton* first = nullptr;
    if (buttons == mbYesNo) {
        first = add(QMessageBox::Yes, QStringLiteral("Да"));
        box.setEscapeButton(add(QMessageBox::No, QStringLiteral("Нет")));
    } else if (buttons == mbOkCancel) {
        first = add(QMessageBox::Ok, QStringLiteral("ОК"));
        box.setEscapeButton(add(QMessageBox::Cancel, QStringLiteral("Отмена")));
    } else {
        first = add(QMessageBox::Ok, QStringLiteral("ОК"));
        box.setEscapeButton(first);
    }
    box.setDefaultButton(first);
    box.exec();

    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Yes:
            return idYes;
        case QMessageBox::No:
            return idNo;
        case QMessageBox::Cancel:
            return idCancel;
        default:
            return idOk;
    }
}
