// The 24-bit colour editor's model: the boundary list (select, add, move, type a position, delete), the
// colour panels, the strip's zoom and move arithmetic, the mode and calculation parameters, OK and Cancel.
// The default table has boundaries at 16, 35, 60, 100, 160, 290, 400, 700, 1024, 1500, 2200 and 2900,
// its scale from 1 to 5000.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "colour/ColourTables.h"
#include "colour/Hsv.h"
#include "colour/editors/ColourTableEditorModel.h"

namespace {

using colour::TableModeKind;
using colour::editors::ColourTableEditorModel;
using Panel = ColourTableEditorModel::Panel;

constexpr uint16_t MaxIter = 1000;
constexpr uint8_t Algorithm = 0;

colour::Colour24State sampleDocument()
{
    colour::Colour24State d;
    d.TableR.assign(MaxIter + 1, 0);
    d.TableG.assign(MaxIter + 1, 0);
    d.TableB.assign(MaxIter + 1, 0);
    colour::BuildTableFromBoundaries(d, d.ColorTable24, MaxIter, Algorithm);
    return d;
}

uint32_t positionOf(const ColourTableEditorModel& m, int record)
{
    return m.workingTable().records[size_t(record)].position;
}

TEST(ColourTableEditorModel, OpensOnTheFirstBoundary)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    EXPECT_EQ(m.selected(), 1);
    EXPECT_EQ(m.boundaryCount(), 12);
    EXPECT_EQ(m.boundaryPositions(),
              (std::vector<uint32_t>{16, 35, 60, 100, 160, 290, 400, 700, 1024, 1500, 2200, 2900}));
    EXPECT_EQ(m.zoomLabel(), " Zoom: 1 X");
}

TEST(ColourTableEditorModel, APressSelectsTheNearestBoundaryTheLaterOnATie)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    struct Row {
        uint32_t value, position;
    } rows[] = {{0, 16}, {20, 16}, {26, 35}, {130, 160}, {129, 100}, {160, 160}, {161, 160}, {4000, 2900}, {65535, 2900}};
    for (const Row& r : rows) {
        SCOPED_TRACE("value " + std::to_string(r.value));
        ASSERT_TRUE(m.selectNearest(r.value));
        EXPECT_EQ(positionOf(m, m.selected()), r.position);
    }
    colour::Colour24State empty = sampleDocument();
    for (int i = 1; i <= 99; ++i)
        empty.ColorTable24.records[size_t(i)] = colour::BoundaryRec{};
    ColourTableEditorModel e(empty, MaxIter, Algorithm);
    EXPECT_EQ(e.selected(), ColourTableEditorModel::NoSelection);
    EXPECT_FALSE(e.selectNearest(50));
    EXPECT_EQ(e.nearestBoundary(50), ColourTableEditorModel::NoSelection);
}

TEST(ColourTableEditorModel, TypedPositionsClampInsideTheNeighbours)
{
    colour::Colour24State doc = sampleDocument();
    // The boundary at 160: neighbours at 100 and 290.
    struct Row {
        int64_t typed;
        uint32_t position;
    } rows[] = {{500, 289}, {200, 200}, {101, 101}, {289, 289}, {290, 289}, {100, 289}, {99, 101},
                {0, 101},   {-7, 101},  {70000, 289}};
    for (const Row& r : rows) {
        SCOPED_TRACE("typed " + std::to_string(r.typed));
        ColourTableEditorModel m(doc, MaxIter, Algorithm);
        ASSERT_TRUE(m.selectNearest(160));
        ASSERT_EQ(m.neighbours().lower, 100u);
        ASSERT_EQ(m.neighbours().upper, 290u);
        EXPECT_EQ(m.typePosition(r.typed), r.position);
        EXPECT_EQ(positionOf(m, m.selected()), r.position);
    }
}

