// The 8-bit colour editor's model: gradients picked on the grid, one colour edited, rotations, the
// biomorph pick, the boundaries, the preview switch and the endings (OK and Cancel).
#include <gtest/gtest.h>

#include <string>

#include "colour/Colour8.h"
#include "colour/Hsv.h"
#include "colour/editors/PaletteEditorModel.h"

namespace {

using colour::BoundaryKind;
using colour::GradientKind;
using colour::PaletteEntry;
using colour::RotateDirection;
using colour::editors::PaletteEditorModel;
using colour::editors::PreviewPolicy;
using Press = PaletteEditorModel::PressOutcome;

// A document part whose palette differs entry by entry, with non-default boundaries and biomorph index.
colour::Colour8State sampleDocument()
{
    colour::Colour8State d;
    for (int i = 0; i < 256; ++i)
        d.Palette.entries[size_t(i)] = {uint8_t(i), uint8_t(3 * i), uint8_t(255 - i), 0};
    d.BoundaryType = BoundaryKind::Log;
    d.Multiplier = 37;
    d.BiomorphIndex = 12;
    return d;
}

void gradient(PaletteEditorModel& m, GradientKind kind, int first, int second)
{
    m.startGradient(kind);
    ASSERT_EQ(m.pressCell(first), Press::FirstPointChosen);
    ASSERT_EQ(m.pressCell(second), Press::GradientDone);
    ASSERT_EQ(m.mode(), PaletteEditorModel::Mode::None);
}

int hueOf(const PaletteEntry& e)
{
    return int(colour::RgbToHsv(e.red, e.green, e.blue).h);
}

TEST(PaletteEditorModel, RgbGradientFromBlackToWhiteRoundsTiesToEven)
{
    for (const auto& [first, second] : {std::pair{10, 20}, std::pair{20, 10}}) {
        SCOPED_TRACE("clicked " + std::to_string(first) + " then " + std::to_string(second));
        colour::Colour8State doc = sampleDocument();
        doc.Palette.entries[10] = {0, 0, 0, 0};
        doc.Palette.entries[20] = {255, 255, 255, 0};
        const colour::Palette before = doc.Palette;
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Rgb, first, second);
        const colour::Palette& p = m.editPalette();
        // 5 x 25.5 = 127.5 rounds to the even 128.
        EXPECT_EQ(p.entries[15], (PaletteEntry{128, 128, 128, 0}));
        EXPECT_EQ(p.entries[11], (PaletteEntry{26, 26, 26, 0}));  // 25.5 -> 26
        EXPECT_EQ(p.entries[10], (PaletteEntry{0, 0, 0, 0}));
        EXPECT_EQ(p.entries[20], (PaletteEntry{255, 255, 255, 0}));
        EXPECT_EQ(p.entries[9], doc.Palette.entries[9]);
        EXPECT_EQ(p.entries[21], doc.Palette.entries[21]);
        EXPECT_EQ(doc.Palette, before) << "the document's palette waits for OK";
    }
}

TEST(PaletteEditorModel, HsvGradientFromRedToBlueGoesThroughMagenta)
{
    colour::Colour8State doc = sampleDocument();
    doc.Palette.entries[1] = {255, 0, 0, 0};
    doc.Palette.entries[4] = {0, 0, 255, 0};
    PaletteEditorModel m(doc);
    gradient(m, GradientKind::Hsv, 1, 4);
    const colour::Palette& p = m.editPalette();
    EXPECT_EQ(hueOf(p.entries[2]), 320);
    EXPECT_EQ(hueOf(p.entries[3]), 280);
    EXPECT_EQ(hueOf(p.entries[4]), 240);
    EXPECT_EQ(p.entries[2], (PaletteEntry{255, 0, 170, 0}));
    EXPECT_EQ(p.entries[3], (PaletteEntry{170, 0, 255, 0}));
    EXPECT_EQ(p.entries[4], (PaletteEntry{0, 0, 255, 0}));
}

TEST(PaletteEditorModel, HsvGradientBetweenAGreyAndAColourKeepsTheColoursHue)
{
    struct Row {
        const char* label;
        int lo, hi;
        PaletteEntry loColour, hiColour;
        int hue;
    } rows[] = {
        {"grey to green", 30, 34, {128, 128, 128, 0}, {40, 200, 40, 0}, 120},
        {"blue to grey", 50, 55, {60, 60, 220, 0}, {90, 90, 90, 0}, 240},
        {"black to magenta", 60, 64, {0, 0, 0, 0}, {200, 20, 200, 0}, 300},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.label);
        colour::Colour8State doc = sampleDocument();
        doc.Palette.entries[size_t(r.lo)] = r.loColour;
        doc.Palette.entries[size_t(r.hi)] = r.hiColour;
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Hsv, r.lo, r.hi);
        double previousS = -1;
        const bool rising = r.loColour.red == r.loColour.green && r.loColour.green == r.loColour.blue;
        for (int i = r.lo + 1; i < r.hi; ++i) {
            SCOPED_TRACE("entry " + std::to_string(i));
            const PaletteEntry& e = m.editPalette().entries[size_t(i)];
            const colour::Hsv hsv = colour::RgbToHsv(e.red, e.green, e.blue);
            EXPECT_EQ(int(hsv.h), r.hue);
            if (previousS >= 0) {
                if (rising) EXPECT_GT(double(hsv.s), previousS);
                else EXPECT_LT(double(hsv.s), previousS);
            }
            previousS = double(hsv.s);
        }
    }
}

