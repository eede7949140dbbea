#pragma once

#include <QString>

// The text shown by the general error report: a full stop is added when the last
// character's code is greater than that of the full stop (letters and digits are;
// spaces and the common punctuation marks are not).
QString errorReportText(const QString& text);

// Shows an error that no command handled: a modal box with the text, the program's
// title as caption, the error icon and OK.
void showErrorReport(const QString& text);
