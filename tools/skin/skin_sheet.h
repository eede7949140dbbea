#pragma once

#include <QSize>
#include <QString>

#include "imaging/bitmap32.h"
#include "skin/core/sColors.h"

class TsSkinManager;

// Pictures of a loaded skin for its author: one section in one state, and a contact sheet
// of every section in each of its states.

// The section painted in the state over a parent of plain colour `parentColour` (clKey: no
// parent known). Throws ESkinError for an unknown section or a size beyond the limits.
Bitmap32 renderSection(const TsSkinManager& manager, const QString& section, int state, QSize size,
                       TColor parentColour);

// Every section in each of its states, one row a section, each picture labelled with the
// section's name and state and a sample of its text colours, over the skin's form colour.
Bitmap32 renderContactSheet(const TsSkinManager& manager);

// Loads the skin folder or packed skin file at `path` into `manager` (which must be the only
// manager); throws ESkinError with the reason when it cannot be loaded.
void loadSkinInto(TsSkinManager& manager, const QString& path);
