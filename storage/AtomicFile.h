#pragma once

#include <cstddef>
#include <string>

// Replaces a file only when its new content is complete.
//
// The content goes to a temporary file created beside the target (same directory, so the final
// rename never crosses a file system). commit() flushes it to disk (fsync) and renames it over the
// target; the target is then either the previous file, untouched, or the complete new one. A failed
// write, a failed commit, or an object destroyed without commit() removes the temporary file and
// leaves the target as it was.
//
// A target that is a symbolic link stays one: the link is followed (through any chain of links) to
// the file it finally names, the temporary file is created beside that file and the rename replaces
// it. A dangling link, or links that loop, make creation fail (error() ENOENT or ELOOP) and nothing
// is written, created or removed.
//
// Not thread-safe; one object per file being written. The object cannot be copied or moved.
namespace storage {

class AtomicFile {
public:
    // Creates the temporary file for `path` (beside its final target when `path` is a symbolic link).
    // When that fails, ok() is false and every later call fails; the target is never touched.
    explicit AtomicFile(std::string path);
    ~AtomicFile();  // discards the content unless commit() succeeded

    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False once anything has failed (creation, a write, or commit).
    bool ok() const { return m_fd >= 0 && !m_failed; }

    // Appends `size` bytes. False on failure; the file is then spoiled and commit() will fail.
    bool write(const void* data, size_t size);

    // Flushes, closes and renames over the target. False (temporary removed, target untouched) on any
    // failure or when called twice.
    bool commit();

    // Discards the temporary file now. The target is untouched.
    void discard();

    // The system's error number (errno) of the first failure; 0 while nothing has failed.
    int error() const { return m_error; }

    const std::string& path() const { return m_path; }
    // The file that commit() replaces: path() itself, or the file its symbolic link finally names.
    const std::string& targetPath() const { return m_targetPath; }
    const std::string& temporaryPath() const { return m_tempPath; }

private:
    void fail(int error);

    std::string m_path;
    std::string m_targetPath;
    std::string m_tempPath;
    int m_fd = -1;
    int m_error = 0;
    bool m_failed = false;
};

// Writes `size` bytes to `path` through an AtomicFile. True when the target now holds exactly them.
bool writeFileAtomically(const std::string& path, const void* data, size_t size);

}  // namespace storage
