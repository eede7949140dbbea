-- The course database. Tables keep their rows in the order they were added (rowid);
-- counters are assigned by the database and never reused.

-- Accounts. "admin" in Примечание marks a teacher; passwords are kept as Argon2id hashes.
CREATE TABLE users (
  "Логин"      TEXT,
  "Пароль"     TEXT,
  "Примечание" TEXT,
  "Логин_ключ" TEXT
);

-- Theory topics in tree order: each section followed by its own sub-topics.
CREATE TABLE teoria (
  "Абсолютный номер" INTEGER,
  "Индекс"           INTEGER,
  "Название темы"    VARCHAR(200),
  "Наименование"     VARCHAR(150),
  "Файл-приложение"  VARCHAR(50)
);

-- Catalogues of course documents.
CREATE TABLE praktika (
  "Номер"              INTEGER PRIMARY KEY AUTOINCREMENT,
  "Название темы"      VARCHAR(150),
  "Наименование файла" VARCHAR(150)
);
CREATE TABLE dopolnenie (
  "Номер"              INTEGER PRIMARY KEY AUTOINCREMENT,
  "Название темы"      VARCHAR(150),
  "Наименование файла" VARCHAR(150)
);
CREATE TABLE presentacia (
  "Номер"              INTEGER PRIMARY KEY AUTOINCREMENT,
  "Название темы"      VARCHAR(150),
  "Наименование файла" VARCHAR(150)
);
CREATE TABLE video (
  "Номер"              INTEGER PRIMARY KEY AUTOINCREMENT,
  "Название темы"      VARCHAR(150),
  "Наименование файла" VARCHAR(150)
);

-- The test bank; Правильный_ответ holds the option code "A" to "E".
CREATE TABLE test (
  "Номер"            INTEGER PRIMARY KEY AUTOINCREMENT,
  "Номер_вопроса"    INTEGER,
  "Вопрос"           TEXT,
  "Правильный_ответ" VARCHAR(1)
);

-- The running tests: one row per position, the drawn question's key and the answer given;
-- Рабочее_место tells the rows of one running program from another's.
CREATE TABLE testing (
  "Номер"         INTEGER,
  "Номер1"        INTEGER,
  "Ответ"         VARCHAR(1),
  "Рабочее_место" INTEGER
);

-- The result journal: one row per handed-in test.
CREATE TABLE result (
  "Логин_студента"      TEXT,
  "Дата_тестирования"   DATE,
  "Количество вопросов" INTEGER,
  "Оценка"              TEXT,
  "Вид тестирования"    TEXT
);

-- Answer records: one row per answered question, with the number of the hand-in that
-- wrote it and the bank key of its question (both empty in records written by hand).
CREATE TABLE proverka (
  "Логин_студента"   TEXT,
  "Дата_тестирования" DATE,
  "Ответ_студента"   VARCHAR(1),
  "Правильный_ответ" VARCHAR(1),
  "Вид_тестирования" TEXT,
  "Вопрос"           TEXT,
  "Номер_сдачи"      INTEGER,
  "Номер_в_базе"     INTEGER
);
