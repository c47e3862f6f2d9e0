#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "common/Faults.h"
#include "common/File.h"
#include "support/Scratch.h"
#include "support/Seams.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velnor {
namespace {

namespace fs = std::filesystem;

void SetFaultEnv(const char* value) {
#ifdef _WIN32
    _putenv_s("VELNOR_FILE_FAULTS", value ? value : "");
#else
    if (value) {
        setenv("VELNOR_FILE_FAULTS", value, 1);
    } else {
        unsetenv("VELNOR_FILE_FAULTS");
    }
#endif
}

class FileTest : public ::testing::Test {
  protected:
    void SetUp() override { SetFaultEnv(nullptr); }
    void TearDown() override { SetFaultEnv(nullptr); }
    std::string Path(const char* name) const { return folder_.path() + name; }
    std::string Folder() const { return folder_.path(); }
    static std::string Slurp(const std::string& path) { return velnor_test::ReadFile(path); }
    static void Put(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(velnor_test::WriteFile(path, bytes));
    }

    velnor_test::FileFaultsGuard faults_;
    velnor_test::ScratchFolder folder_{"file"};
};

TEST_F(FileTest, CreateWritesBytesUnchangedAndTruncates) {
    const std::string path = Path("out.xml");
    Put(path, "an older and much longer content");
    ClFile file;
    ASSERT_TRUE(
        file.Open(path.c_str(), ClFile::kWrite | ClFile::kShareExclusive | ClFile::kCreate));
    EXPECT_TRUE(file.IsOpen());
    file.Write("a\r\nb\n\x1a\x82\xa0", 8);
    file.Write("", 0);
    EXPECT_EQ(file.GetLength(), 8u);
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(Slurp(path), std::string("a\r\nb\n\x1a\x82\xa0", 8));
}

TEST_F(FileTest, ReadReturnsWhatIsThereAndStopsAtEnd) {
    const std::string path = Path("in.txt");
    Put(path, "0123456789");
    ClFile file;
    ASSERT_TRUE(file.Open(path.c_str(), ClFile::kRead | ClFile::kShareDenyNone));
    char buf[32] = {};
    EXPECT_EQ(file.Read(buf, 4), 4u);
    EXPECT_EQ(std::string(buf, 4), "0123");
    EXPECT_EQ(file.Read(buf, sizeof buf), 6u);
    EXPECT_EQ(std::string(buf, 6), "456789");
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
}

TEST_F(FileTest, OpenFailsQuietlyWithoutThrowing) {
    ClFile file;
    EXPECT_FALSE(file.Open(Path("missing.txt").c_str(), ClFile::kRead));
#ifdef _WIN32
    EXPECT_EQ(LastFileError(), 2);  // ERROR_FILE_NOT_FOUND
#else
    EXPECT_EQ(LastFileError(), ENOENT);
#endif
    EXPECT_FALSE(
        file.Open(Path("no-such-folder/out.xml").c_str(), ClFile::kWrite | ClFile::kCreate));
    EXPECT_FALSE(file.Open(Folder().c_str(), ClFile::kRead));
    // Only a plain file when asked for one: not a device, and not a pipe, which would wait
    // for a writer (the alarm ends the test if it does).
#ifdef _WIN32
    EXPECT_FALSE(file.Open("NUL", ClFile::kRead | ClFile::kRegularOnly));
#else
    EXPECT_FALSE(file.Open("/dev/null", ClFile::kRead | ClFile::kRegularOnly));
    const std::string fifo = Path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    alarm(10);
    EXPECT_FALSE(file.Open(fifo.c_str(), ClFile::kRead | ClFile::kRegularOnly));
    alarm(0);
#endif
    EXPECT_FALSE(file.Open("", ClFile::kRead));
    EXPECT_FALSE(file.Open(nullptr, ClFile::kRead));
    EXPECT_FALSE(file.IsOpen());
}

TEST_F(FileTest, ClosedFileThrowsNotOpenAndClosesTwiceSilently) {
    ClFile file;
    EXPECT_NO_THROW(file.Close());
    try {
        file.Write("x", 1);
        ADD_FAILURE() << "write to a closed file succeeded";
    } catch (const ClFileException& e) {
        EXPECT_EQ(e.cause(), ClFileException::kNotOpen);
    }
    char c;
    EXPECT_THROW(file.Read(&c, 1), ClFileException);
    EXPECT_THROW(file.GetLength(), ClFileException);
    EXPECT_THROW(file.Flush(), ClFileException);

    const std::string path = Path("twice.txt");
    ASSERT_TRUE(file.Open(path.c_str(), ClFile::kWrite | ClFile::kCreate));
    file.Abort();
    EXPECT_THROW(file.Write("x", 1), ClFileException);
    EXPECT_NO_THROW(file.Close());
    EXPECT_NO_THROW(file.Close());
}

// The system's own error reaches the caller with its cause: a full disk (Wine shows the
// host's device as drive Z:).
TEST_F(FileTest, AFullDiskIsReportedAsSuch) {
#ifdef _WIN32
    const char* full = "Z:\\dev\\full";
#else
    const char* full = "/dev/full";
#endif
    ClFile file;
    if (!file.Open(full, ClFile::kWrite)) GTEST_SKIP() << "no " << full;
    try {
        file.Write("x", 1);
        ADD_FAILURE() << "a write to a full disk succeeded";
    } catch (const ClFileException& e) {
        EXPECT_EQ(e.cause(), ClFileException::kDiskFull);
        EXPECT_EQ(e.path(), full);
#ifdef _WIN32
        EXPECT_EQ(e.error(), 112);  // ERROR_DISK_FULL
#else
        EXPECT_EQ(e.error(), ENOSPC);
        EXPECT_EQ(DescribeFileError(e.error()), std::strerror(ENOSPC));
#endif
        EXPECT_EQ(LastFileError(), e.error());
    }
}

TEST_F(FileTest, FileSystemOperations) {
    const std::string sub = Path("sub");
    EXPECT_FALSE(PathExists(sub.c_str()));
    EXPECT_TRUE(MakeDirectory(sub.c_str()));
    EXPECT_FALSE(MakeDirectory(sub.c_str()));
    EXPECT_TRUE(PathExists(sub.c_str()));
    EXPECT_TRUE(IsDirectoryPath(sub.c_str()));
    EXPECT_FALSE(IsRegularFilePath(sub.c_str()));

    const std::string file = Path("sub/f.txt");
    Put(file, "x");
    EXPECT_TRUE(IsRegularFilePath(file.c_str()));
    EXPECT_FALSE(IsDirectoryPath(file.c_str()));
    EXPECT_FALSE(RemoveDirectoryPath(sub.c_str()));  // not empty
    EXPECT_TRUE(RemoveFilePath(file.c_str()));
    EXPECT_FALSE(RemoveFilePath(file.c_str()));
    EXPECT_TRUE(RemoveDirectoryPath(sub.c_str()));
    EXPECT_FALSE(PathExists(sub.c_str()));
    EXPECT_FALSE(PathExists(""));
    EXPECT_FALSE(PathExists(nullptr));
}

TEST_F(FileTest, ReplaceMovesOverAnExistingFile) {
    const std::string from = Path("new.tmp");
    const std::string to = Path("doc.xml");
    Put(from, "new");
    Put(to, "old content");
    EXPECT_TRUE(ReplaceFilePath(from.c_str(), to.c_str()));
    EXPECT_EQ(Slurp(to), "new");
    EXPECT_FALSE(PathExists(from.c_str()));
    // A missing source changes nothing.
    EXPECT_FALSE(ReplaceFilePath(from.c_str(), to.c_str()));
    EXPECT_EQ(Slurp(to), "new");
    // Nor is a folder at the destination replaced.
    const std::string folder = Path("folder.xml");
    ASSERT_TRUE(MakeDirectory(folder.c_str()));
    Put(from, "new");
    EXPECT_FALSE(ReplaceFilePath(from.c_str(), folder.c_str()));
    EXPECT_TRUE(IsDirectoryPath(folder.c_str()));
    EXPECT_EQ(LastFileError(), kFileErrorFolder);
#ifndef _WIN32
    // Nor a pipe. A link is followed to its final target; one that leads nowhere is
    // refused.
    const std::string pipe = Path("pipe.xml");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(ReplaceFilePath(from.c_str(), pipe.c_str()));
    EXPECT_EQ(LastFileError(), kFileErrorNotPlainFile);
    EXPECT_TRUE(fs::is_fifo(pipe));
    const std::string link = Path("link.xml");
    fs::create_symlink(to, link);
    EXPECT_EQ(FinalPath(link.c_str()), fs::canonical(to).string());
    EXPECT_EQ(FinalPath(to.c_str()), to);
    EXPECT_EQ(FinalPath(Path("none").c_str()), Path("none"));
    fs::create_symlink(Path("none"), Path("dangling.xml"));
    EXPECT_EQ(FinalPath(Path("dangling.xml").c_str()), "");
    EXPECT_EQ(LastFileError(), kFileErrorDanglingLink);
    EXPECT_EQ(DescribeFileError(kFileErrorDanglingLink),
              "it is a symbolic link whose target does not exist");
#endif
}

// The replaced file's identity stays. Natively its mode and owner (another owner only as
// the superuser can give it). Windows keeps security, attributes and creation time through
// ReplaceFileW; under Wine only the replacement itself can be seen (Wine drops the hidden
// attribute), so there the test checks that it works and leaves nothing behind.
TEST_F(FileTest, ReplaceKeepsTheReplacedFilesIdentity) {
    const std::string to = Path("doc.xml");
    Put(to, "old");
#ifndef _WIN32
    ASSERT_EQ(chmod(to.c_str(), 0640), 0);
    const bool superuser = geteuid() == 0;
    if (superuser) {
        ASSERT_EQ(chown(to.c_str(), 12345, 23456), 0);
    }
#endif
    ClFile temp;
    ASSERT_TRUE(temp.CreateTempBeside(to.c_str()));
    temp.Write("new", 3);
    temp.Flush();
    temp.Close();
    ASSERT_TRUE(ReplaceFilePath(temp.path().c_str(), to.c_str()));
    EXPECT_EQ(Slurp(to), "new");
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"doc.xml"});
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(stat(to.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, superuser ? 12345u : geteuid());
    EXPECT_EQ(st.st_gid, superuser ? 23456u : getegid());
#endif
}

