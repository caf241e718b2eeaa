#include "engine/Values.h"

#include <algorithm>

namespace engine {

void TVxWork::resize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<uint16_t> values(size_t(width) * size_t(height), 0);
    const int keepW = std::min(width, m_width);
    const int keepH = std::min(height, m_height);
    for (int r = 0; r < keepH; ++r)
        std::copy_n(row(r), keepW, values.data() + size_t(r) * size_t(width));
    m_values.swap(values);
    m_width = width;
    m_height = height;
}

void TVxWork::fill(uint16_t value)
{
    std::fill(m_values.begin(), m_values.end(), value);
}

void TVxWork::release()
{
    std::vector<uint16_t>().swap(m_values);
    m_width = m_height = 0;
}

PixelRect PixelRect::ordered() const
{
    PixelRect r = *this;
    if (r.Left > r.Right)
        std::swap(r.Left, r.Right);
    if (r.Top > r.Bottom)
        std::swap(r.Top, r.Bottom);
    return r;
}

}  // namespace engine
