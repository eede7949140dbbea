#pragma once

#include <QString>

// What the windows show, written out for the end-to-end tests: when the environment names a
// file in KESTA_PROBE_FILE, each time a file of that name plus ".request" appears the program
// writes there the visible windows (name, native id, the client area's rectangle, title)
// with their trees, tables, menu bars and labels, one line each, and removes the request. Without the
// variable nothing is installed.
void installStateProbe();

// The text written for the windows now visible.
QString describeVisibleWindows();
