#include "colour/editors/PaletteEditorModel.h"

#include <algorithm>

namespace colour::editors {

PaletteEditorModel::PaletteEditorModel(Colour8State& document, PreviewPolicy policy)
    : m_document(document), m_initial(document), m_edit(document.Palette), m_biomorph(document.BiomorphIndex),
      m_boundary(document.BoundaryType), m_multiplier(document.Multiplier), m_policy(policy),
      m_preview(policy == PreviewPolicy::OnByDefault)
{
}

int PaletteEditorModel::cellAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= GridColumns * CellPixels || y >= GridRows * CellPixels)
        return -1;
    return (y / CellPixels) * GridColumns + x / CellPixels;
}

void PaletteEditorModel::startGradient(GradientKind kind)
{
    endModes();
    m_mode = Mode::GradientFirstPoint;
    m_kind = kind;
}

void PaletteEditorModel::startBiomorphPick()
{
    endModes();
    m_mode = Mode::BiomorphPick;
}

void PaletteEditorModel::startSeeColour()
{
    endModes();
    m_mode = Mode::SeeColour;
}

void PaletteEditorModel::endModes()
{
    releaseCell();
    m_mode = Mode::None;
    m_firstPoint = -1;
}

PaletteEditorModel::PressOutcome PaletteEditorModel::pressCell(int cell)
{
    if (cell < 0 || cell >= CellCount)
        return PressOutcome::Nothing;
    m_current = cell;
    // The grey cells are no entries: a mode waiting for an entry keeps waiting.
    if (cell >= EntryCells)
        return PressOutcome::Nothing;
    switch (m_mode) {
    case Mode::GradientFirstPoint:
        m_firstPoint = std::max(cell, 1);
        m_mode = Mode::GradientSecondPoint;
        return PressOutcome::FirstPointChosen;
    case Mode::GradientSecondPoint:
        // Equal points (after raising 0 to 1) change nothing; the gradient ends either way.
        ApplyGradient(m_edit, m_firstPoint, std::max(cell, 1), m_kind);
        m_mode = Mode::None;
        m_firstPoint = -1;
        return PressOutcome::GradientDone;
    case Mode::BiomorphPick:
        m_mode = Mode::None;
        m_biomorph = cell;
        m_document.BiomorphIndex = cell;
        return PressOutcome::BiomorphPicked;
    case Mode::SeeColour: {
        releaseCell();
        m_flashed = cell;
        PaletteEntry& e = m_edit.entries[size_t(cell)];
        m_savedColour = e;
        e.red = uint8_t(255 - e.red);
        e.green = uint8_t(255 - e.green);
        e.blue = uint8_t(255 - e.blue);
        return PressOutcome::Flashing;
    }
    case Mode::None:
        break;
    }
    return PressOutcome::Nothing;
}

bool PaletteEditorModel::releaseCell()
{
    if (m_flashed < 0)
        return false;
    m_edit.entries[size_t(m_flashed)] = m_savedColour;
    m_flashed = -1;
    return true;
}

bool PaletteEditorModel::setEntryColour(int index, uint8_t red, uint8_t green, uint8_t blue)
{
    if (index < 1 || index >= EntryCells)
        return false;
    m_edit.entries[size_t(index)] = {red, green, blue, 0};
    return true;
}

void PaletteEditorModel::rotate(RotateDirection direction)
{
    endModes();
    RotatePaletteStep(m_edit, direction);
}

void PaletteEditorModel::loadPalette(const Palette& loaded)
{
    endModes();
    m_edit = loaded;
    m_edit.entries[0] = {0, 0, 0, 0};
}

void PaletteEditorModel::setBoundaryType(BoundaryKind type)
{
    m_boundary = type;
    m_document.BoundaryType = m_boundary;
    m_document.Multiplier = m_multiplier;
}

void PaletteEditorModel::setMultiplier(int32_t multiplier)
{
    m_multiplier = std::clamp(multiplier, MultiplierMin, MultiplierMax);
    m_document.BoundaryType = m_boundary;
    m_document.Multiplier = m_multiplier;
}

const Palette& PaletteEditorModel::clickPreview()
{
    endModes();
    if (previewButtonsSticky())
        m_preview = !m_preview;
    if (!m_preview && m_policy != PreviewPolicy::Manual) {
        m_document.BiomorphIndex = m_initial.BiomorphIndex;
        m_document.BoundaryType = m_initial.BoundaryType;
        m_document.Multiplier = m_initial.Multiplier;
        return m_document.Palette;
    }
    m_document.BiomorphIndex = m_biomorph;
    m_document.BoundaryType = m_boundary;
    m_document.Multiplier = m_multiplier;
    return m_edit;
}

void PaletteEditorModel::accept()
{
    releaseCell();
    m_document.Palette = m_edit;
    m_document.BoundaryType = m_boundary;
    m_document.Multiplier = m_multiplier;
    m_document.BiomorphIndex = m_biomorph;
}

void PaletteEditorModel::cancel()
{
    m_document = m_initial;
}

}  // namespace colour::editors
