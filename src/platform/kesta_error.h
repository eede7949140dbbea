#pragma once

#include <QString>
#include <exception>
#include <stdexcept>

// Base of the program's own exceptions. The message is Russian text meant for the user;
// it travels as a QString so that nothing is lost to encodings on the way to the report.
class KestaError : public std::runtime_error {
public:
    explicit KestaError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}

    const QString& message() const noexcept { return message_; }

private:
    QString message_;
};

// The text of any exception, as the user should read it.
QString exceptionText(const std::exception& error);
