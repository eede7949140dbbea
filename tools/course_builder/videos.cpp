#include "videos.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtMath>

#include "files.h"
#include "theme.h"

using namespace theme;

namespace {

// Colours of the packet's segments, given to segment names in order of first use.
const QColor kSegmentColours[] = {QColor(0xf4, 0xc1, 0x5d), QColor(0x7f, 0xd6, 0xa6),
                                  QColor(0x8f, 0xc4, 0xf7), QColor(0xf2, 0x96, 0x7e),
                                  QColor(0xc3, 0xa8, 0xf5), QColor(0xf0, 0xa3, 0xcf),
                                  QColor(0x9d, 0xe8, 0xe9), QColor(0xe3, 0xd8, 0x8a)};
constexpr qreal kFade = 0.3;       // seconds for a mark, caption or arrow label to appear
constexpr qreal kGrowShare = 0.4;  // of a step, during which its packet gains or loses segments
constexpr qreal kPacketHeight = 34;
constexpr qreal kLightDistance = 48;  // from a box's point, within which the box lights

qreal smooth(qreal x) {
    x = qBound<qreal>(0, x, 1);
    return x * x * (3 - 2 * x);
}

// The first `count` words of a line and the rest of it, trimmed.
QStringList splitWords(const QString& line, int count) {
    QStringList result;
    qsizetype i = 0;
    for (int n = 0; n < count; ++n) {
        while (i < line.size() && line[i].isSpace())
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !line[i].isSpace())
            ++i;
        if (start == i) break;
        result.append(line.mid(start, i - start));
    }
    result.append(line.mid(i).trimmed());
    return result;
}

class ScriptReader {
public:
    ScriptReader(VideoScript& script) : script_(script) {}

    void read(int lineNumber, const QString& line) {
        number_ = lineNumber;
        QString body = line;
        QString caption;
        if (const qsizetype bar = line.indexOf(u'|'); bar >= 0) {
            body = line.left(bar);
            caption = line.mid(bar + 1).simplified();
            if (caption.isEmpty()) error(QStringLiteral("an empty caption after \"|\""));
        }
        const QString keyword = splitWords(body, 1).first();
        if (!caption.isEmpty() && keyword != QLatin1String("move") &&
            keyword != QLatin1String("send") && keyword != QLatin1String("wait"))
            error(QStringLiteral("only move, send and wait take a caption"));
        if (keyword == QLatin1String("title")) {
            script_.title = text(splitWords(body, 1).last(), QStringLiteral("title"));
        } else if (keyword == QLatin1String("box")) {
            const QStringList w = words(body, 5, QStringLiteral("box NAME X Y WIDTH HEIGHT TEXT"));
            const QRectF rect(number(w[2]), number(w[3]), number(w[4]), number(w[5]));
            if (rect.width() <= 0 || rect.height() <= 0) error(QStringLiteral("a box of no size"));
            inside(rect.topLeft());
            inside(rect.bottomRight());
            const QString label = text(w[6], QStringLiteral("box"));
            script_.boxes.append(
                {newName(w[1]), rect,
                 QString(label).replace(QLatin1String("\\n"), QLatin1String("\n"))});
        } else if (keyword == QLatin1String("point")) {
            const QStringList w = words(body, 3, QStringLiteral("point NAME X Y [BOX]"));
            const QPointF at(number(w[2]), number(w[3]));
            inside(at);
            const QString box = w[4];
            if (box.contains(u' ')) error(QStringLiteral("expected: point NAME X Y [BOX]"));
            if (!box.isEmpty() && !boxNamed(box))
                error(QStringLiteral("no box named \"%1\" before this line").arg(box));
            script_.points.append({newName(w[1]), at, box});
        } else if (keyword == QLatin1String("line") || keyword == QLatin1String("dashed")) {
            const QStringList w = words(body, 2, keyword + QStringLiteral(" FROM TO"));
            if (!w[3].isEmpty()) error(QStringLiteral("expected: %1 FROM TO").arg(keyword));
            script_.lines.append({anchor(w[1]), anchor(w[2]), keyword == QLatin1String("dashed")});
        } else if (keyword == QLatin1String("label")) {
            const QStringList w = words(body, 2, QStringLiteral("label X Y TEXT"));
            const QPointF at(number(w[1]), number(w[2]));
            inside(at);
            script_.labels.append({at, text(w[3], QStringLiteral("label"))});
        } else if (keyword == QLatin1String("move") || keyword == QLatin1String("send")) {
            const QStringList w =
                words(body, 3, keyword + QStringLiteral(" FROM TO SECONDS PACKET [| CAPTION]"));
            if (w[4].isEmpty())
                error(
                    QStringLiteral("expected: %1 FROM TO SECONDS PACKET [| CAPTION]").arg(keyword));
            VideoScript::Step step;
            step.kind = keyword == QLatin1String("move") ? VideoScript::Step::Move
                                                         : VideoScript::Step::Send;
            step.line = lineNumber;
            step.from = anchor(w[1]);
            step.to = anchor(w[2]);
            step.seconds = seconds(w[3]);
            for (const QString& segment : w[4].split(u'+'))
                step.packet.append(text(segment.simplified(), QStringLiteral("packet segment")));
            step.caption = caption;
            script_.steps.append(step);
        } else if (keyword == QLatin1String("wait")) {
            const QStringList w = words(body, 1, QStringLiteral("wait SECONDS [| CAPTION]"));
            if (!w[2].isEmpty()) error(QStringLiteral("expected: wait SECONDS [| CAPTION]"));
            VideoScript::Step step;
            step.line = lineNumber;
            step.seconds = seconds(w[1]);
            step.caption = caption;
            script_.steps.append(step);
        } else if (keyword == QLatin1String("mark")) {
            const QStringList w = words(body, 1, QStringLiteral("mark ANCHOR [TEXT]"));
            VideoScript::Step step;
            step.kind = VideoScript::Step::Mark;
            step.line = lineNumber;
            step.from = anchor(w[1]);
            step.text = w[2].simplified();
            script_.steps.append(step);
        } else {
            error(QStringLiteral("unknown statement \"%1\"; expected title, box, point, line, "
                                 "dashed, label, move, send, wait or mark")
                      .arg(keyword));
        }
    }

