#pragma once

#include "skin/forms/sWidgetWrapper.h"

class QAbstractButton;
class QPushButton;

// A push button of a window the program did not make, drawn as the skinned button is: its
// section ("BUTTON") in its state (normal, hot, pressed) over the parent's background, its
// icon and caption, the focus rectangle and the disabled look. Pressing, Enter and Esc stay
// the toolkit's.
class TsPushButtonWrapper : public TsWidgetWrapper {
    Q_OBJECT

public:
    explicit TsPushButtonWrapper(QPushButton* button);

    int state() const override;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;

private:
    // Whether the button stands for Enter in its window now.
    bool actsAsDefault() const;

    QPushButton* button_;
};

// A check box or a radio button of a window the program did not make ("CHECKBOX"): the
// parent shows through the section, the skin's mark for the check (the toolkit's where the
// skin has none) and the caption in the section's colours.
class TsCheckBoxWrapper : public TsWidgetWrapper {
    Q_OBJECT

public:
    explicit TsCheckBoxWrapper(QAbstractButton* box);

    int state() const override;

protected:
    void paintLook(Bitmap32& cache, const TCacheInfo& parent) override;
    QString lookKey() const override;

private:
    bool radio() const;
    // The skin's mark for the check now, or -1.
    int markIndex() const;

    QAbstractButton* box_;
};
