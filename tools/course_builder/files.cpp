#include "files.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

void fail(const QString& message) {
    throw KestaError(message);
}

void Faults::throwIfAny() const {
    if (!messages_.isEmpty()) fail(messages_.join(u'\n'));
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    return file.readAll();
}

QString readText(const QString& path) {
    return QString::fromUtf8(readBytes(path));
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
}

QStringList copyTree(const QString& from, const QString& to) {
    QStringList copied;
    if (!QFileInfo(from).isDir()) return copied;
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = QDir(from).relativeFilePath(source);
        const QString target = to + u'/' + relative;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        if (!QFile::copy(source, target))
            fail(QStringLiteral("cannot copy %1 to %2").arg(source, target));
        copied.append(relative);
    }
    copied.sort();
    return copied;
}

QStringList textLines(const QString& text) {
    QStringList lines = text.split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}
