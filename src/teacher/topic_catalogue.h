#pragma once

#include <QString>

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

}  // namespace topics
