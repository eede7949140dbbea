#pragma once

#include <QString>

// What the windows show, written out for the end-to-end tests: when the environment names a
// file in KESTA_PROBE_FILE, each SIGUSR1 writes there the visible windows (name, native id,
// the client area's rectangle, title) with their trees, tables and labels, one line each.
// Without the variable nothing is installed.
void installStateProbe();

// The text written for the windows now visible.
QString describeVisibleWindows();
