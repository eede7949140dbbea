#pragma once

#include <QList>
#include <QString>
#include <functional>

// Buttons and icons of a message box; one button set and at most one icon.
enum MessageBoxFlag : unsigned {
    mbOk = 0x00,
    mbOkCancel = 0x01,
    mbYesNo = 0x04,
    mbIconError = 0x10,
    mbIconQuestion = 0x20,
    mbIconInformation = 0x40,
};

// The button that closed a message box.
enum MessageBoxResult : int { idOk = 1, idCancel = 2, idYes = 6, idNo = 7 };

// Shows a modal message box and returns the button that closed it. Enter presses the
// first button (OK or Yes); Esc answers OK, Cancel or No. A Yes/No box cannot be closed
// through its frame; an OK box closed that way answers OK, an OK/Cancel box Cancel.
int MessageBox(const QString& text, const QString& caption, unsigned flags = mbOk);

struct MessageBoxCall {
    QString text;
    QString caption;
    unsigned flags = 0;
    int answer = 0;
};

// While one exists, message boxes are not shown: each call is recorded and answered
// with the next queued answer, or with the first button when none is queued.
class MessageBoxRecorder {
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void queueAnswer(int answer) { answers_.append(answer); }
    // Called at each box, while it would be on screen, to look at what the program holds.
    void setWatcher(std::function<void(const MessageBoxCall&)> watcher) {
        watcher_ = std::move(watcher);
    }
    const QList<MessageBoxCall>& calls() const { return calls_; }
    QStringList texts() const;
    void clear() { calls_.clear(); }

    static MessageBoxRecorder* active();
    int answer(const QString& text, const QString& caption, unsigned flags);

private:
    QList<MessageBoxCall> calls_;
    QList<int> answers_;
    std::function<void(const MessageBoxCall&)> watcher_;
    MessageBoxRecorder* previous_;
};
