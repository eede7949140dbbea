#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "skin/controls/sControlCache.h"
#include "skin/core/sCommonData.h"

class QWidget;

// The skin of a widget the program did not make (a button of a message box, the controls of
// a dialog of the toolkit): the widget exists already, so instead of a skinned class of its
// own it gets a wrapper that watches its events. The wrapper owns skin data for the named
// section, so the widget answers the skin's commands as a skinned control does (command 7
// with 1 among them, which keeps it from being wrapped twice), and paints the widget from a
// cache as the skinned control of the same kind does: the whole look, or the look under the
// widget's own painting of its text. Without a skin the widget paints itself as always;
// deleting the wrapper gives the widget back as it was.
class TsWidgetWrapper : public QObject {
    Q_OBJECT

public:
    ~TsWidgetWrapper() override;

    QWidget* widget() const { return widget_; }
    TsCommonData& SkinData() const { return *data_; }
    TsControlCache& Cache() const { return *cache_; }
    // Whether the widget is drawn from the skin now.
    bool skinned() const;

    // The wrapper of a widget, or none.
    static TsWidgetWrapper* of(const QWidget* widget);

protected:
    // How the wrapper shows the widget.
    enum TPaintMode {
        pmWhole,  // the cache is all the widget shows
        pmUnder,  // the cache, then the widget's own painting over it (its text, its cursor)
        pmNone,   // nothing painted: the widget paints itself in the colours the skin gave it
    };

    // The classes call start() at the end of their constructors.
    TsWidgetWrapper(QWidget* widget, const QString& section, int kind);
    void start();
    // The classes that change the widget's settings call it first in their destructors: the
    // settings go back while the class is still whole.
    void release();

    virtual TPaintMode paintMode() const { return pmWhole; }
    // Paints the look into the cache, which holds the parent's background: the section in
    // the state, by default.
    virtual void paintLook(Bitmap32& cache, const TCacheInfo& parent);
    // The state the look is drawn in: 0 normal, 1 hot, 2 pressed.
    virtual int state() const;
    // The state limited to the section's images.
    int skinState() const;
    // The widget takes the skin's settings (no frame of its own, the section's colours), or
    // gets its own back.
    virtual void apply(bool skinned);
    // What the painted look depends on beyond the events the wrapper hears of (a caption, a
    // check, a value): a change shows at the next paint.
    virtual QString lookKey() const { return QString(); }
    // The widget's events, before the widget sees them; answers true to swallow one.
    virtual bool widgetEvent(QEvent* event);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Whether the widget is still whole (not being destroyed).
    bool widgetAlive() const { return widget_ && !widgetGone_; }

private:
    void sync();

    QWidget* widget_;
    std::unique_ptr<TsCtrlSkinData> data_;
    std::unique_ptr<TsControlCache> cache_;
    bool started_ = false;
    bool applied_ = false;
    bool widgetGone_ = false;
    int paintedState_ = -1;
    QString paintedKey_;
};