TEST(PaletteEditorModel, GradientClicksOnEntryZeroStartAtOne)
{
    colour::Colour8State doc = sampleDocument();
    doc.Palette.entries[1] = {0, 0, 0, 0};
    doc.Palette.entries[5] = {200, 100, 40, 0};
    {
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Rgb, 0, 5);
        EXPECT_EQ(m.firstPoint(), -1);
        EXPECT_EQ(m.editPalette().entries[0], doc.Palette.entries[0]);
        EXPECT_EQ(m.editPalette().entries[1], (PaletteEntry{0, 0, 0, 0}));
        EXPECT_EQ(m.editPalette().entries[3], (PaletteEntry{100, 50, 20, 0}));
    }
    {
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Hsv, 5, 0);  // the second click on entry 0 ends at 1
        EXPECT_EQ(m.editPalette().entries[0], doc.Palette.entries[0]);
        EXPECT_EQ(m.editPalette().entries[1], doc.Palette.entries[1]);  // the gradient starts from entry 1
        EXPECT_NE(m.editPalette().entries[2], doc.Palette.entries[2]);
        EXPECT_EQ(m.editPalette().entries[6], doc.Palette.entries[6]);
    }
    {
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Rgb, 0, 1);  // both on entry 1: nothing changes
        EXPECT_EQ(m.editPalette(), doc.Palette);
    }
}

TEST(PaletteEditorModel, GreyCellsAndCellsOutsideTheGridWriteNothing)
{
    EXPECT_EQ(PaletteEditorModel::cellAt(0, 0), 0);
    EXPECT_EQ(PaletteEditorModel::cellAt(14, 14), 0);
    EXPECT_EQ(PaletteEditorModel::cellAt(15, 0), 1);
    EXPECT_EQ(PaletteEditorModel::cellAt(0, 15), 20);
    EXPECT_EQ(PaletteEditorModel::cellAt(299, 194), 259);
    EXPECT_EQ(PaletteEditorModel::cellAt(300, 0), -1);
    EXPECT_EQ(PaletteEditorModel::cellAt(0, 195), -1);
    EXPECT_EQ(PaletteEditorModel::cellAt(-1, 3), -1);

    colour::Colour8State doc = sampleDocument();
    PaletteEditorModel m(doc);
    m.startGradient(GradientKind::Rgb);
    EXPECT_EQ(m.pressCell(257), Press::Nothing);
    EXPECT_EQ(m.mode(), PaletteEditorModel::Mode::GradientFirstPoint);
    EXPECT_EQ(m.pressCell(40), Press::FirstPointChosen);
    EXPECT_EQ(m.pressCell(259), Press::Nothing);
    EXPECT_EQ(m.pressCell(-1), Press::Nothing);
    EXPECT_EQ(m.mode(), PaletteEditorModel::Mode::GradientSecondPoint);
    m.startBiomorphPick();
    EXPECT_EQ(m.pressCell(256), Press::Nothing);
    EXPECT_EQ(m.candidateBiomorph(), 12);
    EXPECT_EQ(m.editPalette(), doc.Palette);
    EXPECT_EQ(m.currentCell(), 256);
}

TEST(PaletteEditorModel, EditingOneColourLeavesEntryZeroAlone)
{
    colour::Colour8State doc = sampleDocument();
    PaletteEditorModel m(doc);
    EXPECT_FALSE(m.setEntryColour(0, 1, 2, 3));
    EXPECT_FALSE(m.setEntryColour(256, 1, 2, 3));
    EXPECT_TRUE(m.setEntryColour(255, 1, 2, 3));
    EXPECT_TRUE(m.setEntryColour(1, 9, 8, 7));
    EXPECT_EQ(m.editPalette().entries[0], doc.Palette.entries[0]);
    EXPECT_EQ(m.editPalette().entries[255], (PaletteEntry{1, 2, 3, 0}));
    EXPECT_EQ(m.editPalette().entries[1], (PaletteEntry{9, 8, 7, 0}));
}

TEST(PaletteEditorModel, RotationsMoveEntriesOneToTwoFiftyFiveAndUndoEachOther)
{
    colour::Colour8State doc = sampleDocument();
    PaletteEditorModel m(doc);
    m.rotate(RotateDirection::Out);  // the left button
    EXPECT_EQ(m.editPalette().entries[1], doc.Palette.entries[2]);
    EXPECT_EQ(m.editPalette().entries[255], doc.Palette.entries[1]);
    EXPECT_EQ(m.editPalette().entries[0], doc.Palette.entries[0]);
    m.rotate(RotateDirection::In);  // the right button
    EXPECT_EQ(m.editPalette(), doc.Palette);
    m.rotate(RotateDirection::In);
    EXPECT_EQ(m.editPalette().entries[1], doc.Palette.entries[255]);
    EXPECT_EQ(m.editPalette().entries[2], doc.Palette.entries[1]);
}

