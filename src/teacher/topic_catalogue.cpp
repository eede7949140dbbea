#include "teacher/topic_catalogue.h"

#include <QHash>
#include <QSet>

#include "data/connection.h"
#include "data/table.h"

namespace topics {

namespace {
const QString kNumber = QStringLiteral("Абсолютный номер");
const QString kParent = QStringLiteral("Индекс");
const QString kTitle = QStringLiteral("Название темы");
}  // namespace

int largestNumber(TTable* teoria) {
    const ControlsDisabled quiet(teoria);
    int largest = -1;
    const TField number = teoria->fieldByName(kNumber);
    for (teoria->first(); !teoria->eof(); teoria->next())
        largest = std::max(largest, int(number.asInteger()));
    return largest;
}

qint64 endOfSubtree(TTable* teoria, int number) {
    const ControlsDisabled quiet(teoria);
    const TField numberField = teoria->fieldByName(kNumber);
    const TField parentField = teoria->fieldByName(kParent);
    qint64 end = -1;
    QSet<int> inside;  // the numbers of the subtree's rows met so far
    for (teoria->first(); !teoria->eof(); teoria->next()) {
        const int own = int(numberField.asInteger());
        if (end < 0) {
            if (own == number) {
                end = teoria->bookmark();
                inside.insert(own);
            }
            continue;
        }
        const int parent = int(parentField.asInteger());
        if (parent == 0 || !inside.contains(parent)) break;
        inside.insert(own);
        end = teoria->bookmark();
    }
    return end;
}

void renumber(TTable* teoria) {
    const ControlsDisabled quiet(teoria);
    const TField numberField = teoria->fieldByName(kNumber);
    const TField parentField = teoria->fieldByName(kParent);
    // The new number of every old number, from its first row in stored order.
    QHash<int, int> renamed;
    int position = 0;
    for (teoria->first(); !teoria->eof(); teoria->next()) {
        const int own = int(numberField.asInteger());
        if (!renamed.contains(own)) renamed.insert(own, position);
        ++position;
    }
    position = 0;
    int lastSection = 0;
    for (teoria->first(); !teoria->eof(); teoria->next(), ++position) {
        const int oldParent = int(parentField.asInteger());
        int parent = 0;
        if (oldParent != 0) {
            parent = renamed.value(oldParent, -1);
            if (parent < 0 || parent >= position) parent = lastSection;
        } else {
            lastSection = position;
        }
        if (numberField.asInteger() != position || parentField.asInteger() != parent) {
            teoria->edit();
            numberField.setValue(position);
            parentField.setValue(parent);
            teoria->post();
        }
    }
}

void deleteSubtree(TTable* teoria, int section) {
    if (section == 0) return;
    const ControlsDisabled quiet(teoria);
    const TField numberField = teoria->fieldByName(kNumber);
    const TField parentField = teoria->fieldByName(kParent);
    QSet<int> under{section};  // the numbers whose rows are being deleted
    int position = 1;
    while (position <= teoria->recordCount()) {
        teoria->setRecNo(position);
        const int parent = int(parentField.asInteger());
        if (parent != 0 && under.contains(parent)) {
            under.insert(int(numberField.asInteger()));
            teoria->deleteRecord();
        } else {
            ++position;
        }
    }
}

QString sectionLosingSubtopics(TTable* teoria) {
    if (teoria->recordCount() < 3) return QString();
    const ControlsDisabled quiet(teoria);
    const qint64 current = teoria->bookmark();
    const TField numberField = teoria->fieldByName(kNumber);
    const TField parentField = teoria->fieldByName(kParent);
    teoria->setRecNo(2);
    QString title;
    if (parentField.asInteger() == 0) {
        const qlonglong number = numberField.asInteger();
        const QString candidate = teoria->fieldByName(kTitle).asString();
        teoria->setRecNo(3);
        if (number != 0 && parentField.asInteger() == number) title = candidate;
    }
    teoria->gotoBookmark(current);
    return title;
}

void addTopic(TConnection& connection, TTable* teoria, bool underCurrent, const NewTopic& topic) {
    connection.transaction([&] {
        // Another computer may have changed the tree since it was read: the new row is
        // placed and numbered against the stored one, under the section as it was seen.
        int parent = 0;
        if (underCurrent) {
            teoria->rereadCurrent();
            parent = int(teoria->fieldByName(kNumber).asInteger());
        } else {
            teoria->refresh();
        }
        const int largest = largestNumber(teoria);
        // A sub-topic is stored after the last row of its section, a section after all rows.
        if (parent != 0)
            teoria->insertAfter(endOfSubtree(teoria, parent));
        else
            teoria->append();
        teoria->fieldByName(kParent).setValue(parent);
        teoria->fieldByName(kNumber).setValue(largest + 1);
        teoria->fieldByName(kTitle).setValue(topic.title);
        teoria->fieldByName(QStringLiteral("Наименование")).setValue(topic.page);
        teoria->fieldByName(QStringLiteral("Файл-приложение")).setValue(topic.presentation);
        teoria->post();
        const qint64 added = teoria->bookmark();
        renumber(teoria);
        teoria->gotoBookmark(added);
    });
}

QString deleteTopic(TConnection& connection, TTable* teoria) {
    QString promoted;
    connection.transaction([&] {
        // The subtree and the numbering are worked out on the stored tree, which another
        // computer may have changed since it was read.
        teoria->rereadCurrent();
        const int next = teoria->recNo();
        if (teoria->fieldByName(kParent).asInteger() == 0) {
            const int section = int(teoria->fieldByName(kNumber).asInteger());
            // The section stored first never holds sub-topics: when the first row goes and
            // the next section has some, they become sections of their own.
            if (next == 1) promoted = sectionLosingSubtopics(teoria);
            teoria->deleteRecord();
            deleteSubtree(teoria, section);
        } else {
            teoria->deleteRecord();
        }
        renumber(teoria);
        teoria->setRecNo(std::min(next, teoria->recordCount()));
    });
    return promoted;
}

}  // namespace topics
