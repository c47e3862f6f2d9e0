#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/Edition.h"
#include "common/Faults.h"
#include "common/File.h"
#include "common/PathHelpers.h"
#include "conditions/EnvFile.h"
#include "host_standin/HostStandIn.h"
#include "support/Json.h"
#include "support/Scratch.h"
#include "support/Seams.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velnor {
namespace {

TEST(EnvKey, Formats) {
    const struct {
        const char* user;
        int32_t first, second;
        const char* key;
    } cases[] = {
        {"admin", 1, 12, "admin/1/12:"},
        {"", 0, 0, "/0/0:"},
        {"経理", -1, 2147483647, "経理/-1/2147483647:"},
        {"a/b", 3, -2147483647 - 1, "a/b/3/-2147483648:"},
    };
    for (const auto& c : cases) {
        std::string key;
        EXPECT_TRUE(BuildEnvKey(c.user, c.first, c.second, &key)) << c.user;
        EXPECT_EQ(key, c.key);
    }
}

TEST(EnvKey, RefusesWhatCannotBeOneLine) {
    char full[65];
    std::fill(full, full + 65, 'u');  // 65 bytes, no terminator within the host's buffer
    std::string key = "x";
    EXPECT_FALSE(BuildEnvKey(full, 1, 1, &key));
    EXPECT_TRUE(key.empty());
    full[64] = '\0';
    EXPECT_TRUE(BuildEnvKey(full, 1, 1, &key));
    EXPECT_EQ(key, std::string(64, 'u') + "/1/1:");
    EXPECT_FALSE(BuildEnvKey("ad\nmin", 1, 1, &key));
}

TEST(EnvLine, Formats) {
    std::string line;
    ASSERT_TRUE(FormatEnvLine("admin/1/12:", 0, 0, 3, "C:\\out\\a.xml", &line));
    EXPECT_EQ(line, "admin/1/12:0/0/3/C:\\out\\a.xml\n");
    ASSERT_TRUE(FormatEnvLine("u/1/2:", -1, 7, 2, nullptr, &line));
    EXPECT_EQ(line, "u/1/2:-1/7/2/\n");
    EXPECT_FALSE(FormatEnvLine("u/1/2:", 0, 0, 1, "C:\\a\nb.xml", &line));
}

TEST(EnvLine, LongestLineIs511Bytes) {
    const std::string key = "k/1/2:";  // with "0/0/1/" and the line feed: 13 bytes
    std::string line;
    EXPECT_TRUE(FormatEnvLine(key, 0, 0, 1, std::string(511 - 13, 'd').c_str(), &line));
    EXPECT_EQ(line.size(), 511u);
    EXPECT_FALSE(FormatEnvLine(key, 0, 0, 1, std::string(512 - 13, 'd').c_str(), &line));
    EXPECT_TRUE(line.empty());
}

TEST(EnvValue, ParsesFieldsLikeTheRuntime) {
    const struct {
        const char* value;
        int16_t reserved1, reserved2, kind;
        const char* destination;
    } cases[] = {
        {"0/0/3/C:\\out\\a.xml", 0, 0, 3, "C:\\out\\a.xml"},
        {"1/2/3/a/b/c", 1, 2, 3, "a/b/c"},
        {" -5/+7/ 2x/d", -5, 7, 2, "d"},
        {"//x/", 0, 0, 0, ""},
        {"a/b/c/\\\\server\\share\\o.xml", 0, 0, 0, "\\\\server\\share\\o.xml"},
        {"32768/-32769/65539/x", -32768, 32767, 3, "x"},
        {"99999999999/-99999999999/1/x", -1, 0, 1, "x"},  // saturate at 32 bits, keep 16
        {"0/0/2/C:\\表\\a.xml\r", 0, 0, 2, "C:\\表\\a.xml\r"},
    };
    for (const auto& c : cases) {
        StEnvValues values;
        ASSERT_TRUE(ParseEnvValue(c.value, std::strlen(c.value), &values)) << c.value;
        EXPECT_EQ(values.reserved1, c.reserved1) << c.value;
        EXPECT_EQ(values.reserved2, c.reserved2) << c.value;
        EXPECT_EQ(values.businessKind, c.kind) << c.value;
        EXPECT_STREQ(values.destination, c.destination) << c.value;
    }
}

TEST(EnvValue, IgnoresMalformedValues) {
    const std::vector<std::string> bad = {
        "",
        "0",
        "0/0",
        "0/0/3",
        "0/0\0/3/x",                       // fewer than three "/"
        "0/0/1/" + std::string(261, 'p'),  // destination beyond a path buffer
        "0/0/1/" + std::string(506, 'p'),  // value of 512 bytes
    };
    for (const std::string& value : bad) {
        StEnvValues values;
        values.businessKind = 9;
        values.destination[0] = 'x';
        EXPECT_FALSE(ParseEnvValue(value.data(), value.size(), &values)) << value;
        EXPECT_EQ(values.businessKind, 0);
        EXPECT_STREQ(values.destination, "");
    }
}

TEST(EnvValue, BoundsAreInclusive) {
    StEnvValues values;
    const std::string path260 = "0/0/1/" + std::string(260, 'p');
    ASSERT_TRUE(ParseEnvValue(path260.data(), path260.size(), &values));
    EXPECT_EQ(std::strlen(values.destination), 260u);
    const std::string value511 = std::string(246, '0') + "/0/1/" + std::string(260, 'p');
    ASSERT_EQ(value511.size(), 511u);
    EXPECT_TRUE(ParseEnvValue(value511.data(), value511.size(), &values));
    const std::string value512 = "0" + value511;
    EXPECT_FALSE(ParseEnvValue(value512.data(), value512.size(), &values));
}

TEST(EnvValue, NulEndsTheValue) {
    const char value[] = "0/0/2/C:\\a.xml\0tail";
    StEnvValues values;
    ASSERT_TRUE(ParseEnvValue(value, sizeof value - 1, &values));
    EXPECT_STREQ(values.destination, "C:\\a.xml");
}

// Files ----------------------------------------------------------------------------------

class EnvFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        path_ = folder_.path() + "VelnorPro.env";
    }

    std::string Line(const char* user, int32_t n1, int32_t n2, int16_t kind, const char* dest) {
        std::string key, line;
        EXPECT_TRUE(BuildEnvKey(user, n1, n2, &key));
        EXPECT_TRUE(FormatEnvLine(key, 0, 0, kind, dest, &line));
        return line;
    }
    bool Write(const char* user, int32_t n1, int32_t n2, int16_t kind, const char* dest) {
        std::string key;
        EXPECT_TRUE(BuildEnvKey(user, n1, n2, &key));
        return WriteEnvEntry(path_, key, Line(user, n1, n2, kind, dest));
    }
    bool Read(const char* user, int32_t n1, int32_t n2, StEnvValues* values) {
        std::string key;
        EXPECT_TRUE(BuildEnvKey(user, n1, n2, &key));
        return ReadEnvEntry(path_, key, values);
    }

    velnor_test::FileFaultsGuard faults_;
    velnor_test::ScratchFolder folder_;
    std::string path_;
};

