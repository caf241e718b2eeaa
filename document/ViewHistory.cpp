#include "document/ViewHistory.h"

#include <algorithm>

#include "document/Fractal.h"
#include "engine/Catalogue.h"

namespace document {

size_t ViewRecord::valueBytes() const
{
    return Values ? size_t(Values->width()) * size_t(Values->height()) * sizeof(uint16_t) : 0;
}

void ViewHistory::record(ViewRecord replaced)
{
    m_forward.clear();
    m_back.push_back(std::move(replaced));
    if (m_back.size() > MaxViews)
        m_back.erase(m_back.begin(), m_back.begin() + std::ptrdiff_t(m_back.size() - MaxViews));
    trim();
}

std::optional<ViewRecord> ViewHistory::back(ViewRecord current)
{
    if (m_back.empty())
        return std::nullopt;
    ViewRecord target = std::move(m_back.back());
    m_back.pop_back();
    m_forward.push_back(std::move(current));
    trim();
    return target;
}

std::optional<ViewRecord> ViewHistory::forward(ViewRecord current)
{
    if (m_forward.empty())
        return std::nullopt;
    ViewRecord target = std::move(m_forward.back());
    m_forward.pop_back();
    m_back.push_back(std::move(current));
    trim();
    return target;
}

void ViewHistory::clear()
{
    m_back.clear();
    m_forward.clear();
}

size_t ViewHistory::cachedBytes() const
{
    size_t total = 0;
    for (const ViewRecord& r : m_back)
        total += r.valueBytes();
    for (const ViewRecord& r : m_forward)
        total += r.valueBytes();
    return total;
}

void ViewHistory::setCacheLimit(size_t bytes)
{
    m_limit = bytes;
    trim();
}

void ViewHistory::trim()
{
    size_t total = cachedBytes();
    // Furthest first: index 0 of each list is the furthest view on its side.
    size_t b = 0, f = 0;
    while (total > m_limit && (b < m_back.size() || f < m_forward.size())) {
        const size_t backDistance = b < m_back.size() ? m_back.size() - b : 0;
        const size_t forwardDistance = f < m_forward.size() ? m_forward.size() - f : 0;
        ViewRecord& r = backDistance >= forwardDistance ? m_back[b++] : m_forward[f++];
        total -= r.valueBytes();
        r.Values.reset();
    }
}

ViewRecord CaptureView(const TFractal& f, bool withValues)
{
    ViewRecord r;
    r.Params = f.Params;
    r.PixelFormat = f.PixelFormat;
    r.LeftX = f.LeftX;
    r.TopY = f.TopY;
    r.BaseMaxIter = f.BaseMaxIter;
    r.UniformIter = f.UniformIter;
    const bool computed = !f.ImageParamsChanged() && f.ResumeLine == 0 && f.Data.width() == f.Params.Width
        && f.Data.height() == f.Params.Height && f.Params.Width >= 2 && f.Params.Height >= 2;
    if (withValues && computed)
        r.Values = std::make_shared<const engine::TVxWork>(f.Data);
    return r;
}

bool ValuesFit(const TFractal& f, const ViewRecord& r)
{
    return r.Values && r.Values->width() == f.Data.width() && r.Values->height() == f.Data.height()
        && r.Params.Width == f.Bitmap.Width && r.Params.Height == f.Bitmap.Height && r.PixelFormat == f.PixelFormat
        && r.Params.Algorithm == f.Params.Algorithm && r.Params.MaxIter == f.Params.MaxIter;
}

bool RestoreView(TFractal& f, const ViewRecord& r)
{
    const bool fit = ValuesFit(f, r);
    f.Params = r.Params;
    f.LeftX = r.LeftX;
    f.TopY = r.TopY;
    if (!fit)
        return false;
    f.Data = *r.Values;
    f.BaseMaxIter = r.BaseMaxIter;
    f.UniformIter = r.UniformIter;
    f.ResumeLine = 0;
    f.CommitImageParams();
    f.ColourAllRows();
    return true;
}

bool ZoomAboutPixel(TFractal& f, int col, int row, bool zoomIn)
{
    const engine::TypeDefaults& limits = engine::typeDefaults(f.Params.FractalType);
    const double x = f.LeftX + col * f.Params.Step;
    const double y = f.TopY - row * f.Params.Step;
    double step = zoomIn ? f.Params.Step / 2 : f.Params.Step * 2;
    bool ok = true;
    if (step < limits.MinStep) {
        step = limits.MinStep;
        ok = false;
    } else if (step > limits.MaxStep) {
        step = limits.MaxStep;
        ok = false;
    }
    f.Params.Step = step;
    f.Params.CentreX = x + (double(f.Params.Width) / 2 - col) * step;
    f.Params.CentreY = y - (double(f.Params.Height) / 2 - row) * step;
    f.UpdateCorners();
    f.Inputs.Step = step;
    f.Inputs.DistThreshold = f.Params.Delta / 500.0 * step;
    return ok;
}

}  // namespace document
