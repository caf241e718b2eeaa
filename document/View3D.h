#pragma once

#include "colour/Fract3D.h"
#include "colour/filters/Filters.h"
#include "document/Fractal.h"

// The document's 3D view and filters: drawing the relief into the picture, going back to the plain
// picture, and passing the picture through a filter. The window adds the cursor, the status texts, the
// progress window and the menus around them.
namespace document {

enum class Draw3DResult : uint8_t {
    Done,
    Stopped,   // the stop was requested: what was drawn so far is shown
    NoMemory,  // Data3D could not be allocated ("No Memory for Workspace"): the 2D view stays
};

// Clears the picture (the document then counts as unmodified), refreshes `view` from the document's 3D
// parameters and image, renders the relief into Data3D (`threads` threads; 0: one per core) with the 3D
// view set, colours every row from Data3D, and marks the document modified.
Draw3DResult Draw3D(TFractal& f, colour::TFract3D& view, int threads = 0, const colour::Render3DControl& control = {});

// The plain picture again: frees Data3D, leaves the 3D view, clears the picture (the document then counts
// as unmodified) and colours every row from Data.
void Redraw2D(TFractal& f);

// Passes the picture through the filter of `s` (kind None changes nothing), reading Data also while the
// 3D view is shown. False when stopped before the last row.
bool ApplyFilter(TFractal& f, const colour::filters::FilterSettings& s, int threads = 0,
                 const colour::filters::FilterControl& control = {});

}  // namespace document
