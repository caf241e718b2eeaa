#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace engine {
class ComputeObserver;
}

namespace storage {

class AtomicFile;

// Where an image writer puts its bytes: appended in order, never rewritten, so that a writer can
// stream rows and a file target can replace the previous file only once everything is written.
class ImageSink {
public:
    virtual ~ImageSink() = default;
    // Appends `size` bytes. False once anything has failed; later writes keep failing.
    virtual bool write(const void* data, size_t size) = 0;

    bool writeU8(uint8_t v) { return write(&v, 1); }
    bool writeU16LE(uint16_t v);
    bool writeU32LE(uint32_t v);
};

// Collects the bytes in memory (tests, and callers that want the encoded image as a buffer).
class MemorySink : public ImageSink {
public:
    bool write(const void* data, size_t size) override;
    std::vector<uint8_t> bytes;
};

// Writes a file through storage::AtomicFile with a 64 KB buffer. The target file is replaced only by
// commit(); a sink destroyed without a successful commit() leaves the previous file (or no file)
// in place, never a half-written one.
class FileSink : public ImageSink {
public:
    explicit FileSink(const std::string& path);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    bool ok() const;
    bool write(const void* data, size_t size) override;
    // Flushes the buffer and renames the new file over the target. False on any failure.
    bool commit();

private:
    bool flush();
    std::unique_ptr<AtomicFile> m_file;
    std::vector<uint8_t> m_buffer;
    bool m_failed = false;
};

// The progress window of the writers: maximum = the image height, one step of 10 after rows
// 0, 10, 20, ...; reported to the observer as a fraction 0..1. The observer may be null.
class RowProgress {
public:
    RowProgress(engine::ComputeObserver* observer, int height) : m_observer(observer), m_height(height) {}
    // Call after row `row` (0-based count of rows written so far, not the image row) is written.
    void rowWritten(int row);

private:
    engine::ComputeObserver* m_observer;
    int m_height;
};

}  // namespace storage