TEST_F(EnvFileTest, AnEntryIsTheFirstLineThatBeginsWithTheKey) {
    const struct {
        const char* content;
        const char* destination;  // null: no entry for "user/1/2:"
    } cases[] = {
        {"user/1/2:0/0/1/a\n", "a"},
        {"poweruser/1/2:0/0/1/a\n", nullptr},
        {"poweruser/1/2:0/0/1/a\nuser/1/2:0/0/2/b\n", "b"},
        {"x/1/1:0/0/1/a\nuser/1/2:0/0/2/b", "b"},
        {"user/1/2:", nullptr},
        {"user/1/2", nullptr},
        {"user/1/2\n:0/0/1/a\n", nullptr},
        {"a/1/1:0/0/1/user/1/2:x\n", nullptr},
        {"user/1/22:0/0/1/a\nuser/1/2:0/0/3/b\n", "b"},
        {"", nullptr},
        {"\n\nuser/1/2:0/0/1/v\nuser/1/2:0/0/1/w\n", "v"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(velnor_test::WriteFile(path_, c.content));
        StEnvValues values;
        EXPECT_EQ(ReadEnvEntry(path_, "user/1/2:", &values), c.destination != nullptr) << c.content;
        EXPECT_STREQ(values.destination, c.destination ? c.destination : "") << c.content;
    }
}

TEST_F(EnvFileTest, AnUpdatedEntryMovesToTheEndAndEveryOtherLineStays) {
    const struct {
        const char* content;
        const char* expected;
    } cases[] = {
        {"", "k/1/1:NEW\n"},
        {"a/1/1:0/0/1/x\n", "a/1/1:0/0/1/x\nk/1/1:NEW\n"},
        {"a/1/1:0/0/1/x", "a/1/1:0/0/1/x\nk/1/1:NEW\n"},
        {"k/1/1:0/0/1/old\n", "k/1/1:NEW\n"},
        {"a\nk/1/1:old\nb\nc\n", "a\nb\nc\nk/1/1:NEW\n"},
        {"a\nb\nk/1/1:old", "a\nb\nk/1/1:NEW\n"},
        {"k/1/1:old\nb", "b\nk/1/1:NEW\n"},
        {"k/1/1:old\nk/1/1:second\n", "k/1/1:second\nk/1/1:NEW\n"},
        {"pk/1/1:0/0/1/x\n", "pk/1/1:0/0/1/x\nk/1/1:NEW\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(velnor_test::WriteFile(path_, c.content));
        EXPECT_TRUE(WriteEnvEntry(path_, "k/1/1:", "k/1/1:NEW\n")) << c.content;
        EXPECT_EQ(velnor_test::ReadFile(path_), c.expected) << c.content;
    }
}

TEST_F(EnvFileTest, FirstWriteHoldsExactlyOneLine) {
    StEnvValues values;
    EXPECT_FALSE(Read("admin", 1, 12, &values));
    ASSERT_TRUE(Write("admin", 1, 12, 3, "C:\\out\\a.xml"));
    EXPECT_EQ(velnor_test::ReadFile(path_), "admin/1/12:0/0/3/C:\\out\\a.xml\n");
    ASSERT_TRUE(Read("admin", 1, 12, &values));
    EXPECT_EQ(values.businessKind, 3);
    EXPECT_STREQ(values.destination, "C:\\out\\a.xml");
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"VelnorPro.env"});
}

