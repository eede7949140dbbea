#include "teacher/topic_catalogue.h"

#include <QHash>
#include <QSet>

#include "data/table.h"

namespace topics {

namespace {
const QString kNumber = QStringLiteral("Абсолютный номер");
const QString kParent = QStringLiteral("Индекс");
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
        const QString candidate = teoria->fieldByName(QStringLiteral("Название темы")).asString();
        teoria->setRecNo(3);
        if (number != 0 && parentField.asInteger() == number) title = candidate;
    }
    teoria->gotoBookmark(current);
    return title;
}

}  // namespace topics
