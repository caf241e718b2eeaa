#include "storage/AtomicFile.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
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

std::string linkText(const std::string& link)
{
    std::error_code ec;
    return std::filesystem::read_symlink(link, ec).string();
}

bool isSymlink(const std::string& path)
{
    return std::filesystem::is_symlink(std::filesystem::symlink_status(path));
}

// Saving through a symbolic link (or a chain of them) updates the file the chain ends at; every link
// stays a link with the same text, and the temporary file lived beside the final target.
TEST(AtomicFileTest, SavingThroughASymbolicLinkUpdatesItsTargetAndKeepsTheLink)
{
    const std::vector<uint8_t> New{'n', 'e', 'w'};
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link name -> link text ("@" = dir)
        std::string saved;                                          // the name saved to
    } rows[] = {
        {"relative link", {{"doc.vxf", "real/doc.vxf"}}, "doc.vxf"},
        {"absolute link", {{"doc.vxf", "@/real/doc.vxf"}}, "doc.vxf"},
        {"chain across directories", {{"links/b.vxf", "../real/doc.vxf"}, {"a.vxf", "links/b.vxf"}}, "a.vxf"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("atomic");
        std::filesystem::create_directories(dir.path() / "real");
        std::filesystem::create_directories(dir.path() / "links");
        const std::string target = dir.file("real/doc.vxf");
        writeAll(target, Old);
        ::chmod(target.c_str(), 0604);
        std::vector<std::pair<std::string, std::string>> links;
        for (auto [name, text] : row.links) {
            if (text[0] == '@')
                text = dir.path().string() + text.substr(1);
            ASSERT_EQ(::symlink(text.c_str(), dir.file(name).c_str()), 0);
            links.emplace_back(dir.file(name), text);
        }

        {
            AtomicFile file(dir.file(row.saved));
            ASSERT_TRUE(file.ok());
            EXPECT_EQ(std::filesystem::path(file.temporaryPath()).parent_path(),
                      std::filesystem::canonical(dir.path() / "real"));
            EXPECT_TRUE(file.write(New.data(), New.size()));
            EXPECT_TRUE(file.commit());
            EXPECT_EQ(file.error(), 0);
        }
        EXPECT_EQ(readAll(target), New);
        for (const auto& [link, text] : links) {
            EXPECT_TRUE(isSymlink(link)) << link;
            EXPECT_EQ(linkText(link), text) << link;
        }
        struct stat st;
        ASSERT_EQ(::stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "real"), {}), 1);

        // The helper takes the same way.
        EXPECT_TRUE(storage::writeFileAtomically(dir.file(row.saved), Old.data(), Old.size()));
        EXPECT_EQ(readAll(target), Old);
        EXPECT_TRUE(isSymlink(dir.file(row.saved)));
    }
}

// A link that leads nowhere refuses the save with the system's reason; nothing is created, removed
// or changed, and no temporary file is left.
TEST(AtomicFileTest, DanglingOrLoopingLinkFailsAndChangesNothing)
{
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;
        std::string saved;
        int error;
    } rows[] = {
        {"dangling", {{"doc.vxf", "missing.vxf"}}, "doc.vxf", ENOENT},
        {"dangling at the end of a chain", {{"b.vxf", "missing.vxf"}, {"a.vxf", "b.vxf"}}, "a.vxf", ENOENT},
        {"link to itself", {{"self.vxf", "self.vxf"}}, "self.vxf", ELOOP},
        {"two links in a loop", {{"a.vxf", "b.vxf"}, {"b.vxf", "a.vxf"}}, "a.vxf", ELOOP},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TempDir dir("atomic");
        writeAll(dir.file("other.bin"), Old);
        for (const auto& [name, text] : row.links)
            ASSERT_EQ(::symlink(text.c_str(), dir.file(name).c_str()), 0);
        const size_t entries = dir.entryCount();

        {
            AtomicFile file(dir.file(row.saved));
            EXPECT_FALSE(file.ok());
            EXPECT_EQ(file.error(), row.error);
            EXPECT_FALSE(file.write("abc", 3));
            EXPECT_FALSE(file.commit());
            EXPECT_EQ(file.error(), row.error);  // the first failure is the one kept
        }
        EXPECT_FALSE(storage::writeFileAtomically(dir.file(row.saved), "abc", 3));

        EXPECT_EQ(dir.entryCount(), entries);
        EXPECT_FALSE(std::filesystem::exists(dir.file("missing.vxf")));
        EXPECT_EQ(readAll(dir.file("other.bin")), Old);
        for (const auto& [name, text] : row.links) {
            EXPECT_TRUE(isSymlink(dir.file(name))) << name;
            EXPECT_EQ(linkText(dir.file(name)), text) << name;
        }
    }
}

// A save through a link that fails after the temporary file exists leaves the target and the link
// as they were and removes the temporary from beside the target.
TEST(AtomicFileTest, FailedSaveThroughALinkKeepsTargetAndLink)
{
    TempDir dir("atomic");
    std::filesystem::create_directories(dir.path() / "real");
    const std::string target = dir.file("real/doc.vxf");
    writeAll(target, Old);
    ASSERT_EQ(::symlink("real/doc.vxf", dir.file("doc.vxf").c_str()), 0);
    {
        AtomicFile file(dir.file("doc.vxf"));
        ASSERT_TRUE(file.ok());
        EXPECT_TRUE(file.write("half", 4));
        ASSERT_TRUE(std::filesystem::exists(file.temporaryPath()));
        // destroyed without commit: the save failed part way
    }
    EXPECT_EQ(readAll(target), Old);
    EXPECT_TRUE(isSymlink(dir.file("doc.vxf")));
    EXPECT_EQ(linkText(dir.file("doc.vxf")), "real/doc.vxf");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path() / "real"), {}), 1);
    EXPECT_EQ(dir.entryCount(), 2u);  // real/ and the link
}

}  // namespace
