#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString AppDir;

void setAppDir() {
    AppDir = QCoreApplication::applicationDirPath() + u'/';
}

namespace {

// Finds `name` in `folder` ignoring letter case; empty when there is no such entry.
QString findIgnoringCase(const QString& folder, const QString& name) {
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QStringList entries =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    }
    return {};
}

}  // namespace

QString localPath(const QString& path) {
    QString normal = path;
    normal.replace(u'\\', u'/');
    while (normal.contains(QStringLiteral("//")))
        normal.replace(QStringLiteral("//"), QStringLiteral("/"));
    if (normal.isEmpty() || QFileInfo::exists(normal)) return normal;

    // Walk the path part by part, taking each part as it is spelt on disk.
    const bool absolute = normal.startsWith(u'/');
    const QStringList parts = normal.split(u'/', Qt::SkipEmptyParts);
    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (int i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString next = resolved + part;
        if (part != QLatin1String(".") && part != QLatin1String("..") && !QFileInfo::exists(next)) {
            const QString onDisk = findIgnoringCase(resolved, part);
            if (onDisk.isEmpty()) return normal;
            next = resolved + onDisk;
        }
        resolved = i + 1 < parts.size() ? next + u'/' : next;
    }
    return resolved;
}