TEST_F(FileTest, TempFilesAreNewOpenAndNamedAfterTheirDestination) {
    const std::string destination = Path("doc.xml");
    ClFile a, b;
    ASSERT_TRUE(a.CreateTempBeside(destination.c_str()));
    ASSERT_TRUE(b.CreateTempBeside(destination.c_str()));
    EXPECT_NE(a.path(), b.path());
    for (ClFile* f : {&a, &b}) {
        const std::string name = f->path().substr(Folder().size());
        EXPECT_EQ(f->path().substr(0, Folder().size()), Folder());
        EXPECT_EQ(name.size(), std::string("doc.xml.~velnor-k3f9q2.tmp").size()) << name;
        EXPECT_EQ(name.substr(0, 16), "doc.xml.~velnor-") << name;
        EXPECT_EQ(name.substr(22), ".tmp") << name;
        EXPECT_TRUE(f->IsOpen());
        f->Write("x", 1);  // through the handle that made it
        f->Close();
        // Moved out first: on Windows the pending file is held by a handle that may delete
        // it, and only a reader that shares deletion opens it meanwhile.
        const std::string moved = Path(f == &a ? "a.xml" : "b.xml");
        EXPECT_TRUE(ReplaceFilePath(f->path().c_str(), moved.c_str()));
        EXPECT_EQ(Slurp(moved), "x");
    }
    ClFile c;
    EXPECT_FALSE(c.CreateTempBeside((Path("missing") + velnor_test::kSep + "doc.xml").c_str()));
#ifdef _WIN32
    EXPECT_EQ(LastFileError(), 3);  // ERROR_PATH_NOT_FOUND
#else
    EXPECT_EQ(LastFileError(), ENOENT);
#endif
    EXPECT_EQ(DescribeFileError(LastFileError()).empty(), false);
}

