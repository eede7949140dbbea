#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "skin/controls/sControlCache.h"
#include "skin/controls/sGridHeader.h"
#include "skin/controls/sScrollBar.h"

class QAbstractScrollArea;
class TsSkinManager;

// The scroll-window component: the skin of a scrolling window (memo, tree, list, grid).
// While the window's section is in the loaded skin it draws the window's frame from the
// section, hot while the window has the focus or the mouse, cut to the border's shape over
// the parent's background, and skins the window's scroll bars (TsScrollBar). The window's
// contents and all its behaviour stay the platform's. It follows the skin command message
// like every skinned control; without a skin the window is the platform's, frame and bars.
// A view's header row and row indicator are skinned with it (TsGridHeader), and a grid
// attached to it marks its selection and edits its cells in the skin's way
// (TsSelectionDelegate).
class TsScrollWnd : public QObject {
    Q_OBJECT

public:
    // For a window whose class owns skin data; `disabledKind` is the class's choice of the
    // disabled look (blended when none is given).
    TsScrollWnd(QAbstractScrollArea* window, TsCommonData& data,
                const unsigned* disabledKind = nullptr);
    ~TsScrollWnd() override;

    // Skins a window that has no skin data of its own (a data grid, a list) from `section`:
    // the component makes the window's skin data, as for an edit-like window, and lives as
    // long as the window. A window already skinned keeps the component it has.
    static TsScrollWnd* attach(QAbstractScrollArea* window, const QString& section,
                               TsSkinManager* manager = nullptr);
    // The component skinning a window, or none.
    static TsScrollWnd* of(const QAbstractScrollArea* window);

    QAbstractScrollArea* window() const { return window_; }
    TsCommonData& data() const { return *data_; }
    TsControlCache& Cache() { return *cache_; }
    TsScrollBar* verticalBar() const { return vbar_; }
    TsScrollBar* horizontalBar() const { return hbar_; }
    // The skin of the window's headers; none for a window that is not an item view.
    TsGridHeader* header() const { return header_; }

    // Whether the frame is drawn from the skin now.
    bool skinned() const;
    // The state the frame is drawn in: 1 while the window is active, else 0.
    int State() const;
    // The width of the frame: the widest margin of the section's border image.
    int FrameWidth() const;

    // Switched off, the window looks like the platform's even while a skin is active.
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // Takes the skin's look (frame and bars) again, or gives the platform's back.
    void sync();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TsScrollWnd(QAbstractScrollArea* window);
    void init();
    void paintLook(Bitmap32& cache, const TCacheInfo& parent);
    bool wantsSkin() const;

    QAbstractScrollArea* window_;
    std::unique_ptr<TsCtrlSkinData> ownData_;
    TsCommonData* data_ = nullptr;
    const unsigned* disabledKind_ = nullptr;
    std::unique_ptr<TsControlCache> cache_;
    QPointer<TsScrollBar> vbar_;
    QPointer<TsScrollBar> hbar_;
    QPointer<TsGridHeader> header_;
    bool enabled_ = true;
    bool applied_ = false;
    // The platform's frame, given back when the skin goes.
    int platformShape_ = 0;
    int platformLineWidth_ = 1;
    int platformMidLineWidth_ = 0;
    int paintedState_ = -1;
};
