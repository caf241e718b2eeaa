#include "storage/Workspace.h"

#include <algorithm>
#include <new>

#include "colour/ColorLine.h"
#include "colour/ColourTables.h"
#include "engine/AllocationFault.h"
#include "engine/SelectKernel.h"

namespace storage {
namespace {

template <typename T>
void releaseVector(std::vector<T>& v)
{
    std::vector<T>().swap(v);
}

void releaseTables(document::TFractal& f)
{
    releaseVector(f.TableR);
    releaseVector(f.TableG);
    releaseVector(f.TableB);
}

// Step 3. The old pixels are freed first so that the peak is the new bitmap alone; on failure the
// bitmap is 0 x 0, which every row procedure treats as having no rows.
bool allocBitmap(document::TFractal& f, int width, int height, uint8_t pixelFormat, ImageParts parts)
{
    colour::ImageBitmap& bmp = f.Bitmap;
    bmp.Width = bmp.Height = 0;
    releaseVector(bmp.Pixels);
    bmp.PixelFormat = pixelFormat;
    if (parts == ImageParts::ValuesOnly)
        return true;
    try {
        engine::checkAllocation(engine::AllocationStep::Bitmap);
        bmp.Pixels.assign(size_t(width) * size_t(height) * size_t(bmp.bytesPerPixel()), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    bmp.Width = width;
    bmp.Height = height;
    return true;
}

bool allocOrbits(document::TFractal& f)
{
    if (!engine::usesOrbitArrays(f.Params.Algorithm)) {
        FreeOrbits(f);
        return true;
    }
    const size_t n = size_t(f.Params.MaxIter) + 1;
    try {
        engine::checkAllocation(engine::AllocationStep::Orbits);
        f.XOrbit.resize(n);
        engine::checkAllocation(engine::AllocationStep::Orbits);
        f.YOrbit.resize(n);
    } catch (const std::bad_alloc&) {
        // X may have moved before Y failed: the kernel state must not keep its old address.
        f.State.XOrbit = f.XOrbit.empty() ? nullptr : f.XOrbit.data();
        f.State.YOrbit = f.YOrbit.empty() ? nullptr : f.YOrbit.data();
        return false;
    }
    return true;
}

bool allocTables(document::TFractal& f)
{
    const size_t n = size_t(f.Params.MaxIter) + 1;
    try {
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        f.TableR.assign(n, 0);
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        f.TableG.assign(n, 0);
        engine::checkAllocation(engine::AllocationStep::ColourTables);
        f.TableB.assign(n, 0);
    } catch (const std::bad_alloc&) {
        releaseTables(f);
        return false;
    }
    return true;
}

}  // namespace

AllocResult AllocImage(document::TFractal& f, int width, int height, uint8_t pixelFormat, bool clear,
                       ImageParts parts)
{
    AllocResult result;
    auto fail = [&result](const char* message) {
        if (result.ok) {
            result.ok = false;
            result.message = message;
        }
    };
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide) {
        fail(ImageSizeOutOfRange);
        return result;
    }
    if (pixelFormat != engine::PixelFormat8 && pixelFormat != engine::PixelFormat24) {
        fail(UnknownPixelFormat);
        return result;
    }

    releaseTables(f);
    f.Params.Width = width;
    f.Params.Height = height;
    f.Aspect = static_cast<long double>(width) / static_cast<long double>(height);
    f.PixelFormat = pixelFormat;

    if (!allocBitmap(f, width, height, pixelFormat, parts))
        fail(NoMemoryForBitmap);
    if (result.ok) {
        try {
            if (clear)
                f.Data.release();  // nothing is kept: spare the peak of old and new together
            engine::checkAllocation(engine::AllocationStep::Workspace);
            f.Data.resize(width, height);
        } catch (const std::bad_alloc&) {
            fail(NoMemoryForWorkspace);
        }
    }
    if (result.ok && !allocOrbits(f))
        fail(NoMemoryForOrbits);
    if (!result.ok)
        return result;

    engine::SelectKernel(f);
    f.SelectColorLine();
    if (clear) {
        f.Palette = colour::systemPalette();
        f.ColorTable24 = colour::defaultColorTable24();
    }
    // An 8-bit bitmap takes its colours from f.Palette when it is drawn: there is no handle to make.
    if (pixelFormat == engine::PixelFormat24) {
        if (allocTables(f)) {
            const uint16_t maxIter = f.Params.MaxIter;
            f.ColorTable24.records[colour::ColorTable24::EndRecord].position = maxIter;
            f.ColorTable24.records[colour::ColorTable24::LeadOutRecord].position = maxIter;
            f.RebuildTables();
            if (f.Params.Algorithm == engine::AlgPotential)
                f.TableR[0] = f.TableG[0] = f.TableB[0] = 0;
        } else {
            fail(NoMemoryColorSpace);
        }
    }
    if (clear) {
        f.ResumeLine = 0;
        f.FileName.clear();
        ClearImage(f, true);
    } else {
        f.ColourAllRows();
    }
    return result;
}

void ClearImage(document::TFractal& f, bool clearValues)
{
    if (clearValues)
        f.Data.fill(0);
    std::fill(f.Bitmap.Pixels.begin(), f.Bitmap.Pixels.end(), uint8_t(0));
    f.Modified = false;
}

ImageSize GetImageSize(const document::TFractal& f)
{
    return ImageSize{f.Bitmap.Width, f.Bitmap.Height, f.PixelFormat};
}

void FreeOrbits(document::TFractal& f)
{
    releaseVector(f.XOrbit);
    releaseVector(f.YOrbit);
    // The kernel state must not keep pointing into the released arrays.
    f.State.XOrbit = nullptr;
    f.State.YOrbit = nullptr;
}

AllocResult ResetToDefaults(document::TFractal& f)
{
    f.ResetParameters();
    f.Data3D.release();
    return AllocImage(f, 1, 1, engine::PixelFormat8, true);
}

uint64_t CurrentImageUse(const document::TFractal& f)
{
    const uint64_t w = uint64_t(std::max(f.Params.Width, 0));
    const uint64_t h = uint64_t(std::max(f.Params.Height, 0));
    return w * h * bytesPerPixel(f.PixelFormat == engine::PixelFormat24);
}

bool exceedsMemoryBudget(uint64_t need, uint64_t available)
{
    // need > 0.86 x available, as need x 100 > available x 86 without rounding. Figures too large for
    // the products (far beyond any real machine) are compared in long double.
    constexpr uint64_t Limit = UINT64_MAX / 100;
    if (need <= Limit && available <= Limit)
        return need * 100 > available * 86;
    return static_cast<long double>(need) * 100 > static_cast<long double>(available) * 86;
}

MemoryFigures ComputeMemoryFigures(const MemoryFiguresInput& in)
{
    MemoryFigures out;
    out.available = in.availablePhysical + in.currentUse;
    const uint64_t w = uint64_t(std::max(in.width, 0));
    const uint64_t h = uint64_t(std::max(in.height, 0));
    const uint64_t image = w * h * bytesPerPixel(in.depth24);
    out.colourTable = in.depth24 ? uint64_t(in.maxIter) * 3 : 0;
    out.orbits = engine::usesOrbitArrays(in.algorithm) ? uint64_t(in.maxIter) * 16 : 0;
    out.imageAndCalc = image + out.colourTable;
    // The colour table does not take part in the test.
    out.tooMuch = exceedsMemoryBudget(image + out.orbits, out.available);
    return out;
}

bool NotEnoughMemoryFor(int width, int height, bool depth24, uint64_t available, ImageParts parts)
{
    const uint64_t w = uint64_t(std::max(width, 0));
    const uint64_t h = uint64_t(std::max(height, 0));
    return exceedsMemoryBudget(w * h * bytesPerPixel(depth24, parts), available);
}

}  // namespace storage