// The stem leaves room for ".~velnor-xxxxxx.tmp" within both limits, cutting the name
// between characters (0x95 0x5C is one).
TEST_F(FileTest, TempStemFitsWhereTheDestinationFits) {
    const std::string name255(255, 'n');
    const struct {
        std::string destination;
        size_t maxPath;
        std::string stem;
    } cases[] = {
        {"dir/doc.xml", 260, "dir/doc.xml.~velnor-"},
        {"doc.xml", 260, "doc.xml.~velnor-"},
        {"dir/" + name255, 4095, "dir/" + std::string(236, 'n') + ".~velnor-"},
        {"dir/abcdef.xml", 28, "dir/abcde.~velnor-"},
        {"dir/a\x95\x5c"
         "bc",
         28,
         "dir/a\x95\x5c"
         "bc.~velnor-"},
        {"dir/a\x95\x5c"
         "bc",
         25, "dir/a.~velnor-"},
        {"dir/a.xml", 23, "dir/.~velnor-"},
        {"dir/a.xml", 22, ""},
        {"", 260, ""},
    };
    const auto native = [](std::string path) {
        if (!path.empty() && path[0] == 'd' && path[3] == '/') path[3] = velnor_test::kSep;
        return path;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination + " " + std::to_string(c.maxPath));
        EXPECT_EQ(TempFileStem(native(c.destination).c_str(), c.maxPath), native(c.stem));
    }
}

