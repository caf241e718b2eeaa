#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/Fractal.h"

namespace engine {
class ComputeObserver;
}

// A poster: a picture larger than one document, cut into a grid of tile documents that are computed
// anywhere (one after another, by GNU parallel, by a cluster's job array) and then streamed into one
// image file band by band.
//
// A plan directory holds poster.json (the grid, the sizes, the step, the corner, the colouring source,
// the resolution) and one document per cell, tile-R-C.mbt. Each tile's corner is the poster's corner
// moved by whole pixels (LeftX = posterLeftX + col0 x Step, TopY = posterTopY - row0 x Step) and is
// stored as such in the tile, so that neighbouring tiles share their border exactly.
//
// The state of a tile is read from its header alone:
//  - the plan saves each tile uncomputed with ResumeLine = Height. That is not a row of the image, so
//    computing it starts from row 0; and it cannot be mistaken for a finished document.
//  - a computation cut short saves ResumeLine = the first row not finished (1 .. Height - 1), or
//    Height again when not even row 0 was finished (see cli::computeAndSave).
//  - ResumeLine 0 therefore means: every row was computed.
//  - the tile's comment names the plan's id and the cell ("poster <id> tile R,C"); together with its
//    size, corner and step it must match the plan, otherwise the tile is foreign.
namespace storage {

inline constexpr int PosterMaxSide = 1000000;  // pixels, width and height alike
inline constexpr int PosterTileDefault = 4096;
inline constexpr const char* PosterPlanFile = "poster.json";

struct PosterPlan {
    std::string id;                // random hex, named by every tile's comment
    int width = 0, height = 0;     // the whole picture, pixels
    int tileWidth = 0, tileHeight = 0;  // the grid's cell (the last row and column may be smaller)
    int rows = 0, cols = 0;
    double step = 0;
    double leftX = 0, topY = 0;    // plane coordinates of the poster's column 0 and row 0
    double centreX = 0, centreY = 0;
    int depth = 8;                 // 8 or 24 bits
    uint32_t resolution = 300;     // dots per inch written into the output
    std::string source;            // the document the colouring and parameters came from

    struct Cell {
        int row = 0, col = 0;       // grid position
        int row0 = 0, col0 = 0;     // the poster's pixel of the tile's top-left corner
        int width = 0, height = 0;  // pixels
    };
    Cell cell(int row, int col) const;
    double tileLeftX(const Cell& c) const { return leftX + c.col0 * step; }
    double tileTopY(const Cell& c) const { return topY - c.row0 * step; }
    std::string tileName(int row, int col) const;  // "tile-R-C.mbt"
    std::string tileComment(int row, int col) const;
};

// Grid sizes: rows and columns of ceil(size / tile).
void layOutGrid(PosterPlan& plan);

// poster.json as text, and back. fromJson returns false (with a message) on a missing or bad field.
std::string posterPlanToJson(const PosterPlan& plan);
bool posterPlanFromJson(const std::string& text, PosterPlan& out, std::string& message);
bool readPosterPlan(const std::string& dir, PosterPlan& out, std::string& message);

// A new random plan id (16 hex digits).
std::string newPosterId();

// Turns the loaded document `f` into the uncomputed tile `cell` of `plan`: its size and depth (keeping
// its type, parameters and colouring), the step, its corner and the centre that follows from it, values
// 0, ResumeLine = Height, the plan's comment. False with the allocation's message when memory runs out.
bool makePosterTile(document::TFractal& f, const PosterPlan& plan, const PosterPlan::Cell& cell, std::string& message);

enum class TileState : uint8_t { Missing, Unreadable, Foreign, Uncomputed, Partial, Complete };
const char* tileStateName(TileState state);

struct TileStatus {
    int row = 0, col = 0;
    std::string path;
    TileState state = TileState::Missing;
    int resumeLine = 0;  // for Partial: the row the computation resumes from
};
// Reads each tile's header (not its values).
TileStatus posterTileStatus(const PosterPlan& plan, const std::string& dir, int row, int col);
std::vector<TileStatus> posterStatus(const PosterPlan& plan, const std::string& dir);

enum class PosterFormat : uint8_t { Tiff, Png };
std::optional<PosterFormat> posterFormatFromPath(const std::string& path);

// Bytes above which the TIFF is written as BigTIFF (the uncompressed picture is the bound).
inline constexpr uint64_t ClassicTiffLimit = 4000000000ull;

struct AssembleResult {
    bool ok = false;
    std::string message;  // what failed
    bool bigTiff = false;
};
// Colours the complete tiles of `dir` and streams them into `output` (a temporary file beside it,
// renamed over it when complete; removed on any failure). One row of tiles' values is in memory at a
// time. The caller checks first that every tile is complete. Progress goes over the poster's rows.
// A TIFF is a BigTIFF when the uncompressed picture passes ClassicTiffLimit, or when forceBigTiff.
AssembleResult assemblePoster(const PosterPlan& plan, const std::string& dir, const std::string& output,
                              PosterFormat format, uint32_t resolution, bool forceBigTiff,
                              engine::ComputeObserver* observer);

}  // namespace storage
