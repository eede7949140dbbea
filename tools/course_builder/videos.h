#pragma once

#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

// A short animated diagram written as a script (videos/<name>.txt): a scene of boxes,
// points, lines and labels on a 960 by 540 canvas, and the steps of a packet moving
// between them. The grammar is described in course/README.md.
struct VideoScript {
    struct Box {
        QString name;
        QRectF rect;
        QString text;
    };
    struct Point {
        QString name;
        QPointF at;
        QString box;  // the box the point belongs to, lit while the packet is there
    };
    struct Line {
        QString from, to;
        bool dashed = false;
    };
    struct Label {
        QPointF at;
        QString text;
    };
    struct Step {
        enum Kind { Move, Send, Wait, Mark };
        Kind kind = Wait;
        int line = 0;
        QString from, to;    // anchors of Move and Send; the anchor of Mark in `from`
        double seconds = 0;  // Move, Send, Wait
        QStringList packet;  // the packet's segments during Move and Send
        QString caption;     // shown from this step on; empty keeps the one before
        QString text;        // of Mark; empty takes the mark away
    };

    QString path;  // the source file, for messages
    QString title;
    QList<Box> boxes;
    QList<Point> points;
    QList<Line> lines;
    QList<Label> labels;
    QList<Step> steps;
};

namespace video {
constexpr int kWidth = 960;
constexpr int kHeight = 540;
constexpr int kFramesPerSecond = 25;
// The scene fades in before the first step and holds after the last.
constexpr double kIntroSeconds = 0.8;
constexpr double kOutroSeconds = 1.2;
}  // namespace video

// Fails naming the line of the first fault.
VideoScript parseVideoScript(const QString& text, const QString& path);

// The length of the video in seconds, and in frames.
double videoSeconds(const VideoScript& script);
int videoFrameCount(const VideoScript& script);

// The picture at a frame, from 0. Needs a QGuiApplication for its fonts.
QImage renderVideoFrame(const VideoScript& script, int frame);

// Encodes every frame with ffmpeg into an H.264 MP4 that starts playing at once (its index
// at the front). Fails when ffmpeg is missing or refuses; no file is left behind then.
void writeVideo(const VideoScript& script, const QString& mp4Path);
