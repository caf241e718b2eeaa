#pragma once

#include "colour/Recolour.h"
#include "document/Fractal.h"

// Recolouring the whole picture from the stored values, the system palette command and a step of
// palette rotation. The values in Data are never touched.
namespace document {

// What the user interface does around a recolouring: the hourglass and "Redrawing ..." before,
// the blanked status, the marker overlay and the normal cursor after.
class RecolourHooks {
public:
    virtual ~RecolourHooks() = default;
    virtual void started() {}
    virtual void finished() {}
    // The palette changed: the display bitmap must show the new colours (8-bit images).
    virtual void paletteChanged() {}
};

// Colours every row of the bitmap with the current row procedure, row 0 first, between the hooks.
void RecolorAll(TFractal& f, RecolourHooks* hooks = nullptr);

// Copies the 256 system colours into the palette (flags 0; version and count words are kept),
// tells the hooks of the new palette when the image is 8-bit, then RecolorAll.
void ApplySystemPalette(TFractal& f, RecolourHooks* hooks = nullptr);

// True when the red, green and blue of the palette equal the system palette (flags ignored).
bool IsSystemPalette(const TFractal& f);

// One step of the rotation loop: RotatePaletteStep on the palette, then every row recoloured.
void RotateAndRecolour(TFractal& f, colour::RotateDirection direction);

}  // namespace document
