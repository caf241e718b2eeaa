#include "storage/ImageSink.h"

#include <algorithm>
#include <cstring>

#include "engine/ComputeObserver.h"
#include "storage/AtomicFile.h"

namespace storage {

bool ImageSink::writeU16LE(uint16_t v)
{
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    return write(b, 2);
}

bool ImageSink::writeU32LE(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return write(b, 4);
}

bool MemorySink::write(const void* data, size_t size)
{
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
    return true;
}

namespace {
constexpr size_t FileBufferSize = 64 * 1024;
}

FileSink::FileSink(const std::string& path) : m_file(std::make_unique<AtomicFile>(path))
{
    m_buffer.reserve(FileBufferSize);
    m_failed = !m_file->ok();
}

FileSink::~FileSink() = default;  // the AtomicFile discards an uncommitted temporary file

bool FileSink::ok() const
{
    return !m_failed && m_file->ok();
}

bool FileSink::flush()
{
    if (m_buffer.empty())
        return ok();
    if (!m_file->write(m_buffer.data(), m_buffer.size()))
        m_failed = true;
    m_buffer.clear();
    return ok();
}

bool FileSink::write(const void* data, size_t size)
{
    if (!ok())
        return false;
    if (m_buffer.size() + size > FileBufferSize && !flush())
        return false;
    if (size >= FileBufferSize) {
        if (!m_file->write(data, size))
            m_failed = true;
        return ok();
    }
    const auto* p = static_cast<const uint8_t*>(data);
    m_buffer.insert(m_buffer.end(), p, p + size);
    return true;
}

bool FileSink::commit()
{
    if (!flush()) {
        m_file->discard();
        return false;
    }
    if (!m_file->commit()) {
        m_failed = true;
        return false;
    }
    m_failed = true;  // a committed sink takes no more bytes
    return true;
}

void RowProgress::rowWritten(int row)
{
    if (!m_observer || m_height <= 0 || row % 10 != 0)
        return;
    const int position = std::min(m_height, row + 10);
    m_observer->progressChanged(double(position) / double(m_height));
}

}  // namespace storage