    [[noreturn]] void error(const QString& what) const {
        fail(QStringLiteral("%1, line %2: %3").arg(script_.path).arg(number_).arg(what));
    }

private:
    // The keyword, `count` words and the rest of the line; fails with the expected form
    // when words are missing.
    QStringList words(const QString& line, int count, const QString& form) const {
        const QStringList result = splitWords(line, count + 1);
        if (result.size() < count + 2) error(QStringLiteral("expected: %1").arg(form));
        return result;
    }
    double number(const QString& word) const {
        bool ok = false;
        const double value = word.toDouble(&ok);
        if (!ok) error(QStringLiteral("\"%1\" is not a number").arg(word));
        return value;
    }
    double seconds(const QString& word) const {
        const double value = number(word);
        if (value <= 0 || value > 10)
            error(QStringLiteral("a step lasts more than 0 and at most 10 seconds, not %1")
                      .arg(word));
        return value;
    }
    QString text(const QString& value, const QString& what) const {
        if (value.isEmpty()) error(QStringLiteral("the %1 has no text").arg(what));
        return value;
    }
    void inside(const QPointF& at) const {
        if (at.x() < 0 || at.y() < 0 || at.x() > video::kWidth || at.y() > video::kHeight)
            error(QStringLiteral("(%1, %2) lies outside the %3 by %4 picture")
                      .arg(at.x())
                      .arg(at.y())
                      .arg(video::kWidth)
                      .arg(video::kHeight));
    }
    bool boxNamed(const QString& name) const {
        for (const auto& box : script_.boxes) {
            if (box.name == name) return true;
        }
        return false;
    }
    bool anchorNamed(const QString& name) const {
        if (boxNamed(name)) return true;
        for (const auto& point : script_.points) {
            if (point.name == name) return true;
        }
        return false;
    }
    QString newName(const QString& name) const {
        static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_-]+$"));
        if (!form.match(name).hasMatch())
            error(QStringLiteral("\"%1\": names hold Latin letters, digits, \"-\" and \"_\"")
                      .arg(name));
        if (anchorNamed(name)) error(QStringLiteral("\"%1\" is named twice").arg(name));
        return name;
    }
    QString anchor(const QString& name) const {
        if (!anchorNamed(name))
            error(QStringLiteral("no box or point named \"%1\" before this line").arg(name));
        return name;
    }

    VideoScript& script_;
    int number_ = 0;
};

