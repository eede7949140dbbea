#pragma once

#include <QPlainTextEdit>
#include <QPointer>

#include "data/data_source.h"
#include "skin/controls/sScrollWnd.h"
#include "skin/core/sBoundLabel.h"
#include "skin/core/sCommonData.h"

// The skinned memo bound to a text column of a data source: it shows the column of the
// current row, and what the user types goes into that column, saved when the row is left.
// Its frame and scroll bars are skinned by the scroll-window component, as a memo's are.
class TsDBMemo : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TsDBMemo(QWidget* parent = nullptr);

    TsCommonData SkinData;
    // An optional caption label beside the memo (inactive unless asked for).
    TsBoundLabel BoundLabel;
    unsigned DisabledKind = dkBlended;

    TsScrollWnd& ScrollWnd() { return scrollWnd_; }

    void setDataSource(TDataSource* source);
    void setDataField(const QString& field);

protected:
    void changeEvent(QEvent* event) override;

private:
    void showField();
    void userEdited();

    QPointer<TDataSource> source_;
    QString field_;
    bool showing_ = false;
    bool writing_ = false;
    TsScrollWnd scrollWnd_;
};
