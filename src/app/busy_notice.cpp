#include "app/busy_notice.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QThread>

#include "data/sqlite_store.h"

TBusyNotice* BusyNotice = nullptr;

namespace {
// How long after the last report of a wait the window stays.
constexpr int kIdleMs = 300;
}  // namespace

TBusyNotice::TBusyNotice() {
    setObjectName(QStringLiteral("BusyNotice"));
    setWindowTitle(QStringLiteral("Ожидание базы данных"));
    setFormSize(420, 150);
    setCentredOnShow(true);
    setWindowModality(Qt::ApplicationModal);
    setFont(pixelFont(QStringLiteral("Times New Roman"), 16));

    sLabel1 = new TsLabel(this);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->AutoSize = false;
    sLabel1->setGeometry(12, 12, 390, 56);
    sLabel1->setWordWrap(true);

    sButton1 = new TsButton(this);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setText(QStringLiteral("Не ждать"));
    sButton1->setGeometry(420 - 16 - 8 - 140, 80, 140, 25);
    connect(sButton1, &QPushButton::clicked, this, &TBusyNotice::giveUp);

    idle_.setSingleShot(true);
    idle_.setInterval(kIdleMs);
    connect(&idle_, &QTimer::timeout, this, [this] {
        givenUp_ = false;
        hide();
    });
}

TBusyNotice::~TBusyNotice() {
    if (BusyNotice == this) BusyNotice = nullptr;
}

bool TBusyNotice::waiting(int waitedMs) {
    if (QThread::currentThread() != thread()) return true;
    if (waitedMs < kPatienceMs) {
        // A new wait: one the user gave up before is over.
        if (!idle_.isActive()) givenUp_ = false;
        return !givenUp_;
    }
    if (givenUp_) return false;
    if (inside_) return true;
    sLabel1->setCaption(
        QStringLiteral("База данных курса занята другим компьютером. Ожидание: %1 с из %2 с…")
            .arg(waitedMs / 1000)
            .arg(SqliteStore::kBusyLimitMs / 1000));
    if (!isVisible()) {
        show();
        raise();
        activateWindow();
    }
    idle_.start();
    // The window is painted and its button answers while the call waits; other windows
    // take no input, as this one is modal.
    inside_ = true;
    QApplication::processEvents();
    inside_ = false;
    return !givenUp_;
}

void TBusyNotice::giveUp() {
    givenUp_ = true;
    hide();
}

void TBusyNotice::closeEvent(QCloseEvent* event) {
    giveUp();
    TForm::closeEvent(event);
}

void TBusyNotice::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        giveUp();
        return;
    }
    TForm::keyPressEvent(event);
}

void installBusyNotice() {
    SqliteStore::setBusyObserver([](int waitedMs) {
        return BusyNotice == nullptr || BusyNotice->waiting(waitedMs);
    });
}
