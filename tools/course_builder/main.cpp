// kesta-course-builder SOURCE OUTPUT
//
// Makes a course installation folder from the course sources (see course/README.md).

#include <QGuiApplication>
#include <cstdio>

#include "course_build.h"
#include "platform/kesta_error.h"

int main(int argc, char** argv) {
    // Slides and video frames are drawn without a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: kesta-course-builder SOURCE OUTPUT\n");
        return 2;
    }
    try {
        buildCourse(arguments[1], arguments[2]);
    } catch (const std::exception& error) {
        for (const QString& line : exceptionText(error).split(u'\n'))
            std::fprintf(stderr, "kesta-course-builder: %s\n", line.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
