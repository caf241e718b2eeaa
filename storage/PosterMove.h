#pragma once

namespace document {
class TFractal;
}

// The next tile of a poster made of adjacent images of one size, chosen among the eight neighbours of
// the present image.
namespace storage {

// A neighbour by its column (-1 left, 0 centre, +1 right) and row (-1 upper, 0 centre, +1 lower).
struct PosterNeighbour {
    int column = 0, row = 0;
};

struct PlanePoint {
    double x = 0, y = 0;
};

// The centre of the neighbour: the present centre moved by dx = Width x Step to the right per column
// and dy = Height x Step upwards per row above.
PlanePoint posterNeighbourCentre(const document::TFractal& f, PosterNeighbour neighbour);

// Moves the view of `f` to the tile centred on `centre`: the centre, LeftX = x - Width / 2 x Step and
// TopY = y + Height / 2 x Step; every other parameter stays. The document loses its file name, its
// ResumeLine becomes 0 and its image (values and bitmap) is cleared, ready to be computed. Every
// change of view made by the poster goes through here.
void moveToPosterTile(document::TFractal& f, PlanePoint centre);

}  // namespace storage
