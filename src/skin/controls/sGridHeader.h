#pragma once

#include <QList>
#include <QObject>
#include <QPalette>
#include <QPointer>
#include <QStringList>
#include <memory>

class QAbstractItemView;
class QWidget;
class TsCommonData;
class TsHeaderStyle;
class TsSkinManager;

// The skin of a view's header row, its row indicator and the button where they meet. Each
// header section is painted from the skin's "COLHEADER" section, or from "BUTTON" in a
// skin without one: normal, hot under the mouse, pressed while clicked; its text and its
// sort arrow in the section's font colour for that state, the space beyond the last section
// in the view's own colour. The headers' button-text colour becomes the section's normal
// font colour, so that marks a view draws over its sections (a data grid's row marks) take
// it too. Without a skin the headers are the platform's again, palette and all.
class TsGridHeader : public QObject {
    Q_OBJECT

public:
    // `data` is the skin data of the view (its manager is the one followed).
    TsGridHeader(QAbstractItemView* view, const TsCommonData& data);
    ~TsGridHeader() override;

    // The sections the header is painted from, the first the skin has.
    static const QStringList& SectionNames();
    // The index of that section in the manager's skin; -1 when it has none of them.
    static int FindHeaderSection(const TsSkinManager* manager);

    const TsSkinManager* manager() const;
    // The section painted now; -1 while the headers are the platform's.
    int sectionIndex() const { return on_ ? section_ : -1; }
    bool skinned() const { return on_; }
    // The headers take the skin's look (`on`) or get the platform's back.
    void sync(bool on);

private:
    // A widget wearing the header style, with what it had before.
    struct TWorn {
        QPointer<QWidget> widget;
        bool ownPalette = false;
        QPalette palette;
        bool hover = false;
        bool viewportHover = false;
    };

    QList<QWidget*> headerWidgets() const;
    void wear(QWidget* widget);
    void takeOff(TWorn& worn);

    QAbstractItemView* view_;
    const TsCommonData& data_;
    std::unique_ptr<TsHeaderStyle> style_;
    QList<TWorn> worn_;
    int section_ = -1;
    bool on_ = false;
};
