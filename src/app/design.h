#pragma once

#include <QColor>

// The colours of the course's windows, as they were designed.
inline const QColor kFormBackground{119, 171, 202};
inline const QColor kLabelColour{43, 53, 77};