TEST_F(EnvFileTest, AppendsRebuildsAndKeepsOrder) {
    ASSERT_TRUE(Write("admin", 1, 12, 3, "C:\\a.xml"));
    ASSERT_TRUE(Write("admin", 1, 13, 1, "C:\\b.xml"));  // other data of one user
    ASSERT_TRUE(Write("guest", 1, 12, 2, "C:\\c.xml"));  // other user
    ASSERT_TRUE(Write("admin", 1, 12, 2, "D:\\new.xml"));
    EXPECT_EQ(velnor_test::ReadFile(path_),
              "admin/1/13:0/0/1/C:\\b.xml\n"
              "guest/1/12:0/0/2/C:\\c.xml\n"
              "admin/1/12:0/0/2/D:\\new.xml\n");
    StEnvValues values;
    ASSERT_TRUE(Read("admin", 1, 13, &values));
    EXPECT_STREQ(values.destination, "C:\\b.xml");
    ASSERT_TRUE(Read("guest", 1, 12, &values));
    EXPECT_EQ(values.businessKind, 2);
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"VelnorPro.env"});
}

TEST_F(EnvFileTest, UserIdEndingAnotherIdFindsOnlyItsOwnLine) {
    ASSERT_TRUE(Write("poweruser", 1, 5, 2, "C:\\power.xml"));
    StEnvValues values;
    EXPECT_FALSE(Read("user", 1, 5, &values));
    ASSERT_TRUE(Write("user", 1, 5, 1, "C:\\user.xml"));
    ASSERT_TRUE(Write("user", 1, 5, 3, "C:\\user2.xml"));
    EXPECT_EQ(velnor_test::ReadFile(path_),
              "poweruser/1/5:0/0/2/C:\\power.xml\n"
              "user/1/5:0/0/3/C:\\user2.xml\n");
    ASSERT_TRUE(Read("poweruser", 1, 5, &values));
    EXPECT_STREQ(values.destination, "C:\\power.xml");
}

TEST_F(EnvFileTest, MalformedEntryIsIgnoredAndReplacedOthersKept) {
    const std::string longLine = "other/1/1:0/0/1/" + std::string(700, 'x') + "\n";
    const std::vector<std::string> badEntries = {
        "admin/1/12:0/0\n",
        "admin/1/12:0/0/3/" + std::string(300, 'p') + "\n",
        "admin/1/12:" + std::string(600, '/') + "\n",
        "admin/1/12:0/0/3/" + std::string(30000, 'p') + "\n",
    };
    for (const std::string& bad : badEntries) {
        const std::string before = "first/1/1:0/0/1/a\n" + bad + longLine + "last/1/1:0/0/2/b";
        ASSERT_TRUE(velnor_test::WriteFile(path_, before));
        StEnvValues values;
        EXPECT_FALSE(Read("admin", 1, 12, &values));
        EXPECT_EQ(values.businessKind, 0);
        ASSERT_TRUE(Write("admin", 1, 12, 1, "C:\\ok.xml"));
        EXPECT_EQ(
            velnor_test::ReadFile(path_),
            "first/1/1:0/0/1/a\n" + longLine + "last/1/1:0/0/2/b\nadmin/1/12:0/0/1/C:\\ok.xml\n");
        ASSERT_TRUE(Read("admin", 1, 12, &values));
        EXPECT_EQ(values.businessKind, 1);
    }
}

