#include "course_build.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QUrl>
#include <cstdio>

#include "app/dm.h"
#include "course_check.h"
#include "data/connection.h"
#include "data/sqlite_store.h"
#include "pages.h"
#include "questions.h"
#include "slides.h"
#include "videos.h"

namespace {

// Where the theory pages place themselves: every part of a saved page is addressed by a
// URL, which the browser resolves the page's pictures against. A host that never
// resolves keeps the browser from looking anywhere but in the archive.
const QString kPageHost = QStringLiteral("course.invalid");

QStringList sourceFiles(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

bool isHtmlName(const QString& name) {
    return name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".html"), Qt::CaseInsensitive);
}

class CourseBuilder {
public:
    CourseBuilder(const QString& source, const QString& output)
        : source_(source), output_(output) {}

    void build() {
        if (!QDir().mkpath(output_)) fail(QStringLiteral("cannot create %1").arg(output_));
        // A build that fails leaves no database behind, so the next one runs again.
        const QString database = output_ + u'/' + TDataModule1::DatabaseFile;
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(database + QLatin1String(suffix));

        readTables();
        if (tables_.contains(QStringLiteral("teoria")))
            topics_ = readTopics(tables_[QStringLiteral("teoria")], faults_);
        faults_.collect([&] { copyReadyMade(); });
        makePages();
        makeDocuments();
        makePresentations();
        planVideos();
        checkCatalogues();
        faults_.collect([&] { readQuestions(); });
        faults_.throwIfAny();

        makeVideos();
        faults_.throwIfAny();
        writeDatabase(database);
    }

private:
    QString sourcePath(const QString& relative) const { return source_ + u'/' + relative; }
    QString outputPath(const QString& relative) const { return output_ + u'/' + relative; }

    void produce(const QString& relative, const QByteArray& bytes) {
        writeBytes(outputPath(relative), bytes);
        made_.insert(relative);
    }

    void readTables() {
        for (const QString& name :
             sourceFiles(sourcePath(QStringLiteral("db")), QStringLiteral("*.tsv"))) {
            faults_.collect([&] {
                const TsvTable table = readTsv(sourcePath(QStringLiteral("db/") + name));
                tables_.insert(table.name, table);
            });
        }
    }

    void copyReadyMade() {
        for (const QString& file :
             copyTree(sourcePath(QStringLiteral("Data")), outputPath(QStringLiteral("Data"))))
            made_.insert(QStringLiteral("Data/") + file);
        copyTree(sourcePath(QStringLiteral("Skins")), outputPath(QStringLiteral("Skins")));
        for (const QString& file : copyTree(sourcePath(QStringLiteral("pictures")),
                                            outputPath(QStringLiteral("Data/pictures"))))
            made_.insert(QStringLiteral("Data/pictures/") + file);
    }

