#include "storage/PosterMove.h"

#include "document/Fractal.h"
#include "storage/Workspace.h"

namespace storage {

PlanePoint posterNeighbourCentre(const document::TFractal& f, PosterNeighbour neighbour)
{
    const engine::FractalParams& p = f.Params;
    const double dx = double(p.Width) * p.Step;
    const double dy = double(p.Height) * p.Step;
    return PlanePoint{p.CentreX + neighbour.column * dx, p.CentreY - neighbour.row * dy};
}

void moveToPosterTile(document::TFractal& f, PlanePoint centre)
{
    engine::FractalParams& p = f.Params;
    p.CentreX = centre.x;
    p.CentreY = centre.y;
    f.LeftX = centre.x - double(p.Width) / 2 * p.Step;
    f.TopY = centre.y + double(p.Height) / 2 * p.Step;
    f.FileName.clear();
    f.ResumeLine = 0;
    ClearImage(f, true);
}

}  // namespace storage