TEST_F(EnvFileTest, FileBeyondTheLimitIsNeitherReadNorRewritten) {
    std::string content = "admin/1/12:0/0/3/C:\\a.xml\n";
    content += std::string(kEnvFileMaxSize - content.size(), '\n');
    ASSERT_EQ(content.size(), kEnvFileMaxSize);
    ASSERT_TRUE(velnor_test::WriteFile(path_, content));
    StEnvValues values;
    ASSERT_TRUE(Read("admin", 1, 12, &values));  // exactly at the limit: read
    EXPECT_EQ(values.businessKind, 3);

    content.push_back('\n');
    ASSERT_TRUE(velnor_test::WriteFile(path_, content));
    EXPECT_FALSE(Read("admin", 1, 12, &values));
    EXPECT_EQ(values.businessKind, 0);
    EXPECT_FALSE(Write("admin", 1, 12, 1, "C:\\b.xml"));
    EXPECT_EQ(velnor_test::ReadFile(path_), content);
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"VelnorPro.env"});
}

TEST_F(EnvFileTest, UpdateThatWouldPassTheLimitIsAbandoned) {
    const std::string filler = "f/1/1:0/0/1/" + std::string(kEnvFileMaxSize - 40, 'x') + "\n";
    ASSERT_TRUE(velnor_test::WriteFile(path_, filler));
    EXPECT_FALSE(Write("admin", 1, 12, 1, "C:\\a_rather_long_name.xml"));
    EXPECT_EQ(velnor_test::ReadFile(path_), filler);
    EXPECT_TRUE(Write("a", 1, 1, 1, "C:\\b"));  // 17 bytes still fit
    EXPECT_EQ(velnor_test::ReadFile(path_), filler + "a/1/1:0/0/1/C:\\b\n");
}

// Each step of the update, the flush that brings the new file to stable storage included,
// is reported when it fails and leaves the old file byte for byte, with no temporary file.
TEST_F(EnvFileTest, FailureAtAnyStepLeavesTheOldFile) {
    const std::string old = "a/1/1:0/0/1/x\nadmin/1/12:0/0/3/C:\\old.xml\nz/1/1:0/0/2/y\n";
    const struct {
        FileOp op;
        int n;
    } faults[] = {
        {FileOp::kRead, 1},  {FileOp::kOpen, 1},  {FileOp::kTempFile, 1}, {FileOp::kWrite, 1},
        {FileOp::kFlush, 1}, {FileOp::kClose, 2}, {FileOp::kRename, 1},
    };
    for (const auto& f : faults) {
        ASSERT_TRUE(velnor_test::WriteFile(path_, old));
        ResetFileFaults();
        PlanFileFault(f.op, f.n);
        EXPECT_FALSE(Write("admin", 1, 12, 1, "C:\\new.xml")) << static_cast<int>(f.op);
        ResetFileFaults();
        EXPECT_EQ(velnor_test::ReadFile(path_), old) << static_cast<int>(f.op);
        EXPECT_EQ(folder_.List(), std::vector<std::string>{"VelnorPro.env"})
            << static_cast<int>(f.op);
    }
    // The first write of a file that did not exist: a failure leaves no file at all.
    ASSERT_TRUE(RemoveFilePath(path_.c_str()));
    PlanFileFault(FileOp::kWrite, 1);
    EXPECT_FALSE(Write("admin", 1, 12, 1, "C:\\new.xml"));
    EXPECT_TRUE(folder_.List().empty());
}