    // Theory pages: pages/<title>.html gives Data/<title>.mht and the printable copy
    // Data/<Наименование>. A page saved elsewhere may come ready-made in Data/ instead.
    void makePages() {
        const QString folder = sourcePath(QStringLiteral("pages"));
        QSet<QString> titles;
        QMap<QString, QString> printables;  // file name: the topic that names it
        for (const Topic& topic : topics_) {
            if (topic.title.isEmpty()) continue;
            titles.insert(topic.title);
            const QString page = QStringLiteral("pages/") + topic.title + QStringLiteral(".html");
            if (!QFileInfo(sourcePath(page)).isFile()) {
                if (!made_.contains(QStringLiteral("Data/") + topic.title + QStringLiteral(".mht")))
                    faults_.add(QStringLiteral("%1: the topic \"%2\" has no page %3")
                                    .arg(topic.place, topic.title, page));
                continue;
            }
            faults_.collect([&] {
                if (topic.printable.isEmpty() || topic.printable.contains(u'/') ||
                    !isHtmlName(topic.printable))
                    fail(QStringLiteral("%1: Наименование \"%2\" must name the printable copy, "
                                        "an .htm file in Data/")
                             .arg(topic.place, topic.printable));
                if (printables.contains(topic.printable))
                    fail(QStringLiteral("%1: Наименование \"%2\" is the printable copy of \"%3\" "
                                        "already")
                             .arg(topic.place, topic.printable, printables.value(topic.printable)));
                printables.insert(topic.printable, topic.title);
                const Fragment fragment = readFragment(sourcePath(page));
                if (fragment.heading != topic.title)
                    fail(QStringLiteral("%1: the heading \"%2\" is not the topic's title \"%3\"")
                             .arg(sourcePath(page), fragment.heading, topic.title));
                QUrl location;
                location.setScheme(QStringLiteral("http"));
                location.setHost(kPageHost);
                location.setPath(QStringLiteral("/Data/") + topic.printable);
                produce(QStringLiteral("Data/") + topic.title + QStringLiteral(".mht"),
                        pageArchive(fragment, source_, location.toString()));
                produce(QStringLiteral("Data/") + topic.printable,
                        htmlDocument(fragment, source_).toUtf8());
                ++pages_;
            });
        }
        for (const QString& name : sourceFiles(folder, QStringLiteral("*.html"))) {
            const QString title = QFileInfo(name).completeBaseName();
            if (!titles.contains(title))
                faults_.add(QStringLiteral("%1/%2: no topic of teoria is titled \"%3\"")
                                .arg(folder, name, title));
        }
    }

    void makeDocuments() {
        const QString folder = sourcePath(QStringLiteral("documents"));
        for (const QString& name : sourceFiles(folder, QStringLiteral("*.html"))) {
            faults_.collect([&] {
                const QString target = QStringLiteral("Data/") +
                                       QFileInfo(name).completeBaseName() + QStringLiteral(".htm");
                if (made_.contains(target))
                    fail(QStringLiteral("%1/%2: %3 is made from another source already")
                             .arg(folder, name, target));
                made_.insert(target);  // a faulty source is reported once, as itself
                produce(target, htmlDocument(readFragment(folder + u'/' + name), source_).toUtf8());
                ++documents_;
            });
        }
    }

    void makePresentations() {
        const QString folder = sourcePath(QStringLiteral("slides"));
        for (const QString& name : sourceFiles(folder, QStringLiteral("*.txt"))) {
            faults_.collect([&] {
                const QString path = folder + u'/' + name;
                const QString target = QStringLiteral("Data/Present/") +
                                       QFileInfo(name).completeBaseName() + QStringLiteral(".pdf");
                made_.insert(target);  // a faulty source is reported once, as itself
                QDir().mkpath(outputPath(QStringLiteral("Data/Present")));
                writeSlideDeck(parseSlides(readText(path), path), outputPath(target));
                ++presentations_;
            });
        }
    }

    void planVideos() {
        const QString folder = sourcePath(QStringLiteral("videos"));
        for (const QString& name : sourceFiles(folder, QStringLiteral("*.txt"))) {
            faults_.collect([&] {
                const QString path = folder + u'/' + name;
                const QString target = QStringLiteral("Data/Video/") +
                                       QFileInfo(name).completeBaseName() + QStringLiteral(".mp4");
                made_.insert(target);  // a faulty source is reported once, as itself
                videos_.append({parseVideoScript(readText(path), path), target});
            });
        }
    }

    // Encoding takes seconds a video, so a video newer than its script and than this
    // builder is kept.
    void makeVideos() {
        const QFileInfo builder(QCoreApplication::applicationFilePath());
        int kept = 0;
        for (const auto& [script, target] : videos_) {
            const QFileInfo made(outputPath(target));
            if (made.exists() && made.lastModified() >= QFileInfo(script.path).lastModified() &&
                made.lastModified() >= builder.lastModified()) {
                ++kept;
                continue;
            }
            faults_.collect([&] {
                QDir().mkpath(made.absolutePath());
                writeVideo(script, made.filePath());
            });
        }
        std::printf("  videos: %d (%d kept from the last build)\n", int(videos_.size()), kept);
    }

