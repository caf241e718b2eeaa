#include "colour/Colour24.h"

namespace colour {

namespace {
bool hasEntry(const Colour24State& c, int value)
{
    return value >= 0 && size_t(value) < c.TableR.size() && size_t(value) < c.TableG.size()
        && size_t(value) < c.TableB.size();
}
}  // namespace

bool Colour24State::tableEntry(int value, RgbBytes& out) const
{
    if (!hasEntry(*this, value)) {
        out = {};
        return false;
    }
    out = {TableR[size_t(value)], TableG[size_t(value)], TableB[size_t(value)]};
    return true;
}

bool Colour24State::setTableEntry(int value, RgbBytes colour)
{
    if (!hasEntry(*this, value))
        return false;
    TableR[size_t(value)] = colour.red;
    TableG[size_t(value)] = colour.green;
    TableB[size_t(value)] = colour.blue;
    return true;
}

}  // namespace colour