#ifndef _WIN32
// Through a symbolic link the linked file is rewritten, keeping its mode, and the link
// stays; a link that leads nowhere is refused.
TEST_F(EnvFileTest, ALinkedFileIsRewrittenAndADanglingLinkRefused) {
    const std::string target = folder_.path() + "real.env";
    ASSERT_EQ(symlink(target.c_str(), path_.c_str()), 0);
    EXPECT_FALSE(Write("admin", 1, 12, 1, "C:\\a.xml"));
    EXPECT_EQ(LastFileError(), kFileErrorDanglingLink);
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"VelnorPro.env"});
    ASSERT_TRUE(velnor_test::WriteFile(target, "z/1/1:0/0/2/y\n"));
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    EXPECT_TRUE(Write("admin", 1, 12, 1, "C:\\a.xml"));
    EXPECT_EQ(velnor_test::ReadFile(target), "z/1/1:0/0/2/y\nadmin/1/12:0/0/1/C:\\a.xml\n");
    struct stat st;
    ASSERT_EQ(lstat(path_.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(folder_.List(), (std::vector<std::string>{"VelnorPro.env", "real.env"}));
}
#endif

TEST_F(EnvFileTest, UnreadableFileGivesNothing) {
    ASSERT_TRUE(velnor_test::WriteFile(path_, "admin/1/12:0/0/3/C:\\a.xml\n"));
    PlanFileFault(FileOp::kRead, 1);
    StEnvValues values;
    EXPECT_FALSE(Read("admin", 1, 12, &values));
    EXPECT_STREQ(values.destination, "");
    // A folder where the file should be cannot be read or replaced.
    ResetFileFaults();
    const std::string dirPath = folder_.path() + "dir.env";
    ASSERT_TRUE(MakeDirectory(dirPath.c_str()));
    std::string key;
    ASSERT_TRUE(BuildEnvKey("admin", 1, 12, &key));
    EXPECT_FALSE(ReadEnvEntry(dirPath, key, &values));
    EXPECT_FALSE(WriteEnvEntry(dirPath, key, "admin/1/12:0/0/1/x\n"));
    EXPECT_TRUE(IsDirectoryPath(dirPath.c_str()));
}

// The host's side ------------------------------------------------------------------------

using velnor_test::JsonText;

std::string HostData(const std::string& user, int first, int second, const std::string& folder1) {
    return "{\"user\": {\"id\": " + JsonText(user) + ", \"selected\": [" + std::to_string(first) +
           ", " + std::to_string(second) + "]}, " +
           "\"appFolders\": {\"0\": \"\", \"1\": " + JsonText(folder1) + "}, " +
           "\"dataSets\": [{\"id\": \"D1\", \"number\": " + std::to_string(second) +
           ", \"periodStart\": 20240101, \"periodEnd\": 20241231}]}";
}

#ifndef _WIN32
// Natively the platform's folder system knows no folder; the host's folder exists here.
class ExistingFolders final : public FolderSystem {
  public:
    bool IsDirectory(const char* path) override { return IsDirectoryPath(path); }
    bool CreateFolder(const char*) override { return false; }
    bool RemoveFolder(const char*) override { return false; }
    const char* SkipRoot(const char*) override { return nullptr; }
    bool StripToRoot(char*) override { return false; }
};
#endif

class HostEnvTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetFileFaults();
        ASSERT_FALSE(folder_.path().empty());
#ifndef _WIN32
        previous_ = SetFolderSystem(&folders_);
#endif
    }
    void TearDown() override {
#ifndef _WIN32
        SetFolderSystem(previous_);
#endif
        hoststandin::Reset();
    }
    void Host(const std::string& user, int first, int second, const std::string& folder1) {
        ASSERT_EQ(hoststandin::LoadFromString(HostData(user, first, second, folder1)), "");
    }

    velnor_test::ScratchFolder folder_;
#ifndef _WIN32
    ExistingFolders folders_;
    FolderSystem* previous_ = nullptr;
#endif
};

