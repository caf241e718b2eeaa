#include "colour/ColorTable24.h"

namespace colour {

ColorTable24 defaultColorTable24()
{
    struct Row {
        uint32_t position, upper, lower;  // colours as 0xRRGGBB
    };
    static constexpr Row rows[] = {
        {1, 0xFFFF00, 0x000000},    {16, 0xFF0000, 0x000000},   {35, 0x00FF00, 0x000000},
        {60, 0x0000FF, 0x000000},   {100, 0x000000, 0xC0C0C0},  {160, 0x000000, 0xFF49FF},
        {290, 0x000000, 0xFFFF00},  {400, 0x004000, 0xFFFFFF},  {700, 0x7F007F, 0x00FF00},
        {1024, 0x00407F, 0xFF0000}, {1500, 0x000000, 0xC0C0C0}, {2200, 0xFF0000, 0xFFFF00},
        {2900, 0x000000, 0x00FFFF},
    };
    ColorTable24 t;
    int i = 0;
    for (const Row& r : rows)
        t.records[size_t(i++)] = {r.position, rgbToColour(r.upper), rgbToColour(r.lower)};
    t.records[ColorTable24::EndRecord] = {5000, rgbToColour(0x000000), rgbToColour(0xFFC0C0)};
    t.records[ColorTable24::LeadOutRecord] = {FreePosition, 0, 0};
    return t;
}

namespace {

void putU32(uint8_t*& d, uint32_t v)
{
    d[0] = uint8_t(v);
    d[1] = uint8_t(v >> 8);
    d[2] = uint8_t(v >> 16);
    d[3] = uint8_t(v >> 24);
    d += 4;
}

uint32_t getU32(const uint8_t*& s)
{
    const uint32_t v = uint32_t(s[0]) | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16) | (uint32_t(s[3]) << 24);
    s += 4;
    return v;
}

}  // namespace

ColorTable24Bytes encodeColorTable24(const ColorTable24& table)
{
    ColorTable24Bytes out{};
    uint8_t* d = out.data();
    putU32(d, table.reserved);
    putU32(d, table.biomorph);
    putU32(d, table.filaments);
    auto putRecord = [&d](const BoundaryRec& r) {
        putU32(d, r.position);
        putU32(d, r.upper);
        putU32(d, r.lower);
    };
    putRecord(table.leadIn);
    for (const BoundaryRec& r : table.records)
        putRecord(r);
    return out;
}

ColorTable24 decodeColorTable24(const uint8_t* bytes)
{
    ColorTable24 t;
    const uint8_t* s = bytes;
    t.reserved = getU32(s);
    t.biomorph = getU32(s);
    t.filaments = getU32(s);
    auto getRecord = [&s]() {
        BoundaryRec r;
        r.position = getU32(s);
        r.upper = getU32(s);
        r.lower = getU32(s);
        return r;
    };
    t.leadIn = getRecord();
    for (BoundaryRec& r : t.records)
        r = getRecord();
    return t;
}

}  // namespace colour
