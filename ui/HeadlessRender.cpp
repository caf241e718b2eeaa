#include "ui/HeadlessRender.h"

#include <cstring>

#include "colour/Recolour.h"
#include "engine/ComputeDriver.h"
#include "engine/Fractal.h"
#include "storage/Workspace.h"

namespace ui {

namespace {

constexpr int DefaultWidth = 640, DefaultHeight = 480;

}  // namespace

QImage bitmapToImage(const engine::TFractal& f)
{
    const engine::ImageBitmap& b = f.Bitmap;
    if (b.Width < 1 || b.Height < 1 || b.Pixels.size() < b.stride() * size_t(b.Height))
        return {};
    const bool depth24 = b.PixelFormat == engine::PixelFormat24;
    QImage image(b.Width, b.Height, depth24 ? QImage::Format_BGR888 : QImage::Format_Indexed8);
    if (!depth24) {
        QList<QRgb> table;
        for (const colour::PaletteEntry& e : f.Palette.entries)
            table.append(qRgb(e.red, e.green, e.blue));
        image.setColorTable(table);
    }
    for (int r = 0; r < b.Height; ++r)
        std::memcpy(image.scanLine(r), b.row(r), b.stride());
    return image;
}

bool renderDefaultFractal(const QString& path)
{
    engine::TFractal f;
    if (!storage::ResetToDefaults(f).ok)
        return false;
    if (!storage::AllocImage(f, DefaultWidth, DefaultHeight, engine::PixelFormat8, true).ok)
        return false;
    colour::ApplySystemPalette(f);
    f.UpdateCorners();
    if (engine::ComputeCommand(f, true, nullptr) != engine::ComputeEnd::Completed)
        return false;
    const QImage image = bitmapToImage(f);
    return !image.isNull() && image.save(path, "PNG");
}

bool noDisplayAvailable()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace ui
