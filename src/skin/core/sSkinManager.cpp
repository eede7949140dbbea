#include "skin/core/sSkinManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>
#include <optional>

#include "platform/application.h"
#include "platform/form.h"
#include "platform/kesta_error.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/skin_message.h"
#include "skin/core/sAutoSkin.h"
#include "skin/core/sGlow.h"
#include "skin/core/sPackedSkin.h"
#include "skin/core/sSkinError.h"

namespace {

TsSkinManager* defaultManager = nullptr;
bool skinLoading = false;
QList<QPointer<QWidget>> providerForms;

const QString kDefaultSkinDirectory = QStringLiteral("c:\\Skins");
const QString kOptions = QStringLiteral("Options.dat");
// Shows the old-skin notice outside design time.
const QString kDiagnosticSwitch = QStringLiteral("--skin-diagnostics");

// Sets SkinLoading for as long as it lives.
class LoadingFlag {
public:
    LoadingFlag() : previous_(skinLoading) { skinLoading = true; }
    ~LoadingFlag() { skinLoading = previous_; }
    LoadingFlag(const LoadingFlag&) = delete;
    LoadingFlag& operator=(const LoadingFlag&) = delete;

private:
    bool previous_;
};

bool endsWithSeparator(const QString& text) {
    return text.endsWith(u'/') || text.endsWith(u'\\');
}

// A folder written with a trailing "/"; a single letter names a drive's root.
QString withTrailingSeparator(QString text) {
    if (text.isEmpty()) return text;
    if (text.endsWith(u'\\')) {
        text.back() = u'/';
    } else if (text.size() == 1) {
        text += QStringLiteral(":/");
    } else if (!text.endsWith(u'/')) {
        text += u'/';
    }
    return text;
}

bool fileExists(const QString& path) {
    return !path.contains(QChar(0)) && QFileInfo(localPath(path)).isFile();
}

QByteArray readSkinText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ESkinError(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    if (file.size() > TsSkinText::MaxSize)
        throw ESkinError(QStringLiteral("%1 is too large for a skin text").arg(path));
    return file.readAll();
}

}  // namespace

QString ThirdPartyList::defaultFor(int kind) {
    return kind == ThirdButtons ? QStringLiteral("TButton") : QStringLiteral(" ");
}

TsSkinManager::TsSkinManager(QObject* owner) : QObject(owner) {
    if (!defaultManager) defaultManager = this;
    skinDirectory_ = kDefaultSkinDirectory;
    // The lists hold their defaults until the settings are read (loaded()).
    rebuildThirdPartyNames();
}

TsSkinManager::~TsSkinManager() {
    setActive(false);
    // The lists go back into the texts they were built from.
    for (int kind = 0; kind < ThirdPartyList::Count; ++kind)
        ThirdParty.Lists[kind] = thirdNames_[kind].join(u'\n');
    if (defaultManager == this) defaultManager = nullptr;
}

TsSkinManager* TsSkinManager::DefaultManager() {
    return defaultManager;
}

bool TsSkinManager::SkinLoading() {
    return skinLoading;
}

void TsSkinManager::setIsDefault(bool value) {
    if (!value && defaultManager) return;
    defaultManager = this;
    if (active_)
        ApplySkin(true);
    else
        RemoveSkin();
}

void TsSkinManager::setActive(bool value) {
    if (value) {
        active_ = true;
        setSkinName(skinName_);
        return;
    }
    active_ = false;
    if (!loading_) RemoveSkin();
    model_.IndexCommonItems();
}

void TsSkinManager::setSkinDirectory(const QString& value) {
    skinDirectory_ = value;
    model_.SkinData.SkinPath = ResolveSkinFolder();
}

void TsSkinManager::setHueOffset(int value) {
    if (value == hueOffset_) return;
    hueOffset_ = value;
    reloadCurrentSkin();
}

void TsSkinManager::setSaturation(int value) {
    if (value == saturation_) return;
    saturation_ = value;
    reloadCurrentSkin();
}

void TsSkinManager::reloadCurrentSkin() {
    if (!active_ || loading_) return;
    if (fileExists(packedSkinFile()))
        LoadPackedSkin();
    else
        LoadFolderSkin();
    if (!batch_) RefreshSkin(true);
}

QString TsSkinManager::SkinInfo() const {
    if (!skinLoaded_ || !model_.SkinData.Active) return QStringLiteral("N/A");
    return QString::number(model_.SkinData.Version, 'g', 15);
}