// Only this destination's temporary files, with the program's mark, plain files, and
// only old ones, are a killed run's; names a user may give a file of their own stay.
TEST_F(FileTest, StaleTempFilesOfTheDestinationAloneAreRemoved) {
    const char* const stale[] = {"doc.xml.~velnor-k3f9q2.tmp", "doc.xml.~velnor-000000.tmp"};
    // No two of the names differ in case alone: Windows would take them for one.
    const char* const kept[] = {
        "doc.xml.backup.tmp",         "doc.xml.2024q1.tmp",         "doc.xml.k3f9q2.tmp",
        "doc.xml.~velnor-K3F9Q3.tmp", "doc.xml.~velnor-k3f9q.tmp",  "doc.xml.~velnor-k3f9q2.tmp.x",
        "doc.xml.~velnor-k3f9q4.TMP", "dod.xml.~velnor-k3f9q2.tmp", "doc.xml",
        "doc.xml.~velnor-k3f9-2.tmp", "doc.xml.~velnos-k3f9q5.tmp", "doc.xml~velnor-k3f9q6.tmp"};
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    for (const char* name : stale) Put(Path(name), "old");
    for (const char* name : kept) Put(Path(name), "other");
    for (const auto& entry : fs::directory_iterator(Folder())) fs::last_write_time(entry, old);
    Put(Path("doc.xml.~velnor-recent.tmp"), "a run going on");
#ifndef _WIN32
    // An hour-old link with the mark: its target is the user's. (Wine shows no links.)
    const std::string link = Path("doc.xml.~velnor-linked.tmp");
    Put(Path("target"), "the user's");
    fs::create_symlink(Path("target"), link);
    const struct timespec times[2] = {{1, 0}, {1, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, link.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
#endif
    ClFile file;
    ASSERT_TRUE(file.CreateTempBeside(Path("doc.xml").c_str()));
    file.Abort();
    for (const char* name : stale) EXPECT_FALSE(PathExists(Path(name).c_str())) << name;
    for (const char* name : kept) EXPECT_TRUE(PathExists(Path(name).c_str())) << name;
    EXPECT_TRUE(PathExists(Path("doc.xml.~velnor-recent.tmp").c_str()));
#ifndef _WIN32
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(Path("target")), "the user's");
#endif
}

// The temporary file is kept hold of where it was made. When the destination's folder is
// moved away and another put in its place, the replace fails and the file is removed
// where it went: natively through the folder's descriptor; on Windows through its handle,
// which Wine turns into a removal by the old name, so there it is reported as maybe left.
// Where it cannot be removed at all, it is named.
TEST_F(FileTest, ATemporaryFileWhoseFolderMovedIsNeverLeftUnnamed) {
    const std::string dir = Path("dir");
    const std::string moved = Path("moved");
    const std::string to = dir + velnor_test::kSep + "doc.xml";
    ASSERT_TRUE(MakeDirectory(dir.c_str()));
    ClFile temp;
    ASSERT_TRUE(temp.CreateTempBeside(to.c_str()));
    temp.Write("new", 3);
    temp.Close();
    EXPECT_EQ(LeftTempFile(), "");
    fs::rename(dir, moved);
    ASSERT_TRUE(MakeDirectory(dir.c_str()));
    Put(to, "old");
    EXPECT_FALSE(ReplaceFilePath(temp.path().c_str(), to.c_str()));
    EXPECT_EQ(LastFileError(), kFileErrorFolderMoved);
    EXPECT_EQ(DescribeFileError(kFileErrorFolderMoved),
              "its folder was moved or replaced while the file was written");
    RemoveFilePath(temp.path().c_str());  // as a failed export does
    EXPECT_EQ(Slurp(to), "old");
    EXPECT_EQ(folder_.List(std::string("dir") + velnor_test::kSep),
              std::vector<std::string>{"doc.xml"});
#ifdef _WIN32
    EXPECT_EQ(LeftTempFile(), temp.path());
#else
    EXPECT_TRUE(fs::is_empty(moved));
    EXPECT_EQ(LeftTempFile(), "");
#endif

    // Neither moved nor removable (a folder made read-only, here a planned fault): named.
    ClFile stuck;
    ASSERT_TRUE(stuck.CreateTempBeside(to.c_str()));
    EXPECT_EQ(LeftTempFile(), "");
    stuck.Close();
    PlanFileFault(FileOp::kRename, 1);
    PlanFileFault(FileOp::kRemove, 1);
    EXPECT_FALSE(ReplaceFilePath(stuck.path().c_str(), to.c_str()));
    EXPECT_FALSE(RemoveFilePath(stuck.path().c_str()));
    EXPECT_EQ(LeftTempFile(), stuck.path());
    EXPECT_TRUE(RemoveFilePath(stuck.path().c_str()));
    EXPECT_EQ(Slurp(to), "old");
}

TEST_F(FileTest, PendingTempFileIsRemovedOnce) {
    ClFile file;
    ASSERT_TRUE(file.CreateTempBeside(Path("doc.xml").c_str()));
    file.Write("part", 4);
    RemovePendingTempFile();
    file.Abort();  // on Windows the file goes with its last handle
    EXPECT_FALSE(PathExists(file.path().c_str()));
    Put(file.path(), "someone else's");
    RemovePendingTempFile();
    EXPECT_TRUE(PathExists(file.path().c_str()));
    // A file moved into place is no longer pending.
    ASSERT_TRUE(file.CreateTempBeside(Path("doc.xml").c_str()));
    file.Close();
    ASSERT_TRUE(ReplaceFilePath(file.path().c_str(), Path("doc.xml").c_str()));
    Put(file.path(), "someone else's");
    RemovePendingTempFile();
    EXPECT_TRUE(PathExists(file.path().c_str()));
}

// Every operation, made to fail once by a plan; the call after it works again.
TEST_F(FileTest, EveryOperationFailsWhenPlanned) {
    const std::string path = Path("f.txt");
    const std::string sub = Path("d");
    Put(path, "abc");
    struct Case {
        FileOp op;
        std::function<bool()> run;  // true when the operation succeeded
        std::function<void()> undo;
    };
    auto writeOne = [&] {
        ClFile f;
        if (!f.Open(path.c_str(), ClFile::kWrite | ClFile::kCreate)) return false;
        try {
            f.Write("x", 1);
        } catch (const ClFileException& e) {
            EXPECT_EQ(e.cause(), ClFileException::kInjected);
            EXPECT_EQ(e.error(), kFileErrorInjected);
            EXPECT_EQ(e.path(), path);
            return false;
        }
        return true;
    };
    auto readOne = [&] {
        ClFile f;
        char c;
        if (!f.Open(path.c_str(), ClFile::kRead)) return false;
        try {
            f.Read(&c, 1);
        } catch (const ClFileException&) {
            return false;
        }
        return true;
    };
    auto closeOne = [&] {
        ClFile f;
        if (!f.Open(path.c_str(), ClFile::kRead)) return false;
        try {
            f.Close();
        } catch (const ClFileException&) {
            EXPECT_FALSE(f.IsOpen());
            return false;
        }
        return true;
    };
    const std::string other = Path("g.txt");
    const Case cases[] = {
        {FileOp::kOpen,
         [&] {
             ClFile f;
             return f.Open(path.c_str(), ClFile::kRead);
         },
         [] {}},
        {FileOp::kRead, readOne, [] {}},
        {FileOp::kWrite, writeOne, [] {}},
        {FileOp::kFlush,
         [&] {
             ClFile f;
             if (!f.Open(path.c_str(), ClFile::kWrite)) return false;
             try {
                 f.Flush();
             } catch (const ClFileException& e) {
                 EXPECT_EQ(e.cause(), ClFileException::kInjected);
                 return false;
             }
             return true;
         },
         [] {}},
        {FileOp::kClose, closeOne, [] {}},
        {FileOp::kRename,
         [&] {
             Put(other, "g");
             return ReplaceFilePath(other.c_str(), path.c_str());
         },
         [] {}},
        {FileOp::kRemove, [&] { return RemoveFilePath(path.c_str()); }, [&] { Put(path, "abc"); }},
        {FileOp::kMkdir, [&] { return MakeDirectory(sub.c_str()); },
         [&] { RemoveDirectoryPath(sub.c_str()); }},
        {FileOp::kRmdir,
         [&] {
             MakeDirectory(sub.c_str());
             return RemoveDirectoryPath(sub.c_str());
         },
         [] {}},
        {FileOp::kTempFile,
         [&] {
             ClFile t;
             return t.CreateTempBeside(path.c_str());
         },
         [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.op));
        ResetFileFaults();
        PlanFileFault(c.op, 1);
        EXPECT_FALSE(c.run());
        EXPECT_EQ(LastFileError(), kFileErrorInjected);
        c.undo();
        EXPECT_TRUE(c.run());
        c.undo();
    }
}

TEST_F(FileTest, PlanCountsOnlyMatchingCallsFromNow) {
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "a.xml"));
    PlanFileFault(FileOp::kWrite, 2, "b.xml");
    PlanFileFault(FileOp::kOpen, 1);
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "a.xml"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "dir/b.xml"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kRead, "dir/b.xml"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, nullptr));
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kWrite, "dir/b.xml"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "dir/b.xml"));  // once only
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kOpen, "x"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kOpen, "x"));
    PlanFileFault(FileOp::kOpen, 0);  // not a call number: ignored
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kOpen, "x"));
    ResetFileFaults();
    PlanFileFault(FileOp::kWrite, 1);
    ResetFileFaults();
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "a"));
}

