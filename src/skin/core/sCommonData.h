#pragma once

#include <QPointer>
#include <QString>

class QObject;
class TsSkinManager;

// The skin data every skinned control carries: which skin section it is drawn from and
// which manager it follows.
class TsCommonData {
public:
    TsCommonData(QObject* owner, int kind) : owner_(owner), kind_(kind) {}
    virtual ~TsCommonData() = default;

    // Stored upper-cased; an empty name is stored as "UNKNOWN".
    const QString& SkinSection() const { return skinSection_; }
    void setSkinSection(const QString& section);

    // None means the default manager; assigning the default manager stores none.
    TsSkinManager* SkinManager() const;
    void setSkinManager(TsSkinManager* manager);

    bool CustomColor = false;
    bool CustomFont = false;

    QObject* owner() const { return owner_; }
    // The control category code its class sets.
    int kind() const { return kind_; }

private:
    QObject* owner_;
    int kind_;
    QString skinSection_;
    QPointer<TsSkinManager> manager_;
};

// Skin data of the controls that cache and fade: adds their own hue and saturation.
class TsCtrlSkinData : public TsCommonData {
public:
    using TsCommonData::TsCommonData;

    int HUEOffset = 0;
    int Saturation = 0;
};