TEST(PaletteEditorModel, SeeColourFlashesTheComplementUntilRelease)
{
    colour::Colour8State doc = sampleDocument();
    PaletteEditorModel m(doc);
    m.startSeeColour();
    EXPECT_EQ(m.pressCell(7), Press::Flashing);
    EXPECT_EQ(m.editPalette().entries[7], (PaletteEntry{248, 234, 7, 0}));  // (7, 21, 248) complemented
    EXPECT_TRUE(m.releaseCell());
    EXPECT_EQ(m.editPalette(), doc.Palette);
    EXPECT_FALSE(m.releaseCell());
}

TEST(PaletteEditorModel, BoundariesAndBiomorphReachTheDocumentAtOnce)
{
    colour::Colour8State doc = sampleDocument();
    PaletteEditorModel m(doc);
    m.startBiomorphPick();
    EXPECT_EQ(m.pressCell(0), Press::BiomorphPicked);  // entry 0 may be the biomorph colour
    EXPECT_EQ(doc.BiomorphIndex, 0);
    m.setBoundaryType(BoundaryKind::Linear);
    EXPECT_FALSE(m.multiplierEnabled());
    m.setBoundaryType(BoundaryKind::Sqrt);
    EXPECT_TRUE(m.multiplierEnabled());
    for (const auto& [given, kept] : {std::pair{0, 1}, std::pair{-5, 1}, std::pair{501, 500}, std::pair{250, 250}}) {
        m.setMultiplier(given);
        EXPECT_EQ(m.candidateMultiplier(), kept);
        EXPECT_EQ(doc.Multiplier, kept);
    }
    EXPECT_EQ(doc.BoundaryType, BoundaryKind::Sqrt);
}

TEST(PaletteEditorModel, CancelRestoresEverythingAndOkKeepsEverything)
{
    const colour::Colour8State original = sampleDocument();
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        colour::Colour8State doc = original;
        PaletteEditorModel m(doc);
        gradient(m, GradientKind::Rgb, 3, 40);
        gradient(m, GradientKind::Hsv, 100, 60);
        m.rotate(RotateDirection::Out);
        m.rotate(RotateDirection::Out);
        m.setEntryColour(9, 1, 1, 1);
        m.startBiomorphPick();
        m.pressCell(77);
        m.setBoundaryType(BoundaryKind::Sqrt);
        m.setMultiplier(4);
        colour::Palette loaded = original.Palette;
        loaded.entries[0] = {9, 9, 9, 0};
        loaded.entries[200] = {1, 2, 3, 0};
        m.loadPalette(loaded);
        EXPECT_EQ(m.editPalette().entries[0], (PaletteEntry{0, 0, 0, 0}));
        m.setEntryColour(8, 4, 5, 6);
        ASSERT_EQ(doc.BiomorphIndex, 77);
        ASSERT_EQ(doc.BoundaryType, BoundaryKind::Sqrt);
        ASSERT_EQ(doc.Multiplier, 4);
        const colour::Palette edited = m.editPalette();
        if (ok) {
            m.accept();
            EXPECT_EQ(doc.Palette, edited);
            EXPECT_EQ(doc.BiomorphIndex, 77);
            EXPECT_EQ(doc.BoundaryType, BoundaryKind::Sqrt);
            EXPECT_EQ(doc.Multiplier, 4);
        } else {
            m.cancel();
            EXPECT_EQ(doc, original);
        }
    }
}

TEST(PaletteEditorModel, PreviewButtonsFollowThePreference)
{
    colour::Colour8State doc = sampleDocument();
    {
        PaletteEditorModel m(doc, PreviewPolicy::OffByDefault);
        EXPECT_FALSE(m.previewOn());
        m.setEntryColour(5, 1, 2, 3);
        m.setMultiplier(99);
        EXPECT_EQ(&m.shownPalette(), &doc.Palette);
        EXPECT_EQ(&m.clickPreview(), &m.editPalette());  // on: the candidates
        EXPECT_TRUE(m.previewOn());
        EXPECT_EQ(doc.Multiplier, 99);
        EXPECT_EQ(&m.clickPreview(), &doc.Palette);  // off: the state at opening
        EXPECT_EQ(doc.Multiplier, 37);
        EXPECT_EQ(m.candidateMultiplier(), 99);
        m.cancel();
    }
    {
        PaletteEditorModel m(doc, PreviewPolicy::Manual);
        EXPECT_FALSE(m.previewButtonsSticky());
        m.setMultiplier(99);
        m.clickPreview();
        m.setMultiplier(98);
        EXPECT_EQ(&m.clickPreview(), &m.editPalette());
        EXPECT_FALSE(m.previewOn());
        EXPECT_EQ(doc.Multiplier, 98);
        m.cancel();
    }
    PaletteEditorModel m(doc, PreviewPolicy::OnByDefault);
    EXPECT_TRUE(m.previewOn());
    EXPECT_EQ(&m.shownPalette(), &m.editPalette());
}

}  // namespace
