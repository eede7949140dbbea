#include "platform/state_probe.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QSaveFile>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>

#include "platform/form.h"

namespace {

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

// The items of a menu bar, each as its rectangle in the window and its caption.
void describeMenuBar(const QMenuBar* bar, const QWidget* window, QStringList& lines) {
    lines.append(QStringLiteral("  menubar %1").arg(bar->objectName()));
    for (QAction* action : bar->actions()) {
        if (!action->isVisible() || action->isSeparator()) continue;
        const QRect item = bar->actionGeometry(action).translated(bar->mapTo(window, QPoint()));
        lines.append(QStringLiteral("    %1 %2 %3 %4 %5")
                         .arg(item.x())
                         .arg(item.y())
                         .arg(item.width())
                         .arg(item.height())
                         .arg(action->text()));
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

// Answers a request: the description written whole, then the request taken away.
void answerRequest(const QString& file) {
    const QString request = file + QStringLiteral(".request");
    if (!QFile::exists(request)) return;
    QSaveFile out(file);
    if (out.open(QIODevice::WriteOnly)) {
        out.write(describeVisibleWindows().toUtf8());
        out.commit();
    }
    QFile::remove(request);
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
            else if (const auto* bar = qobject_cast<const QMenuBar*>(child))
                describeMenuBar(bar, window, lines);
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
    const QString file = qEnvironmentVariable("KESTA_PROBE_FILE");
    static bool installed = false;
    if (file.isEmpty() || installed) return;
    installed = true;
    // A test asks by creating the request file beside the answer; the event loop looks for
    // it ten times a second.
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, qApp, [file] { answerRequest(file); });
    timer->start(100);
}