TEST_F(FileTest, EnvironmentVariableChoosesFailingCalls) {
    SetFaultEnv("write:2,open:1:C:\\dir\\out.xml,bogus,rename:x,mkdir:0,rmdir:1:,tempfile:3");
    ResetFileFaults();
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "a"));
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kWrite, "a"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kWrite, "a"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kOpen, "C:\\dir\\other.xml"));
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kOpen, "C:\\dir\\out.xml"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kRename, "x"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kMkdir, "x"));
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kRmdir, "anything"));  // empty path part: every call
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kTempFile, "t"));
    EXPECT_FALSE(ShouldFailFileOp(FileOp::kTempFile, "t"));
    EXPECT_TRUE(ShouldFailFileOp(FileOp::kTempFile, "t"));

    // Through the file object: the environment reaches real operations.
    const std::string path = Path("env.txt");
    SetFaultEnv((std::string("read:1,close:1:env.txt,remove:1:env")).c_str());
    ResetFileFaults();
    Put(path, "abc");
    ClFile file;
    ASSERT_TRUE(file.Open(path.c_str(), ClFile::kRead));
    char buf[4];
    EXPECT_THROW(file.Read(buf, 3), ClFileException);
    EXPECT_EQ(file.Read(buf, 3), 3u);
    EXPECT_THROW(file.Close(), ClFileException);
    EXPECT_FALSE(RemoveFilePath(path.c_str()));
    EXPECT_TRUE(PathExists(path.c_str()));
    EXPECT_TRUE(RemoveFilePath(path.c_str()));
}

}  // namespace
}  // namespace velnor
