#pragma once

#include <QString>

class QMenuBar;
class QWidget;

namespace document {
class TFractal;
}

namespace ui {

// Screen-reader support that belongs to no single window.

// Installs, once per process, the accessibility factory of Vorex's own widgets: the picture
// (`MainImage`, an ImageView) is exposed as an image instead of an anonymous panel. Call it once
// the QApplication exists and before the main window is shown; calling it again does nothing.
void installAccessibility();

// What the picture shows, read by screen readers as its name: the type and algorithm, the size
// and depth, the centre and the step, in `language`, with the captions of the variables dialog:
// "Mandelbrot / Binary, 120x90x8 bit, X Center: -0.5, Y Center: 0, Calculation step: 0.01".
// Numbers are written as on the status line (shortest form, up to 15 significant digits). Empty
// when there is no image (width or height below 2).
QString pictureDescription(const document::TFractal& f, int language);

// Gives `picture` the name pictureDescription(f, language); assistive tools are told when it
// changes. Cheap when nothing changed: call it wherever the status line is refreshed.
void updatePictureAccessibleName(QWidget* picture, const document::TFractal& f, int language);

// Names each drop-down menu of `bar` after its entry in the bar ("File", "Fractale", without the
// accelerator mark), so that an opened menu is announced by name. Call it after the captions of
// the menus are set.
void nameMenus(QMenuBar* bar);

// Gives every label of a grid or form layout under `root` that names no field yet the field to its right as
// its buddy (so that its "&" letter reaches it), and names every labelled field after its label for
// screen readers.
void labelFields(QWidget* root);

// A caption as it is shown: without the "&" that marks its accelerator, "&&" standing for "&".
QString shownCaption(const QString& caption);

}  // namespace ui