// What the picture shows at one moment.
struct Moment {
    struct Segment {
        QString name;
        qreal share = 1;  // of its full width, while it grows or shrinks
    };
    struct Arrow {
        QPointF from, to;
        qreal progress = 0;
        QString label;
        qreal labelOpacity = 0;
    };
    struct Badge {
        QPointF at;
        QString text;
        qreal opacity = 0;
    };

    qreal sceneOpacity = 1;
    bool packetShown = false;
    QPointF packetAt;
    QList<Segment> segments;
    QList<Arrow> arrows;
    QList<Badge> badges;
    QString caption;
    qreal captionOpacity = 0;
};

QPointF anchorAt(const VideoScript& script, const QString& name) {
    for (const auto& box : script.boxes) {
        if (box.name == name) return box.rect.center();
    }
    for (const auto& point : script.points) {
        if (point.name == name) return point.at;
    }
    return {};
}

// The segments while a packet changes from `before` to `after`: kept segments stay, new
// ones grow and dropped ones shrink in place, as `grown` goes from 0 to 1.
QList<Moment::Segment> changeSegments(const QStringList& before, const QStringList& after,
                                      qreal grown) {
    QList<Moment::Segment> result;
    qsizetype i = 0, j = 0;
    while (i < before.size() || j < after.size()) {
        if (i < before.size() && j < after.size() && before[i] == after[j]) {
            result.append({after[j], 1});
            ++i;
            ++j;
        } else if (i < before.size() && !after.mid(j).contains(before[i])) {
            result.append({before[i++], 1 - grown});
        } else {
            result.append({after[j++], grown});
        }
    }
    return result;
}

Moment momentAt(const VideoScript& script, double t) {
    Moment moment;
    moment.sceneOpacity = 0.2 + 0.8 * smooth(t / video::kIntroSeconds);
    QStringList packet;  // the packet's segments after the last finished step
    QHash<QString, std::pair<QString, double>> marks;  // anchor: text, since
    double captionSince = 0;
    double time = video::kIntroSeconds;
    for (const VideoScript::Step& step : script.steps) {
        if (t < time) break;
        if (step.kind == VideoScript::Step::Mark) {
            marks.insert(step.from, {step.text, time});
            continue;
        }
        if (!step.caption.isEmpty()) {
            moment.caption = step.caption;
            captionSince = time;
        }
        const double end = time + step.seconds;
        const qreal share = qBound(0.0, (t - time) / step.seconds, 1.0);
        if (step.kind != VideoScript::Step::Wait) {
            const QPointF from = anchorAt(script, step.from);
            const QPointF to = anchorAt(script, step.to);
            moment.packetAt = from + (to - from) * smooth(share);
            moment.packetShown = true;
            moment.segments = changeSegments(packet, step.packet, smooth(share / kGrowShare));
            if (step.kind == VideoScript::Step::Send) {
                moment.arrows.append(
                    {from, to, smooth(share), step.packet.join(u' '), smooth((t - end) / kFade)});
                if (t >= end) moment.packetShown = false;
            }
            if (t >= end)
                packet = step.kind == VideoScript::Step::Send ? QStringList() : step.packet;
        }
        time = end;
    }
    if (!moment.packetShown) moment.segments.clear();
    for (auto it = marks.cbegin(); it != marks.cend(); ++it) {
        if (!it->first.isEmpty())
            moment.badges.append(
                {anchorAt(script, it.key()), it->first, smooth((t - it->second) / kFade)});
    }
    moment.captionOpacity = smooth((t - captionSince) / kFade);
    return moment;
}

QColor segmentColour(const VideoScript& script, const QString& name) {
    QStringList names;
    for (const VideoScript::Step& step : script.steps) {
        for (const QString& segment : step.packet) {
            if (!names.contains(segment)) names.append(segment);
        }
    }
    return kSegmentColours[qMax(0, int(names.indexOf(name))) % int(std::size(kSegmentColours))];
}

void drawText(QPainter& painter, const QRectF& box, int flags, const QString& text,
              const QColor& colour, bool shadow = true) {
    if (shadow) {
        painter.setPen(QColor(0, 0, 0, 80 * colour.alphaF()));
        painter.drawText(box.translated(0, 1.5), flags, text);
    }
    painter.setPen(colour);
    painter.drawText(box, flags, text);
}

