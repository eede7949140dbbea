#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "app/dm.h"
#include "app/startup.h"
#include "data/sqlite_store.h"
#include "platform/application.h"
#include "server_fixture.h"

// The course's sources: the folder of its schema.
inline QString courseSources() {
    return QFileInfo(QStringLiteral(KESTA_SCHEMA_FILE)).absolutePath();
}

// A course database in a temporary working folder, with every window created over it; on
// a class server instead of the file when asked.
class Course {
public:
    explicit Course(const std::function<void(SqliteStore&)>& fill, bool onServer = false)
        : previous_(QDir::currentPath()) {
        QFile schema(QStringLiteral(KESTA_SCHEMA_FILE));
        schema.open(QIODevice::ReadOnly);
        {
            auto store = SqliteStore::create(folder_.filePath(TDataModule1::DatabaseFile),
                                             TDataModule1::DatabasePassword);
            store->execute(QString::fromUtf8(schema.readAll()));
            store->transaction([&] { fill(*store); });
        }
        if (onServer) moveCourseToServer(folder_.path());
        QDir::setCurrent(folder_.path());
        createForms(*Application);
    }
    ~Course() {
        if (Application) destroyForms(*Application);
        QDir::setCurrent(previous_);
    }

private:
    QTemporaryDir folder_;
    QString previous_;
};
