#pragma once

#include <QList>
#include <QString>

// A presentation written as text: each line "# Title" starts a slide; the first slide is
// the title slide, whose other lines are subtitles; on the others "- " starts a point,
// an indented "- " a sub-point, and any other line is a paragraph of its own.
struct SlideDeck {
    struct Item {
        enum Kind { Point, SubPoint, Paragraph };
        Kind kind;
        QString text;
    };
    struct Slide {
        int line = 0;  // of its "#" line, from 1
        QString title;
        QList<Item> items;
    };

    QString path;  // the source file, for messages
    QList<Slide> slides;
};

// Fails naming the line of the first fault.
SlideDeck parseSlides(const QString& text, const QString& path);

// Draws the deck as a 16:9 PDF, one page a slide: the title slide and slides without
// points on the course's gradient, the others as a heading band above the points, each
// numbered. Fails naming the slide whose text does not fit even in the smallest type.
// Needs a QGuiApplication.
void writeSlideDeck(const SlideDeck& deck, const QString& pdfPath);