qreal boxLight(const VideoScript& script, const VideoScript::Box& box, const Moment& moment) {
    if (!moment.packetShown) return 0;
    if (box.rect.contains(moment.packetAt)) return 1;
    qreal light = 0;
    for (const auto& point : script.points) {
        if (point.box != box.name) continue;
        const QPointF d = point.at - moment.packetAt;
        light = qMax(light, 1 - qSqrt(d.x() * d.x() + d.y() * d.y()) / kLightDistance);
    }
    return qBound<qreal>(0, light, 1);
}

void drawBox(QPainter& painter, const VideoScript::Box& box, qreal light) {
    if (light > 0) {
        QRadialGradient glow(box.rect.center(), qMax(box.rect.width(), box.rect.height()) * 0.75);
        glow.setColorAt(0, withAlpha(kAccent, int(90 * light)));
        glow.setColorAt(1, withAlpha(kAccent, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(glow);
        painter.drawRoundedRect(box.rect.adjusted(-14, -14, 14, 14), 18, 18);
    }
    QLinearGradient fill(box.rect.topLeft(), box.rect.bottomLeft());
    fill.setColorAt(0, QColor(0x1d, 0x5a, 0x8a, 210));
    fill.setColorAt(1, QColor(0x0e, 0x36, 0x62, 210));
    painter.setBrush(fill);
    painter.setPen(QPen(withAlpha(kAccent, int(110 + 145 * light)), 1.5 + light));
    painter.drawRoundedRect(box.rect, 10, 10);
    if (light > 0) {
        painter.setBrush(withAlpha(kAccent, int(55 * light)));
        painter.setPen(Qt::NoPen);
        painter.drawRoundedRect(box.rect, 10, 10);
    }
    // The largest type up to 17 pixels at which the text fits the box.
    qreal size = 17;
    while (size > 11 && QFontMetricsF(font(size, QFont::DemiBold))
                                .boundingRect(box.rect, Qt::AlignCenter, box.text)
                                .width() > box.rect.width() - 12)
        size -= 1;
    painter.setFont(font(size, QFont::DemiBold));
    drawText(painter, box.rect, Qt::AlignCenter, box.text, Qt::white);
}

void drawArrow(QPainter& painter, const Moment::Arrow& arrow) {
    if (arrow.progress <= 0) return;
    const QPointF tip = arrow.from + (arrow.to - arrow.from) * arrow.progress;
    painter.setPen(QPen(withAlpha(kAccent, 220), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(arrow.from, tip);
    const QLineF line(arrow.from, arrow.to);
    if (arrow.progress >= 1) {
        const qreal angle = qDegreesToRadians(line.angle());
        const QPointF back(-qCos(angle), qSin(angle));  // along the line, backwards
        const QPointF side(back.y(), -back.x());
        painter.setBrush(withAlpha(kAccent, 230));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(
            QPolygonF{arrow.to, arrow.to + back * 14 + side * 6, arrow.to + back * 14 - side * 6});
    }
    if (arrow.labelOpacity <= 0) return;
    // Along the line, turned so that the text never stands on its head.
    qreal degrees = -line.angle();  // clockwise, as the y axis points down
    if (degrees <= -180) degrees += 360;
    if (degrees > 90) degrees -= 180;
    if (degrees < -90) degrees += 180;
    painter.save();
    painter.translate(line.center());
    painter.rotate(degrees);
    painter.setOpacity(painter.opacity() * arrow.labelOpacity);
    painter.setFont(font(15, QFont::Bold));
    drawText(painter, QRectF(-200, -30, 400, 24), Qt::AlignHCenter | Qt::AlignBottom, arrow.label,
             kAccent);
    painter.restore();
}

void drawPacket(QPainter& painter, const VideoScript& script, const Moment& moment) {
    const QFont type = font(15, QFont::Bold);
    const QFontMetricsF metrics(type);
    QList<qreal> widths;
    qreal total = 0;
    for (const Moment::Segment& segment : moment.segments) {
        widths.append((metrics.horizontalAdvance(segment.name) + 24) * segment.share);
        total += widths.last();
    }
    if (total < 1) return;
    const QRectF whole(moment.packetAt.x() - total / 2, moment.packetAt.y() - kPacketHeight / 2,
                       total, kPacketHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawRoundedRect(whole.translated(0, 4), 7, 7);

    QPainterPath outline;
    outline.addRoundedRect(whole, 7, 7);
    painter.save();
    painter.setClipPath(outline);
    painter.setFont(type);
    qreal x = whole.left();
    for (int i = 0; i < moment.segments.size(); ++i) {
        const QRectF cell(x, whole.top(), widths[i], whole.height());
        QLinearGradient fill(cell.topLeft(), cell.bottomLeft());
        const QColor colour = segmentColour(script, moment.segments[i].name);
        fill.setColorAt(0, colour.lighter(112));
        fill.setColorAt(1, colour.darker(108));
        painter.fillRect(cell, fill);
        if (i > 0) painter.fillRect(QRectF(x, cell.top(), 1.2, cell.height()), QColor(0, 0, 0, 90));
        const qreal share = moment.segments[i].share;
        if (share > 0.5) {
            painter.save();
            painter.setClipRect(cell, Qt::IntersectClip);
            painter.setPen(withAlpha(kDeepBlue, int(255 * (share - 0.5) * 2)));
            painter.drawText(cell, Qt::AlignCenter, moment.segments[i].name);
            painter.restore();
        }
        x += widths[i];
    }
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 200), 1.4));
    painter.drawRoundedRect(whole, 7, 7);
}

void drawBadge(QPainter& painter, const Moment::Badge& badge) {
    const QFont type = font(14, QFont::Bold, 0.5);
    const qreal width = QFontMetricsF(type).horizontalAdvance(badge.text) + 22;
    const QRectF pill(badge.at.x() - width / 2, badge.at.y() - 13, width, 26);
    painter.save();
    painter.setOpacity(painter.opacity() * badge.opacity);
    painter.setBrush(withAlpha(kDeepBlue, 215));
    painter.setPen(QPen(withAlpha(kAccent, 200), 1.2));
    painter.drawRoundedRect(pill, 13, 13);
    painter.setFont(type);
    drawText(painter, pill, Qt::AlignCenter, badge.text, kAccent, false);
    painter.restore();
}

void drawCaption(QPainter& painter, const Moment& moment) {
    if (moment.caption.isEmpty()) return;
    const QFont type = font(19);
    const QRectF room(0, 0, 840, 200);
    const QRectF text =
        QFontMetricsF(type).boundingRect(room, Qt::TextWordWrap | Qt::AlignHCenter, moment.caption);
    const QRectF pill(video::kWidth / 2.0 - text.width() / 2 - 24,
                      video::kHeight - 18 - text.height() - 16, text.width() + 48,
                      text.height() + 16);
    painter.save();
    painter.setOpacity(moment.captionOpacity);
    painter.setBrush(QColor(4, 14, 32, 150));
    painter.setPen(QPen(QColor(255, 255, 255, 45), 1));
    painter.drawRoundedRect(pill, 14, 14);
    painter.setFont(type);
    drawText(painter, pill.adjusted(24, 8, -24, -8), Qt::TextWordWrap | Qt::AlignCenter,
             moment.caption, Qt::white);
    painter.restore();
}

}  // namespace

VideoScript parseVideoScript(const QString& text, const QString& path) {
    VideoScript script;
    script.path = path;
    ScriptReader reader(script);
    const QStringList lines = textLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'%')) continue;
        reader.read(i + 1, line);
    }
    if (script.title.isEmpty()) fail(QStringLiteral("%1: no title").arg(path));
    bool moves = false;
    for (const VideoScript::Step& step : script.steps)
        moves =
            moves || step.kind == VideoScript::Step::Move || step.kind == VideoScript::Step::Send;
    if (!moves)
        fail(QStringLiteral("%1: no move or send; the video would show nothing happen").arg(path));
    if (videoSeconds(script) > 60)
        fail(QStringLiteral("%1: %2 seconds; a video of the course lasts at most a minute")
                 .arg(path)
                 .arg(videoSeconds(script)));
    return script;
}

