#pragma once

#include <QStringList>

#include "results/export_table.h"

class TTable;

// The rows a table object shows (its filter applied, in the order shown) in the given
// columns, typed by the columns' kinds, for export. `period` describes the filter.
ExportTable journalExport(TTable* table, const QStringList& columns, const QString& title,
                          const QString& period);

// How a table object's filter reads in a report: "все записи" or the filter itself.
QString filterDescription(const TTable* table);
