#pragma once

#include "platform/kesta_error.h"

// An error of the data layer: the Russian message names what failed.
class EDatabaseError : public KestaError {
public:
    using KestaError::KestaError;
};

// A write found its row changed or deleted by another program since the row was read, and
// wrote nothing. The table object that made the write has read its table again by the time
// the user reads the message.
class ERowConflict : public EDatabaseError {
public:
    explicit ERowConflict(QString table)
        : EDatabaseError(QStringLiteral(
              "Запись изменена или удалена на другом компьютере. Данные обновлены.")),
          table_(std::move(table)) {}

    const QString& table() const noexcept { return table_; }

private:
    QString table_;
};
