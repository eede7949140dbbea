#pragma once

#include <QtPlugin>

class QString;
class QUrl;
class QWidget;

// The browser engine behind the browser pane. It lives in a library of its own that the
// program loads the first time a pane is on screen: the engine, its graphics and its helper
// processes cost nothing until a page is shown.
class TBrowserEngine {
public:
    virtual ~TBrowserEngine() = default;
    // A view of the engine, filling `parent`.
    virtual QWidget* createView(QWidget* parent) = 0;
    // Shows a page or picture in a view made by createView().
    virtual void load(QWidget* view, const QUrl& url) = 0;
};

#define TBrowserEngine_iid "org.kesta.BrowserEngine/1"
Q_DECLARE_INTERFACE(TBrowserEngine, TBrowserEngine_iid)

// The engine, loaded on the first call from the library beside the program (or, for the
// programs of the build, where the build made it); none when it cannot be loaded, with the
// reason in `error`.
TBrowserEngine* browserEngine(QString* error = nullptr);