    // Every file a catalogue names must be made from a source or come ready-made.
    void checkCatalogues() {
        struct Catalogue {
            const char* table;
            const char* folder;
            const char* source;  // the source of a file, %1 standing for its base name
        };
        for (const Catalogue& catalogue :
             {Catalogue{"praktika", "Data/", "documents/%1.html"},
              Catalogue{"dopolnenie", "Data/", "documents/%1.html"},
              Catalogue{"presentacia", "Data/Present/", "slides/%1.txt"},
              Catalogue{"video", "Data/Video/", "videos/%1.txt"}}) {
            const auto table = tables_.constFind(QLatin1String(catalogue.table));
            if (table == tables_.cend()) continue;
            for (const TsvTable::Row& row : table->rows) {
                faults_.collect([&] {
                    if (table->cell(row, QStringLiteral("Название темы")).trimmed().isEmpty())
                        fail(table->place(row) + QStringLiteral(": no title"));
                    const QString name =
                        catalogueFileName(table->cell(row, QStringLiteral("Наименование файла")));
                    checkNamed(table->place(row), QLatin1String(catalogue.folder), name,
                               QLatin1String(catalogue.source));
                });
            }
        }
        for (const Topic& topic : topics_) {
            if (topic.presentation.isEmpty()) continue;
            faults_.collect([&] {
                checkNamed(topic.place, QStringLiteral("Data/Present/"), topic.presentation,
                           QStringLiteral("slides/%1.txt"));
            });
        }
    }

    void checkNamed(const QString& place, const QString& folder, const QString& name,
                    const QString& source) const {
        if (name.isEmpty()) fail(place + QStringLiteral(": no file name"));
        if (!made_.contains(folder + name))
            fail(QStringLiteral("%1: %2%3 is made from no source; write %4")
                     .arg(place, folder, name, source.arg(QFileInfo(name).completeBaseName())));
    }

    // questions.txt becomes the rows of test.
    void readQuestions() {
        const QString path = sourcePath(QStringLiteral("questions.txt"));
        if (!QFileInfo(path).isFile()) return;
        if (tables_.contains(QStringLiteral("test")))
            fail(QStringLiteral("%1 and db/test.tsv both hold the question bank; keep one")
                     .arg(path));
        TsvTable test;
        test.path = path;
        test.name = QStringLiteral("test");
        test.columns = QStringList{QStringLiteral("Номер_вопроса"), QStringLiteral("Вопрос"),
                                   QStringLiteral("Правильный_ответ")};
        const QList<Question> questions = parseQuestions(readText(path), path);
        for (int i = 0; i < questions.size(); ++i)
            test.rows.append(
                {questions[i].line,
                 {QString::number(i + 1), questions[i].text, QString(questions[i].answer)}});
        tables_.insert(test.name, test);
    }

    void writeDatabase(const QString& database) {
        TConnection connection;
        {
            auto store = SqliteStore::create(database, TDataModule1::DatabasePassword);
            store->execute(readText(sourcePath(QStringLiteral("schema.sql"))));
            connection.open(std::move(store));
        }
        try {
            for (const TsvTable& table : tables_) {
                loadTable(connection, table);
                std::printf("  %s: %d rows\n", qPrintable(table.name), int(table.rows.size()));
            }
        } catch (...) {
            connection.close();
            QFile::remove(database);
            throw;
        }
        connection.close();
        std::printf("  pages: %d, documents: %d, presentations: %d\n", pages_, documents_,
                    presentations_);
    }

    QString source_;
    QString output_;
    Faults faults_;
    QMap<QString, TsvTable> tables_;  // by table name
    QList<Topic> topics_;
    QSet<QString> made_;  // files of the output, relative to it, made or copied by this run
    QList<std::pair<VideoScript, QString>> videos_;  // and the file each makes
    int pages_ = 0;
    int documents_ = 0;
    int presentations_ = 0;
};

}  // namespace

void buildCourse(const QString& source, const QString& output) {
    CourseBuilder(source, output).build();
}
