#pragma once

#include <QColor>
#include <QLabel>

class TsSkinManager;

// The skinned label: transparent, with no skin data of its own. While a skin is active and
// UseSkinColor is set it writes in the text colour of the nearest skinned parent's section
// (or the skin's general text colour); without a skin, in the colour the window gave it, or
// the system's window-text colour. A named SkinSection is painted behind the text. It hears
// the skin manager's broadcasts itself: it answers the engine that it is skinned, so that
// they reach it.
class TsLabel : public QLabel {
    Q_OBJECT

public:
    explicit TsLabel(QWidget* parent = nullptr);

    // The section painted behind the text; none when empty.
    QString SkinSection;
    bool AutoSize = true;

    bool UseSkinColor() const { return useSkinColor_; }
    void setUseSkinColor(bool use);

    // Sets the text; an auto-sized label takes the size of its text.
    void setCaption(const QString& caption);

    // Sets the text colour the label shows while no skin colours it.
    void setFontColor(const QColor& color);

    // The colour the skin gives the text now; invalid when the label keeps its own.
    QColor skinFontColor() const;
    // Takes the text colour again, from the skin or its own.
    void updateFontColor();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The manager the label follows: that of its nearest skinned parent, else the default.
    TsSkinManager* manager() const;

    bool useSkinColor_ = true;
    // The colour the window set; invalid: the system's window-text colour.
    QColor ownColour_;
};
