#pragma once

#include <QLabel>

// The skinned label: transparent, with no skin data of its own. While a skin is active and
// UseSkinColor is set it takes its text colour from the skin.
class TsLabel : public QLabel {
    Q_OBJECT

public:
    explicit TsLabel(QWidget* parent = nullptr);

    QString SkinSection;
    bool UseSkinColor = true;
    bool AutoSize = true;

    // Sets the text; an auto-sized label takes the size of its text.
    void setCaption(const QString& caption);

    // Sets the text colour the label shows while no skin colours it.
    void setFontColor(const QColor& color);
};
