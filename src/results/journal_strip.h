#pragma once

#include "data/data_source.h"
#include "skin/controls/sButton.h"
#include "skin/controls/sDBNavigator.h"
#include "skin/controls/sPanel.h"

// The top strip the journal windows share: a record navigator with the moving, adding and
// deleting buttons, "Очистить базу", "Закрыть" and "Экспорт...".
struct JournalStrip {
    TsPanel* panel;
    TsDBNavigator* navigator;
    TsButton* clear;
    TsButton* close;
    TsButton* exportRows;
};

JournalStrip createJournalStrip(QWidget* window, TDataSource* source);
