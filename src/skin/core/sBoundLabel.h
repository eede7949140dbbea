#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;
class TsLabel;

// The optional caption label of an edit control. While active it keeps a label named after
// the control plus "Label" on the control's parent, left of the control or above it, and
// moves it along with the control.
class TsBoundLabel : public QObject {
    Q_OBJECT

public:
    enum TsCaptionLayout { sclLeft, sclTopLeft, sclTopCenter, sclTopRight };

    explicit TsBoundLabel(QWidget* control);
    ~TsBoundLabel() override;

    bool Active() const { return active_; }
    void setActive(bool value);
    // Empty means the control's name.
    QString Caption() const;
    void setCaption(const QString& value);
    int Indent() const { return indent_; }
    void setIndent(int value);
    const QFont& Font() const { return font_; }
    void setFont(const QFont& value);
    TsCaptionLayout Layout() const { return layout_; }
    void setLayout(TsCaptionLayout value);
    // Wraps the caption within this width; 0 for one line.
    int MaxWidth() const { return maxWidth_; }
    void setMaxWidth(int value);
    bool UseSkinColor() const { return useSkinColor_; }
    void setUseSkinColor(bool value);

    // The label while active, or none.
    TsLabel* label() const;
    // Places the label beside the control again.
    void placeLabel();
    // Greys the label with its disabled control when `follow` is set, else keeps it enabled
    // (a control whose disabled look is blended keeps its label readable).
    void followEnabled(bool follow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QWidget* control_;
    QPointer<TsLabel> label_;
    bool active_ = false;
    QString caption_;
    int indent_ = 0;
    QFont font_;
    TsCaptionLayout layout_ = sclLeft;
    int maxWidth_ = 0;
    bool useSkinColor_ = true;
};
