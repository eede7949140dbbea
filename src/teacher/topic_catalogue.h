#pragma once

#include <QString>

class TConnection;
class TTable;

// The theory topics as a tree kept in the stored order of the topic table: every section
// (Индекс 0) is followed directly by its own sub-topics, Абсолютный номер runs 0, 1, 2, ...
// in stored order, and a sub-topic's Индекс is its parent's Абсолютный номер. The student
// window builds its tree from exactly this.
namespace topics {

// The largest Абсолютный номер of the table, found by reading every row; -1 when empty.
int largestNumber(TTable* teoria);

// The key of the last row of the subtree of the row with this Абсолютный номер: where a
// new sub-topic of it is stored.
qint64 endOfSubtree(TTable* teoria, int number);

// Numbers the rows 0, 1, 2, ... in stored order and points every sub-topic's Индекс at its
// parent's new number. A sub-topic whose parent is gone goes under the nearest section
// above it.
void renumber(TTable* teoria);

// Deletes the rows under the section with this Абсолютный номер: every row whose Индекс is
// that number, and the rows under those. Number 0 has none: an Индекс of 0 means "no
// parent", so the section stored first never holds sub-topics.
void deleteSubtree(TTable* teoria, int section);

// The title of the section that would come to stand first when the first row goes, when
// that section holds sub-topics; empty otherwise. The current row stays where it is.
QString sectionLosingSubtopics(TTable* teoria);

// A new topic: its title, the file of its page and of its presentation.
struct NewTopic {
    QString title;
    QString page;
    QString presentation;
};

// Adds a topic in one transaction, placed and numbered on the tree as the file holds it:
// under the section that is the current row when `underCurrent`, after its last row; else
// as a new section after all rows. The new topic becomes current. ERowConflict, and nothing
// added, when another computer changed or deleted that section since it was read.
void addTopic(TConnection& connection, TTable* teoria, bool underCurrent, const NewTopic& topic);

// Deletes the current row in one transaction, with everything under it when it is a
// section, and numbers the rest again; the row after it becomes current. Returns the title
// of the section whose sub-topics became sections of their own (see
// sectionLosingSubtopics), or an empty text. ERowConflict, and nothing deleted, when
// another computer changed or deleted the row since it was read.
QString deleteTopic(TConnection& connection, TTable* teoria);

}  // namespace topics
