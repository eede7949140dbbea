#pragma once

// Helpers of the course builder's tests: fixtures written into temporary folders, and
// readers of what the builder makes (saved web pages, PDF files, the builder's run).

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

// Writes a file, making its folder first.
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray fileBytes(const QString& path);

// A MIME message read back: its headers (names in lower case, folded lines joined), and
// for a multipart message its boundary and parts, each body decoded from base64 when the
// part says so.
struct MimeMessage {
    QMap<QByteArray, QByteArray> headers;
    QByteArray boundary;
    struct Part {
        QMap<QByteArray, QByteArray> headers;
        QByteArray body;
    };
    QList<Part> parts;
};
MimeMessage parseMime(const QByteArray& bytes);

// The page count a PDF file declares in its page tree; -1 when there is none.
int pdfPageCount(const QByteArray& pdf);

// Runs the course builder as the build runs it; returns its exit code.
struct BuilderRun {
    int exitCode = -1;
    QString output;
    QString errors;
};
BuilderRun runBuilder(const QString& source, const QString& output);

// What ffprobe reports of a video file: "codec_name", "width", "height", "pix_fmt" and
// "duration" (seconds).
QMap<QString, QString> probeVideo(const QString& path);

// The schema of the course, for sources made by a test.
QByteArray courseSchema();