TEST(ColourTableEditorModel, TheTrackBarMovesOnlyStrictlyBetweenTheNeighbours)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    m.setStripWidth(500);
    ASSERT_TRUE(m.selectNearest(160));
    EXPECT_FALSE(m.moveSelected(100));
    EXPECT_FALSE(m.moveSelected(290));
    EXPECT_TRUE(m.moveSelected(289));
    EXPECT_FALSE(m.nudgeSelected(+1));
    EXPECT_TRUE(m.nudgeSelected(-1));
    EXPECT_EQ(positionOf(m, m.selected()), 288u);
    EXPECT_TRUE(m.moveSelected(101));
    EXPECT_FALSE(m.nudgeSelected(-1));
    EXPECT_EQ(positionOf(m, m.selected()), 101u);
    ASSERT_TRUE(m.selectNearest(16));  // the first boundary: its lower neighbour is the scale's start at 1
    EXPECT_EQ(m.neighbours().lower, 1u);
    EXPECT_TRUE(m.moveSelected(2));
    EXPECT_FALSE(m.moveSelected(1));
}

TEST(ColourTableEditorModel, AddingKeepsTheListSortedAndStopsAtNinetyNine)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    EXPECT_TRUE(m.addBoundary(130));
    EXPECT_EQ(positionOf(m, m.selected()), 130u);
    EXPECT_EQ(m.selected(), 5);
    EXPECT_EQ(m.boundaryPositions(),
              (std::vector<uint32_t>{16, 35, 60, 100, 130, 160, 290, 400, 700, 1024, 1500, 2200, 2900}));
    EXPECT_FALSE(m.addBoundary(160));  // already a boundary
    EXPECT_FALSE(m.addBoundary(1));    // the scale's start
    EXPECT_FALSE(m.addBoundary(0));
    EXPECT_EQ(m.boundaryCount(), 13);
    for (uint32_t v = 3000; m.boundaryCount() < 99; v += 10)
        ASSERT_TRUE(m.addBoundary(v));
    EXPECT_FALSE(m.addBoundary(40)) << "a 100th boundary";
    EXPECT_EQ(m.boundaryCount(), 99);
    const std::vector<uint32_t> positions = m.boundaryPositions();
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
}

TEST(ColourTableEditorModel, DeletingFreesTheRecordAndSelectsTheNextBoundary)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    ASSERT_TRUE(m.selectNearest(160));
    EXPECT_TRUE(m.deleteSelected());
    EXPECT_EQ(positionOf(m, m.selected()), 290u);
    EXPECT_EQ(m.boundaryPositions(), (std::vector<uint32_t>{16, 35, 60, 100, 290, 400, 700, 1024, 1500, 2200, 2900}));
    EXPECT_EQ(m.workingTable().records[12], colour::BoundaryRec{});
    ASSERT_TRUE(m.selectNearest(2900));
    EXPECT_TRUE(m.deleteSelected());
    EXPECT_EQ(positionOf(m, m.selected()), 2200u);  // no next one: the previous
}

TEST(ColourTableEditorModel, ColourPanelsWriteTheirRecordAndKeepLeadInAndLeadOutBlack)
{
    colour::Colour24State doc = sampleDocument();
    doc.ColorTable24.leadIn = {0, 0x123456, 0x654321};
    doc.ColorTable24.records[101].upper = 0x111111;
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    ASSERT_TRUE(m.selectNearest(35));
    EXPECT_TRUE(m.setPanelColour(Panel::SelectedUpper, 0x0000FF));
    EXPECT_TRUE(m.setPanelColour(Panel::SelectedLower, 0x00FF00));
    EXPECT_TRUE(m.setPanelColour(Panel::ScaleStart, 0xFF0000));
    EXPECT_TRUE(m.setPanelColour(Panel::ScaleEnd, 0x010203));
    EXPECT_TRUE(m.setPanelColour(Panel::Biomorph, 0x0A0B0C));
    EXPECT_TRUE(m.setPanelColour(Panel::Filaments, 0x0D0E0F));
    const colour::ColorTable24& t = m.workingTable();
    EXPECT_EQ(t.records[2].upper, 0x0000FFu);
    EXPECT_EQ(t.records[2].lower, 0x00FF00u);
    EXPECT_EQ(t.records[0].upper, 0xFF0000u);
    EXPECT_EQ(t.records[100].lower, 0x010203u);
    EXPECT_EQ(t.biomorph, 0x0A0B0Cu);
    EXPECT_EQ(t.filaments, 0x0D0E0Fu);
    EXPECT_EQ(t.leadIn, (colour::BoundaryRec{0, 0, 0}));
    EXPECT_EQ(t.records[101].upper, 0u);
    EXPECT_EQ(m.panelColour(Panel::SelectedUpper), 0x0000FFu);
    EXPECT_EQ(doc.ColorTable24.leadIn, (colour::BoundaryRec{0, 0x123456, 0x654321})) << "the document waits for OK";
}

