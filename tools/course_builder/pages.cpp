#include "pages.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QRegularExpression>
#include <QUrl>
#include <QXmlStreamReader>

#include "files.h"

namespace {

// The widest picture, in pixels, that fits the text width of a printed A4 page.
constexpr int kPrintedWidth = 680;

// Elements a fragment may not hold, with the rule each breaks.
const QHash<QString, QString>& forbiddenElements() {
    static const QHash<QString, QString> elements = [] {
        QHash<QString, QString> result;
        const QString structure = QStringLiteral("the builder writes the document around it");
        for (const char* name : {"html", "head", "body", "title", "meta", "base", "link"})
            result.insert(QLatin1String(name), structure);
        for (const char* name : {"script", "noscript", "template"})
            result.insert(QLatin1String(name), QStringLiteral("pages hold no scripts"));
        result.insert(QStringLiteral("style"), QStringLiteral("one style sheet serves every page"));
        for (const char* name : {"iframe", "frame", "frameset", "object", "embed", "applet",
                                 "audio", "video", "source", "track", "picture", "canvas", "form",
                                 "input", "button", "select", "textarea"})
            result.insert(QLatin1String(name), QStringLiteral("pages hold text and pictures"));
        return result;
    }();
    return elements;
}

// Attributes that load something from elsewhere.
bool loadsResource(const QString& attribute) {
    static const QStringList names = {QStringLiteral("srcset"),     QStringLiteral("background"),
                                      QStringLiteral("poster"),     QStringLiteral("action"),
                                      QStringLiteral("formaction"), QStringLiteral("data"),
                                      QStringLiteral("xlink:href"), QStringLiteral("lowsrc")};
    return names.contains(attribute);
}

struct Attribute {
    QString name;  // lower case
    QString value;
};

struct Tag {
    qsizetype begin = 0;  // of "<"
    qsizetype end = 0;    // after ">"
    QString name;         // lower case
    bool closing = false;
    QList<Attribute> attributes;

    const Attribute* attribute(const QString& attributeName) const {
        for (const Attribute& a : attributes) {
            if (a.name == attributeName) return &a;
        }
        return nullptr;
    }
};

bool isNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

// Reads the tags of an HTML fragment in order; comments are skipped, text is left alone.
class TagReader {
public:
    TagReader(const QString& html, const QString& path) : html_(html), path_(path) {}

    // The next tag, or false at the end of the text.
    bool next(Tag& tag) {
        while (true) {
            pos_ = html_.indexOf(u'<', pos_);
            if (pos_ < 0) return false;
            if (html_.mid(pos_, 4) == QLatin1String("<!--")) {
                const qsizetype close = html_.indexOf(QLatin1String("-->"), pos_ + 4);
                if (close < 0) error(pos_, QStringLiteral("a comment is not closed"));
                pos_ = close + 3;
                continue;
            }
            const QChar after = pos_ + 1 < html_.size() ? html_[pos_ + 1] : QChar();
            if (after == u'!' || after == u'?')
                error(pos_, QStringLiteral("no declarations: the builder writes the document "
                                           "around the fragment"));
            const bool closing = after == u'/';
            const qsizetype nameStart = pos_ + (closing ? 2 : 1);
            if (nameStart >= html_.size() || !html_[nameStart].isLetter()) {
                ++pos_;  // a "<" in text
                continue;
            }
            tag = Tag();
            tag.begin = pos_;
            tag.closing = closing;
            qsizetype i = nameStart;
            while (i < html_.size() && isNameChar(html_[i]))
                ++i;
            tag.name = html_.mid(nameStart, i - nameStart).toLower();
            readAttributes(tag, i);
            pos_ = tag.end;
            return true;
        }
    }

    int lineAt(qsizetype position) const { return int(html_.left(position).count(u'\n')) + 1; }

