#include "skin/core/sSkinManager.h"

namespace {
TsSkinManager* defaultManager = nullptr;
const QString kDefaultSkinDirectory = QStringLiteral("c:\\Skins");
}  // namespace

QString ThirdPartyList::defaultFor(int kind) {
    return kind == ThirdButtons ? QStringLiteral("TButton") : QStringLiteral(" ");
}

TsSkinManager::TsSkinManager(QObject* owner) : QObject(owner) {
    if (!defaultManager) defaultManager = this;
    skinDirectory_ = kDefaultSkinDirectory;
}

TsSkinManager::~TsSkinManager() {
    // The lists go back into the texts they were built from.
    for (int kind = 0; kind < ThirdPartyList::Count; ++kind)
        ThirdParty.Lists[kind] = thirdNames_[kind].join(u'\n');
    if (defaultManager == this) defaultManager = nullptr;
}

TsSkinManager* TsSkinManager::DefaultManager() {
    return defaultManager;
}

void TsSkinManager::setIsDefault(bool value) {
    if (value || !defaultManager) defaultManager = this;
}

QString TsSkinManager::SkinInfo() const {
    if (loadedVersion_ <= 0) return QStringLiteral("N/A");
    return QString::number(loadedVersion_, 'g', 6);
}

void TsSkinManager::loaded() {
    if (skinDirectory_.isEmpty()) skinDirectory_ = kDefaultSkinDirectory;
    if (MenuSupport.IcoLineSkin.isEmpty()) MenuSupport.IcoLineSkin = QStringLiteral("ICOLINE");
    rebuildThirdPartyNames();
}

void TsSkinManager::rebuildThirdPartyNames() {
    for (int kind = 0; kind < ThirdPartyList::Count; ++kind) {
        QString& text = ThirdParty.Lists[kind];
        if (text.isEmpty()) text = ThirdPartyList::defaultFor(kind);
        QStringList names;
        for (const QString& line : text.split(u'\n')) {
            const QString name = line.trimmed();
            if (!name.isEmpty()) names.append(name);
        }
        thirdNames_[kind] = names;
    }
}
