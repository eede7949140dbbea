#include "data/data_source.h"

TDataSource::TDataSource(QObject* parent) : QObject(parent) {}

void TDataSource::setDataSet(TTable* table) {
    if (table_ == table) return;
    if (table_) disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    if (table_) {
        const auto forward = [this](auto signal) {
            return [this, signal](auto... args) {
                if (enabled_) Q_EMIT(this->*signal)(args...);
            };
        };
        connect(table_, &TTable::dataSetChanged, this, forward(&TDataSource::dataChanged));
        connect(table_, &TTable::recordMoved, this, forward(&TDataSource::scrolled));
        connect(table_, &TTable::stateChanged, this, forward(&TDataSource::stateChanged));
        connect(table_, &TTable::fieldChanged, this, forward(&TDataSource::fieldChanged));
    }
    Q_EMIT dataChanged();
}

void TDataSource::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Q_EMIT enabledChanged();
    if (enabled_) Q_EMIT dataChanged();
}
