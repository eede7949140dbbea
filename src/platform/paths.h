#pragma once

#include <QString>

// The folder of the running executable, with a trailing separator. Commands that build
// a path from it set it afresh first.
extern QString AppDir;
void setAppDir();

// A path built by joining texts, some of which come from the course database and may use
// "\" as separator, made usable on this system: separators become "/", and a name that
// differs from the file on disk only in letter case finds that file. A path that exists
// nowhere is returned with its separators normalised, so the caller reports it as missing.
QString localPath(const QString& path);