double videoSeconds(const VideoScript& script) {
    double seconds = video::kIntroSeconds + video::kOutroSeconds;
    for (const VideoScript::Step& step : script.steps)
        seconds += step.seconds;
    return seconds;
}

int videoFrameCount(const VideoScript& script) {
    return qRound(videoSeconds(script) * video::kFramesPerSecond);
}

QImage renderVideoFrame(const VideoScript& script, int frame) {
    const Moment moment = momentAt(script, double(frame) / video::kFramesPerSecond);
    QImage image(video::kWidth, video::kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    paintBackdrop(painter, QRectF(image.rect()));

    painter.setFont(font(26, QFont::Bold));
    drawText(painter, QRectF(40, 14, video::kWidth - 80, 44), Qt::AlignCenter, script.title,
             Qt::white);
    paintAccentLine(painter, video::kWidth / 2.0, 64, 190);

    painter.setOpacity(moment.sceneOpacity);
    for (const VideoScript::Line& line : script.lines) {
        painter.setPen(line.dashed
                           ? QPen(withAlpha(kSoftText, 120), 1.6, Qt::DashLine)
                           : QPen(withAlpha(kAccent, 150), 2.4, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(anchorAt(script, line.from), anchorAt(script, line.to));
    }
    painter.setFont(font(17, QFont::Bold, 0.5));
    for (const VideoScript::Label& label : script.labels)
        drawText(painter, QRectF(label.at.x() - 240, label.at.y() - 14, 480, 28), Qt::AlignCenter,
                 label.text, kSoftText);
    for (const VideoScript::Box& box : script.boxes)
        drawBox(painter, box, boxLight(script, box, moment));
    for (const Moment::Arrow& arrow : moment.arrows)
        drawArrow(painter, arrow);
    for (const Moment::Badge& badge : moment.badges)
        drawBadge(painter, badge);
    if (moment.packetShown) drawPacket(painter, script, moment);
    painter.setOpacity(1);
    drawCaption(painter, moment);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB888);
}

void writeVideo(const VideoScript& script, const QString& mp4Path) {
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        fail(QStringLiteral("%1: making the video needs ffmpeg, which is not installed "
                            "(Debian package ffmpeg)")
                 .arg(script.path));
    const QString partial = mp4Path + QStringLiteral(".part.mp4");
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::SeparateChannels);
    encoder.start(ffmpeg, {QStringLiteral("-hide_banner"),
                           QStringLiteral("-loglevel"),
                           QStringLiteral("error"),
                           QStringLiteral("-y"),
                           QStringLiteral("-f"),
                           QStringLiteral("rawvideo"),
                           QStringLiteral("-pix_fmt"),
                           QStringLiteral("rgb24"),
                           QStringLiteral("-s"),
                           QStringLiteral("%1x%2").arg(video::kWidth).arg(video::kHeight),
                           QStringLiteral("-r"),
                           QString::number(video::kFramesPerSecond),
                           QStringLiteral("-i"),
                           QStringLiteral("-"),
                           QStringLiteral("-an"),
                           QStringLiteral("-c:v"),
                           QStringLiteral("libx264"),
                           QStringLiteral("-preset"),
                           QStringLiteral("medium"),
                           QStringLiteral("-crf"),
                           QStringLiteral("20"),
                           QStringLiteral("-pix_fmt"),
                           QStringLiteral("yuv420p"),
                           QStringLiteral("-movflags"),
                           QStringLiteral("+faststart"),
                           QStringLiteral("-metadata"),
                           QStringLiteral("title=") + script.title,
                           partial});
    const auto stop = [&](const QString& why) {
        encoder.kill();
        encoder.waitForFinished();
        QFile::remove(partial);
        fail(QStringLiteral("%1: ffmpeg %2: %3")
                 .arg(script.path, why,
                      QString::fromLocal8Bit(encoder.readAllStandardError()).trimmed()));
    };
    if (!encoder.waitForStarted()) stop(QStringLiteral("did not start"));
    const int frames = videoFrameCount(script);
    for (int frame = 0; frame < frames; ++frame) {
        const QImage image = renderVideoFrame(script, frame);
        for (int y = 0; y < image.height(); ++y)
            encoder.write(reinterpret_cast<const char*>(image.constScanLine(y)), image.width() * 3);
        // Keep at most a few frames in the pipe's buffer.
        while (encoder.bytesToWrite() > 4 * image.width() * image.height() * 3) {
            if (!encoder.waitForBytesWritten(30000)) stop(QStringLiteral("stopped reading frames"));
        }
    }
    encoder.closeWriteChannel();
    if (!encoder.waitForFinished(300000) || encoder.exitStatus() != QProcess::NormalExit ||
        encoder.exitCode() != 0)
        stop(QStringLiteral("failed"));
    QFile::remove(mp4Path);
    if (!QFile::rename(partial, mp4Path)) fail(QStringLiteral("cannot write %1").arg(mp4Path));
}
