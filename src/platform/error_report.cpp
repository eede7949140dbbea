#include "platform/error_report.h"

#include "platform/application.h"
#include "platform/kesta_error.h"
#include "platform/message_box.h"

QString exceptionText(const std::exception& error) {
    if (const auto* own = dynamic_cast<const KestaError*>(&error)) return own->message();
    return QString::fromUtf8(error.what());
}

QString errorReportText(const QString& text) {
    if (!text.isEmpty() && text.back().unicode() > u'.') return text + u'.';
    return text;
}

void showErrorReport(const QString& text) {
    MessageBox(errorReportText(text), TApplication::title(), mbOk | mbIconError);
}