TEST(ColourTableEditorModel, ZoomKeepsTheClickedValueUnderTheMouse)
{
    colour::Colour24State doc = sampleDocument();
    for (int x : {0, 37, 200, 333, 498, 499}) {
        SCOPED_TRACE("x " + std::to_string(x));
        ColourTableEditorModel m(doc, MaxIter, Algorithm);
        m.setStripWidth(500);
        EXPECT_DOUBLE_EQ(m.scale(), 4999.0 / 500);
        EXPECT_EQ(m.lastShownValue(), 5000);
        const uint32_t v = m.valueAt(x);
        for (int click = 1; click <= 3; ++click) {
            EXPECT_TRUE(m.zoomClick(x, false));
            EXPECT_EQ(m.valueAt(x), v) << "after click " << click;
        }
        EXPECT_EQ(m.zoomFactor(), 8);
        EXPECT_EQ(m.zoomLabel(), " Zoom: 8 X");
        EXPECT_DOUBLE_EQ(m.scale(), 4999.0 / 4000);
        EXPECT_LE(m.startLabelValue(), int64_t(v));
        EXPECT_GE(m.endLabelValue(), int64_t(v));
        EXPECT_TRUE(m.zoomClick(x, true));
        EXPECT_EQ(m.zoomFactor(), 4);
        EXPECT_EQ(m.valueAt(x), v);
    }
}

TEST(ColourTableEditorModel, ZoomingInAddsHalfTheDistanceFromTheLeftEdgeToTheOffset)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    m.setStripWidth(500);
    ASSERT_EQ(m.valueAt(200), 2001u);  // round(200 x 9.998) + 1
    for (int32_t offset : {1000, 1500, 1750}) {
        m.zoomClick(200, false);
        EXPECT_EQ(m.offset(), offset);
    }
    m.zoomClick(200, true);  // out: v - 2 (v - offset) + P0
    EXPECT_EQ(m.offset(), 2001 - 2 * (2001 - 1750) + 1);
    EXPECT_EQ(m.valueAt(200), 2001u);
}

TEST(ColourTableEditorModel, ZoomStaysWithinOneToThirtyTwo)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    m.setStripWidth(400);
    EXPECT_FALSE(m.zoomClick(100, true));
    EXPECT_EQ(m.zoomFactor(), 1);
    EXPECT_EQ(m.offset(), 0);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(m.zoomClick(300, false));
    EXPECT_EQ(m.zoomFactor(), 32);
    const int32_t offset = m.offset();
    EXPECT_GT(offset, 0);
    EXPECT_FALSE(m.zoomClick(300, false));
    EXPECT_EQ(m.zoomFactor(), 32);
    EXPECT_EQ(m.offset(), offset);
    EXPECT_EQ(m.zoomLabel(), " Zoom: 32 X");
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(m.zoomClick(10, true));
    EXPECT_EQ(m.zoomFactor(), 1);
    EXPECT_EQ(m.offset(), 0) << "back at factor 1 the offset is 0";
    m.zoomClick(10, false);
    m.toggleMoveMode();
    EXPECT_FALSE(m.trackBarEnabled());
    const double scale = m.scale();
    const int32_t before = m.offset();
    m.dragBy(10);  // dragging right shows lower values
    EXPECT_EQ(m.offset(), before + colour::roundEven(-10 * scale));
    m.resetZoom();
    EXPECT_EQ(m.zoomFactor(), 1);
    EXPECT_EQ(m.offset(), 0);
    EXPECT_EQ(m.zoomLabel(), " Zoom: 1 X ");
    EXPECT_TRUE(m.trackBarEnabled());
}

