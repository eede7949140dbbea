#include "skin/controls/sDBMemo.h"

TsDBMemo::TsDBMemo(QWidget* parent)
    : QPlainTextEdit(parent),
      SkinData(this, 7),
      BoundLabel(this),
      scrollWnd_(this, SkinData, &DisabledKind) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    scrollWnd_.sync();
    connect(this, &QPlainTextEdit::textChanged, this, &TsDBMemo::userEdited);
}

void TsDBMemo::setDataSource(TDataSource* source) {
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    if (source_) {
        connect(source_, &TDataSource::scrolled, this, &TsDBMemo::showField);
        connect(source_, &TDataSource::dataChanged, this, &TsDBMemo::showField);
        connect(source_, &TDataSource::stateChanged, this, &TsDBMemo::showField);
    }
    showField();
}

void TsDBMemo::setDataField(const QString& field) {
    field_ = field;
    showField();
}

void TsDBMemo::showField() {
    if (writing_) return;
    TTable* table = source_ ? source_->dataSet() : nullptr;
    const bool hasRow = table && table->active() &&
                        (table->recordCount() > 0 || table->state() == DataSetState::Insert);
    // Without a row there is nothing to write into.
    setReadOnly(!hasRow || !table->canModify());
    QString text;
    if (hasRow) {
        const int field = table->fieldIndex(field_);
        if (field >= 0) text = valueText(table->fields()[field], table->value(field));
    }
    if (text == toPlainText()) return;
    showing_ = true;
    setPlainText(text);
    showing_ = false;
}

void TsDBMemo::userEdited() {
    TTable* table = source_ ? source_->dataSet() : nullptr;
    if (showing_ || isReadOnly() || !table) return;
    // The table's own notifications must not rewrite what is being typed.
    writing_ = true;
    try {
        table->edit();
        table->fieldByName(field_).setValue(toPlainText());
    } catch (...) {
        writing_ = false;
        throw;
    }
    writing_ = false;
}

void TsDBMemo::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        BoundLabel.followEnabled(!(DisabledKind & dkBlended));
}
