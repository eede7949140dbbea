#pragma once

#include <QStringList>

class Store;
class SqliteStore;

// What a course file shared by a class holds at every moment, whichever moment a program
// stopped at: each finding is one sentence naming what is wrong; none when all holds.
//  - every hand-in has exactly its 40 answer records, and every result its hand-in's
//    records (per student, day and kind of test: 40 records for each result row);
//  - the topic table is in tree order, numbered 0, 1, 2, ... in stored order, each
//    sub-topic after its own section;
//  - the bank's question numbers, leaving out the questions added since the last launch
//    (numbered 0), are distinct and rise in stored order;
//  - no two accounts share a login, letter case ignored;
//  - each program's running test has all its 40 rows or none.
// Read at one moment, so that it may run while programs work on the file.
QStringList courseFileFindings(Store& store);

// The file's own structure check followed by the findings above.
QStringList checkCourseFile(SqliteStore& store);