TEST_F(HostEnvTest, EachUserAndDataSeesItsOwnEntry) {
    const char* name = kEditionPro.envFileName;
    const struct {
        const char* user;
        int data;  // the second selection number; the first is 1
        int16_t kind;
        const char* destination;
    } runs[] = {
        {"admin", 12, 3, "C:\\a.xml"},
        {"admin", 13, 2, "C:\\b.xml"},
        {"poweruser", 12, 1, "C:\\p.xml"},
        {"user", 12, 2, "C:\\u.xml"},
    };
    for (const auto& r : runs) {
        Host(r.user, 1, r.data, folder_.path());
        StEnvValues values;
        EXPECT_FALSE(ReadCurrentEnvEntry(name, &values)) << r.user;
        ASSERT_TRUE(WriteCurrentEnvEntry(name, r.kind, r.destination, 0, 0)) << r.user;
    }
    for (const auto& r : runs) {
        Host(r.user, 1, r.data, folder_.path());
        StEnvValues values;
        ASSERT_TRUE(ReadCurrentEnvEntry(name, &values)) << r.user;
        EXPECT_EQ(values.businessKind, r.kind) << r.user;
        EXPECT_STREQ(values.destination, r.destination) << r.user;
    }
    EXPECT_EQ(velnor_test::ReadFile(folder_.path() + "VelnorPro.env"),
              "admin/1/12:0/0/3/C:\\a.xml\n"
              "admin/1/13:0/0/2/C:\\b.xml\n"
              "poweruser/1/12:0/0/1/C:\\p.xml\n"
              "user/1/12:0/0/2/C:\\u.xml\n");
    // The other edition keeps a file of its own.
    StEnvValues values;
    EXPECT_FALSE(ReadCurrentEnvEntry(kEditionStd.envFileName, &values));
}

// A run that keeps the remembered destination must not empty it because the file could
// not be read when the dialog opened.
TEST_F(HostEnvTest, DestinationThatCouldNotBeReadIsKept) {
    const char* name = kEditionPro.envFileName;
    const std::string file = folder_.path() + "VelnorPro.env";
    Host("admin", 1, 12, folder_.path());
    ASSERT_TRUE(WriteCurrentEnvEntry(name, 1, "C:\\kept.xml", 0, 0));
    StEnvValues values;
    bool unreadable = false;
    PlanFileFault(FileOp::kRead, 1);
    EXPECT_FALSE(ReadCurrentEnvEntry(name, &values, &unreadable));
    EXPECT_TRUE(unreadable);

    ASSERT_TRUE(WriteCurrentEnvEntry(name, 3, nullptr, 0, 0));
    EXPECT_EQ(velnor_test::ReadFile(file), "admin/1/12:0/0/3/C:\\kept.xml\n");
    PlanFileFault(FileOp::kRead, 1);  // still unreadable: nothing is written
    EXPECT_FALSE(WriteCurrentEnvEntry(name, 2, nullptr, 0, 0));
    EXPECT_EQ(velnor_test::ReadFile(file), "admin/1/12:0/0/3/C:\\kept.xml\n");

    Host("other", 1, 12, folder_.path());  // no entry: an empty destination, as before
    EXPECT_FALSE(ReadCurrentEnvEntry(name, &values, &unreadable));
    EXPECT_FALSE(unreadable);
    ASSERT_TRUE(WriteCurrentEnvEntry(name, 2, nullptr, 0, 0));
    EXPECT_EQ(velnor_test::ReadFile(file), "admin/1/12:0/0/3/C:\\kept.xml\nother/1/12:0/0/2/\n");
}

TEST_F(HostEnvTest, NoHostFolderNoFile) {
    Host("admin", 1, 12, "");
    EXPECT_FALSE(WriteCurrentEnvEntry("VelnorPro.env", 1, "C:\\a.xml", 0, 0));
    StEnvValues values;
    EXPECT_FALSE(ReadCurrentEnvEntry("VelnorPro.env", &values));
    // A folder so long that the file's path would not fit a path buffer.
    Host("admin", 1, 12, folder_.path() + std::string(260 - folder_.path().size() - 12, 'f'));
    EXPECT_FALSE(WriteCurrentEnvEntry("VelnorPro.env", 1, "C:\\a.xml", 0, 0));
    EXPECT_TRUE(folder_.List().empty());
}

#ifdef _WIN32
TEST_F(HostEnvTest, MissingHostFolderIsCreatedWithAllLevels) {
    const std::string folder1 = folder_.path() + "one\\two\\three\\";
    Host("admin", 1, 12, folder1);
    ASSERT_TRUE(WriteCurrentEnvEntry("VelnorPro.env", 2, "C:\\a.xml", 0, 0));
    EXPECT_EQ(velnor_test::ReadFile(folder1 + "VelnorPro.env"), "admin/1/12:0/0/2/C:\\a.xml\n");

    // A level that cannot be created: nothing is written and no level stays.
    const std::string folder2 = folder_.path() + "x\\y\\z\\";
    Host("admin", 1, 12, folder2);
    PlanFileFault(FileOp::kMkdir, 3);
    EXPECT_FALSE(WriteCurrentEnvEntry("VelnorPro.env", 2, "C:\\a.xml", 0, 0));
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"one\\"});
}
#endif

}  // namespace
}  // namespace velnor
