#include "document/Profile.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "engine/NumberFormat.h"

namespace document {

namespace {

int roundEven(double v) { return int(std::nearbyint(v)); }

std::string shortest(double v)
{
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, r.ptr);
}

// A mark at `value` iterations: line and, far enough above the bottom, a label 13 pixels above it.
ProfileMark mark(int height, double k, uint16_t value, std::string label)
{
    ProfileMark m;
    m.Shown = true;
    m.Y = height - roundEven(value * k);
    m.Labelled = height - m.Y > 40;
    m.LabelY = m.Y - 13;
    m.Label = std::move(label);
    return m;
}

}  // namespace

void TProfile::Fill(const TFractal& f, int row, std::string_view lineLabel, std::string_view posLabel)
{
    m_row = row;
    m_planeY = f.pixelY(row);
    std::string head = std::string(lineLabel) + std::to_string(row) + "  " + std::string(posLabel) +
                       engine::formatGeneral(m_planeY, 16);
    if (head.size() > HeadLength)
        head.resize(HeadLength);
    m_head = std::move(head);
    m_imageWidth = f.Data.width();
    m_imageHeight = f.Data.height();
    m_type = f.Params.FractalType;
    m_algorithm = f.Params.Algorithm;
    m_maxIter = std::max<uint16_t>(f.Params.MaxIter, 1);
    m_baseMaxIter = f.BaseMaxIter;
    m_escape = f.Params.EscapeLevelSq;
    m_uniform = f.UniformIter;
    m_values.assign(size_t(m_imageWidth), 0);
    if (row >= 0 && row < m_imageHeight)
        for (int x = 0; x < m_imageWidth; ++x)
            m_values[size_t(x)] = f.Data.at(row, x);
}

void TProfile::ZoomIn()
{
    if (CanZoomIn())
        m_zoom *= 2;
}

void TProfile::ZoomOut()
{
    if (CanZoomOut())
        m_zoom /= 2;
}

std::string TProfile::Caption() const { return m_head + "  [" + shortest(m_zoom) + "X]"; }

ProfileDrawing TProfile::Layout(int clientHeight) const
{
    ProfileDrawing d;
    const int h = clientHeight;
    d.K = h * m_zoom / m_maxIter;
    if (m_zoom < 1)
        d.MaxLine = mark(h, d.K, m_maxIter, std::to_string(m_maxIter));
    if (!m_uniform)
        d.OriginalLine = mark(h, d.K, m_baseMaxIter, "I.Ori:" + std::to_string(m_baseMaxIter));
    d.Xs.reserve(m_values.size());
    d.Ys.reserve(m_values.size());
    for (size_t x = 0; x < m_values.size(); ++x) {
        d.Xs.push_back(m_offset + int(x));
        d.Ys.push_back(std::max(0, h - roundEven(m_values[x] * d.K)));
    }
    d.TopLabel = std::to_string(roundEven(m_maxIter / m_zoom));
    d.ZeroLabelY = h - 43;
    return d;
}

}  // namespace document
