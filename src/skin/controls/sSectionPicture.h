#pragma once

#include <QPoint>
#include <QSize>

#include "imaging/bitmap32.h"
#include "skin/core/sColors.h"

class QPainter;
class TsSkinManager;

// The look of a skin section in a state over a plain colour, as a picture of the given
// size: for the parts of a control that have no window of their own (a grid's header
// section, a marked item), painted where the control paints them. `frame` false leaves
// the section's border out. An empty picture for an empty size.
Bitmap32 PaintSectionPicture(const TsSkinManager& manager, int section, int state, QSize size,
                             TColor behind, bool frame = true);

// Draws a painted picture through a painter, its top left at `position`.
void DrawSectionPicture(QPainter& painter, QPoint position, const Bitmap32& picture);
