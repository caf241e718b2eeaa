#include "colour/editors/ColourTableEditorModel.h"

#include <algorithm>

#include "colour/ColourTables.h"
#include "colour/Hsv.h"
#include "colour/TransferFunctions.h"

namespace colour::editors {

ColourTableEditorModel::ColourTableEditorModel(Colour24State& document, uint16_t maxIter, uint8_t algorithm)
    : m_document(document), m_initial(document), m_maxIter(maxIter), m_algorithm(algorithm),
      m_table(document.ColorTable24), m_mode(document.TableMode), m_params(document.calcParams())
{
    if (inUse(FirstBoundary))
        m_selected = FirstBoundary;
    setZoomLabel(1);
    recomputeGeometry();
}

int ColourTableEditorModel::boundaryCount() const
{
    int n = 0;
    for (int i = FirstBoundary; i <= LastBoundary; ++i)
        n += inUse(i);
    return n;
}

std::vector<uint32_t> ColourTableEditorModel::boundaryPositions() const
{
    std::vector<uint32_t> positions;
    for (int i = FirstBoundary; i <= LastBoundary; ++i)
        if (inUse(i))
            positions.push_back(m_table.records[size_t(i)].position);
    return positions;
}

int ColourTableEditorModel::nearestBoundary(uint32_t value) const
{
    for (int i = FirstBoundary; i <= LastBoundary; ++i) {
        const uint32_t position = m_table.records[size_t(i)].position;
        if (position <= value)
            continue;
        // Record i is the first above the value (a free one counts as above everything).
        const bool later = inUse(i);
        const bool earlier = i - 1 >= FirstBoundary && inUse(i - 1);
        if (later && earlier) {
            const uint32_t below = m_table.records[size_t(i - 1)].position;
            return value - below < position - value ? i - 1 : i;
        }
        if (later)
            return i;
        return earlier ? i - 1 : NoSelection;
    }
    return inUse(LastBoundary) ? LastBoundary : NoSelection;
}

bool ColourTableEditorModel::selectNearest(uint32_t value)
{
    const int record = nearestBoundary(value);
    if (record == NoSelection)
        return false;
    m_selected = record;
    return true;
}

bool ColourTableEditorModel::addBoundary(uint32_t value)
{
    // A boundary at or below the scale's start would have nothing to colour before it.
    if (value <= m_table.records[0].position || value > PositionMax)
        return false;
    int freeRecord = NoSelection;
    for (int i = FirstBoundary; i <= LastBoundary; ++i) {
        if (inUse(i)) {
            if (m_table.records[size_t(i)].position == value)
                return false;
        } else if (freeRecord == NoSelection) {
            freeRecord = i;
        }
    }
    if (freeRecord == NoSelection)
        return false;  // all 99 boundaries exist
    m_table.records[size_t(freeRecord)].position = value;
    sortBoundaries();
    for (int i = FirstBoundary; i <= LastBoundary; ++i)
        if (m_table.records[size_t(i)].position == value)
            m_selected = i;
    return true;
}

ColourTableEditorModel::Neighbours ColourTableEditorModel::neighbours() const
{
    Neighbours n;
    if (m_selected == NoSelection)
        return n;
    const uint32_t here = m_table.records[size_t(m_selected)].position;
    n.lower = m_table.records[size_t(m_selected - 1)].position;
    const int next = m_selected + 1;
    n.upper = next <= LastBoundary && inUse(next) ? m_table.records[size_t(next)].position
                                                  : m_table.records[ColorTable24::EndRecord].position;
    // A last boundary beyond the scale's end (a table made for a higher iteration limit) can still move up.
    if (n.upper <= here)
        n.upper = PositionMax + 1;
    return n;
}

bool ColourTableEditorModel::moveSelected(uint32_t position)
{
    if (m_selected == NoSelection)
        return false;
    const Neighbours n = neighbours();
    if (position <= n.lower || position >= n.upper)
        return false;
    if (int64_t(position) < startLabelValue() || int64_t(position) > endLabelValue() || position > PositionMax)
        return false;
    m_table.records[size_t(m_selected)].position = position;
    return true;
}

bool ColourTableEditorModel::nudgeSelected(int delta)
{
    if (m_selected == NoSelection)
        return false;
    const int64_t target = int64_t(m_table.records[size_t(m_selected)].position) + delta;
    return target >= 0 && moveSelected(uint32_t(target));
}

uint32_t ColourTableEditorModel::typePosition(int64_t typed)
{
    if (m_selected == NoSelection)
        return 0;
    const uint32_t value = uint32_t(std::clamp<int64_t>(typed, PositionMin, PositionMax));
    const Neighbours n = neighbours();
    uint32_t position;
    if (value > n.lower && value < n.upper)
        position = value;
    else if (value >= n.lower)
        position = n.upper - 1;  // at or above the upper neighbour (or exactly on the lower one)
    else
        position = n.lower + 1;
    m_table.records[size_t(m_selected)].position = position;
    recomputeGeometry();
    return position;
}

bool ColourTableEditorModel::deleteSelected()
{
    if (m_selected == NoSelection)
        return false;
    m_table.records[size_t(m_selected)] = BoundaryRec{};
    sortBoundaries();
    if (!inUse(m_selected))
        m_selected = m_selected - 1 >= FirstBoundary && inUse(m_selected - 1) ? m_selected - 1 : NoSelection;
    return true;
}

uint32_t ColourTableEditorModel::panelColour(Panel panel) const
{
    switch (panel) {
    case Panel::ScaleStart: return m_table.records[0].upper;
    case Panel::ScaleEnd: return m_table.records[ColorTable24::EndRecord].lower;
    case Panel::SelectedUpper: return m_selected == NoSelection ? 0 : m_table.records[size_t(m_selected)].upper;
    case Panel::SelectedLower: return m_selected == NoSelection ? 0 : m_table.records[size_t(m_selected)].lower;
    case Panel::Biomorph: return m_table.biomorph;
    case Panel::Filaments: return m_table.filaments;
    }
    return 0;
}

bool ColourTableEditorModel::setPanelColour(Panel panel, uint32_t colour)
{
    colour &= 0xFFFFFF;
    switch (panel) {
    case Panel::ScaleStart: m_table.records[0].upper = colour; break;
    case Panel::ScaleEnd: m_table.records[ColorTable24::EndRecord].lower = colour; break;
    case Panel::SelectedUpper:
    case Panel::SelectedLower:
        if (m_selected == NoSelection)
            return false;
        (panel == Panel::SelectedUpper ? m_table.records[size_t(m_selected)].upper
                                       : m_table.records[size_t(m_selected)].lower) = colour;
        break;
    case Panel::Biomorph: m_table.biomorph = colour; return true;
    case Panel::Filaments: m_table.filaments = colour; return true;
    }
    m_table.leadIn.upper = m_table.leadIn.lower = 0;
    m_table.records[ColorTable24::LeadOutRecord].upper = m_table.records[ColorTable24::LeadOutRecord].lower = 0;
    return true;
}

void ColourTableEditorModel::loadTable(const ColorTable24& loaded)
{
    endStripModes();
    m_table = loaded;
    m_selected = inUse(FirstBoundary) ? FirstBoundary : NoSelection;
    recomputeGeometry();
}

void ColourTableEditorModel::setStripWidth(int pixels)
{
    m_width = std::max(pixels, 1);
    recomputeGeometry();
}

void ColourTableEditorModel::recomputeGeometry()
{
    const int64_t p0 = m_table.records[0].position;
    const int64_t p100 = m_table.records[ColorTable24::EndRecord].position;
    // A damaged table whose end is not above its start still gets a usable strip.
    const double span = p100 > p0 ? double(p100 - p0) : 1.0;
    m_scale = span / (double(m_width) * m_zoom);
    m_inverse = 1.0 / m_scale;
    m_lastShown = roundEven(m_width * m_scale) + p0;
}

int64_t ColourTableEditorModel::startLabelValue() const
{
    return int64_t(m_table.records[0].position) + m_offset;
}

int64_t ColourTableEditorModel::endLabelValue() const
{
    return m_lastShown + m_offset;
}

int64_t ColourTableEditorModel::rawValueAt(int x) const
{
    return roundEven(x * m_scale) + int64_t(m_table.records[0].position) + m_offset;
}

uint32_t ColourTableEditorModel::valueAt(int x) const
{
    const int64_t v = rawValueAt(x);
    return v < 0 || v > 65535 ? 0 : uint32_t(v);
}

int64_t ColourTableEditorModel::xOf(uint32_t value) const
{
    const double p0 = m_table.records[0].position;
    return roundEven(value * m_inverse - p0 * m_inverse - m_offset * m_inverse);
}

void ColourTableEditorModel::setZoomLabel(int factor, bool reset)
{
    m_zoomLabel = " Zoom: " + std::to_string(factor) + " X" + (reset ? " " : "");
}

void ColourTableEditorModel::toggleZoomMode()
{
    m_zoomMode = !m_zoomMode;
    m_moveMode = false;
}

void ColourTableEditorModel::toggleMoveMode()
{
    m_moveMode = !m_moveMode;
    m_zoomMode = false;
}

void ColourTableEditorModel::endStripModes()
{
    m_zoomMode = m_moveMode = false;
}

bool ColourTableEditorModel::zoomClick(int x, bool out)
{
    const int64_t v = rawValueAt(x);
    const int factor = std::clamp(out ? m_zoom / 2 : m_zoom * 2, ZoomMin, ZoomMax);
    if (factor == m_zoom)
        return false;
    m_zoom = factor;
    setZoomLabel(m_zoom);
    const int64_t p0 = m_table.records[0].position;
    if (m_zoom == 1)
        m_offset = 0;
    else if (!out)
        m_offset = int32_t(m_offset + (v - m_offset - p0) / 2);
    else
        m_offset = int32_t(v - 2 * (v - m_offset) + p0);
    recomputeGeometry();
    // The halving above drops the odd half value and the new scale rounds differently: move the strip by
    // what is left so that the clicked value is exactly under the mouse again.
    if (m_zoom != 1)
        m_offset = int32_t(m_offset + (v - rawValueAt(x)));
    return true;
}

void ColourTableEditorModel::dragBy(int dx)
{
    if (!m_moveMode)
        return;
    m_offset = int32_t(m_offset + roundEven(-dx * m_scale));
}

void ColourTableEditorModel::resetZoom()
{
    m_zoom = 1;
    m_offset = 0;
    setZoomLabel(1, /*reset=*/true);
    endStripModes();
    recomputeGeometry();
}

void ColourTableEditorModel::setTableMode(TableModeKind mode)
{
    m_mode = mode;
    m_document.TableMode = mode;
    rebuildTables();
}

void ColourTableEditorModel::writeParams()
{
    m_document.setCalcParams(m_params);
    rebuildTables();
}

void ColourTableEditorModel::setHueOffset(int32_t degrees)
{
    if (degrees > HueOffsetMax)
        degrees -= 360;
    m_params.hueOffset = std::clamp(degrees, 0, HueOffsetMax);
    writeParams();
}

void ColourTableEditorModel::setHueMult(int32_t mult)
{
    m_params.hueMult = std::clamp(mult, 1, HueMultMax);
    writeParams();
}

void ColourTableEditorModel::setValueMult(int32_t mult)
{
    m_params.valueMult = std::clamp(mult, 1, ValueMultMax);
    writeParams();
}

void ColourTableEditorModel::setHueFunction(int function)
{
    m_params.hueFunction = uint8_t(std::clamp(function, 0, TransferFunctionCount - 1));
    writeParams();
}

void ColourTableEditorModel::setValueFunction(int function)
{
    m_params.valueFunction = uint8_t(std::clamp(function, 0, TransferFunctionCount - 1));
    writeParams();
}

void ColourTableEditorModel::rebuildTables()
{
    // The boundaries give the biomorph colour in both modes.
    BuildTableFromBoundaries(m_document, m_table, m_maxIter, m_algorithm);
    if (m_mode == TableModeKind::Calculated) {
        // The calculated tables take entry 0 from the document's table, which stays as it is until "OK":
        // lend it the working filaments colour for the build.
        const uint32_t kept = m_document.ColorTable24.filaments;
        m_document.ColorTable24.filaments = m_table.filaments;
        BuildTableCalculated(m_document, m_maxIter, m_algorithm);
        m_document.ColorTable24.filaments = kept;
    }
}

void ColourTableEditorModel::accept()
{
    m_document.ColorTable24 = m_table;
    m_document.TableMode = m_mode;
    m_document.setCalcParams(m_params);
    RebuildTables(m_document, m_maxIter, m_algorithm);
}

void ColourTableEditorModel::cancel()
{
    m_document = m_initial;
}

void ColourTableEditorModel::sortBoundaries()
{
    std::stable_sort(m_table.records.begin() + FirstBoundary, m_table.records.begin() + LastBoundary + 1,
                     [](const BoundaryRec& a, const BoundaryRec& b) { return a.position < b.position; });
}

}  // namespace colour::editors
