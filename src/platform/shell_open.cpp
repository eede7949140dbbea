#include "platform/shell_open.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/paths.h"

namespace {
ShellOpenRecorder* activeRecorder = nullptr;
}

ShellOpenRecorder::ShellOpenRecorder() : previous_(activeRecorder) {
    activeRecorder = this;
}
ShellOpenRecorder::~ShellOpenRecorder() {
    activeRecorder = previous_;
}
ShellOpenRecorder* ShellOpenRecorder::active() {
    return activeRecorder;
}

void ShellOpen(const QString& path, const QString& parameters, const QString& directory,
               int showMode) {
    if (activeRecorder) {
        activeRecorder->record({path, parameters, directory, showMode});
        return;
    }
    // Parameters, folder and show mode have no counterpart in the desktop's opener.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(localPath(path)).absoluteFilePath()));
}
