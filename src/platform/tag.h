#pragma once

#include <QObject>
#include <QVariant>

// The Tag of the design's components: a number of the program's own that any window or
// control may carry, 0 unless set. The skin engine reads it to leave some windows and
// controls alone.
inline constexpr char kTagProperty[] = "Tag";

inline int componentTag(const QObject* object) {
    return object ? object->property(kTagProperty).toInt() : 0;
}

inline void setComponentTag(QObject* object, int tag) {
    if (object) object->setProperty(kTagProperty, tag);
}
