#include "storage/AtomicFile.h"

#include <csignal>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "StorageTestUtil.h"

namespace {

using storage::AtomicFile;
using storage_test::readAll;
using storage_test::TempDir;
using storage_test::writeAll;

const std::vector<uint8_t> Old{'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};

TEST(AtomicFileTest, CommitReplacesTheTargetAndLeavesNoTemporary)
{
    TempDir dir("atomic");
    const std::string target = dir.file("doc.bin");
    writeAll(target, Old);
    ::chmod(target.c_str(), 0640);

    std::vector<uint8_t> content(100000);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = uint8_t(i * 7 + 3);
    {
        AtomicFile file(target);
        ASSERT_TRUE(file.ok());
        EXPECT_NE(file.temporaryPath(), target);
        EXPECT_TRUE(file.write(content.data(), 60000));
        // Nothing visible under the target's name before commit.
        EXPECT_EQ(readAll(target), Old);
        EXPECT_TRUE(file.write(content.data() + 60000, content.size() - 60000));
        EXPECT_TRUE(file.commit());
        EXPECT_FALSE(file.commit()) << "a second commit must fail";
        EXPECT_FALSE(file.write("x", 1)) << "a write after commit must fail";
    }
    EXPECT_EQ(readAll(target), content);
    EXPECT_EQ(dir.entryCount(), 1u);
    struct stat st{};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
}

TEST(AtomicFileTest, DestroyedWithoutCommitLeavesTheTargetUntouched)
{
    const struct {
        const char* name;
        bool targetExists;
        bool explicitDiscard;
    } rows[] = {
        {"existing target, destructor", true, false},
        {"existing target, discard()", true, true},
        {"no target, destructor", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("atomic");
        const std::string target = dir.file("doc.bin");
        if (row.targetExists)
            writeAll(target, Old);
        {
            AtomicFile file(target);
            ASSERT_TRUE(file.ok());
            EXPECT_TRUE(file.write("new content", 11));
            if (row.explicitDiscard) {
                file.discard();
                EXPECT_FALSE(file.commit());
            }
        }
        if (row.targetExists) {
            EXPECT_EQ(readAll(target), Old);
            EXPECT_EQ(dir.entryCount(), 1u);
        } else {
            EXPECT_EQ(dir.entryCount(), 0u);
        }
    }
}

TEST(AtomicFileTest, MissingDirectoryFailsEverywhere)
{
    TempDir dir("atomic");
    AtomicFile file(dir.file("no-such-dir/doc.bin"));
    EXPECT_FALSE(file.ok());
    EXPECT_FALSE(file.write("abc", 3));
    EXPECT_FALSE(file.commit());
    EXPECT_EQ(dir.entryCount(), 0u);
    EXPECT_FALSE(storage::writeFileAtomically(dir.file("no-such-dir/doc.bin"), "abc", 3));
}

// A write refused by the system (here: the file size limit, RLIMIT_FSIZE, which also stops root)
// must spoil the file: commit fails, the temporary goes and the previous target stays.
TEST(AtomicFileTest, FailedWriteKeepsThePreviousFile)
{
    TempDir dir("atomic");
    const std::string target = dir.file("doc.bin");
    writeAll(target, Old);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);  // the write then fails with EFBIG instead of killing us
        struct rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<uint8_t> big(10000, 0x5A);
        AtomicFile file(target);
        const bool wrote = file.write(big.data(), big.size());
        const bool committed = file.commit();
        ::_exit(!file.ok() && !wrote && !committed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "write or commit reported success past the size limit";
    EXPECT_EQ(readAll(target), Old);
    EXPECT_EQ(dir.entryCount(), 1u) << "the temporary file was left behind";
}

}  // namespace
