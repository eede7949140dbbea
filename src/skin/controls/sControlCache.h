#pragma once

#include <QRegion>
#include <functional>

#include "skin/core/sCommonData.h"
#include "skin/core/sPainting.h"

class QPainter;
class QWidget;
class TsSkinMessage;

// The cache of a skinned control and its paint handler, shared by every class of the
// control family. The class says how its look is painted (Prepare); this keeps the cache
// image, decides when it is stale, fetches the parent's background, cuts the window to the
// border's opaque shape and copies the cache to the screen.
class TsControlCache {
public:
    TsControlCache(QWidget* control, TsCommonData& data);

    // Paints the look into the cache, which has the control's size and holds the parent's
    // background for the control's rectangle when it is called.
    std::function<void(Bitmap32& cache, const TCacheInfo& parent)> Prepare;

    // Whether the control is drawn from the skin now; otherwise it draws itself as its
    // platform control.
    bool skinned() const;
    TsSkinManager* manager() const { return data_.SkinManager(); }
    TsCommonData& data() const { return data_; }

    // The paint handler: copies the cache into `area`, rebuilding it first when the
    // background changed. Answers false, painting nothing, when the control is not skinned.
    bool paint(QPainter& painter, const QRect& area);
    // The look changed: the cache is rebuilt before the control is next shown, at once when
    // `repaint` asks for it.
    void invalidate(bool repaint = true);
    // Rebuilds the cache now (command 23, or before a fade takes its picture).
    void prepare();
    const Bitmap32& cache() const;

    // The parent's background behind the control, the parent's own cache brought up to
    // date first.
    TCacheInfo parentBackground() const;

    // The border decides the window's shape again at the next paint.
    void regionChanged() { regionChanged_ = true; }
    // The control was resized: a new shape and a new picture at the next paint.
    void resized() {
        regionChanged();
        invalidate(false);
    }
    // Follows a change of the control that alters its look (enabled, font, direction): the
    // picture is made again. Answers whether the event was such a change.
    bool followChange(const QEvent* event);
    // The window's shape for the border of the section in a state: the control's rectangle
    // less the key pixels of the border's corners; empty when nothing is cut off.
    QRegion borderRegion(int state) const;
    // The shape now applied to the window; empty when none.
    const QRegion& region() const { return region_; }
    void dropRegion();
    // The state the control's border is drawn in, for its shape.
    std::function<int()> State;
    // Whether the window is cut to its border's shape; a control whose border does not run
    // along its edges keeps its whole rectangle.
    bool CutToBorder = true;
    // A picture shown instead of the cache while a fade runs; none otherwise. It must live
    // as long as it is set.
    const Bitmap32* Overlay = nullptr;

    // The commands every cached control answers alike: 6 (the parent finished updating),
    // 23 (prepare the cache), 24 (the frame is drawn); and the bookkeeping of 1, 2 and 3.
    // Answers true when the message needs nothing more from the class.
    bool handleCommand(TsSkinMessage& message);

private:
    void applyRegion();
    // The parent's skin data, looked up once per parent.
    TsCommonData* parentData();

    QWidget* control_;
    TsCommonData& data_;
    bool deferred_ = false;
    bool regionChanged_ = true;
    QRegion region_;
    QPointer<QWidget> parentSeen_;
    QPointer<TsCommonData> parentData_;
};

// Shows an area of a cache through a painter as opaque pixels. On a plain 32-bit image (the
// window's back buffer) the rows are copied straight in, within the painter's clipping.
void CopyToScreen(QPainter& painter, const Bitmap32& picture, const QRect& area);

// The disabled looks of a control's cache.
enum TsDisabledKind : unsigned { dkBlended = 1, dkGrayed = 2 };
// Applies them: grayed turns the picture grey, blended mixes it half and half with the
// parent's background (the look of a control that is there but cannot be used).
void ApplyDisabledLook(Bitmap32& cache, const TCacheInfo& parent, unsigned kinds);

// A dotted focus rectangle, every other pixel of its outline in the colour.
void DrawFocusRect(Bitmap32& target, const QRect& area, TColor colour);
