#include "storage/ImageFeeder.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>

#include "storage/ImageSink.h"
#include "storage/RowSource.h"

namespace storage {

int bandRowsFor(size_t bytesPerRow, int requested)
{
    const int rows = requested > 0 ? requested : BandRowsDefault;
    if (bytesPerRow == 0)
        return rows;
    const size_t fit = std::max<size_t>(1, BandBytesMax / bytesPerRow);
    return int(std::min<size_t>(size_t(rows), fit));
}

bool feedImage(ImageWriter& writer, const ImageInfo& info, RowSource& source, ImageSink& sink,
               engine::ComputeObserver* observer, int bandRows)
{
    if (info.width <= 0 || info.height <= 0 || !writer.begin(info, sink))
        return false;
    const RowContent content = writer.rowContent();
    if (!source.provides(content))
        return false;
    const size_t stride = rowBytes(info, content);
    const int band = std::min(bandRowsFor(stride, bandRows), info.height);
    // uint64_t elements: the buffer is aligned for the 16-bit values.
    std::unique_ptr<uint64_t[]> buffer(new (std::nothrow) uint64_t[(stride * size_t(band) + 7) / 8]);
    if (!buffer)
        return false;
    uint8_t* rows = reinterpret_cast<uint8_t*>(buffer.get());

    const int passes = writer.passCount();
    const bool bottomUp = writer.rowOrder() == RowOrder::BottomUp;
    for (int pass = 0; pass < passes; ++pass) {
        if (!writer.beginPass(pass))
            return false;
        const bool writing = pass == passes - 1;
        RowProgress progress(writing ? observer : nullptr, info.height);
        for (int done = 0; done < info.height;) {
            const int count = std::min(band, info.height - done);
            const int first = bottomUp ? info.height - done - count : done;
            if (!source.readRows(content, first, count, rows, stride)
                || !writer.writeRows(pass, first, count, rows, stride))
                return false;
            for (int i = 0; i < count; ++i)
                progress.rowWritten(done + i);
            done += count;
        }
    }
    return writer.finish();
}

bool feedImage(ImageWriter& writer, RowSource& source, ImageSink& sink, engine::ComputeObserver* observer,
               int bandRows)
{
    return feedImage(writer, source.info(), source, sink, observer, bandRows);
}

}  // namespace storage
