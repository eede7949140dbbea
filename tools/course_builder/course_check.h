#pragma once

#include <QList>
#include <QString>

#include "files.h"
#include "tsv.h"

// A row of teoria, the theory topics.
struct Topic {
    QString place;  // where the row is written, for messages
    int number = 0;
    int index = 0;
    QString title;
    QString printable;     // Наименование: the copy the word processor opens
    QString presentation;  // Файл-приложение
};

// Reads teoria and checks what the student window relies on: rows in tree order
// (Абсолютный номер 0, 1, 2, ...; each sub-topic's Индекс names the section it follows,
// and the row at 0 is no section of sub-topics), titles that are file names and of which
// none begins with another, letter case ignored, since topics are found by the beginning
// of their titles. Each fault found is added to `faults`.
QList<Topic> readTopics(const TsvTable& teoria, Faults& faults);

// A file name from a catalogue, as the program joins it to a folder: "\" is a separator.
QString catalogueFileName(const QString& name);
