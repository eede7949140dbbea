#include "skin/controls/sCalendar.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

#include "platform/skin_message.h"
#include "skin/controls/sControlCache.h"
#include "skin/controls/sDropDown.h"
#include "skin/controls/sScrollBar.h"
#include "skin/core/sSkinManager.h"

namespace {

// Space between the ring and the day grid, and between the bar's edge and its buttons.
constexpr int kPadding = 2;

// A text with its first letter in upper case ("декабрь" → "Декабрь").
QString capitalised(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

// A one-pixel outline of the rectangle.
void outline(Bitmap32& target, const QRect& r, TColor colour) {
    FillRect32(target, QRect(r.left(), r.top(), r.width(), 1), colour);
    FillRect32(target, QRect(r.left(), r.bottom(), r.width(), 1), colour);
    FillRect32(target, QRect(r.left(), r.top(), 1, r.height()), colour);
    FillRect32(target, QRect(r.right(), r.top(), 1, r.height()), colour);
}

// A section painted over what the target already shows.
void paintOver(Bitmap32& target, const TsSkinManager& manager, int section, const QString& name,
               const QRect& area, int state) {
    const Bitmap32 under = target;
    TsSectionPaint paint;
    paint.SectionIndex = section;
    paint.SectionName = name;
    paint.Parent = MakeCacheInfo(&under, QPoint(0, 0));
    paint.Manager = &manager;
    paint.Area = area;
    paint.State = state;
    PaintSection(target, paint);
}

}  // namespace

QRect TsCalendarLayout::dayRect(int index) const {
    return QRect(Days.left() + (index % 7) * Cell.width(), Days.top() + (index / 7) * Cell.height(),
                 Cell.width(), Cell.height());
}

int TsCalendarLayout::dayAt(QPoint point) const {
    if (!Days.contains(point) || Cell.isEmpty()) return -1;
    const int column = (point.x() - Days.left()) / Cell.width();
    const int row = (point.y() - Days.top()) / Cell.height();
    return row * 7 + column;
}

int TsCalendarLayout::buttonAt(QPoint point) const {
    for (int b = 0; b < cbCount; ++b)
        if (Buttons[b].contains(point)) return b;
    return -1;
}

TsCalendarLayout CalendarLayout(QSize cell, const QMargins& border) {
    TsCalendarLayout layout;
    layout.Cell = cell;
    const int inner = 7 * cell.width() + 2 * kPadding;
    const int barHeight = cell.height() + 6;
    layout.Bar = QRect(border.left(), border.top(), inner, barHeight);
    const int side = barHeight - 2 * kPadding;
    const int top = layout.Bar.top() + kPadding;
    const int left = layout.Bar.left() + kPadding;
    const int right = layout.Bar.right() - kPadding + 1;
    layout.Buttons[TsCalendarLayout::cbPrevYear] = QRect(left, top, side, side);
    layout.Buttons[TsCalendarLayout::cbPrevMonth] = QRect(left + side + 1, top, side, side);
    layout.Buttons[TsCalendarLayout::cbNextYear] = QRect(right - side, top, side, side);
    layout.Buttons[TsCalendarLayout::cbNextMonth] = QRect(right - 2 * side - 1, top, side, side);
    const int titleLeft = layout.Buttons[TsCalendarLayout::cbPrevMonth].right() + 1;
    layout.Title =
        QRect(titleLeft, layout.Bar.top(),
              layout.Buttons[TsCalendarLayout::cbNextMonth].left() - titleLeft, barHeight);
    layout.Header = QRect(border.left() + kPadding, layout.Bar.bottom() + 1 + kPadding,
                          7 * cell.width(), cell.height());
    layout.Days = QRect(layout.Header.left(), layout.Header.bottom() + 1, 7 * cell.width(),
                        TsCalendarLayout::Weeks * cell.height());
    layout.Size = QSize(border.left() + inner + border.right(),
                        layout.Days.bottom() + 1 + kPadding + border.bottom());
    return layout;
}

QDate CalendarFirstShown(int year, int month, Qt::DayOfWeek firstDay) {
    const QDate first(year, month, 1);
    return first.addDays(-((first.dayOfWeek() - int(firstDay) + 7) % 7));
}

QDate CalendarStep(const QDate& from, int key, Qt::KeyboardModifiers modifiers) {
    const bool control = modifiers & Qt::ControlModifier;
    switch (key) {
        case Qt::Key_Left:
            return from.addDays(-1);
        case Qt::Key_Right:
            return from.addDays(1);
        case Qt::Key_Up:
            return from.addDays(-7);
        case Qt::Key_Down:
            return from.addDays(7);
        case Qt::Key_PageUp:
            return control ? from.addYears(-1) : from.addMonths(-1);
        case Qt::Key_PageDown:
            return control ? from.addYears(1) : from.addMonths(1);
        case Qt::Key_Home:
            return QDate(from.year(), from.month(), 1);
        case Qt::Key_End:
            return QDate(from.year(), from.month(), from.daysInMonth());
        default:
            return QDate();
    }
}

TsCalendarPopup::TsCalendarPopup(QWidget* owner) : QWidget(owner, Qt::Popup), SkinData(this, 3) {
    SkinData.setSkinSection(QStringLiteral("EDIT"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A click outside only closes the calendar: it does not go on to the box's button, which
    // would open it again at once.
    setAttribute(Qt::WA_NoMouseReplay);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TsCalendarPopup::popup(const QRect& anchor, const QDate& date, const QDate& minimum,
                            const QDate& maximum) {
    minimum_ = minimum;
    maximum_ = maximum;
    hot_ = pressed_ = -1;
    moveCursor(date.isValid() ? date : QDate::currentDate());
    relayout();
    QPoint at(anchor.left(), anchor.bottom() + 1);
    if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        const QRect area = screen->availableGeometry();
        if (at.y() + height() > area.bottom() + 1) at.setY(anchor.top() - height());
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        at.setY(std::max(at.y(), area.top()));
    }
    move(at);
    show();
    setFocus(Qt::PopupFocusReason);
}

void TsCalendarPopup::relayout() {
    const QFontMetrics metrics = fontMetrics();
    int width = metrics.horizontalAdvance(QStringLiteral("00"));
    for (int day = 1; day <= 7; ++day)
        width = std::max(width, metrics.horizontalAdvance(
                                    capitalised(locale().dayName(day, QLocale::ShortFormat))));
    const QSize cell(width + 10, metrics.height() + 6);
    layout_ = CalendarLayout(cell, SectionBorderMargins(SkinData));
    // The bar must also hold the longest month's name with the year.
    int title = 0;
    for (int month = 1; month <= 12; ++month)
        title = std::max(
            title, metrics.horizontalAdvance(capitalised(locale().standaloneMonthName(month)) +
                                             QStringLiteral(" 0000")));
    if (layout_.Title.width() < title + 8) {
        const int extra = (title + 8 - layout_.Title.width() + 6) / 7;
        layout_ = CalendarLayout(QSize(cell.width() + extra, cell.height()),
                                 SectionBorderMargins(SkinData));
    }
    resize(layout_.Size);
    changed();
}

QDate TsCalendarPopup::DayAt(int index) const {
    if (year_ == 0) return QDate();
    return CalendarFirstShown(year_, month_, locale().firstDayOfWeek()).addDays(index);
}

int TsCalendarPopup::ButtonState(int button) const {
    if (button == pressed_ && button == hot_) return 2;
    return button == hot_ && pressed_ < 0 ? 1 : 0;
}

void TsCalendarPopup::moveCursor(const QDate& date) {
    if (!date.isValid()) return;
    QDate to = date;
    if (minimum_.isValid() && to < minimum_) to = minimum_;
    if (maximum_.isValid() && to > maximum_) to = maximum_;
    cursor_ = to;
    year_ = to.year();
    month_ = to.month();
    changed();
}

void TsCalendarPopup::turn(int button) {
    static constexpr int months[TsCalendarLayout::cbCount] = {-12, -1, 1, 12};
    if (button >= 0 && button < TsCalendarLayout::cbCount)
        moveCursor(cursor_.addMonths(months[button]));
}

void TsCalendarPopup::pick(const QDate& date) {
    if ((minimum_.isValid() && date < minimum_) || (maximum_.isValid() && date > maximum_)) return;
    close();
    Q_EMIT picked(date);
}

void TsCalendarPopup::changed() {
    SkinData.BGChanged = true;
    update();
}

const Bitmap32& TsCalendarPopup::Picture() {
    if (SkinData.BGChanged || cache_.width() != width() || cache_.height() != height()) {
        cache_ = CreateBitmap32(width(), height());
        paintLook(cache_);
        SkinData.BGChanged = false;
    }
    return cache_;
}

void TsCalendarPopup::paintLook(Bitmap32& cache) {
    const TsSkinManager* manager = SkinData.SkinManager();
    if (!manager || !manager->Active() || !SkinData.IsSkinned()) {
        FillRect32(cache, cache.rect(), FromQColor(palette().color(QPalette::Base)));
        return;
    }
    PaintControlSection(SkinData, MakeCacheInfo(manager->FormColor()), 0, cache, QPoint(0, 0),
                        cache.rect());
    paintBar(cache, *manager);
    paintDays(cache, *manager);
}

void TsCalendarPopup::paintBar(Bitmap32& cache, const TsSkinManager& manager) {
    const int bar = manager.FindSection(QStringLiteral("TOOLBAR"));
    if (manager.IsValidSection(bar))
        paintOver(cache, manager, bar, QStringLiteral("TOOLBAR"), layout_.Bar, 0);
    const int button = manager.FindSection(QStringLiteral("TOOLBUTTON"));
    const int text = manager.IsValidSection(bar) ? bar : SkinData.SkinIndex;
    for (int b = 0; b < TsCalendarLayout::cbCount; ++b) {
        const QRect area = layout_.Buttons[b];
        const int state = ButtonState(b);
        TColor colour = StateLook(manager.sections()[text], 0).FontColor[0];
        if (manager.IsValidSection(button)) {
            paintOver(cache, manager, button, QStringLiteral("TOOLBUTTON"), area, state);
            colour = StateLook(manager.sections()[button], state).FontColor[0];
        }
        const Qt::ArrowType arrow =
            b == TsCalendarLayout::cbPrevYear || b == TsCalendarLayout::cbPrevMonth
                ? Qt::LeftArrow
                : Qt::RightArrow;
        // A year's step shows two arrows, a month's one.
        if (b == TsCalendarLayout::cbPrevYear || b == TsCalendarLayout::cbNextYear) {
            // Two arrows side by side, a little apart.
            const int shift = std::max(2, std::min(area.width(), area.height()) / 8);
            PaintArrowGlyph(cache, area.translated(-shift, 0), arrow, colour);
            PaintArrowGlyph(cache, area.translated(shift, 0), arrow, colour);
        } else {
            PaintArrowGlyph(cache, area, arrow, colour);
        }
    }
    QImage image = cache.image();
    QPainter canvas(&image);
    QFont bold = font();
    bold.setBold(true);
    canvas.setFont(bold);
    const QString title =
        capitalised(locale().standaloneMonthName(month_)) + u' ' + QString::number(year_);
    WriteSectionText(canvas, title, true, &manager, 0, text, Qt::AlignCenter | Qt::TextSingleLine,
                     layout_.Title);
}

void TsCalendarPopup::paintDays(Bitmap32& cache, const TsSkinManager& manager) {
    const TsGenState& look = StateLook(manager.sections()[SkinData.SkinIndex], 0);
    const TColor ink = ColorToRGB(look.FontColor[0]);
    // Days of the neighbouring months, and days that may not be picked, half way to the field.
    const TColor faded = MixColours(ink, ColorToRGB(look.Color), 0.45);
    const int selection = manager.FindSection(QStringLiteral("SELECTION"));
    const bool skinSelection = manager.IsValidSection(selection);
    const QDate today = QDate::currentDate();
    const int marked = int(DayAt(0).daysTo(cursor_));

    // A thin line under the week-day names.
    FillRect32(cache,
               QRect(layout_.Header.left(), layout_.Header.bottom(), layout_.Header.width(), 1),
               faded);
    if (marked >= 0 && marked < 7 * TsCalendarLayout::Weeks) {
        const QRect cell = layout_.dayRect(marked);
        if (skinSelection)
            paintOver(cache, manager, selection, QStringLiteral("SELECTION"), cell, 1);
        else
            FillRect32(cache, cell, manager.SelectionColor(true));
    }
    const int todayIndex = int(DayAt(0).daysTo(today));
    if (todayIndex >= 0 && todayIndex < 7 * TsCalendarLayout::Weeks)
        outline(cache, layout_.dayRect(todayIndex).adjusted(1, 1, -1, -1),
                todayIndex == marked ? manager.SelectionTextColor(true) : ink);

    QImage image = cache.image();
    QPainter canvas(&image);
    canvas.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    const Qt::DayOfWeek first = locale().firstDayOfWeek();
    for (int column = 0; column < 7; ++column) {
        const int day = (int(first) - 1 + column) % 7 + 1;
        const QRect cell(layout_.Header.left() + column * layout_.Cell.width(),
                         layout_.Header.top(), layout_.Cell.width(), layout_.Cell.height() - 1);
        WriteSectionText(canvas, capitalised(locale().dayName(day, QLocale::ShortFormat)), true,
                         &manager, 0, SkinData.SkinIndex, flags, cell);
    }
    for (int index = 0; index < 7 * TsCalendarLayout::Weeks; ++index) {
        const QDate day = DayAt(index);
        const QRect cell = layout_.dayRect(index);
        const QString text = QString::number(day.day());
        const bool allowed =
            (!minimum_.isValid() || day >= minimum_) && (!maximum_.isValid() || day <= maximum_);
        if (index == marked && skinSelection) {
            WriteSectionText(canvas, text, true, &manager, 1, selection, flags, cell);
        } else if (index == marked) {
            canvas.setPen(ToQColor(manager.SelectionTextColor(true)));
            canvas.drawText(cell, flags, text);
        } else if (day.month() != month_ || !allowed) {
            canvas.setPen(ToQColor(faded));
            canvas.drawText(cell, flags, text);
        } else {
            WriteSectionText(canvas, text, true, &manager, 0, SkinData.SkinIndex, flags, cell);
        }
    }
}

bool TsCalendarPopup::event(QEvent* event) {
    if (event->type() == TsSkinMessage::eventType()) {
        // A new skin or a refresh may bring another ring, and other colours: the calendar is
        // laid out and drawn again (its skin data has found the section already).
        const auto* message = static_cast<const TsSkinMessage*>(event);
        const bool ours = message->Param == quintptr(SkinData.SkinManager());
        if (ours && (message->Command == TsSkinMessage::AC_SETNEWSKIN ||
                     message->Command == TsSkinMessage::AC_REFRESH))
            relayout();
        return QWidget::event(event);
    }
    switch (event->type()) {
        case QEvent::Leave:
            if (hot_ >= 0) {
                hot_ = -1;
                changed();
            }
            break;
        case QEvent::FontChange:
        case QEvent::LocaleChange:
            relayout();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void TsCalendarPopup::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    CopyToScreen(painter, Picture(), event->rect() & rect());
}

void TsCalendarPopup::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (!rect().contains(at)) {
        // The platform closes a popup pressed outside.
        QWidget::mousePressEvent(event);
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    const int button = layout_.buttonAt(at);
    if (button >= 0) {
        pressed_ = hot_ = button;
        changed();
        return;
    }
    const int day = layout_.dayAt(at);
    if (day >= 0) pick(DayAt(day));
}

void TsCalendarPopup::mouseMoveEvent(QMouseEvent* event) {
    const int button = layout_.buttonAt(event->position().toPoint());
    if (button != hot_) {
        hot_ = button;
        changed();
    }
}

void TsCalendarPopup::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ < 0) return;
    const int button = pressed_;
    pressed_ = -1;
    if (layout_.buttonAt(event->position().toPoint()) == button) turn(button);
    changed();
}

void TsCalendarPopup::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (key == Qt::Key_Escape || key == Qt::Key_F4 || (alt && key == Qt::Key_Up)) {
        close();
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space ||
        key == Qt::Key_Select) {
        pick(cursor_);
        return;
    }
    const QDate to = CalendarStep(cursor_, key, event->modifiers());
    if (to.isValid() && !alt) {
        moveCursor(to);
        return;
    }
    QWidget::keyPressEvent(event);
}
