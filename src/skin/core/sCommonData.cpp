#include "skin/core/sCommonData.h"

#include "skin/core/sSkinManager.h"

void TsCommonData::setSkinSection(const QString& section) {
    skinSection_ = section.isEmpty() ? QStringLiteral("UNKNOWN") : section.toUpper();
}

TsSkinManager* TsCommonData::SkinManager() const {
    return manager_ ? manager_.data() : TsSkinManager::DefaultManager();
}

void TsCommonData::setSkinManager(TsSkinManager* manager) {
    manager_ = manager == TsSkinManager::DefaultManager() ? nullptr : manager;
}
