#include "colour/ColourTables.h"

#include <algorithm>
#include <cmath>
#include <new>

#include "colour/Hsv.h"
#include "colour/TransferFunctions.h"
#include "engine/AllocationFault.h"

namespace colour {
namespace {

// Highest table index the builders may write, or -1 when the tables are empty.
int64_t lastEntry(const engine::TFractal& f)
{
    const size_t size = std::min({f.TableR.size(), f.TableG.size(), f.TableB.size()});
    if (size == 0)
        return -1;
    return std::min<int64_t>(f.Params.MaxIter, int64_t(size) - 1);
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

void setEntry0(engine::TFractal& f, uint32_t filaments)
{
    if (lastEntry(f) < 0)
        return;
    if (f.Params.Algorithm == engine::AlgPotential)
        filaments = 0;
    f.TableR[0] = colourRed(filaments);
    f.TableG[0] = colourGreen(filaments);
    f.TableB[0] = colourBlue(filaments);
}

}  // namespace

void InterpolateSegment(engine::TFractal& f, const ColorTable24& record, int a, int b)
{
    if (a < LeadInRecord || a > ColorTable24::LeadOutRecord || b < LeadInRecord || b > ColorTable24::LeadOutRecord)
        return;
    const int64_t limit = lastEntry(f);
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

void BuildTableFromBoundaries(engine::TFractal& f, const ColorTable24& record)
{
    // A private copy: the caller may pass the document's own record, or one the tables alias.
    const ColorTable24 t = record;
    constexpr int End = ColorTable24::EndRecord;
    if (isFree(t.records[1])) {
        InterpolateSegment(f, t, 0, End);
    } else {
        if (t.records[0].position > 1)
            InterpolateSegment(f, t, LeadInRecord, 0);
        int i = 1;
        for (; i < End && !isFree(t.records[size_t(i)]); ++i)
            InterpolateSegment(f, t, i - 1, i);
        InterpolateSegment(f, t, i - 1, End);
        if (f.Params.MaxIter > t.records[End].position)
            InterpolateSegment(f, t, End, ColorTable24::LeadOutRecord);
    }
    f.BiomorphRGB = {colourRed(t.biomorph), colourGreen(t.biomorph), colourBlue(t.biomorph)};
    setEntry0(f, t.filaments);
}

void BuildTableCalculated(engine::TFractal& f)
{
    const int64_t limit = lastEntry(f);
    for (int64_t k = 1; k <= limit; ++k) {
        const long double x = valueFunction(f.ValueFunction, k, f.ValueMult);
        const int64_t h = int64_t(f.HueOffset) + hueTerm(f.HueFunction, k, f.HueMult);
        const RgbReal c = HsvToRgb({(long double)h, 1, 1 - x});
        f.TableR[size_t(k)] = wrappedByte(c.r);
        f.TableG[size_t(k)] = wrappedByte(c.g);
        f.TableB[size_t(k)] = wrappedByte(c.b);
    }
    setEntry0(f, f.ColorTable24.filaments);
}

void RebuildTables(engine::TFractal& f)
{
    if (f.TableMode == 1)
        BuildTableCalculated(f);
    else
        BuildTableFromBoundaries(f, f.ColorTable24);
}

bool GrowTablesForTouchUp(engine::TFractal& f, uint16_t newMaxIter)
{
    if (newMaxIter <= f.Params.MaxIter)
        return true;
    std::vector<uint8_t> r, g, b;
    try {
        const size_t n = size_t(newMaxIter) + 1;
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        r = f.TableR;
        r.resize(n);
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        g = f.TableG;
        g.resize(n);
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        b = f.TableB;
        b.resize(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    f.TableR.swap(r);
    f.TableG.swap(g);
    f.TableB.swap(b);
    f.Params.MaxIter = newMaxIter;
    f.ImageParams.MaxIter = newMaxIter;
    f.ColorTable24.records[ColorTable24::EndRecord].position = newMaxIter;
    f.ColorTable24.records[ColorTable24::LeadOutRecord].position = newMaxIter;
    RebuildTables(f);
    return true;
}

}  // namespace colour
