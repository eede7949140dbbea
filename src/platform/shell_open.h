#pragma once

#include <QList>
#include <QString>

// Hands a document to the desktop, which opens it with the program registered for its
// type (xdg-open on Linux). The path is passed whole, whatever its length; a relative path
// is taken from the working folder. The result is not checked: a failure is the
// desktop's to report.
void ShellOpen(const QString& path, const QString& parameters, const QString& directory,
               int showMode);

struct ShellOpenCall {
    QString path;
    QString parameters;
    QString directory;
    int showMode = 0;
};

// While one exists, documents are not handed to the desktop: each call is recorded.
class ShellOpenRecorder {
public:
    ShellOpenRecorder();
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    const QList<ShellOpenCall>& calls() const { return calls_; }
    static ShellOpenRecorder* active();
    void record(const ShellOpenCall& call) { calls_.append(call); }

private:
    QList<ShellOpenCall> calls_;
    ShellOpenRecorder* previous_;
};
