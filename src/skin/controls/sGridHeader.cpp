#include "skin/controls/sGridHeader.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QHeaderView>
#include <QPainter>
#include <QStyleOptionHeader>
#include <algorithm>

#include "skin/controls/sControlStyle.h"
#include "skin/controls/sSectionPicture.h"
#include "skin/core/sCommonData.h"
#include "skin/core/sPainting.h"
#include "skin/core/sSkinManager.h"

// The style the headers wear while skinned: the sections, their labels, the sort arrow and
// the empty space beyond are the skin's; sizes and everything else stay the platform's.
class TsHeaderStyle : public TsControlStyle {
public:
    explicit TsHeaderStyle(const TsGridHeader& owner) : owner_(owner) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const TsSkinManager* manager = owner_.manager();
        const int section = owner_.sectionIndex();
        if (!manager || section < 0) {
            TsControlStyle::drawControl(element, option, painter, widget);
            return;
        }
        switch (element) {
            case CE_HeaderSection:
                DrawSectionPicture(*painter, option->rect.topLeft(),
                                   PaintSectionPicture(*manager, section, state(option),
                                                       option->rect.size(), behind(option)));
                return;
            case CE_HeaderLabel:
                if (const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option)) {
                    QStyleOptionHeader label = *header;
                    label.palette.setColor(QPalette::ButtonText, fontColour(option));
                    TsControlStyle::drawControl(element, &label, painter, widget);
                    return;
                }
                break;
            case CE_HeaderEmptyArea:
                painter->fillRect(option->rect, option->palette.color(QPalette::Base));
                return;
            default:
                break;
        }
        TsControlStyle::drawControl(element, option, painter, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
        if (element != PE_IndicatorHeaderArrow || !header || owner_.sectionIndex() < 0) {
            TsControlStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        // A triangle 7 pixels wide and 4 high: pointing up for ascending order (the
        // header's "down" indicator), down for descending.
        const bool up = header->sortIndicator == QStyleOptionHeader::SortDown;
        const QPoint c = option->rect.center();
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(fontColour(option));
        for (int row = 0; row < 4; ++row) {
            const int half = up ? row : 3 - row;
            const int y = c.y() - 2 + row;
            painter->drawLine(c.x() - half, y, c.x() + half, y);
        }
        painter->restore();
    }

private:
    // Pressed while clicked, hot under the mouse, else normal.
    static int state(const QStyleOption* option) {
        if (option->state & State_Sunken) return 2;
        if (option->state & State_MouseOver) return 1;
        return 0;
    }
    // What the section's see-through corners show: the view's own colour.
    static TColor behind(const QStyleOption* option) {
        return FromQColor(option->palette.color(QPalette::Base));
    }
    QColor fontColour(const QStyleOption* option) const {
        const TsGeneralData& section = owner_.manager()->sections()[owner_.sectionIndex()];
        return ToQColor(StateLook(section, LimitState(section, state(option))).FontColor[0]);
    }

    const TsGridHeader& owner_;
};

TsGridHeader::TsGridHeader(QAbstractItemView* view, const TsCommonData& data)
    : QObject(view), view_(view), data_(data), style_(std::make_unique<TsHeaderStyle>(*this)) {}

TsGridHeader::~TsGridHeader() {
    for (TWorn& worn : worn_)
        takeOff(worn);
}

const QStringList& TsGridHeader::SectionNames() {
    static const QStringList names{QStringLiteral("COLHEADER"), QStringLiteral("BUTTON")};
    return names;
}

int TsGridHeader::FindHeaderSection(const TsSkinManager* manager) {
    if (!manager) return -1;
    for (const QString& name : SectionNames()) {
        const int index = manager->FindSection(name);
        if (manager->IsValidSection(index)) return index;
    }
    return -1;
}

const TsSkinManager* TsGridHeader::manager() const {
    return data_.SkinManager();
}

QList<QWidget*> TsGridHeader::headerWidgets() const {
    QList<QWidget*> widgets;
    for (QHeaderView* header : view_->findChildren<QHeaderView*>(Qt::FindDirectChildrenOnly))
        widgets.append(header);
    // A table's corner button, where the header row meets the row indicator.
    for (QAbstractButton* corner :
         view_->findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
        widgets.append(corner);
    return widgets;
}

void TsGridHeader::sync(bool on) {
    const TsSkinManager* skin = manager();
    section_ = on ? FindHeaderSection(skin) : -1;
    on_ = section_ >= 0;
    // Headers given to the view since are worn too; those taken away are given back.
    const QList<QWidget*> widgets = on_ ? headerWidgets() : QList<QWidget*>();
    for (qsizetype i = worn_.size() - 1; i >= 0; --i) {
        if (!worn_[i].widget || !widgets.contains(worn_[i].widget.data())) {
            takeOff(worn_[i]);
            worn_.removeAt(i);
        }
    }
    for (QWidget* widget : widgets) {
        const bool known = std::any_of(worn_.cbegin(), worn_.cend(), [widget](const TWorn& worn) {
            return worn.widget == widget;
        });
        if (!known) wear(widget);
    }
    if (!on_) return;
    const TsGeneralData& section = skin->sections()[section_];
    const QColor text = ToQColor(StateLook(section, 0).FontColor[0]);
    const QColor field = data_.IsSkinned() ? ToQColor(data_.BackgroundColour(0))
                                           : view_->palette().color(QPalette::Base);
    for (TWorn& worn : worn_) {
        QPalette palette = worn.widget->palette();
        palette.setColor(QPalette::ButtonText, text);
        // Where a header has no sections (a row indicator below the last row) it shows
        // the view's own colour.
        palette.setColor(QPalette::Button, field);
        worn.widget->setPalette(palette);
        worn.widget->update();
        if (auto* header = qobject_cast<QHeaderView*>(worn.widget.data()))
            header->viewport()->update();
    }
}

void TsGridHeader::wear(QWidget* widget) {
    TWorn worn;
    worn.widget = widget;
    worn.ownPalette = widget->testAttribute(Qt::WA_SetPalette);
    worn.palette = widget->palette();
    // The hot look needs the mouse's moves over the sections.
    worn.hover = widget->testAttribute(Qt::WA_Hover);
    widget->setAttribute(Qt::WA_Hover, true);
    if (auto* header = qobject_cast<QHeaderView*>(widget)) {
        worn.viewportHover = header->viewport()->testAttribute(Qt::WA_Hover);
        header->viewport()->setAttribute(Qt::WA_Hover, true);
    }
    style_->wear(widget, true);
    worn_.append(worn);
}

void TsGridHeader::takeOff(TWorn& worn) {
    QWidget* widget = worn.widget;
    if (!widget) return;
    style_->wear(widget, false);
    widget->setAttribute(Qt::WA_Hover, worn.hover);
    if (auto* header = qobject_cast<QHeaderView*>(widget))
        header->viewport()->setAttribute(Qt::WA_Hover, worn.viewportHover);
    widget->setPalette(worn.ownPalette ? worn.palette : QPalette());
    widget->update();
}
