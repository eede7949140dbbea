#include "course_check.h"

namespace {

const QString kForbiddenInNames = QStringLiteral("/\\:*?\"<>|");

int wholeNumber(const QString& text, bool* ok) {
    return text.trimmed().toInt(ok);
}

}  // namespace

QString catalogueFileName(const QString& name) {
    return QString(name).replace(u'\\', u'/').trimmed();
}

QList<Topic> readTopics(const TsvTable& teoria, Faults& faults) {
    QList<Topic> topics;
    for (const char* column : {"Абсолютный номер", "Индекс", "Название темы", "Наименование"}) {
        if (teoria.column(QString::fromUtf8(column)) < 0) {
            faults.add(
                QStringLiteral("%1: no column %2").arg(teoria.path, QString::fromUtf8(column)));
            return topics;
        }
    }
    const bool presentations = teoria.column(QStringLiteral("Файл-приложение")) >= 0;
    int section = -1;  // Абсолютный номер of the last section
    for (const TsvTable::Row& row : teoria.rows) {
        Topic topic;
        topic.place = teoria.place(row);
        bool numberOk = false, indexOk = false;
        topic.number = wholeNumber(teoria.cell(row, QStringLiteral("Абсолютный номер")), &numberOk);
        topic.index = wholeNumber(teoria.cell(row, QStringLiteral("Индекс")), &indexOk);
        topic.title = teoria.cell(row, QStringLiteral("Название темы")).trimmed();
        topic.printable = catalogueFileName(teoria.cell(row, QStringLiteral("Наименование")));
        if (presentations)
            topic.presentation =
                catalogueFileName(teoria.cell(row, QStringLiteral("Файл-приложение")));
        const auto fault = [&](const QString& what) {
            faults.add(topic.place + QStringLiteral(": ") + what);
        };

        const int position = int(topics.size());
        if (!numberOk || topic.number != position)
            fault(QStringLiteral("Абсолютный номер is \"%1\" where the row's position %2 belongs")
                      .arg(teoria.cell(row, QStringLiteral("Абсолютный номер")))
                      .arg(position));
        if (!indexOk) {
            fault(QStringLiteral("Индекс is not a number"));
        } else if (topic.index == 0) {
            section = position;
        } else if (section <= 0 || topic.index != section) {
            fault(section <= 0
                      ? QStringLiteral("a sub-topic (Индекс %1) with no section before it that "
                                       "can hold one; the row at 0 cannot")
                            .arg(topic.index)
                      : QStringLiteral("Индекс %1 where the section it follows, %2, belongs")
                            .arg(topic.index)
                            .arg(section));
        }

        if (topic.title.isEmpty()) {
            fault(QStringLiteral("no title"));
        } else {
            for (const QChar c : topic.title) {
                if (kForbiddenInNames.contains(c)) {
                    fault(QStringLiteral("the title \"%1\" names a file and cannot hold \"%2\"")
                              .arg(topic.title, c));
                    break;
                }
            }
        }
        for (const Topic& earlier : topics) {
            if (earlier.title.isEmpty() || topic.title.isEmpty()) continue;
            const bool laterFirst = earlier.title.size() >= topic.title.size();
            const QString& longer = laterFirst ? earlier.title : topic.title;
            const QString& shorter = laterFirst ? topic.title : earlier.title;
            if (longer.startsWith(shorter, Qt::CaseInsensitive))
                fault(QStringLiteral("the title \"%1\" begins with \"%2\" (%3): the student "
                                     "window would show one topic for both")
                          .arg(longer, shorter, earlier.place));
        }
        topics.append(topic);
    }
    return topics;
}
