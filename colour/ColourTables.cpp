#include "colour/ColourTables.h"

namespace colour {

// FIXME: placeholder so that the workspace links; the real builders replace these.
void BuildTableFromBoundaries(engine::TFractal&, const ColorTable24&) {}
void BuildTableCalculated(engine::TFractal&) {}

void RebuildTables(engine::TFractal& f)
{
    if (f.TableMode == 1)
        BuildTableCalculated(f);
    else
        BuildTableFromBoundaries(f, f.ColorTable24);
}

}  // namespace colour
