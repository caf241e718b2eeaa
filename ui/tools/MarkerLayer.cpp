#include "ui/tools/MarkerLayer.h"

#include <QString>
#include <algorithm>

#include "colour/Fract3D.h"
#include "document/Fractal.h"
#include "ui/ImageView.h"
#include "ui/MainForm.h"

namespace ui {

namespace {

constexpr int MarkerTextLength = 80;

document::PlaneMapping mappingOf(const document::TFractal& f)
{
    return {f.LeftX, f.TopY, f.Params.Step};
}

bool anyUsed(const document::MarkerSet& set)
{
    return std::any_of(set.Markers.begin(), set.Markers.end(), [](const document::Marker& m) { return m.InUse; });
}

}  // namespace

MarkerLayer::MarkerLayer(TMainForm& window) : m_window(window) {}

document::MarkerAllocation MarkerLayer::create()
{
    const document::MarkerAllocation a = m_slots.CreateMarkers();
    if (a != document::MarkerAllocation::Ok)
        return a;
    return m_slots3D.CreateMarkers();
}

document::MarkerStyle MarkerLayer::style() const
{
    const storage::Preferences& p = m_window.settings().prefs;
    document::MarkerStyle s;
    // An even size is drawn one smaller: markers are always odd.
    s.Size = std::clamp(p.markerSize % 2 == 0 ? p.markerSize - 1 : p.markerSize, 1, document::MarkerBlock);
    s.Colour = p.markerColour;
    return s;
}

bool MarkerLayer::view3D() const
{
    return m_window.fractal().View3D;
}

QPoint MarkerLayer::projected(QPoint pixel) const
{
    const document::TFractal& f = m_window.fractal();
    const colour::TFract3D& view = m_window.fract3D();
    uint16_t h = 1;
    if (pixel.x() >= 0 && pixel.y() >= 0 && pixel.x() < f.Data.width() && pixel.y() < f.Data.height())
        h = f.Data.at(pixel.y(), pixel.x());
    const colour::ScreenPoint p = view.ProjectPoint(pixel.x(), pixel.y(), h);
    return QPoint(p.X, p.Y);
}

void MarkerLayer::refreshProjection() const
{
    const document::TFractal& f = m_window.fractal();
    for (size_t i = 0; i < f.Markers.size(); ++i) {
        document::Marker m = f.Markers[i];
        const QPoint p = projected(QPoint(m.X, m.Y));
        m.X = p.x();
        m.Y = p.y();
        m_projected.Markers[i] = m;
    }
}

void MarkerLayer::copyToPicture(int firstRow, int lastRow)
{
    const document::TFractal& f = m_window.fractal();
    firstRow = std::max(firstRow, 0);
    lastRow = std::min(lastRow, f.Bitmap.Height - 1);
    ImageView* image = m_window.mainImage();
    if (firstRow > lastRow || image->imageWidth() != f.Bitmap.Width || image->imageHeight() != f.Bitmap.Height)
        return;
    image->copyRows(f.Bitmap, firstRow, lastRow);
}

void MarkerLayer::copyAroundToPicture(QPoint pixel)
{
    copyToPicture(pixel.y() - document::MarkerReach, pixel.y() + document::MarkerReach);
}

std::optional<int> MarkerLayer::place(QPoint pixel, const std::string& text, document::MarkerShape shape)
{
    document::TFractal& f = m_window.fractal();
    if (!m_window.isIdle()) {
        // The computation owns the bitmap: the marker is drawn over the picture when it ends.
        for (int n = 1; n <= document::MarkerSlots; ++n) {
            document::Marker& m = f.Markers[size_t(n - 1)];
            if (!m.InUse) {
                m = document::Marker{true, shape, pixel.x(), pixel.y(),
                                     QString::fromStdString(text).left(MarkerTextLength).toStdString()};
                return n;
            }
        }
        return std::nullopt;
    }
    if (!view3D()) {
        const std::optional<int> n = m_slots.Place(f.markers(), f.Bitmap, f.Palette, style(), mappingOf(f), pixel.x(),
                                                   pixel.y(), text, shape);
        if (n)
            copyAroundToPicture(pixel);
        return n;
    }
    // The 3D view: the marker belongs to the plain image and is drawn where the relief shows that pixel.
    refreshProjection();
    const QPoint at = projected(pixel);
    const std::optional<int> n = m_slots3D.Place(m_projected, f.Bitmap, f.Palette, style(), mappingOf(f), at.x(), at.y(),
                                                 text, shape);
    if (!n)
        return n;
    document::Marker& m = f.Markers[size_t(*n - 1)];
    m = m_projected.Markers[size_t(*n - 1)];
    m.X = pixel.x();
    m.Y = pixel.y();
    copyAroundToPicture(at);
    return n;
}

std::optional<int> MarkerLayer::find(QPoint shownPixel) const
{
    const document::TFractal& f = m_window.fractal();
    if (!view3D())
        return m_slots.Find(f.markers(), style(), shownPixel.x(), shownPixel.y());
    refreshProjection();
    return m_slots3D.Find(m_projected, style(), shownPixel.x(), shownPixel.y());
}

void MarkerLayer::erase(int number, bool free)
{
    document::TFractal& f = m_window.fractal();
    if (!m_window.isIdle()) {
        // Nothing is drawn while the picture is being rewritten (hideForRewrite came first).
        if (free) {
            f.Markers[size_t(number - 1)].InUse = false;
            f.Markers[size_t(number - 1)].Label.clear();
        }
        return;
    }
    if (!view3D()) {
        m_slots.Erase(f.markers(), f.Bitmap, f.Palette, style(), number, free);
        // Markers drawn over it were lifted and drawn again: copy every row they may touch.
        copyToPicture(0, f.Bitmap.Height - 1);
        return;
    }
    m_slots3D.Erase(m_projected, f.Bitmap, f.Palette, style(), number, free);
    if (free) {
        f.Markers[size_t(number - 1)].InUse = false;
        f.Markers[size_t(number - 1)].Label.clear();
    }
    copyToPicture(0, f.Bitmap.Height - 1);
}

std::optional<int> MarkerLayer::move(int number, QPoint pixel, const std::string& text, document::MarkerShape shape)
{
    document::TFractal& f = m_window.fractal();
    erase(number, true);
    if (pixel.x() < 0 || pixel.y() < 0 || pixel.x() >= f.Bitmap.Width || pixel.y() >= f.Bitmap.Height)
        return std::nullopt;
    return place(pixel, text, shape);
}

bool MarkerLayer::anyDrawn() const
{
    for (int n = 1; n <= document::MarkerSlots; ++n)
        if (m_slots.slot(n).Drawn || m_slots3D.slot(n).Drawn)
            return true;
    return false;
}

void MarkerLayer::hideAll()
{
    document::TFractal& f = m_window.fractal();
    if (!anyDrawn() || !m_window.isIdle())
        return;  // the picture and what is drawn over it stay as they are
    m_slots3D.HideAll(f.Bitmap);
    m_slots.HideAll(f.Bitmap);
    copyToPicture(0, f.Bitmap.Height - 1);
}

bool MarkerLayer::deleteAll()
{
    document::TFractal& f = m_window.fractal();
    if (!m_window.isIdle()) {
        const bool any = anyUsed(f.markers());
        f.markers() = document::MarkerSet{};
        return any;
    }
    m_slots3D.DeleteAll(m_projected, f.Bitmap);
    const bool any = m_slots.DeleteAll(f.markers(), f.Bitmap);
    copyToPicture(0, f.Bitmap.Height - 1);
    return any;
}

bool MarkerLayer::showAll(bool saveBackground)
{
    document::TFractal& f = m_window.fractal();
    if (!anyUsed(f.markers()))
        return false;
    if (!m_window.isIdle())
        return true;  // drawn when the picture has been rewritten
    bool any = false;
    if (!view3D()) {
        m_slots3D.HideAll(f.Bitmap);
        any = m_slots.ShowAll(f.markers(), f.Bitmap, f.Palette, style(), saveBackground);
    } else {
        m_slots.HideAll(f.Bitmap);
        // The projection may have changed since they were drawn: lift them first, then draw anew.
        m_slots3D.HideAll(f.Bitmap);
        refreshProjection();
        any = m_slots3D.ShowAll(m_projected, f.Bitmap, f.Palette, style(), true);
    }
    copyToPicture(0, f.Bitmap.Height - 1);
    return any;
}

void MarkerLayer::pictureRewritten()
{
    hideAll();
    if (m_window.settings().prefs.markersShown)
        showAll(true);
}

void MarkerLayer::forget()
{
    m_slots.ForgetDrawn();
    m_slots3D.ForgetDrawn();
}

}  // namespace ui
