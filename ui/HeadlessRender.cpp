#include "ui/HeadlessRender.h"

#include <cstring>

#include <QBuffer>
#include <QByteArray>
#include <QFile>

#include "colour/Recolour.h"
#include "engine/ComputeDriver.h"
#include "document/Computation.h"
#include "document/Fractal.h"
#include "document/Recolour.h"
#include "storage/AtomicFile.h"
#include "storage/Workspace.h"

namespace ui {

namespace {

constexpr int DefaultWidth = 640, DefaultHeight = 480;

}  // namespace

QImage bitmapToImage(const document::TFractal& f)
{
    const colour::ImageBitmap& b = f.Bitmap;
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
    document::TFractal f;
    if (!storage::ResetToDefaults(f).ok)
        return false;
    if (!storage::AllocImage(f, DefaultWidth, DefaultHeight, engine::PixelFormat8, true).ok)
        return false;
    document::ApplySystemPalette(f);
    f.UpdateCorners();
    if (document::ComputeCommand(f, true, nullptr) != engine::ComputeEnd::Completed)
        return false;
    const QImage image = bitmapToImage(f);
    if (image.isNull())
        return false;
    // Encoded in memory first: the file at `path` is replaced only by a complete picture.
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        return false;
    return storage::writeFileAtomically(QFile::encodeName(path).toStdString(), png.constData(), size_t(png.size()));
}

bool noDisplayAvailable()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace ui
