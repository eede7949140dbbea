#pragma once

#include <QPlainTextEdit>
#include <QPointer>

#include "data/data_source.h"
#include "skin/core/sCommonData.h"

// The skinned memo bound to a text column of a data source: it shows the column of the
// current row, and what the user types goes into that column, saved when the row is left.
class TsDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TsDBMemo(QWidget* parent = nullptr);

    TsCommonData SkinData;

    void setDataSource(TDataSource* source);
    void setDataField(const QString& field);

private:
    void showField();
    void userEdited();

    QPointer<TDataSource> source_;
    QString field_;
    bool showing_ = false;
    bool writing_ = false;
};
