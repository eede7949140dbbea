#pragma once

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// An HTML fragment of a theory page or a document, checked against the rules of the course
// sources: no document structure (html, head, body), no scripts, no styles, no external
// links or resources; it begins with an h1 and its pictures are files of pictures/.
struct Fragment {
    QString path;  // the source file, for messages
    QString html;
    QString heading;       // the text of the leading h1, whitespace collapsed
    QStringList pictures;  // the src of every img ("pictures/x.svg"), each once, in order
};

// Fails naming the file and the line of the first fault.
Fragment checkFragment(const QString& html, const QString& path);
Fragment readFragment(const QString& path);

// The standalone UTF-8 document around a fragment, with the one style sheet of the course;
// its pictures stay links relative to the document, sized from the files under
// `sourceFolder` (which holds pictures/). Fails naming the fragment's file when a picture
// is missing.
QString htmlDocument(const Fragment& fragment, const QString& sourceFolder);

// The size a picture file is drawn at: an SVG's width and height, or its viewBox; empty
// when unknown.
QSize pictureSize(const QString& file);

// A file of a saved web page (MIME multipart/related, every part base64).
struct MhtPart {
    QByteArray contentType;  // "text/html; charset=\"utf-8\""
    QByteArray location;     // Content-Location, an absolute URL
    QByteArray body;
};
QByteArray mhtArchive(const QList<MhtPart>& parts, const QString& subject);

// The MIME type a picture is served as, from its file name; empty for an unknown kind.
QByteArray pictureType(const QString& fileName);

// The saved web page of a fragment: the document first, at `location` (an absolute URL),
// then each picture it shows, read from `sourceFolder` + "/" + its src and placed at the
// URL its src resolves to against the document's. Fails naming the fragment's file when a
// picture is missing.
QByteArray pageArchive(const Fragment& fragment, const QString& sourceFolder,
                       const QString& location);
