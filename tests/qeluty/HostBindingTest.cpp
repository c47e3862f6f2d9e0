// The binding adapts to what the host's header leaves open. These fakes stand for headers
// that chose otherwise than ours: the compile checks below fail when an adaptation breaks,
// the tables when it gets a value wrong.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/QelHost.h"
#include "hostbinding/HostBinding.h"

namespace {

namespace host = velnor::host;

struct LongHeader {
    long Get(long* first, short* second, int* third);
    int Walk(StGENGOINFO* record, long cursor) const;
};
static_assert(std::is_same<host::OutParam<&LongHeader::Get, 0>, long>::value, "");
static_assert(std::is_same<host::OutParam<&LongHeader::Get, 1>, short>::value, "");
static_assert(std::is_same<host::OutParam<&LongHeader::Get, 2>, int>::value, "");
static_assert(host::Operation<decltype(&LongHeader::Walk)>::kArity == 2, "");

// The folder handed back in a buffer of ours (as our header has it).
struct BufferFolders {
    std::string path;
    int GetAppFolderPath(long, char* buffer) {
        std::memcpy(buffer, path.c_str(), path.size() < 261 ? path.size() + 1 : 261);
        return 0;
    }
};

// The folder returned as a string object of the header's own.
struct StringFolders {
    struct Text {
        const char* text;
        operator const char*() const { return text; }
    };
    const char* path;
    Text GetAppFolderPath(long) { return Text{path}; }
};

struct FolderCase {
    const char* what;
    std::string path;
    size_t outSize;
    bool kept;
};

TEST(HostBinding, AppFolderPathInEitherFormIsCopiedWholeOrNotAtAll) {
    const FolderCase cases[] = {
        {"a folder", "C:\\Borlex\\Data\\", 261, true},
        {"260 bytes, the most a 261-byte buffer holds", std::string(260, 'a'), 261, true},
        {"an empty path", "", 261, false},
        {"longer than the caller's buffer", "C:\\Borlex\\", 8, false},
    };
    for (const FolderCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string expected = c.kept ? c.path : "";
        char out[261];
        BufferFolders buffer{c.path};
        std::memset(out, 'x', sizeof out);
        host::GetAppFolderPath(buffer, 1, out, c.outSize);
        EXPECT_EQ(std::string(out), expected) << "buffer form";
        StringFolders string{c.path.c_str()};
        std::memset(out, 'x', sizeof out);
        host::GetAppFolderPath(string, 1, out, c.outSize);
        EXPECT_EQ(std::string(out), expected) << "string form";
    }
    // A path longer than any folder path, returned or filling the whole buffer without its
    // NUL, would be cut: it counts as none.
    const std::string tooLong(261, 'a');
    char out[400] = "x";
    BufferFolders full{tooLong};
    host::GetAppFolderPath(full, 1, out, sizeof out);
    EXPECT_STREQ(out, "");
    StringFolders string{tooLong.c_str()};
    std::strcpy(out, "x");
    host::GetAppFolderPath(string, 1, out, sizeof out);
    EXPECT_STREQ(out, "");
    StringFolders none{nullptr};
    host::GetAppFolderPath(none, 1, out, sizeof out);
    EXPECT_STREQ(out, "");
}

struct Other {
    virtual ~Other() = default;
    int padding = 0;
};
struct SetBase {
    virtual ~SetBase() = default;
};
// The set class with its base not at its start: only a cast from the base finds it.
struct Set : Other, SetBase {};

struct Singleton {
    static Singleton& Inst() {
        static Singleton one;
        return one;
    }
};

TEST(HostBinding, SetObjectsAndSingletonsAreReachedWithoutRtti) {
    Set set;
    SetBase* base = &set;
    void* address = &set;
    EXPECT_EQ(host::SetObjectAs<Set>(base), &set) << "from a base pointer";
    EXPECT_EQ(host::SetObjectAs<Set>(address), &set) << "from void*";
    EXPECT_EQ(host::SetObjectAs<Set>(static_cast<SetBase*>(nullptr)), nullptr);
    EXPECT_EQ(host::Instance<Singleton>(), &Singleton::Inst()) << "Inst() by reference";
    EXPECT_NE(host::Instance<ClDataMgr>(), nullptr) << "Inst() by pointer";
}

struct TextCase {
    const char* what;
    std::string text;
    std::string handed;
};

TEST(HostBinding, TextsGoOverInWritableBuffersCutAtACharacterBoundary) {
    const TextCase cases[] = {
        {"short", "ABC", "ABC"},
        {"exactly fits", "ABCDEFG", "ABCDEFG"},
        {"cut", "ABCDEFGHI", "ABCDEFG"},
        {"a double-byte character does not fit whole", "ABCDEF\x8A\xBF", "ABCDEF"},
        {"none", "", ""},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.what);
        host::WritableText<8> text(c.text.c_str());
        char* writable = text.get();
        EXPECT_EQ(std::string(writable), c.handed);
    }
    host::WritableText<8> none(nullptr);
    EXPECT_STREQ(none.get(), "");
}

TEST(HostBinding, RecordFieldsAreReadAtTheirOffsets) {
    // Our stand-in's header names the fields; the binding must find the same bytes.
    StDATAINFO data;
    std::memset(&data, 0, sizeof data);
    std::memcpy(data.szDataID, "DATA-0001-ABCDEF", 16);  // all 16 bytes, no NUL
    data.nDataNo = -7;
    std::memcpy(data.szCompanyName, "Company", 8);
    data.nPeriodStart = 20240101;
    data.nPeriodEnd = 20241231;
    data.nManufacturingCost = 3;
    data.nDataKind = 99;
    data.byBusinessKinds = 3;
    data.byRounding = 2;
    namespace f = host::data_info;
    char text[300];
    host::ReadText(data, f::kDataId, text, sizeof text);
    EXPECT_STREQ(text, "DATA-0001-ABCDEF");
    host::ReadText(data, f::kCompanyName, text, sizeof text);
    EXPECT_STREQ(text, "Company");
    EXPECT_EQ(host::Read(data, f::kDataNo), -7);
    EXPECT_EQ(host::Read(data, f::kPeriodStart), 20240101);
    EXPECT_EQ(host::Read(data, f::kPeriodEnd), 20241231);
    EXPECT_EQ(host::Read(data, f::kManufacturingCost), 3);
    EXPECT_EQ(host::Read(data, f::kDataKind), host::kDataKindPastResults);
    EXPECT_EQ(host::Read(data, f::kBusinessKinds), 3);
    EXPECT_EQ(host::Read(data, f::kRounding), 2);

    StGENGOINFO era;
    std::memset(&era, 0, sizeof era);
    era.nStart = 19890108;
    std::memcpy(era.szName, "Heisei", 7);
    EXPECT_EQ(host::Read(era, host::era_info::kStart), 19890108);
    host::ReadText(era, host::era_info::kName, text, sizeof text);
    EXPECT_STREQ(text, "Heisei");
}

}  // namespace
