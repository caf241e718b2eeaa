#include "document/Recolour.h"

namespace document {

void RecolorAll(TFractal& f, RecolourHooks* hooks)
{
    if (hooks)
        hooks->started();
    f.ColourAllRows();
    if (hooks)
        hooks->finished();
}

void ApplySystemPalette(TFractal& f, RecolourHooks* hooks)
{
    const colour::Palette system = colour::systemPalette();
    f.Palette.entries = system.entries;
    if (f.PixelFormat == engine::PixelFormat8 && hooks)
        hooks->paletteChanged();
    RecolorAll(f, hooks);
}

bool IsSystemPalette(const TFractal& f)
{
    return colour::IsSystemPalette(f.Palette);
}

void RotateAndRecolour(TFractal& f, colour::RotateDirection direction)
{
    colour::RotatePaletteStep(f.Palette, direction);
    f.ColourAllRows();
}

}  // namespace document
