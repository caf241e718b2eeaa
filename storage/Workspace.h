#pragma once

#include <cstdint>
#include <string>

#include "document/Fractal.h"

// The memory an image needs, owned by the fractal object: the display bitmap, the value array Data,
// the saved-orbit arrays of the distance algorithms and, for 24-bit images, the per-value colour
// tables. All of it runs on the user-interface thread while no computation is running.
namespace storage {

inline constexpr int MaxImageSide = engine::FieldLimits.ImageSide.max;  // pixels, for width and height alike

// Messages, in the order the allocation steps run. The texts are English in both languages.
inline constexpr const char* NoMemoryForBitmap = "No Memory for BitMap";
inline constexpr const char* NoMemoryForWorkspace = "No Memory for Workspace";
inline constexpr const char* NoMemoryForOrbits = "No Memory for Orbits";
inline constexpr const char* NoMemoryColorSpace = "No Memory Color space";
inline constexpr const char* ImageSizeOutOfRange = "Image size must be 1 to 20000 pixels";
static_assert(engine::FieldLimits.ImageSide.min == 1 && MaxImageSide == 20000, "ImageSizeOutOfRange names the limits");
inline constexpr const char* UnknownPixelFormat = "Unknown pixel format";

// Which buffers an image gets. ValuesOnly leaves out the display bitmap (0 x 0, holding no pixels,
// with the image's pixel format): for work that reads the values and colours rows itself, as an
// export does, so that the picture is never held whole.
enum class ImageParts : uint8_t { ValuesAndBitmap = 0, ValuesOnly = 1 };

struct AllocResult {
    bool ok = true;
    std::string message;  // the first failure, for a message box; empty when ok
};

// Sizes every buffer for a width x height image in pixelFormat (PixelFormat8 or PixelFormat24):
//  1. empties the colour tables; 2. Params.Width, Params.Height, Aspect and PixelFormat take the new
//  values; 3. the bitmap (zeroed); 4. Data, keeping the values where the old and new sizes overlap,
//  the others 0; 5. the saved orbits, MaxIter + 1 each for algorithms 1, 2 and 4, otherwise empty;
//  6. the kernel and row procedure are selected again; with `clear` the default palette and 24-bit
//  table are restored; a 24-bit image gets its colour tables (MaxIter + 1 each, built by TableMode,
//  records 100 and 101 at MaxIter, entry 0 black for Potential); finally `clear` starts an empty
//  document (ResumeLine 0, no file name, values and pixels 0, not modified) while otherwise every row
//  is coloured again from Data.
// Each allocation step catches its own out-of-memory failure: that step's message is returned, the
// buffers already resized stay as they are and the later allocation steps are skipped (a colour-space
// failure still runs the `clear` and re-colouring steps). The bitmap is never left with dimensions
// that its pixel buffer does not hold.
// With ImageParts::ValuesOnly step 3 gives the bitmap no pixels (it cannot fail) and there are no
// rows to colour; everything else is the same, the colour tables included.
// A width or height outside 1..MaxImageSide, or an unknown pixel format, is refused before anything
// changes.
AllocResult AllocImage(document::TFractal& f, int width, int height, uint8_t pixelFormat, bool clear,
                       ImageParts parts = ImageParts::ValuesAndBitmap);

// Sets every pixel byte of the bitmap to 0 and, with clearValues, every value of Data to 0; then the
// document counts as unmodified.
void ClearImage(document::TFractal& f, bool clearValues);

struct ImageSize {
    int width = 0, height = 0;
    uint8_t pixelFormat = engine::PixelFormat8;
};
// The size and pixel format of the display bitmap (for the export dialog).
ImageSize GetImageSize(const document::TFractal& f);

// Empties the saved-orbit arrays and gives their memory back.
void FreeOrbits(document::TFractal& f);

// A new document: default parameters and colour state, a 1 x 1 8-bit image, no 3D field.
AllocResult ResetToDefaults(document::TFractal& f);

// Bytes per pixel of an image: 2 of Data plus 1 (8-bit) or 3 (24-bit) of bitmap; 2 without the bitmap.
inline constexpr uint64_t bytesPerPixel(bool depth24, ImageParts parts = ImageParts::ValuesAndBitmap)
{
    return parts == ImageParts::ValuesOnly ? 2 : depth24 ? 5 : 3;
}

// Memory the current image holds (and gives back when replaced): Width x Height x 3 or 5.
uint64_t CurrentImageUse(const document::TFractal& f);

// True when `need` bytes exceed 0.86 of `available`. Computed exactly in integers, so a need of
// exactly 0.86 x available still fits.
bool exceedsMemoryBudget(uint64_t need, uint64_t available);

// The figures of the variables dialog for a proposed image.
struct MemoryFiguresInput {
    uint64_t availablePhysical = 0;  // what the system reports now
    uint64_t currentUse = 0;         // CurrentImageUse when the dialog opened
    int width = 1, height = 1;       // proposed size
    bool depth24 = false;            // "24 bits" chosen
    uint32_t maxIter = 0;            // proposed iteration limit
    uint8_t algorithm = 0;           // proposed algorithm
};
struct MemoryFigures {
    uint64_t available = 0;     // "Available RAM:" = availablePhysical + currentUse
    uint64_t imageAndCalc = 0;  // "RAM image + calcul:" = image + colour table
    uint64_t orbits = 0;        // "RAM for orbits:" = maxIter x 16 for algorithms 1, 2, 4
    uint64_t colourTable = 0;   // "RAM for color table:" = maxIter x 3 for 24 bits
    bool tooMuch = false;       // image + orbits > 0.86 x available: red figures, OK disabled
};
MemoryFigures ComputeMemoryFigures(const MemoryFiguresInput& in);

// The document loader's estimate: true when a width x height image of that depth, with the buffers of
// `parts`, does not fit in 0.86 of the available memory. Sizes below 1 count as nothing.
bool NotEnoughMemoryFor(int width, int height, bool depth24, uint64_t available,
                        ImageParts parts = ImageParts::ValuesAndBitmap);

}  // namespace storage
