#pragma once

#include <QPointer>
#include <array>

#include "data/data_source.h"
#include "skin/controls/sPanel.h"
#include "skin/controls/sSpeedButton.h"

enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};
constexpr int kNavigateButtons = 10;
constexpr unsigned navButtonBit(TNavigateBtn kind) {
    return 1u << kind;
}
constexpr unsigned kAllNavButtons = (1u << kNavigateButtons) - 1;

// One button of the record navigator: a flat speed button drawn from the section
// "TOOLBUTTON", without caption, with its kind's picture; disabled, both the button and its
// picture are blended with what lies behind them.
class TsNavButton : public TsSpeedButton {
    Q_OBJECT

public:
    TsNavButton(QWidget* parent, TNavigateBtn kind);

    TNavigateBtn Index;

    // Drawn with a focus frame: the navigator has the keyboard focus on this button.
    bool focusShown() const { return focusShown_; }
    void setFocusShown(bool shown);

    // The button's own picture, drawn by the program once: 13 pixels high, 9 to 15 wide.
    static const QImage& builtInPicture(TNavigateBtn kind);

protected:
    void paintEvent(QPaintEvent* event) override;
    void PaintLook(Bitmap32& cache, const TCacheInfo& parent) override;

private:
    bool focusShown_ = false;
};

// The skinned record navigator: ten buttons that move through the rows of a data source's
// table object and add, delete, edit, save, cancel and read rows again.
class TsDBNavigator : public TsPanel {
    Q_OBJECT

public:
    explicit TsDBNavigator(QWidget* parent = nullptr);

    void setDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }

    // The set of shown buttons, as navButtonBit() of each kind.
    void setVisibleButtons(unsigned buttons);
    unsigned VisibleButtons() const { return visible_; }

    // Hint lines, one per button in order; a non-empty line replaces the default hint.
    void setHints(const QStringList& hints);

    bool ConfirmDelete = true;

    // The pictures of the buttons from an image list, button i showing FirstImageIndex + i;
    // without a list each shows its built-in picture. The list must outlive the navigator.
    void setImages(const TsImageList* images);
    const TsImageList* Images() const { return images_; }
    void setFirstImageIndex(int index);
    int FirstImageIndex() const { return firstImageIndex_; }

    TsNavButton* button(TNavigateBtn kind) const { return buttons_[size_t(kind)]; }
    int focusedButton() const { return focused_; }

    // The action of a button, as a click on it performs it.
    void BtnClick(TNavigateBtn kind);

    static QString defaultHint(TNavigateBtn kind);

Q_SIGNALS:
    void BeforeAction(TNavigateBtn kind);
    void OnClick(TNavigateBtn kind);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutButtons();
    void updateEnabling();
    void showFocus();
    // Each button shows its picture and follows the navigator's skin manager.
    void setUpButtons();

    std::array<TsNavButton*, kNavigateButtons> buttons_{};
    QPointer<TDataSource> source_;
    unsigned visible_ = kAllNavButtons;
    int focused_ = 0;
    const TsImageList* images_ = nullptr;
    int firstImageIndex_ = 0;
};
