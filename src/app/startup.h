#pragma once

#include <functional>

class QString;
class TApplication;

// Creates every window and the data module once, in the order the program relies on:
// the splash first (it is the main window), then sign-in with the skin manager, then the
// data module, which opens the course database, then the workspace windows. None is shown,
// unless `splashMade` shows the splash: it is called as soon as the splash exists.
void createForms(TApplication& application, const std::function<void()>& splashMade = {});

// Destroys the windows and the data module, the last created first, and forgets them.
void destroyForms(TApplication& application);

// Reports an error that ends the program before any window is shown: on standard error,
// for scripts, and in an error box, for the user.
void reportFatalError(const QString& text);
