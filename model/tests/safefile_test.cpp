#include "model/SafeFile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace mivo {
namespace {

namespace fs = std::filesystem;

class SafeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "safefile_test_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    // Names of the files in the folder.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::string dir_;
};

TEST_F(SafeFileTest, WritesReplacesAndReadsBack) {
    const std::string file = Path("out.txt");
    WriteFileAtomic(file, "first");
    EXPECT_EQ(ReadFile(file), "first");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // The streaming writer, with chunks small and large.
    std::string big(200000, 'x');
    {
        TSafeFileWriter writer(file);
        writer.Write("a");
        writer.Write(big);
        writer.Write("b");
        EXPECT_EQ(ReadFile(file), "first");  // nothing visible before Commit
        writer.Commit();
    }
    EXPECT_EQ(ReadFile(file), "a" + big + "b");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteFileAtomic(file, "");
    EXPECT_EQ(ReadFile(file), "");
    EXPECT_EQ(Files(), std::vector<std::string>{"out.txt"});
}

TEST_F(SafeFileTest, WriterWithoutCommitLeavesTheTargetAlone) {
    const std::string file = Path("keep.txt");
    WriteFileAtomic(file, "old contents");
    {
        TSafeFileWriter writer(file);
        writer.Write("new contents that never land");
    }
    EXPECT_EQ(ReadFile(file), "old contents");
    EXPECT_EQ(Files(), std::vector<std::string>{"keep.txt"});

    {
        TSafeFileWriter writer(Path("never.txt"));
    }
    EXPECT_EQ(Files(), std::vector<std::string>{"keep.txt"});
}

TEST_F(SafeFileTest, WritesThroughSymbolicLinks) {
    WriteFileAtomic(Path("real.txt"), "old");
    fs::create_symlink("real.txt", Path("link.txt"));
    WriteFileAtomic(Path("link.txt"), "new");
    EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
    EXPECT_EQ(ReadFile(Path("real.txt")), "new");
}

TEST_F(SafeFileTest, ErrorsNameTheFileAndTheReason) {
    try {
        ReadFile(Path("missing.txt"));
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + Path("missing.txt") + "\": No such file or directory");
    }
    EXPECT_THROW(ReadFile(dir_), EFileError);  // a folder is not a readable file

    try {
        WriteFileAtomic(Path("no/such/folder.txt"), "x");
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + Path("no/such/folder.txt") + "\": No such file or directory");
    }

    // A folder in the target's place is not replaced.
    fs::create_directory(Path("sub"));
    WriteFileAtomic(Path("sub/inner.txt"), "inside");
    try {
        WriteFileAtomic(Path("sub"), "x");
        ADD_FAILURE() << "no error";
    } catch (const EFileError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot replace file \"" + Path("sub") + "\": ", 0), 0u) << e.what();
    }
    EXPECT_EQ(ReadFile(Path("sub/inner.txt")), "inside");
    EXPECT_EQ(Files(), (std::vector<std::string>{"sub"}));
}

TEST_F(SafeFileTest, ReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the super-user";
    const std::string file = Path("model.mvo");
    WriteFileAtomic(file, "old model");
    fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(WriteFileAtomic(file, "new model"), EFileError);
    fs::permissions(dir_, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(file), "old model");
    EXPECT_EQ(Files(), std::vector<std::string>{"model.mvo"});
}

// A write that fails half-way (here: the file size limit, as on a full
// disk) leaves the old file byte-identical and no temporary file behind.
TEST_F(SafeFileTest, FailedWriteKeepsTheOldFileByteIdentical) {
    const std::string file = Path("model.mvo");
    std::string old_contents;
    for (int i = 0; i < 1000; ++i) old_contents += "line " + std::to_string(i) + "\r\n";
    WriteFileAtomic(file, old_contents);

    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            WriteFileAtomic(file, std::string(100000, 'n'));
        } catch (const EFileError& e) {
            std::string message = e.what();
            code = message.rfind("Cannot write file \"" + file + "\": ", 0) == 0 ? 0 : 2;
        } catch (...) {
            code = 3;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no error, 2: wrong message, 3: wrong error class";
    EXPECT_EQ(ReadFile(file), old_contents);
    EXPECT_EQ(Files(), std::vector<std::string>{"model.mvo"});
}

}  // namespace
}  // namespace mivo
