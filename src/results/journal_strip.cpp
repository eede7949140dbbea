#include "results/journal_strip.h"

JournalStrip createJournalStrip(QWidget* window, TDataSource* source) {
    JournalStrip strip{};
    strip.panel = new TsPanel(window);
    strip.panel->setObjectName(QStringLiteral("sPanel1"));
    strip.panel->setFixedHeight(41);
    strip.navigator = new TsDBNavigator(strip.panel);
    strip.navigator->setObjectName(QStringLiteral("sDBNavigator1"));
    strip.navigator->SkinData.setSkinSection(QStringLiteral("TOOLBAR"));
    strip.navigator->setVisibleButtons(navButtonBit(nbFirst) | navButtonBit(nbPrior) |
                                       navButtonBit(nbNext) | navButtonBit(nbLast) |
                                       navButtonBit(nbInsert) | navButtonBit(nbDelete));
    strip.navigator->setGeometry(8, 8, 240, 25);
    strip.navigator->setDataSource(source);
    strip.clear = new TsButton(strip.panel);
    strip.clear->setObjectName(QStringLiteral("sButton3"));
    strip.clear->setText(QStringLiteral("Очистить базу"));
    strip.clear->setGeometry(264, 8, 203, 25);
    strip.close = new TsButton(strip.panel);
    strip.close->setObjectName(QStringLiteral("sButton2"));
    strip.close->setText(QStringLiteral("Закрыть"));
    strip.close->setGeometry(480, 8, 171, 25);
    strip.exportRows = new TsButton(strip.panel);
    strip.exportRows->setObjectName(QStringLiteral("sButton4"));
    strip.exportRows->setText(QStringLiteral("Экспорт..."));
    strip.exportRows->setGeometry(664, 8, 171, 25);
    return strip;
}
