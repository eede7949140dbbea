#pragma once

#include <QRadioButton>

#include "skin/controls/sButton.h"
#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"
#include "skin/forms/sFade.h"

// The skinned radio button. While a skin is active it is drawn over its parent's background
// from its section ("RADIOBUTTON" unless the window names one), with the skin's check mark
// ("RADIOCHECKED" or "RADIOUNCHECKED" of GLOBALINFO, or its own glyphs) in its state
// (normal, hot, pressed) and the caption in the colours of the parent that shows through.
// Otherwise it is the platform's radio button.
class TsRadioButton : public QRadioButton {
    Q_OBJECT

public:
    explicit TsRadioButton(QWidget* parent = nullptr);
    TsRadioButton(const QString& text, QWidget* parent);

    TsCommonData SkinData;

    // The button takes the size of its mark and caption when shown, and when its font or
    // the skin changes.
    bool AutoSize = true;
    // Space around the mark, in pixels.
    int Margin = 2;
    // The caption moved this far from the mark.
    int TextIndent = 0;
    bool ShowFocus = true;
    // The user cannot change the check; the program can.
    bool ReadOnly = false;
    bool WordWrap = false;
    // Marks of its own instead of the skin's; a picture without an alpha channel takes its
    // bottom-left pixel's colour as transparent.
    void setGlyphChecked(const QImage& glyph);
    void setGlyphUnChecked(const QImage& glyph);
    const QImage& GlyphChecked() const { return glyphChecked_; }
    const QImage& GlyphUnChecked() const { return glyphUnChecked_; }
    unsigned DisabledKind = dkBlended;
    unsigned AnimatEvents = aeGlobalDef;

    // The state the button is drawn in: 0 normal, 1 hot, 2 pressed.
    int CurrentState() const;
    int SkinState() const;
    // Where the mark and the caption go in a button of `size`.
    QRect glyphRect(QSize size) const;
    QRect captionRect(QSize size) const;
    // After changing the properties above: the size and the look are taken again.
    void Refresh();

    QSize sizeHint() const override;

    TsControlCache& Cache() { return cache_; }
    TsControlFade& Fade() { return fade_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void nextCheckState() override;
    bool hitButton(const QPoint& position) const override;

    virtual void PaintLook(Bitmap32& cache, const TCacheInfo& parent);

private:
    // The skin's mark for the current check, or -1.
    int markIndex() const;
    QSize markSize() const;
    int captionFlags() const;
    void applyAutoSize();

    TsControlCache cache_;
    // Radio items fade their mark as buttons fade.
    TsControlFade fade_{this, cache_, SkinData};
    QImage glyphChecked_;
    QImage glyphUnChecked_;
    bool mouseAbove_ = false;
    int paintedState_ = -1;
    bool paintedChecked_ = false;
    bool paintedFocus_ = false;
    QString paintedText_;
};
