#include "document/View3D.h"

#include <algorithm>
#include <new>

namespace document {

namespace {

void clearPicture(TFractal& f)
{
    std::fill(f.Bitmap.Pixels.begin(), f.Bitmap.Pixels.end(), uint8_t(0));
    f.Modified = false;
}

}  // namespace

Draw3DResult Draw3D(TFractal& f, colour::TFract3D& view, int threads, const colour::Render3DControl& control)
{
    clearPicture(f);
    view.Init(f.view3D(), f.Data.width(), f.Data.height(), f.PixelFormat);
    f.View3D = true;
    bool complete = false;
    try {
        complete = view.RenderParallel(f.Data, f.Params.Algorithm, f.Data3D, threads, control);
    } catch (const std::bad_alloc&) {
        f.Data3D.release();
        f.View3D = false;
        f.ColourAllRows();
        return Draw3DResult::NoMemory;
    }
    f.ColourAllRows();
    f.Modified = true;
    return complete ? Draw3DResult::Done : Draw3DResult::Stopped;
}

void Redraw2D(TFractal& f)
{
    f.Data3D.release();
    f.View3D = false;
    clearPicture(f);
    f.ColourAllRows();
}

bool ApplyFilter(TFractal& f, const colour::filters::FilterSettings& s, int threads,
                 const colour::filters::FilterControl& control)
{
    return colour::filters::ApplyFilterParallel(s, f.Data, f.Bitmap, threads, control);
}

}  // namespace document
