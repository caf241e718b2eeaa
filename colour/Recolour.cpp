#include "colour/Recolour.h"

#include "colour/ColorLine.h"

namespace colour {
namespace {
// Both flags belong to the user-interface thread, the only one that colours.
bool g_editorFilling = false;
bool g_rotating = false;
}  // namespace

void SetEditorFilling(bool filling)
{
    g_editorFilling = filling;
}

bool EditorFilling()
{
    return g_editorFilling;
}

bool RecolorAll(engine::TFractal& f, RecolourHooks* hooks)
{
    if (g_editorFilling)
        return false;
    if (hooks)
        hooks->started();
    ColourAllRows(f);
    if (hooks)
        hooks->finished();
    return true;
}

void ApplySystemPalette(engine::TFractal& f, RecolourHooks* hooks)
{
    const Palette system = systemPalette();
    f.Palette.entries = system.entries;
    if (f.PixelFormat == engine::PixelFormat8 && hooks)
        hooks->paletteChanged();
    RecolorAll(f, hooks);
}

bool IsSystemPalette(const engine::TFractal& f)
{
    return IsSystemPalette(f.Palette);
}

void RotatePaletteStep(Palette& palette, RotateDirection direction)
{
    auto& e = palette.entries;
    if (direction == RotateDirection::Out) {
        const PaletteEntry kept = e[1];
        for (size_t i = 1; i < 255; ++i)
            e[i] = e[i + 1];
        e[255] = kept;
    } else {
        const PaletteEntry kept = e[255];
        for (size_t i = 255; i > 1; --i)
            e[i] = e[i - 1];
        e[1] = kept;
    }
}

void StartRotation()
{
    g_rotating = true;
}

void StopRotation()
{
    g_rotating = false;
}

bool RotationRunning()
{
    return g_rotating;
}

void RotateAndRecolour(engine::TFractal& f, RotateDirection direction)
{
    RotatePaletteStep(f.Palette, direction);
    ColourAllRows(f);
}

}  // namespace colour