    [[noreturn]] void error(qsizetype position, const QString& what) const {
        fail(QStringLiteral("%1, line %2: %3").arg(path_).arg(lineAt(position)).arg(what));
    }

private:
    void readAttributes(Tag& tag, qsizetype i) {
        const auto skipSpace = [&] {
            while (i < html_.size() && html_[i].isSpace())
                ++i;
        };
        while (true) {
            skipSpace();
            if (i >= html_.size()) error(tag.begin, QStringLiteral("a tag is not closed"));
            if (html_[i] == u'>') break;
            if (html_[i] == u'/' && i + 1 < html_.size() && html_[i + 1] == u'>') {
                ++i;
                break;
            }
            const qsizetype nameStart = i;
            while (i < html_.size() && !html_[i].isSpace() && html_[i] != u'=' &&
                   html_[i] != u'>' && html_[i] != u'/')
                ++i;
            if (i == nameStart) {
                ++i;  // a stray "/"
                continue;
            }
            Attribute attribute{html_.mid(nameStart, i - nameStart).toLower(), QString()};
            skipSpace();
            if (i < html_.size() && html_[i] == u'=') {
                ++i;
                skipSpace();
                if (i < html_.size() && (html_[i] == u'"' || html_[i] == u'\'')) {
                    const qsizetype close = html_.indexOf(html_[i], i + 1);
                    if (close < 0) error(tag.begin, QStringLiteral("a quoted value is not closed"));
                    attribute.value = html_.mid(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    const qsizetype valueStart = i;
                    while (i < html_.size() && !html_[i].isSpace() && html_[i] != u'>')
                        ++i;
                    attribute.value = html_.mid(valueStart, i - valueStart);
                }
            }
            tag.attributes.append(attribute);
        }
        tag.end = i + 1;
    }

    const QString& html_;
    const QString& path_;
    qsizetype pos_ = 0;
};

QString decodeEntities(const QString& text) {
    static const QHash<QString, QString> named = {{QStringLiteral("amp"), QStringLiteral("&")},
                                                  {QStringLiteral("lt"), QStringLiteral("<")},
                                                  {QStringLiteral("gt"), QStringLiteral(">")},
                                                  {QStringLiteral("quot"), QStringLiteral("\"")},
                                                  {QStringLiteral("apos"), QStringLiteral("'")},
                                                  {QStringLiteral("nbsp"), QStringLiteral(" ")},
                                                  {QStringLiteral("laquo"), QStringLiteral("«")},
                                                  {QStringLiteral("raquo"), QStringLiteral("»")},
                                                  {QStringLiteral("mdash"), QStringLiteral("—")},
                                                  {QStringLiteral("ndash"), QStringLiteral("–")}};
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|[a-zA-Z]+);"));
    QString result;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        result += text.mid(last, match.capturedStart() - last);
        const QString name = match.captured(1);
        bool ok = false;
        if (name.startsWith(QLatin1String("#x"))) {
            const uint code = name.mid(2).toUInt(&ok, 16);
            if (ok) result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (name.startsWith(u'#')) {
            const uint code = name.mid(1).toUInt(&ok);
            if (ok) result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        } else if (named.contains(name)) {
            result += named.value(name);
            ok = true;
        }
        if (!ok) result += match.captured(0);
        last = match.capturedEnd();
    }
    return result + text.mid(last);
}

QString textOf(const QString& html) {
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    return decodeEntities(QString(html).remove(tags)).simplified();
}

// A picture's src: a file of pictures/, named in Latin letters, digits and hyphens.
bool isPictureSource(const QString& src) {
    static const QRegularExpression form(QStringLiteral("^pictures/[A-Za-z0-9][A-Za-z0-9._-]*$"));
    return form.match(src).hasMatch() && !src.contains(QLatin1String("..")) &&
           !pictureType(src).isEmpty();
}

const char kStyleSheet[] = R"css(
body {
  max-width: 52em; margin: 0 auto; padding: 1.6em 2.2em 3em; background: #ffffff; color: #1d2733;
  font-family: "DejaVu Serif", "Liberation Serif", "Times New Roman", serif;
  font-size: 17px; line-height: 1.6;
}
h1, h2, h3 {
  font-family: "DejaVu Sans", "Liberation Sans", Arial, sans-serif; line-height: 1.25;
  color: #0f4570;
}
h1 { font-size: 1.85em; margin: 0 0 0.9em; padding-bottom: 0.35em; border-bottom: 3px solid #108680; }
h2 { font-size: 1.38em; margin: 1.6em 0 0.6em; }
h3 { font-size: 1.14em; margin: 1.3em 0 0.5em; color: #10676a; }
p { margin: 0 0 0.9em; }
ul, ol { margin: 0 0 1em; padding-left: 1.7em; }
li { margin: 0.25em 0; }
li::marker { color: #108680; }
strong { color: #0a1c3d; }
a { color: #0f6a9a; }
table {
  border-collapse: collapse; border: 1px solid #a9bccd; margin: 1.3em auto;
  font-size: 0.95em; line-height: 1.45;
}
th, td { border: 1px solid #a9bccd; padding: 0.4em 0.75em; text-align: left; vertical-align: top; }
th { background: #e2edf5; color: #0f4570; font-family: "DejaVu Sans", "Liberation Sans", sans-serif; }
tbody tr:nth-child(even) td { background: #f5f8fb; }
caption { caption-side: top; margin-bottom: 0.4em; font-style: italic; color: #4a5a6a; }
.figure { margin: 1.6em 0; text-align: center; }
.figure img { display: block; margin: 0 auto; max-width: 100%; height: auto; }
.caption { margin: 0.6em 0 0; font-size: 0.92em; font-style: italic; color: #4a5a6a; text-align: center; }
pre {
  margin: 0 0 1em; padding: 0.8em 1em; overflow-x: auto; background: #f3f6f9;
  border-left: 4px solid #108680; line-height: 1.45;
}
pre, code { font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 0.86em; }
code { padding: 0.05em 0.3em; background: #eef3f7; border-radius: 3px; }
pre code { padding: 0; background: none; font-size: 1em; }
blockquote {
  margin: 1.2em 0; padding: 0.7em 1.1em; background: #eef8f7; border-left: 4px solid #108680;
  color: #24424a;
}
blockquote p:last-child { margin-bottom: 0; }
hr { border: 0; border-top: 1px solid #d3dde7; margin: 2em 0; }
)css";

QString escapeText(const QString& text) {
    return text.toHtmlEscaped();
}

QByteArray base64Lines(const QByteArray& bytes) {
    const QByteArray encoded = bytes.toBase64();
    QByteArray result;
    result.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        result += encoded.mid(i, 76) + "\r\n";
    return result;
}

}  // namespace

Fragment checkFragment(const QString& html, const QString& path) {
    Fragment fragment{path, html, QString(), QStringList()};
    TagReader reader(html, path);
    Tag tag;
    bool first = true;
    qsizetype headingStart = -1;
    qsizetype textStart = 0;
    while (reader.next(tag)) {
        if (first) {
            if (!textOf(html.mid(textStart, tag.begin - textStart)).isEmpty() || tag.closing ||
                tag.name != QLatin1String("h1"))
                reader.error(tag.begin, QStringLiteral("the fragment must begin with <h1> "
                                                       "holding its title"));
            first = false;
            headingStart = tag.end;
        }
        if (tag.closing) {
            if (tag.name == QLatin1String("h1") && headingStart >= 0) {
                fragment.heading = textOf(html.mid(headingStart, tag.begin - headingStart));
                headingStart = -1;
            }
            continue;
        }
        if (const auto rule = forbiddenElements().constFind(tag.name);
            rule != forbiddenElements().cend())
            reader.error(tag.begin, QStringLiteral("<%1> is not allowed: %2").arg(tag.name, *rule));
        for (const Attribute& attribute : tag.attributes) {
            const auto fault = [&](const QString& what) {
                reader.error(tag.begin,
                             QStringLiteral("<%1 %2>: %3").arg(tag.name, attribute.name, what));
            };
            if (attribute.name == QLatin1String("style"))
                fault(QStringLiteral("no styles: one style sheet serves every page"));
            if (attribute.name.startsWith(QLatin1String("on")))
                fault(QStringLiteral("pages hold no scripts"));
            if (loadsResource(attribute.name)) fault(QStringLiteral("no external resources"));
            if (attribute.name == QLatin1String("href") && !attribute.value.startsWith(u'#'))
                fault(QStringLiteral("no external links (only #anchors within the page)"));
            if (attribute.name == QLatin1String("src")) {
                if (tag.name != QLatin1String("img") || !isPictureSource(attribute.value))
                    fault(QStringLiteral("\"%1\" is not a picture of pictures/ "
                                         "(pictures/<name>.svg)")
                              .arg(attribute.value));
                if (!fragment.pictures.contains(attribute.value))
                    fragment.pictures.append(attribute.value);
            }
        }
        if (tag.name == QLatin1String("img") && !tag.attribute(QStringLiteral("src")))
            reader.error(tag.begin, QStringLiteral("<img> without src"));
        textStart = tag.end;
    }
    if (first)
        fail(QStringLiteral("%1: the fragment must begin with <h1> holding its title").arg(path));
    if (headingStart >= 0) reader.error(headingStart, QStringLiteral("<h1> is not closed"));
    if (fragment.heading.isEmpty())
        reader.error(0, QStringLiteral("the leading <h1> holds no title"));
    return fragment;
}

Fragment readFragment(const QString& path) {
    return checkFragment(readText(path), path);
}

QSize pictureSize(const QString& file) {
    if (pictureType(file) != "image/svg+xml") return QImageReader(file).size();
    QXmlStreamReader svg(readBytes(file));
    while (!svg.atEnd() && !svg.isStartElement())
        svg.readNext();
    const QXmlStreamAttributes attributes = svg.attributes();
    // A length in user units or pixels; relative lengths give no size.
    const auto length = [&](const QString& name) {
        QString value = attributes.value(name).toString().trimmed();
        if (value.endsWith(QLatin1String("px"))) value.chop(2);
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok && number > 0 ? number : 0.0;
    };
    double width = length(QStringLiteral("width"));
    double height = length(QStringLiteral("height"));
    const QStringList box =
        attributes.value(QStringLiteral("viewBox"))
            .toString()
            .split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
    if (box.size() == 4) {
        const double boxWidth = box[2].toDouble();
        const double boxHeight = box[3].toDouble();
        if (boxWidth > 0 && boxHeight > 0) {
            if (width == 0 && height == 0) {
                width = boxWidth;
                height = boxHeight;
            } else if (height == 0) {
                height = width * boxHeight / boxWidth;
            } else if (width == 0) {
                width = height * boxWidth / boxHeight;
            }
        }
    }
    return QSize(qRound(width), qRound(height));
}

QString htmlDocument(const Fragment& fragment, const QString& sourceFolder) {
    // The word processor that prints the documents knows neither figure elements nor
    // style sheet borders of tables, and gives a picture without a size a small default
    // one: figures become centred blocks, tables get their borders as attributes and
    // pictures the size they are drawn at, at most the width of a printed page.
    for (const QString& src : fragment.pictures) {
        if (!QFileInfo(sourceFolder + u'/' + src).isFile())
            fail(QStringLiteral("%1: the picture %2 does not exist").arg(fragment.path, src));
    }
    QString body;
    TagReader reader(fragment.html, fragment.path);
    Tag tag;
    qsizetype copied = 0;
    while (reader.next(tag)) {
        QString replacement;
        if (tag.name == QLatin1String("figure")) {
            replacement = tag.closing ? QStringLiteral("</div>")
                                      : QStringLiteral("<div class=\"figure\" align=\"center\">");
        } else if (tag.name == QLatin1String("figcaption")) {
            replacement = tag.closing ? QStringLiteral("</p>")
                                      : QStringLiteral("<p class=\"caption\" align=\"center\">");
        } else if (tag.name == QLatin1String("table") && !tag.closing &&
                   !tag.attribute(QStringLiteral("border"))) {
            replacement =
                QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"6\"") +
                fragment.html.mid(tag.begin + 6, tag.end - tag.begin - 6);
        } else if (tag.name == QLatin1String("img") && !tag.attribute(QStringLiteral("width")) &&
                   !tag.attribute(QStringLiteral("height"))) {
            const QSize size =
                pictureSize(sourceFolder + u'/' + tag.attribute(QStringLiteral("src"))->value);
            if (!size.isEmpty()) {
                const int width = qMin(size.width(), kPrintedWidth);
                const int height = qRound(double(size.height()) * width / size.width());
                replacement =
                    QStringLiteral("<img width=\"%1\" height=\"%2\"").arg(width).arg(height) +
                    fragment.html.mid(tag.begin + 4, tag.end - tag.begin - 4);
            }
        }
        if (replacement.isEmpty()) continue;
        body += fragment.html.mid(copied, tag.begin - copied) + replacement;
        copied = tag.end;
    }
    body += fragment.html.mid(copied);
    return QStringLiteral(
               "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
               "<title>%1</title>\n<style>%2</style>\n</head>\n<body>\n%3\n</body>\n"
               "</html>\n")
        .arg(escapeText(fragment.heading), QLatin1String(kStyleSheet), body.trimmed());
}

QByteArray pictureType(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg")) return "image/svg+xml";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("gif")) return "image/gif";
    return {};
}

QByteArray mhtArchive(const QList<MhtPart>& parts, const QString& subject) {
    // Base64 text never holds "_", so the boundary cannot occur inside a part.
    const QByteArray boundary = "----=_NextPart_000_Kesta_Course";
    QByteArray out;
    out += "From: <Saved by Kesta>\r\n";
    out += "Subject: =?utf-8?B?" + subject.toUtf8().toBase64() + "?=\r\n";
    out += "MIME-Version: 1.0\r\n";
    out += "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n\tboundary=\"" + boundary +
           "\"\r\n\r\n";
    out += "This is a multi-part message in MIME format.\r\n";
    for (const MhtPart& part : parts) {
        out += "\r\n--" + boundary + "\r\n";
        out += "Content-Type: " + part.contentType + "\r\n";
        out += "Content-Transfer-Encoding: base64\r\n";
        out += "Content-Location: " + part.location + "\r\n\r\n";
        out += base64Lines(part.body);
    }
    out += "\r\n--" + boundary + "--\r\n";
    return out;
}

QByteArray pageArchive(const Fragment& fragment, const QString& sourceFolder,
                       const QString& location) {
    const QUrl base(location);
    QList<MhtPart> parts{{"text/html; charset=\"utf-8\"", base.toEncoded(),
                          htmlDocument(fragment, sourceFolder).toUtf8()}};
    for (const QString& src : fragment.pictures)
        parts.append({pictureType(src), base.resolved(QUrl(src)).toEncoded(),
                      readBytes(sourceFolder + u'/' + src)});
    return mhtArchive(parts, fragment.heading);
}
