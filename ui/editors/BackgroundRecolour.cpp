#include "ui/editors/BackgroundRecolour.h"

#include <QMetaObject>
#include <algorithm>
#include <cstring>

#include "colour/ColorLine.h"
#include "document/Fractal.h"

namespace ui {

// A recolouring to do: the colour state copied when it was asked for, so the editor may go on changing
// the document's own state meanwhile.
struct BackgroundRecolourer::Job {
    uint64_t generation = 0;
    colour::Colour8State c8;
    colour::Colour24State c24;
    uint16_t maxIter = 0;
    colour::ColorLineFn procedure = nullptr;
    const engine::TVxWork* values = nullptr;
    int width = 0, height = 0;  // of the bitmap
    int columns = 0, rows = 0;  // coloured: the narrower and shorter of bitmap and values
    int bytesPerPixel = 1;
    uint8_t pixelFormat = 0;
};

// Rows first..last coloured by the worker, on their way to the bitmap.
struct BackgroundRecolourer::Band {
    uint64_t generation = 0;
    int first = 0, last = 0;
    int width = 0, height = 0;
    uint8_t pixelFormat = 0;
    size_t rowBytes = 0;
    std::vector<uint8_t> pixels;
};

BackgroundRecolourer::BackgroundRecolourer(document::TFractal& fractal, QObject* parent)
    : QObject(parent), m_fractal(fractal)
{
    m_worker = std::thread([this] { workerLoop(); });
}

BackgroundRecolourer::~BackgroundRecolourer()
{
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
    }
    m_wanted.store(~uint64_t(0));
    m_wake.notify_all();
    m_worker.join();
}

int BackgroundRecolourer::bandRows(size_t stride)
{
    constexpr size_t BandBytes = 256 * 1024;
    return int(std::max<size_t>(1, BandBytes / std::max<size_t>(1, stride)));
}

void BackgroundRecolourer::request()
{
    document::TFractal& f = m_fractal;
    f.SelectColorLine();
    auto job = std::make_shared<Job>();
    job->generation = ++m_latest;
    job->c8 = f.colour8();
    job->c24 = f.colour24();
    job->maxIter = f.Params.MaxIter;
    job->procedure = f.RowProcedure;
    job->values = f.View3D ? &f.Data3D : &f.Data;
    job->width = f.Bitmap.Width;
    job->height = f.Bitmap.Height;
    job->pixelFormat = f.Bitmap.PixelFormat;
    job->bytesPerPixel = f.Bitmap.bytesPerPixel();
    job->columns = std::min(f.Bitmap.Width, job->values->width());
    job->rows = std::min(f.Bitmap.Height, job->values->height());
    m_busy = true;
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(job);
        m_wanted.store(m_latest);
    }
    m_wake.notify_all();
}

void BackgroundRecolourer::cancel()
{
    std::unique_lock lock(m_mutex);
    m_pending.reset();
    // A generation no job has: the running one stops, its bands on the way are dropped.
    m_wanted.store(++m_latest);
    m_idle.wait(lock, [this] { return !m_running; });
    m_busy = false;
}

void BackgroundRecolourer::workerLoop()
{
    for (;;) {
        std::shared_ptr<const Job> job;
        {
            std::unique_lock lock(m_mutex);
            m_running = false;
            m_idle.notify_all();
            m_wake.wait(lock, [this] { return m_quit || m_pending; });
            if (m_quit)
                return;
            job = std::move(m_pending);
            m_pending.reset();
            m_running = true;
            m_started.store(job->generation);
        }
        run(*job);
    }
}

void BackgroundRecolourer::run(const Job& job)
{
    const colour::RowColouring colouring(job.procedure, {&job.c8, &job.c24, job.maxIter});
    const bool colourable = colouring && colouring.bytesPerPixel() == job.bytesPerPixel;
    const size_t rowBytes = size_t(std::max(0, job.columns)) * size_t(job.bytesPerPixel);
    const int step = bandRows(size_t(job.width) * size_t(job.bytesPerPixel));
    if (colourable && rowBytes > 0) {
        for (int first = 0; first < job.rows; first += step) {
            if (m_wanted.load() != job.generation)
                return;  // a newer request (or a cancel) replaces this one
            auto band = std::make_shared<Band>();
            band->generation = job.generation;
            band->first = first;
            band->last = std::min(job.rows, first + step) - 1;
            band->width = job.width;
            band->height = job.height;
            band->pixelFormat = job.pixelFormat;
            band->rowBytes = rowBytes;
            band->pixels.resize(rowBytes * size_t(band->last - first + 1));
            for (int r = first; r <= band->last; ++r)
                colouring(job.values->row(r), job.columns, band->pixels.data() + rowBytes * size_t(r - first));
            m_bandsColoured.fetch_add(1);
            QMetaObject::invokeMethod(this, [this, band] { deliver(band); }, Qt::QueuedConnection);
        }
    }
    const uint64_t generation = job.generation;
    QMetaObject::invokeMethod(this, [this, generation] { done(generation); }, Qt::QueuedConnection);
}

void BackgroundRecolourer::deliver(const std::shared_ptr<Band>& band)
{
    colour::ImageBitmap& bitmap = m_fractal.Bitmap;
    if (band->generation != m_latest || bitmap.Width != band->width || bitmap.Height != band->height
        || bitmap.PixelFormat != band->pixelFormat)
        return;
    for (int r = band->first; r <= band->last; ++r)
        std::memcpy(bitmap.row(r), band->pixels.data() + band->rowBytes * size_t(r - band->first), band->rowBytes);
    emit rowsRecoloured(band->first, band->last);
}

void BackgroundRecolourer::done(uint64_t generation)
{
    if (generation != m_latest || !m_busy)
        return;
    m_busy = false;
    emit finished();
}

}  // namespace ui
