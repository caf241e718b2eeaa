#include "colour/ColourTables.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "colour/Hsv.h"
#include "colour/TransferFunctions.h"
#include "engine/Values.h"

namespace colour {
namespace {

// Highest table index the builders may write, or -1 when the tables are empty.
int64_t lastEntry(const Colour24State& f, uint16_t maxIter)
{
    const size_t size = std::min({f.TableR.size(), f.TableG.size(), f.TableB.size()});
    if (size == 0)
        return -1;
    return std::min<int64_t>(maxIter, int64_t(size) - 1);
}

const BoundaryRec& recordAt(const ColorTable24& t, int n)
{
    return n == LeadInRecord ? t.leadIn : t.records[size_t(n)];
}

bool isFree(const BoundaryRec& r)
{
    return r.position == FreePosition;
}

// Rounds and keeps the low 8 bits; a value that is not finite gives 0.
uint8_t wrappedByte(long double x)
{
    if (!std::isfinite(x))
        return 0;
    if (std::fabs(x) >= 0x1p62L)
        x = std::fmod(x, 256.0L);
    return uint8_t(roundEven(x) & 0xFF);
}

void setEntry0(Colour24State& f, uint32_t filaments, uint16_t maxIter, uint8_t algorithm)
{
    if (lastEntry(f, maxIter) < 0)
        return;
    if (algorithm == engine::AlgPotential)
        filaments = 0;
    f.TableR[0] = colourRed(filaments);
    f.TableG[0] = colourGreen(filaments);
    f.TableB[0] = colourBlue(filaments);
}

}  // namespace

void InterpolateSegment(Colour24State& f, const ColorTable24& record, int a, int b, uint16_t maxIter)
{
    if (a < LeadInRecord || a > ColorTable24::LeadOutRecord || b < LeadInRecord || b > ColorTable24::LeadOutRecord)
        return;
    const int64_t limit = lastEntry(f, maxIter);
    const BoundaryRec& ra = recordAt(record, a);
    const BoundaryRec& rb = recordAt(record, b);
    const int64_t start = std::min<int64_t>(ra.position, limit);
    const int64_t end = std::min<int64_t>(rb.position, limit);
    if (start >= end)
        return;
    // start < end implies position(a) < position(b): the span is positive.
    const long double span = (long double)rb.position - (long double)ra.position;
    const uint8_t from[3] = {colourRed(ra.upper), colourGreen(ra.upper), colourBlue(ra.upper)};
    const uint8_t to[3] = {colourRed(rb.lower), colourGreen(rb.lower), colourBlue(rb.lower)};
    std::vector<uint8_t>* tables[3] = {&f.TableR, &f.TableG, &f.TableB};
    for (int c = 0; c < 3; ++c) {
        const long double step = ((long double)to[c] - (long double)from[c]) / span;
        uint8_t* table = tables[c]->data();
        for (int64_t k = 0; k <= end - start; ++k)
            table[start + k] = uint8_t((from[c] + roundEven(k * step)) & 0xFF);
    }
}

void BuildTableFromBoundaries(Colour24State& f, const ColorTable24& record, uint16_t maxIter, uint8_t algorithm)
{
    // A private copy: the caller may pass the document's own record, or one the tables alias.
    const ColorTable24 t = record;
    constexpr int End = ColorTable24::EndRecord;
    if (isFree(t.records[1])) {
        InterpolateSegment(f, t, 0, End, maxIter);
    } else {
        if (t.records[0].position > 1)
            InterpolateSegment(f, t, LeadInRecord, 0, maxIter);
        int i = 1;
        for (; i < End && !isFree(t.records[size_t(i)]); ++i)
            InterpolateSegment(f, t, i - 1, i, maxIter);
        InterpolateSegment(f, t, i - 1, End, maxIter);
        if (maxIter > t.records[End].position)
            InterpolateSegment(f, t, End, ColorTable24::LeadOutRecord, maxIter);
    }
    f.BiomorphRGB = {colourRed(t.biomorph), colourGreen(t.biomorph), colourBlue(t.biomorph)};
    setEntry0(f, t.filaments, maxIter, algorithm);
}

void BuildTableCalculated(Colour24State& f, uint16_t maxIter, uint8_t algorithm)
{
    const int64_t limit = lastEntry(f, maxIter);
    for (int64_t k = 1; k <= limit; ++k) {
        const long double x = valueFunction(f.ValueFunction, k, f.ValueMult);
        const int64_t h = int64_t(f.HueOffset) + hueTerm(f.HueFunction, k, f.HueMult);
        const RgbReal c = HsvToRgb({(long double)h, 1, 1 - x});
        f.TableR[size_t(k)] = wrappedByte(c.r);
        f.TableG[size_t(k)] = wrappedByte(c.g);
        f.TableB[size_t(k)] = wrappedByte(c.b);
    }
    setEntry0(f, f.ColorTable24.filaments, maxIter, algorithm);
}

void RebuildTables(Colour24State& f, uint16_t maxIter, uint8_t algorithm)
{
    if (f.TableMode == TableModeKind::Calculated)
        BuildTableCalculated(f, maxIter, algorithm);
    else
        BuildTableFromBoundaries(f, f.ColorTable24, maxIter, algorithm);
}

bool GrowTablesForTouchUp(Colour24State& f, uint16_t maxIter, uint16_t newMaxIter, uint8_t algorithm,
                          BeforeAllocation beforeAllocation)
{
    if (newMaxIter <= maxIter)
        return true;
    std::vector<uint8_t> r, g, b;
    try {
        const size_t n = size_t(newMaxIter) + 1;
        if (beforeAllocation)
            beforeAllocation();
        r = f.TableR;
        r.resize(n);
        if (beforeAllocation)
            beforeAllocation();
        g = f.TableG;
        g.resize(n);
        if (beforeAllocation)
            beforeAllocation();
        b = f.TableB;
        b.resize(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    f.TableR.swap(r);
    f.TableG.swap(g);
    f.TableB.swap(b);
    f.ColorTable24.records[ColorTable24::EndRecord].position = newMaxIter;
    f.ColorTable24.records[ColorTable24::LeadOutRecord].position = newMaxIter;
    RebuildTables(f, newMaxIter, algorithm);
    return true;
}

}  // namespace colour
