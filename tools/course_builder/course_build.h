#pragma once

#include <QString>

// Makes a course installation folder from the course sources (see course/README.md):
// Kesta.db from schema.sql, db/*.tsv and questions.txt; under Data/ the theory pages
// (.mht) and their printable copies, the documents, pictures, presentations and videos;
// copies of the ready-made files of Data/ and of Skins/. Checks the course as a whole and
// fails with every fault it finds, each naming its file; the database is written only
// when there are none. Needs a QGuiApplication.
void buildCourse(const QString& source, const QString& output);
