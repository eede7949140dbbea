#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/kesta_error.h"

// Stops the build with a message that names what is wrong and where.
[[noreturn]] void fail(const QString& message);

// The messages of several independent faults, reported together so that one build run
// shows an author every fault at once.
class Faults {
public:
    void add(const QString& message) { messages_.append(message); }
    // Runs a step; a fault it raises is recorded and the build goes on with the next step.
    template <typename Step>
    void collect(Step&& step);
    // Fails with every recorded message, one a line, when there are any.
    void throwIfAny() const;

private:
    QStringList messages_;
};

QByteArray readBytes(const QString& path);
QString readText(const QString& path);
// Writes the whole file, making its folder first.
void writeBytes(const QString& path, const QByteArray& bytes);
// Copies every file under `from` to the same place under `to`; returns the copied paths,
// relative to `from`. A missing `from` copies nothing.
QStringList copyTree(const QString& from, const QString& to);
// The lines of a text file, without their line ends (LF or CRLF).
QStringList textLines(const QString& text);

template <typename Step>
void Faults::collect(Step&& step) {
    try {
        step();
    } catch (const KestaError& error) {
        add(error.message());
    }
}
