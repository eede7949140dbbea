#pragma once

#include <QString>

#include "results/export_table.h"

class QWidget;

// "Экспорт...": asks in the toolkit's own file dialog where to write the rows a window
// shows, as an Excel workbook, CSV text or a PDF report, and writes them there.
void exportWithDialog(QWidget* parent, const ExportTable& table, const QString& suggestedName);

// Writes the table to a file in the format its suffix names (.xlsx, .csv, .pdf). An existing
// file is replaced only when the user agrees, and as a whole; a file that cannot be written
// is reported in a message box and left as it was. True when the file was written.
bool writeExportFile(const QString& path, const ExportTable& table);
