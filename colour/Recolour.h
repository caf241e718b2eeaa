#pragma once

#include <cstdint>

#include "colour/Palette.h"
#include "engine/Fractal.h"

// Recolouring the whole picture from the stored values, the system palette command and palette
// rotation. All of it runs on the user-interface thread; the values in Data are never touched.
namespace colour {

// Set while an editor fills in its controls, so that the change notifications this causes do not
// recolour the picture. Use EditorFillingScope rather than setting it by hand.
void SetEditorFilling(bool filling);
bool EditorFilling();

class EditorFillingScope {
public:
    EditorFillingScope() : m_previous(EditorFilling()) { SetEditorFilling(true); }
    ~EditorFillingScope() { SetEditorFilling(m_previous); }
    EditorFillingScope(const EditorFillingScope&) = delete;
    EditorFillingScope& operator=(const EditorFillingScope&) = delete;

private:
    bool m_previous;
};

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

// Runs f.ColorLine on every row of the bitmap, row 0 first. Does nothing and returns false while
// EditorFilling() is set (the hooks are not called either).
bool RecolorAll(engine::TFractal& f, RecolourHooks* hooks = nullptr);

// Copies the 256 system colours into f.Palette (flags 0; version and count words are kept),
// tells the hooks of the new palette when the image is 8-bit, then RecolorAll.
void ApplySystemPalette(engine::TFractal& f, RecolourHooks* hooks = nullptr);

// True when the red, green and blue of f.Palette equal the system palette (flags ignored).
bool IsSystemPalette(const engine::TFractal& f);

enum class RotateDirection : uint8_t { In = 0, Out = 1 };

// One step of palette rotation. Out: entries 1..254 take the colours of 2..255 and entry 255 the
// old entry 1. In: the reverse. Entry 0 never moves. Flags move with their colours.
void RotatePaletteStep(Palette& palette, RotateDirection direction);

// The rotation loop of the main window: while RotationRunning(), rotate one step, show the palette,
// recolour every row, process events. The flag is cleared by the main window's mode reset, by
// closing the window and by a new document.
void StartRotation();
void StopRotation();
bool RotationRunning();

// One pass of that loop on the document: RotatePaletteStep on f.Palette, then every row recoloured.
void RotateAndRecolour(engine::TFractal& f, RotateDirection direction);

}  // namespace colour
