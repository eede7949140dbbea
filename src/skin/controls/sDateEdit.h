#pragma once

#include <QPointer>

#include "platform/date_picker.h"
#include "skin/controls/sControlCache.h"
#include "skin/controls/sDropDown.h"
#include "skin/core/sCommonData.h"

class TsCalendarPopup;

// The skinned date edit. While a skin is active its box is drawn as an edit's from its
// section ("EDIT"), in state 1 while active (focused, or under the mouse) and 0 otherwise,
// with the drop-down button of a combo box on it (pressed while the calendar is open); the
// date is written by the platform's line edit over the picture in the section's text colour,
// so typing and stepping work as in the platform's box. Its calendar is drawn from the skin
// too. Without a skin it is the platform's date picker with the platform's calendar.
class TsDateEdit : public TDateTimePicker {
    Q_OBJECT

public:
    explicit TsDateEdit(QWidget* parent = nullptr);
    ~TsDateEdit() override;

    TsCtrlSkinData SkinData;
    unsigned DisabledKind = dkBlended;

    // The state of the box: 1 while active, else 0; of its button: 2 while the calendar is
    // open.
    int CurrentState() const;
    int ButtonState() const;
    // Where the button and the text lie now.
    TsComboBoxLayout Layout() const;
    QMargins BorderMargins() const;

    TsControlCache& Cache() { return cache_; }
    // The skin's calendar (shown only while the skin is active).
    TsCalendarPopup* Calendar() const { return calendar_; }

    void showCalendar() override;
    bool calendarShown() const override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    // The style, the line edit's colours and the calendar follow the skin.
    void syncSkin();

    TsControlCache cache_;
    TsDropDownStyle* style_;
    TsCalendarPopup* calendar_;
    int paintedState_ = -1;
    int paintedButton_ = -1;
    QString paintedText_;
};
