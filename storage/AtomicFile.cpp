#include "storage/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {
namespace {

// Makes the rename itself durable. Best effort: some file systems refuse fsync on a directory.
void syncDirectoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The file a save to `path` replaces: `path` itself unless it is a symbolic link, else the file the
// chain of links finally names (false with errno ENOENT for a dangling link, ELOOP for a loop).
bool resolveTarget(const std::string& path, std::string& target)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        target = path;  // a missing file is created; any other failure shows when it is opened
        return true;
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return false;
    target = resolved;
    std::free(resolved);
    return true;
}

}  // namespace

AtomicFile::AtomicFile(std::string path) : m_path(std::move(path))
{
    if (!resolveTarget(m_path, m_targetPath)) {
        fail(errno);
        return;
    }
    // "<target>.<pid>-<n>.tmp": unique in the directory; O_EXCL never opens somebody else's file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate =
            m_targetPath + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) + ".tmp";
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            // A replaced file keeps its permission bits.
            struct stat st;
            if (::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                ::fchmod(fd, st.st_mode & 07777);
            m_fd = fd;
            m_tempPath = std::move(candidate);
            return;
        }
        if (errno != EEXIST && errno != EINTR)
            break;
    }
    fail(errno);
}

void AtomicFile::fail(int error)
{
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
    m_failed = true;
}

AtomicFile::~AtomicFile()
{
    discard();
}

bool AtomicFile::write(const void* data, size_t size)
{
    if (!ok())
        return false;
    const auto* p = static_cast<const unsigned char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail(n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool AtomicFile::commit()
{
    if (!ok()) {
        discard();
        return false;
    }
    int error = ::fsync(m_fd) == 0 ? 0 : errno;
    if (::close(m_fd) != 0 && error == 0)
        error = errno;
    m_fd = -1;
    if (error == 0 && std::rename(m_tempPath.c_str(), m_targetPath.c_str()) == 0) {
        m_tempPath.clear();
        syncDirectoryOf(m_targetPath);
        // A commit is final: a second one, or a later write, fails.
        m_failed = true;
        return true;
    }
    fail(error != 0 ? error : errno);
    discard();
    return false;
}

void AtomicFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
    }
    m_failed = true;
}

bool writeFileAtomically(const std::string& path, const void* data, size_t size)
{
    AtomicFile file(path);
    return file.write(data, size) && file.commit();
}

}  // namespace storage