TEST(ColourTableEditorModel, StripPixelsAndValuesAgree)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    m.setStripWidth(4999);  // one value per pixel
    EXPECT_EQ(m.valueAt(0), 1u);
    EXPECT_EQ(m.valueAt(4999), 5000u);
    EXPECT_EQ(m.xOf(1), 0);
    EXPECT_EQ(m.xOf(2900), 2899);
    m.zoomClick(4000, false);
    EXPECT_EQ(m.valueAt(4000), 4001u);
    EXPECT_EQ(m.xOf(m.valueAt(1234)), 1234);
    EXPECT_TRUE(m.zoomClick(0, true));
    EXPECT_EQ(m.offset(), 0);
    EXPECT_TRUE(m.zoomClick(0, false));  // the left edge: the scale's start stays there
    EXPECT_EQ(m.zoomFactor(), 2);
    EXPECT_EQ(m.offset(), 0);
    EXPECT_EQ(m.valueAt(0), 1u);
}

TEST(ColourTableEditorModel, ParametersAreKeptInRangeAndReachTheDocument)
{
    colour::Colour24State doc = sampleDocument();
    ColourTableEditorModel m(doc, MaxIter, Algorithm);
    m.setTableMode(TableModeKind::Calculated);
    EXPECT_EQ(doc.TableMode, TableModeKind::Calculated);
    m.setHueOffset(365);
    EXPECT_EQ(m.candidateParams().hueOffset, 5);
    m.setHueMult(0);
    EXPECT_EQ(m.candidateParams().hueMult, 1);
    m.setHueMult(900);
    EXPECT_EQ(m.candidateParams().hueMult, 500);
    m.setValueMult(70000);
    EXPECT_EQ(m.candidateParams().valueMult, 65535);
    m.setValueMult(-3);
    EXPECT_EQ(m.candidateParams().valueMult, 1);
    m.setHueFunction(9);
    EXPECT_EQ(m.candidateParams().hueFunction, 5);
    EXPECT_TRUE(m.hueMultEnabled());
    m.setValueFunction(0);
    EXPECT_FALSE(m.valueMultEnabled());
    EXPECT_EQ(doc.calcParams(), m.candidateParams());
    // The preview tables are the calculated ones, with the working filaments colour in entry 0.
    m.setPanelColour(Panel::Filaments, 0x00030201);
    m.rebuildTables();
    colour::Colour24State expected = doc;
    expected.ColorTable24.filaments = 0x00030201;
    colour::BuildTableCalculated(expected, MaxIter, Algorithm);
    EXPECT_EQ(doc.TableR, expected.TableR);
    EXPECT_EQ(doc.TableB, expected.TableB);
    EXPECT_EQ(doc.TableR[0], 1);
    EXPECT_EQ(doc.ColorTable24, sampleDocument().ColorTable24) << "the document's table waits for OK";
}

TEST(ColourTableEditorModel, CancelRestoresTheDocumentAndOkKeepsTheEdits)
{
    const colour::Colour24State original = sampleDocument();
    for (bool ok : {false, true}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        colour::Colour24State doc = original;
        ColourTableEditorModel m(doc, MaxIter, Algorithm);
        ASSERT_TRUE(m.selectNearest(160));
        ASSERT_TRUE(m.deleteSelected());
        ASSERT_TRUE(m.addBoundary(777));
        m.typePosition(800);
        m.setPanelColour(Panel::SelectedUpper, 0x00ABCDEF);
        m.setPanelColour(Panel::Biomorph, 0x00010101);
        m.rebuildTables();
        ASSERT_NE(doc.TableR, original.TableR);
        m.setTableMode(TableModeKind::Calculated);
        m.setHueOffset(90);
        ASSERT_NE(doc, original);
        const colour::ColorTable24 working = m.workingTable();
        if (ok) {
            m.accept();
            EXPECT_EQ(doc.ColorTable24, working);
            EXPECT_EQ(doc.TableMode, TableModeKind::Calculated);
            EXPECT_EQ(doc.HueOffset, 90);
            colour::Colour24State expected = doc;
            colour::RebuildTables(expected, MaxIter, Algorithm);
            EXPECT_EQ(doc.TableG, expected.TableG);
        } else {
            m.cancel();
            EXPECT_EQ(doc, original);
        }
    }
}

}  // namespace
