#include "platform/state_probe.h"

#include "platform/form.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QSaveFile>
#include <QSocketNotifier>
#include <QTreeWidget>
#include <QWidget>
#include <csignal>

namespace {

int wakeFds[2] = {-1, -1};

void onSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: the event loop does the rest.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[0], &byte, 1);
}

QString quoted(const QString& text) {
    QString flat = text;
    flat.replace(u'\n', u' ');
    return u'"' + flat + u'"';
}

void describeTree(const QTreeWidget* tree, QStringList& lines) {
    lines.append(QStringLiteral("  tree %1").arg(tree->objectName()));
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it) {
        int depth = 0;
        for (const QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
            ++depth;
        lines.append(QStringLiteral("    ") + QString(2 * depth, u' ') + (*it)->text(0));
    }
}

void describeTable(const QAbstractItemView* view, QStringList& lines) {
    const QAbstractItemModel* model = view->model();
    if (!model) return;
    lines.append(QStringLiteral("  table %1 %2x%3")
                     .arg(view->objectName())
                     .arg(model->rowCount())
                     .arg(model->columnCount()));
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells.append(model->index(row, column).data().toString());
        lines.append(QStringLiteral("    ") + cells.join(u'|'));
    }
}

void writeProbe() {
    char buffer[64];
    [[maybe_unused]] const ssize_t got = ::read(wakeFds[1], buffer, sizeof buffer);
    QSaveFile file(qEnvironmentVariable("KESTA_PROBE_FILE"));
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(describeVisibleWindows().toUtf8());
    file.commit();
}

}  // namespace

QString describeVisibleWindows() {
    QStringList lines;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        // The window's name, its native id, where its client area starts (past a frame
        // drawn inside it), and its title.
        const auto* form = qobject_cast<const TForm*>(window);
        const QRect client = form ? form->clientRect() : window->rect();
        lines.append(QStringLiteral("window %1 %2 %3 %4 %5 %6 %7")
                         .arg(window->objectName())
                         .arg(window->winId())
                         .arg(client.x())
                         .arg(client.y())
                         .arg(client.width())
                         .arg(client.height())
                         .arg(quoted(window->windowTitle())));
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (!child->isVisibleTo(window)) continue;
            if (const auto* tree = qobject_cast<const QTreeWidget*>(child))
                describeTree(tree, lines);
            else if (const auto* view = qobject_cast<const QAbstractItemView*>(child))
                describeTable(view, lines);
            else if (const auto* label = qobject_cast<const QLabel*>(child);
                     label && !label->text().isEmpty())
                lines.append(QStringLiteral("  label %1 %2")
                                 .arg(label->objectName(), quoted(label->text())));
        }
    }
    return lines.join(u'\n') + u'\n';
}

void installStateProbe() {
    if (qEnvironmentVariableIsEmpty("KESTA_PROBE_FILE") || wakeFds[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, wakeFds) != 0) return;
    auto* notifier = new QSocketNotifier(wakeFds[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [] { writeProbe(); });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &action, nullptr);
}
