#include "common/file_system.h"

#include <gtest/gtest.h>

#include <csignal>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "tests/exchange/host_stand_in.h"
#include "tests/posix_only.h"

namespace veldra {
namespace {
namespace fs = std::filesystem;
using test::ReadBytes;
using test::TTempFolder;
using test::WriteBytes;

// Files in the folder other than the ones named: leftovers of a write.
std::vector<std::string> Leftovers(const fs::path& folder, std::vector<std::string> expected) {
    std::vector<std::string> extra;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            extra.push_back(name);
    }
    return extra;
}

#ifndef _WIN32
TEST(FileSystem, ReadingRefusesWhatIsNoRegularFileWithoutWaiting) {
    TTempFolder temp;
    const fs::path fifo = temp.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A FIFO without a writer would block a plain open for ever.
    EXPECT_EQ(ReadWholeFile(fifo, 1000).problem, TFileProblem::NotRegular);
    TInputFile in;
    EXPECT_EQ(in.Open(fifo), TFileProblem::NotRegular);
    EXPECT_FALSE(in.IsOpen());
    EXPECT_EQ(ReadWholeFile("/dev/null", 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(ReadWholeFile("/dev/zero", 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(ReadWholeFile(temp.path(), 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(ReadWholeFile(temp.path() / "none", 1000).problem, TFileProblem::Missing);
    fs::create_symlink(fifo, temp.path() / "link-to-fifo");
    EXPECT_EQ(ReadWholeFile(temp.path() / "link-to-fifo", 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(FileKindOf(fifo), TFileKind::Other);
    EXPECT_EQ(FileKindOf(temp.path()), TFileKind::Folder);
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, ReadingRefusesWhatIsNoRegularFileWithoutWaiting,
                          "FIFOs, /dev and symbolic links")
#endif

TEST(FileSystem, ReadingHonoursTheSizeCap) {
    TTempFolder temp;
    const fs::path file = temp.path() / "ten";
    WriteBytes(file, "0123456789");
    EXPECT_EQ(ReadWholeFile(file, 10).bytes, "0123456789");
    const TReadResult large = ReadWholeFile(file, 9);
    EXPECT_EQ(large.problem, TFileProblem::TooLarge);
    EXPECT_TRUE(large.bytes.empty());
    EXPECT_EQ(ReadFileHead(file, 4).bytes, "0123");
#ifndef _WIN32
    fs::create_symlink(file, temp.path() / "link");
    EXPECT_EQ(ReadWholeFile(temp.path() / "link", 100).bytes, "0123456789");
#endif
}

#ifndef _WIN32
TEST(FileSystem, IdentityFollowsSymbolicAndHardLinks) {
    TTempFolder temp;
    const fs::path a = temp.path() / "a", b = temp.path() / "b";
    WriteBytes(a, "x");
    WriteBytes(b, "x");
    fs::create_symlink(a, temp.path() / "soft");
    fs::create_hard_link(a, temp.path() / "hard");
    EXPECT_TRUE(SameFile(a, temp.path() / "soft"));
    EXPECT_TRUE(SameFile(a, temp.path() / "hard"));
    EXPECT_FALSE(SameFile(a, b));
    EXPECT_FALSE(SameFile(a, temp.path() / "missing"));
    EXPECT_FALSE(SameFile(temp.path() / "missing", temp.path() / "missing"));
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, IdentityFollowsSymbolicAndHardLinks, "symbolic links")
#endif

#ifndef _WIN32
TEST(FileSystem, ReplacingWritesByRenameAndKeepsPermissions) {
    TTempFolder temp;
    const fs::path file = temp.path() / "out.bmp";
    ASSERT_EQ(ReplaceFileContent(file, "new file"), TFileProblem::None);
    EXPECT_EQ(ReadBytes(file), "new file");
    ::chmod(file.c_str(), 0640);
    const auto before = FileIdentityOf(file);
    ASSERT_EQ(ReplaceFileContent(file, "second"), TFileProblem::None);
    EXPECT_EQ(ReadBytes(file), "second");
    EXPECT_NE(FileIdentityOf(file), before);  // a new file took the name
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // A read-only file is replaced and made writable for its owner.
    ::chmod(file.c_str(), 0444);
    ASSERT_EQ(ReplaceFileContent(file, "third"), TFileProblem::None);
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
    EXPECT_TRUE(Leftovers(temp.path(), {"out.bmp"}).empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, ReplacingWritesByRenameAndKeepsPermissions, "permission bits")
#endif

#ifndef _WIN32
TEST(FileSystem, ReplacingALinkReplacesTheFileItNames) {
    TTempFolder temp;
    fs::create_directory(temp.path() / "real");
    const fs::path real = temp.path() / "real" / "picture.bmp";
    WriteBytes(real, "old");
    const fs::path link = temp.path() / "link.bmp";
    fs::create_symlink(real, link);
    ASSERT_EQ(ReplaceFileContent(link, "new"), TFileProblem::None);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(real), "new");
    // A link to nothing would create a file somewhere else: refused.
    fs::create_symlink(temp.path() / "nowhere" / "x.bmp", temp.path() / "dangling.bmp");
    EXPECT_EQ(ReplaceFileContent(temp.path() / "dangling.bmp", "x"), TFileProblem::NotRegular);
    EXPECT_FALSE(fs::exists(temp.path() / "nowhere"));
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, ReplacingALinkReplacesTheFileItNames, "symbolic links")
#endif

#ifndef _WIN32
TEST(FileSystem, ReplacingRefusesFoldersFifosAndDevicesAndKeepsThem) {
    TTempFolder temp;
    const fs::path folder = temp.path() / "out.bmp";
    fs::create_directory(folder);
    WriteBytes(folder / "inside", "kept");
    EXPECT_EQ(ReplaceFileContent(folder, "x"), TFileProblem::NotRegular);
    EXPECT_EQ(ReadBytes(folder / "inside"), "kept");
    const fs::path fifo = temp.path() / "fifo.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReplaceFileContent(fifo, "x"), TFileProblem::NotRegular);
    EXPECT_EQ(FileKindOf(fifo), TFileKind::Other);
    EXPECT_EQ(ReplaceFileContent("/dev/null", "x"), TFileProblem::NotRegular);
    // A folder on the way that is a regular file stops even root.
    WriteBytes(temp.path() / "plain", "p");
    EXPECT_NE(ReplaceFileContent(temp.path() / "plain" / "x.bmp", "x"), TFileProblem::None);
    EXPECT_EQ(ReplaceFileContent(temp.path() / "missing" / "x.bmp", "x"), TFileProblem::Missing);
    EXPECT_TRUE(Leftovers(temp.path(), {"out.bmp", "fifo.bmp", "plain"}).empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, ReplacingRefusesFoldersFifosAndDevicesAndKeepsThem,
                          "FIFOs and /dev")
#endif

#ifndef _WIN32
TEST(FileSystem, TemporaryFileIsNewAndOnlyItIsEverRemoved) {
    TTempFolder temp;
    const fs::path target = temp.path() / "settings.dat";
    const fs::path victim = temp.path() / "victim";
    WriteBytes(victim, "precious");
    {
        TReplacingFile file(target);
        ASSERT_EQ(file.Create(), TFileProblem::None);
        const fs::path partial = file.TemporaryPath();
        EXPECT_EQ(partial.parent_path(), temp.path());
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(partial)));
        // Someone swaps a link to another file in at the temporary name: that link is
        // neither put in place nor followed, and it is not removed either.
        fs::remove(partial);
        fs::create_symlink(victim, partial);
        ASSERT_EQ(file.Write("xyz", 3), TFileProblem::None);
        EXPECT_EQ(file.Commit(), TFileProblem::WriteFailed);
        EXPECT_TRUE(fs::is_symlink(partial));
        fs::remove(partial);
    }
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_FALSE(NameExists(target));
    {
        // Abandoned: the temporary file goes, the old target stays as it was.
        WriteBytes(target, "old settings");
        TReplacingFile file(target);
        ASSERT_EQ(file.Create(), TFileProblem::None);
        ASSERT_EQ(file.Write("half", 4), TFileProblem::None);
    }
    EXPECT_EQ(ReadBytes(target), "old settings");
    EXPECT_TRUE(Leftovers(temp.path(), {"settings.dat", "victim"}).empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, TemporaryFileIsNewAndOnlyItIsEverRemoved, "symbolic links")
#endif

#ifndef _WIN32
// A disk that fills up half-way (file size limit, which binds root too) keeps the
// old content and leaves no temporary file. In a child, so the limit stays there.
TEST(FileSystem, FailedWriteKeepsTheOldContent) {
    TTempFolder temp;
    const fs::path file = temp.path() / "out.bmp";
    WriteBytes(file, "the user's older picture");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(ReplaceFileContent(file, std::string(5000, 'x')) == TFileProblem::WriteFailed ? 0
                                                                                            : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadBytes(file), "the user's older picture");
    EXPECT_TRUE(Leftovers(temp.path(), {"out.bmp"}).empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, FailedWriteKeepsTheOldContent, "fork and file size limits")
#endif

#ifndef _WIN32
TEST(FileSystem, RemovingTakesOnlyFilesAndLinks) {
    TTempFolder temp;
    const fs::path file = temp.path() / "file";
    WriteBytes(file, "x");
    fs::create_symlink(file, temp.path() / "link");
    EXPECT_EQ(RemoveFileOrLink(temp.path() / "link"), TFileProblem::None);
    EXPECT_EQ(ReadBytes(file), "x");  // only the link went
    EXPECT_EQ(RemoveFileOrLink(file), TFileProblem::None);
    EXPECT_FALSE(NameExists(file));
    EXPECT_EQ(RemoveFileOrLink(file), TFileProblem::None);
    fs::create_directory(temp.path() / "folder");
    EXPECT_EQ(RemoveFileOrLink(temp.path() / "folder"), TFileProblem::NotRegular);
    EXPECT_TRUE(fs::is_directory(temp.path() / "folder"));
    const fs::path fifo = temp.path() / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(RemoveFileOrLink(fifo), TFileProblem::NotRegular);
    EXPECT_EQ(EmptyRegularFile(fifo), TFileProblem::NotRegular);
    EXPECT_TRUE(NameExists(fifo));
    WriteBytes(file, "content");
    EXPECT_EQ(EmptyRegularFile(file), TFileProblem::None);
    EXPECT_EQ(ReadBytes(file), "");
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, RemovingTakesOnlyFilesAndLinks, "FIFOs and symbolic links")
#endif

#ifdef _WIN32
// What Windows has instead of FIFOs and /dev: device names and folders are never
// read or replaced, a read-only file is replaced and left writable, an abandoned
// write leaves nothing, hard links are one file, removing never takes a folder.
TEST(FileSystem, WindowsDevicesFoldersReadOnlyFilesAndHardLinks) {
    TTempFolder temp;
    EXPECT_EQ(FileKindOf("NUL"), TFileKind::Other);
    EXPECT_EQ(ReadWholeFile("NUL", 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(ReplaceFileContent("NUL", "x"), TFileProblem::NotRegular);
    EXPECT_EQ(RemoveFileOrLink("NUL"), TFileProblem::NotRegular);
    const fs::path folder = temp.path() / "out.bmp";
    fs::create_directory(folder);
    EXPECT_EQ(FileKindOf(folder), TFileKind::Folder);
    EXPECT_EQ(ReadWholeFile(folder, 1000).problem, TFileProblem::NotRegular);
    EXPECT_EQ(ReplaceFileContent(folder, "x"), TFileProblem::NotRegular);
    EXPECT_EQ(RemoveFileOrLink(folder), TFileProblem::NotRegular);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(ReplaceFileContent(temp.path() / "missing" / "x.bmp", "x"), TFileProblem::Missing);

    const fs::path file = temp.path() / "settings.dat";
    WriteBytes(file, "old");
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);  // the read-only attribute
    ASSERT_EQ(ReplaceFileContent(file, "new"), TFileProblem::None);
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_NE(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
    {
        TReplacingFile abandoned(file);
        ASSERT_EQ(abandoned.Create(), TFileProblem::None);
        ASSERT_EQ(abandoned.Write("half", 4), TFileProblem::None);
    }
    EXPECT_EQ(ReadBytes(file), "new");
    EXPECT_TRUE(Leftovers(temp.path(), {"out.bmp", "settings.dat"}).empty());

    fs::create_hard_link(file, temp.path() / "hard");
    EXPECT_TRUE(SameFile(file, temp.path() / "hard"));
    EXPECT_FALSE(SameFile(file, folder));
    TFileTime time{1700000000, 123456700};
    TReplacingFile dated(file);
    ASSERT_EQ(dated.Create(), TFileProblem::None);
    dated.SetModifiedTime(time);
    ASSERT_EQ(dated.Commit(), TFileProblem::None);
    TInputFile in;
    ASSERT_EQ(in.Open(file), TFileProblem::None);
    EXPECT_EQ(in.ModifiedTime().seconds, time.seconds);
    EXPECT_EQ(in.ModifiedTime().nanoseconds, time.nanoseconds);
    EXPECT_EQ(in.Size(), 0u);
    EXPECT_EQ(EmptyRegularFile(temp.path() / "hard"), TFileProblem::None);
    EXPECT_EQ(ReadBytes(temp.path() / "hard"), "");
}
#endif

#ifndef _WIN32
// Parts written at places of their own, last part first, read back in order; a link
// at the target is refused when the caller asks, and the file it names is untouched.
TEST(FileSystem, ReplacingWritesAtOffsetsAndCanRefuseALink) {
    TTempFolder temp;
    const fs::path target = temp.path() / "picture.bmp";
    {
        TReplacingFile file(target);
        file.SkipSyncAtCommit();
        ASSERT_EQ(file.Create(), TFileProblem::None);
        ASSERT_EQ(file.WriteAt(6, "world", 5), TFileProblem::None);
        ASSERT_EQ(file.WriteAt(0, "hello", 5), TFileProblem::None);
        ASSERT_EQ(file.Commit(), TFileProblem::None);
    }
    EXPECT_EQ(ReadBytes(target), std::string("hello\0world", 11));

    const fs::path victim = temp.path() / "victim";
    WriteBytes(victim, "precious");
    fs::remove(target);
    fs::create_symlink(victim, target);
    TReplacingFile file(target);
    file.RefuseLinkAtTarget();
    EXPECT_EQ(file.Create(), TFileProblem::NotRegular);
    EXPECT_EQ(ReadBytes(victim), "precious");
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_TRUE(Leftovers(temp.path(), {"picture.bmp", "victim"}).empty());
}

// What a killed writer leaves beside its target goes at the next sweep; a writer
// still at work, a link, a FIFO and names of other patterns are left alone.
TEST(FileSystem, StaleTemporaryFilesGoOnlyWhenOursAndIdle) {
    TTempFolder temp;
    const fs::path target = temp.path() / "rw47_temp.BMP";
    const fs::path victim = temp.path() / "victim";
    WriteBytes(victim, "precious");
    WriteBytes(temp.path() / "rw47_temp.BMP.0123abcd.tmp", "killed while saving");
    fs::create_symlink(victim, temp.path() / "rw47_temp.BMP.89abcdef.tmp");
    ASSERT_EQ(::mkfifo((temp.path() / "rw47_temp.BMP.00000000.tmp").c_str(), 0600), 0);
    WriteBytes(temp.path() / "rw47_temp.BMP.0123ABCD.tmp", "another pattern");
    WriteBytes(temp.path() / "other.BMP.0123abcd.tmp", "another file's");

    TReplacingFile live(target);
    ASSERT_EQ(live.Create(), TFileProblem::None);
    ASSERT_EQ(live.Write("band", 4), TFileProblem::None);
    const std::string liveName = live.TemporaryPath().filename().string();

    EXPECT_EQ(RemoveStaleTemporaryFiles(target), 1u);
    EXPECT_EQ(Leftovers(temp.path(),
                        {"victim", "rw47_temp.BMP.89abcdef.tmp", "rw47_temp.BMP.00000000.tmp",
                         "rw47_temp.BMP.0123ABCD.tmp", "other.BMP.0123abcd.tmp", liveName}),
              std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(temp.path() / liveName));
    EXPECT_EQ(ReadBytes(victim), "precious");
    ASSERT_EQ(live.Commit(), TFileProblem::None);
    EXPECT_EQ(ReadBytes(target), "band");
}

// A file size limit (a full disk alike) is a write failure reported to the caller, not
// the signal that kills the process, even when the process left SIGXFSZ as it found it.
TEST(FileSystem, FileSizeLimitIsAWriteErrorNotADeadProcess) {
    TTempFolder temp;
    const fs::path file = temp.path() / "out.bmp";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool reported = false;
        {
            TReplacingFile out(file);
            reported =
                out.Create() == TFileProblem::None &&
                out.WriteAt(0, std::string(5000, 'x').data(), 5000) == TFileProblem::WriteFailed;
        }
        _exit(reported ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(Leftovers(temp.path(), {}).empty());
}
#else
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, ReplacingWritesAtOffsetsAndCanRefuseALink, "symbolic links")
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, StaleTemporaryFilesGoOnlyWhenOursAndIdle, "FIFOs and links")
VELDRA_SKIPPED_ON_WINDOWS(FileSystem, FileSizeLimitIsAWriteErrorNotADeadProcess, "fork")
#endif

}  // namespace
}  // namespace veldra
