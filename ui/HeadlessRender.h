#pragma once

#include <QImage>
#include <QString>

namespace document {
class TFractal;
}

namespace ui {

// The picture of a fractal's display bitmap: 8-bit through its palette, or 24-bit.
QImage bitmapToImage(const document::TFractal& f);

// Renders the default fractal (Mandelbrot defaults, 640 x 480, 8-bit, system palette) and writes it
// as PNG to `path`, replacing a previous file only with the complete picture. False when the image
// could not be made or written; a previous file is then left as it was.
bool renderDefaultFractal(const QString& path);

// True when no windowing system is reachable: neither DISPLAY nor WAYLAND_DISPLAY is set and no
// Qt platform is named by QT_QPA_PLATFORM.
bool noDisplayAvailable();

}  // namespace ui