void TsSkinManager::loaded() {
    loading_ = false;
    if (skinDirectory_.isEmpty()) skinDirectory_ = kDefaultSkinDirectory;
    if (MenuSupport.IcoLineSkin.isEmpty()) MenuSupport.IcoLineSkin = QStringLiteral("ICOLINE");
    rebuildThirdPartyNames();
    if (active_ && !skinName_.isEmpty()) ApplySkin(false);
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

// ---- skin sources -------------------------------------------------------------------------

QString TsSkinManager::ResolveSkinFolder(const QString& directory, const QString& programFolder) {
    QString folder = directory;
    if (folder.startsWith(QStringLiteral(".."))) {
        // One level up from the program's folder; only one ".." is understood.
        QString up = programFolder;
        up.chop(1);
        while (!up.isEmpty() && !endsWithSeparator(up))
            up.chop(1);
        folder = up + folder.mid(3);
    } else if (folder.startsWith(QStringLiteral("./")) ||
               folder.startsWith(QStringLiteral(".\\"))) {
        folder = programFolder + folder.mid(2);
    } else if (!folder.contains(u':') && !folder.startsWith(QStringLiteral("\\\\")) &&
               !folder.startsWith(u'/')) {
        folder = programFolder + folder;
    }
    return withTrailingSeparator(folder);
}

QString TsSkinManager::ResolveSkinFolder() const {
    setAppDir();
    return ResolveSkinFolder(skinDirectory_, AppDir);
}

QString TsSkinManager::packedSkinFile() const {
    // Taken as written: a relative folder is found from the working folder.
    return withTrailingSeparator(skinDirectory_) + skinName_ + QStringLiteral(".ovk");
}

QString TsSkinManager::ListSkins(QStringList& list, int kind) const {
    list.clear();
    QStringList names;
    QString first;
    for (const TsStoredSkin& stored : InternalSkins) {
        names.append(stored.Name);
        if (first.isEmpty()) first = stored.Name;
    }
    const QDir folder(localPath(ResolveSkinFolder()));
    if (folder.exists()) {
        const QFileInfoList entries = folder.entryInfoList(
            QDir::Dirs | QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
            QDir::Name);
        for (const QFileInfo& entry : entries) {
            const QString name = entry.fileName();
            if (name.startsWith(u'.')) continue;
            QString found;
            if (entry.isDir()) {
                if (kind != skPacked && fileExists(entry.filePath() + u'/' + kOptions))
                    found = name;
            } else if (kind != skFolder && name.endsWith(QStringLiteral(".ovk"))) {
                found = name.left(name.indexOf(u'.'));
            }
            if (found.isEmpty()) continue;
            names.append(found);
            if (first.isEmpty()) first = found;
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    list = names;
    return first;
}

// ---- loading ------------------------------------------------------------------------------

void TsSkinManager::setSkinName(const QString& value) {
    const QString oldName = skinName_;
    skinName_ = value;
    if (!active_) return;
    changeSkin(oldName);
}

void TsSkinManager::changeSkin(const QString& oldName) {
    Q_EMIT OnBeforeChange();
    {
        LoadingFlag flag;
        model_.SkinData.Active = false;
        try {
            if (fileExists(packedSkinFile()))
                LoadPackedSkin();
            else
                LoadFolderSkin();
        } catch (const std::exception& error) {
            skinName_ = oldName;
            MessageBox(exceptionText(error), QStringLiteral("Error"), mbOk | mbIconError);
        }
        if (!active_)
            RemoveSkin();
        else if (!batch_)
            ApplySkin(true);
    }
    Q_EMIT OnAfterChange();
}

void TsSkinManager::load(TsSkinSource source) {
    source.commonSections = CommonSections;
    source.hueOffset = hueOffset_;
    source.saturation = saturation_;
    source.manager = this;
    source.pictureBudget = PictureMemory;
    source.checkVersion = [this](double version) { CheckSkinVersion(version); };
    // The skin in use stays whole until the new one has loaded completely.
    TsSkinModel fresh;
    loadSkin(source, fresh);
    fresh.SkinData.Active = model_.SkinData.Active;
    model_ = std::move(fresh);
    skinLoaded_ = true;
}

void TsSkinManager::LoadFolderSkin() {
    if (!active_) return;
    LoadingFlag flag;
    TsSkinSource source;
    source.skinPath = ResolveSkinFolder() + skinName_ + u'/';
    const QString description = source.skinPath + kOptions;
    std::optional<TsPackedSkin> container;
    if (fileExists(description)) {
        source.text = TsSkinText::parse(readSkinText(localPath(description)));
        packed_ = false;
    } else {
        source.skinPath.clear();
        if (InternalSkins.isEmpty()) {
            active_ = false;
            return;
        }
        const TsStoredSkin* stored = &InternalSkins.front();
        for (const TsStoredSkin& candidate : InternalSkins) {
            if (candidate.Name == skinName_) {
                stored = &candidate;
                break;
            }
        }
        skinName_ = stored->Name;
        packed_ = !stored->Data.isEmpty();
        if (packed_) {
            container = TsPackedSkin::read(stored->Data);
            if (const TsPackedSkin::Member* options = container->options())
                source.text = TsSkinText::parse(options->data);
            source.container = &*container;
        }
    }
    load(std::move(source));
}

void TsSkinManager::LoadPackedSkin() {
    if (!active_) return;
    LoadingFlag flag;
    const TsPackedSkin container = TsPackedSkin::readFile(localPath(packedSkinFile()));
    TsSkinSource source;
    if (const TsPackedSkin::Member* options = container.options())
        source.text = TsSkinText::parse(options->data);
    source.container = &container;
    source.skinPath = ResolveSkinFolder();
    packed_ = true;
    load(std::move(source));
}

void TsSkinManager::CheckSkinVersion(double version) {
    if (version > 7.99) {
        MessageBox(QStringLiteral("This version of the skin have not complete support by used "
                                  "Verdanel package release.\n"
                                  "Components must be updated up to latest version for using "
                                  "this skin."),
                   TApplication::title(), mbOk | mbIconInformation);
    } else if (version < 7 && QCoreApplication::arguments().contains(kDiagnosticSwitch)) {
        MessageBox(QStringLiteral("You are using an old version of the \"%1\" skin. Please, "
                                  "update a skins to latest or link with the Verdanel support "
                                  "for upgrading of existing skin.\n\n"
                                  "This notification occurs in design-time only for your "
                                  "information and will not occur in real-time.")
                       .arg(skinName_),
                   TApplication::title(), mbOk | mbIconInformation);
    }
}

// ---- announcing the skin --------------------------------------------------------------------

QList<QWidget*> TsSkinManager::freezeForms() const {
    QList<QWidget*> frozen;
    if (defaultManager != this) return frozen;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<TForm*>(widget);
        if (!form || !form->isVisible() || form->isMinimized() || form->parentWidget() ||
            !form->updatesEnabled())
            continue;
        form->setUpdatesEnabled(false);
        frozen.append(form);
    }
    return frozen;
}

void TsSkinManager::unfreezeForms(const QList<QWidget*>& forms) {
    for (QWidget* form : forms) {
        form->setUpdatesEnabled(true);
        form->update();
    }
}

void TsSkinManager::ApplySkin(bool animate) {
    if (loading_) return;
    const QList<QWidget*> frozen = animate ? freezeForms() : QList<QWidget*>();
    ClearGlows();
    Q_EMIT SkinChanging();
    model_.SkinData.Active = false;
    model_.IndexCommonItems();
    broadcast(TsSkinMessage::AC_SETNEWSKIN);
    model_.SkinData.Active = true;
    Q_EMIT SkinApplied();
    if (animate) RefreshSkin(false);
    unfreezeForms(frozen);
}

void TsSkinManager::RemoveSkin() {
    removing_ = true;
    Q_EMIT SkinRemoving();
    ClearGlows();
    model_.SkinData.Active = false;
    broadcast(TsSkinMessage::AC_REMOVESKIN);
    model_.Images.clear();
    model_.MasterBitmap = Bitmap32();
    model_.Patterns.clear();
    model_.Sections.clear();
    skinLoaded_ = false;
    removing_ = false;
}

void TsSkinManager::RefreshSkin(bool animate) {
    broadcast(TsSkinMessage::AC_STOPFADING);
    Q_EMIT SkinChanging();
    if (loading_) {
        broadcast(TsSkinMessage::AC_REFRESH);
        return;
    }
    const QList<QWidget*> frozen = animate ? freezeForms() : QList<QWidget*>();
    broadcast(TsSkinMessage::AC_REFRESH);
    unfreezeForms(frozen);
}

void TsSkinManager::EndUpdate(bool animate, bool allowAnimation) {
    batch_ = false;
    if (!active_) return;
    const bool animation = AnimEffects.SkinChanging.Active;
    if (!allowAnimation) AnimEffects.SkinChanging.Active = false;
    ApplySkin(animate);
    AnimEffects.SkinChanging.Active = animation;
}

void TsSkinManager::addProviderForm(QWidget* form) {
    if (form && !providerForms.contains(form)) providerForms.append(form);
}

void TsSkinManager::removeProviderForm(QWidget* form) {
    providerForms.removeAll(form);
}

void TsSkinManager::broadcast(int command, int argument) {
    if (!QCoreApplication::instance()) return;
    // Forms of the program, the last created first; forms that paint their own frame are
    // reached through the list of such forms below.
    QWidgetList forms = QApplication::topLevelWidgets();
    for (auto it = forms.crbegin(); it != forms.crend(); ++it) {
        auto* form = qobject_cast<TForm*>(*it);
        if (!form || providerForms.contains(form) || TsSkinMessage::isSkinnedControl(form))
            continue;
        TsSkinMessage::ask(form, command, argument, quintptr(this));
        TsSkinMessage::sendToChildren(form, command, argument, quintptr(this));
    }
    // A form with a provider: its skin data passes the command on to the controls, each
    // of which hears it once.
    const QList<QPointer<QWidget>> withProvider = providerForms;
    for (const QPointer<QWidget>& form : withProvider) {
        if (form) TsSkinMessage::ask(form, command, argument, quintptr(this));
    }
    // Last the visible windows the automatic skinning tracks that no provider serves.
    if (const TsAutoSkin* watcher = TsAutoSkin::installed(); watcher && watcher->manager() == this) {
        for (QWidget* window : watcher->visibleWindows()) {
            if (providerForms.contains(window)) continue;
            TsSkinMessage::ask(window, command, argument, quintptr(this));
            TsSkinMessage::sendToChildren(window, command, argument, quintptr(this));
        }
    }
}
