#include "tool_support.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

namespace {

// Splits a header block from its body and reads the headers.
QMap<QByteArray, QByteArray> readHeaders(const QByteArray& text, QByteArray* body) {
    const qsizetype end = text.indexOf("\n\n");
    const QByteArray block = end < 0 ? text : text.left(end);
    *body = end < 0 ? QByteArray() : text.mid(end + 2);
    QMap<QByteArray, QByteArray> headers;
    QByteArray last;
    for (const QByteArray& line : block.split('\n')) {
        if (!line.isEmpty() && (line[0] == ' ' || line[0] == '\t') && !last.isEmpty()) {
            headers[last] += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) continue;
        last = line.left(colon).trimmed().toLower();
        headers[last] = line.mid(colon + 1).trimmed();
    }
    return headers;
}

}  // namespace

MimeMessage parseMime(const QByteArray& bytes) {
    MimeMessage message;
    QByteArray text = bytes;
    text.replace("\r\n", "\n");
    QByteArray body;
    message.headers = readHeaders(text, &body);
    const QRegularExpression boundary(QStringLiteral("boundary=\"([^\"]+)\""));
    const auto found = boundary.match(QString::fromLatin1(message.headers.value("content-type")));
    if (!found.hasMatch()) return message;
    message.boundary = found.captured(1).toLatin1();
    const QByteArray delimiter = "--" + message.boundary;
    const QList<QByteArray> pieces = QByteArray("\n" + body).split('\n');
    // Walk the lines: a delimiter line starts a part, the closing one ends the message.
    QByteArray current;
    bool inPart = false;
    const auto finish = [&] {
        if (!inPart) return;
        MimeMessage::Part part;
        QByteArray partBody;
        part.headers = readHeaders(current, &partBody);
        part.body = part.headers.value("content-transfer-encoding").toLower() == "base64"
                        ? QByteArray::fromBase64(partBody.simplified().replace(" ", ""))
                        : partBody;
        message.parts.append(part);
    };
    for (const QByteArray& line : pieces) {
        if (line == delimiter + "--") {
            finish();
            inPart = false;
            break;
        }
        if (line == delimiter) {
            finish();
            inPart = true;
            current.clear();
            continue;
        }
        if (inPart) current += line + '\n';
    }
    return message;
}

int pdfPageCount(const QByteArray& pdf) {
    const QRegularExpression pages(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)"),
                                   QRegularExpression::DotMatchesEverythingOption);
    const auto found = pages.match(QString::fromLatin1(pdf));
    return found.hasMatch() ? found.captured(1).toInt() : -1;
}

BuilderRun runBuilder(const QString& source, const QString& output) {
    QProcess builder;
    builder.start(QStringLiteral(KESTA_COURSE_BUILDER), {source, output});
    BuilderRun run;
    if (!builder.waitForFinished(180000)) return run;
    run.exitCode = builder.exitStatus() == QProcess::NormalExit ? builder.exitCode() : -1;
    run.output = QString::fromLocal8Bit(builder.readAllStandardOutput());
    run.errors = QString::fromLocal8Bit(builder.readAllStandardError());
    return run;
}

QMap<QString, QString> probeVideo(const QString& path) {
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                 QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                 QStringLiteral("stream=codec_name,width,height,pix_fmt:format=duration"),
                 QStringLiteral("-of"), QStringLiteral("default=noprint_wrappers=1"), path});
    QMap<QString, QString> result;
    if (!probe.waitForFinished(30000) || probe.exitCode() != 0) return result;
    for (const QString& line : QString::fromLocal8Bit(probe.readAllStandardOutput()).split(u'\n')) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0) result.insert(line.left(equals), line.mid(equals + 1).trimmed());
    }
    return result;
}

QByteArray courseSchema() {
    return fileBytes(QStringLiteral(KESTA_SCHEMA_FILE));
}
