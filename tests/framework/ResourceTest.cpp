// The resources compiled into the program, read back as Windows loads them: the progress
// window's template byte for byte, the version string, the icon and the version
// information of the edition this test is linked with.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "res/Resource.h"

#if defined(VELNOR_TEST_EDITION_STD)
#define EDITION_NAME L"VelnorStd"
#define EDITION_PRODUCT L"Velnor for Borlex２０"
#else
#define EDITION_NAME L"VelnorPro"
#define EDITION_PRODUCT L"Velnor for Borlex２０ PRO"
#endif

namespace {

// Reads a classic dialog template.
class TemplateReader {
  public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    WORD Word() {
        EXPECT_LE(pos_ + 2, size_);
        WORD value = 0;
        if (pos_ + 2 <= size_) std::memcpy(&value, data_ + pos_, 2);
        pos_ += 2;
        return value;
    }
    DWORD Dword() {
        DWORD low = Word();
        return low | (static_cast<DWORD>(Word()) << 16);
    }
    // A string, or "#n" for an ordinal, or "" for none.
    std::wstring StringOrOrdinal() {
        WORD first = Word();
        if (first == 0) return std::wstring();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text(1, static_cast<wchar_t>(first));
        for (WORD c = Word(); c != 0 && pos_ < size_; c = Word()) text.push_back(c);
        return text;
    }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0 && pos_ < size_; c = Word()) text.push_back(c);
        return text;
    }
    void AlignDword() { pos_ = (pos_ + 3) & ~static_cast<size_t>(3); }
    size_t pos() const { return pos_; }

  private:
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
};

std::vector<BYTE> LoadResourceBytes(const char* type, int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(loaded));
    return std::vector<BYTE>(bytes, bytes + SizeofResource(module, found));
}

struct ItemExpectation {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    const wchar_t* className;
    const wchar_t* text;
};

TEST(Resources, ProgressWindowTemplateIsExactlyAsDesigned) {
    std::vector<BYTE> bytes = LoadResourceBytes(MAKEINTRESOURCEA(5), IDD_PROGRESS);
    ASSERT_FALSE(bytes.empty());
    TemplateReader t(bytes.data(), bytes.size());
    EXPECT_EQ(0x80C000C0u, t.Dword());  // WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT
    EXPECT_EQ(0u, t.Dword());
    ASSERT_EQ(2, t.Word());
    EXPECT_EQ(0, static_cast<short>(t.Word()));
    EXPECT_EQ(0, static_cast<short>(t.Word()));
    EXPECT_EQ(221, static_cast<short>(t.Word()));
    EXPECT_EQ(45, static_cast<short>(t.Word()));
    EXPECT_EQ(L"", t.StringOrOrdinal());  // no menu
    EXPECT_EQ(L"", t.StringOrOrdinal());  // the dialog class
    EXPECT_EQ(L"集計中", t.String());
    EXPECT_EQ(9, t.Word());
    EXPECT_EQ(L"ＭＳ Ｐゴシック", t.String());

    const ItemExpectation items[] = {
        {0x50800001, 5, 5, 211, 22, 1018, L"msctls_progress32", L"Progress1"},
        {0x50800000, 5, 29, 211, 10, 1019, L"msctls_progress32", L"Progress2"},
    };
    for (const ItemExpectation& item : items) {
        t.AlignDword();
        EXPECT_EQ(item.style, t.Dword()) << item.id;
        EXPECT_EQ(0u, t.Dword());
        EXPECT_EQ(item.x, static_cast<short>(t.Word()));
        EXPECT_EQ(item.y, static_cast<short>(t.Word()));
        EXPECT_EQ(item.cx, static_cast<short>(t.Word()));
        EXPECT_EQ(item.cy, static_cast<short>(t.Word()));
        EXPECT_EQ(item.id, t.Word());
        EXPECT_EQ(item.className, t.StringOrOrdinal());
        EXPECT_EQ(item.text, t.StringOrOrdinal());
        EXPECT_EQ(0, t.Word());  // no creation data
    }
    EXPECT_EQ(bytes.size(), t.pos());
}

TEST(Resources, VersionStringIsOneResourceString) {
    wchar_t wide[32] = {};
    EXPECT_EQ(8, LoadStringW(GetModuleHandleA(nullptr), IDS_VERSION, wide, 32));
    EXPECT_STREQ(L"20.00.00", wide);
    char narrow[32] = {};
    EXPECT_EQ(8, LoadStringA(GetModuleHandleA(nullptr), IDS_VERSION, narrow, 32));
    EXPECT_STREQ("20.00.00", narrow);
}

TEST(Resources, ResourcesAreJapanese) {
    HMODULE module = GetModuleHandleA(nullptr);
    const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    EXPECT_NE(nullptr, FindResourceExA(module, MAKEINTRESOURCEA(5), MAKEINTRESOURCEA(IDD_PROGRESS),
                                       japanese));
    EXPECT_NE(nullptr, FindResourceExA(module, MAKEINTRESOURCEA(14),
                                       MAKEINTRESOURCEA(IDR_MAINFRAME), japanese));
}

TEST(Resources, TheIconHasBothSizes) {
    std::vector<BYTE> group = LoadResourceBytes(MAKEINTRESOURCEA(14), IDR_MAINFRAME);
    ASSERT_GE(group.size(), 6u);
    EXPECT_EQ(2, group[4] | (group[5] << 8));
    HICON icon = static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(nullptr, icon);
    if (icon != nullptr) DestroyIcon(icon);
}

std::wstring VersionValue(const std::vector<BYTE>& info, const wchar_t* name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || length == 0) return L"";
    return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(Resources, VersionInformationNamesTheEdition) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
    EXPECT_EQ(EDITION_PRODUCT, VersionValue(info, L"ProductName"));
    EXPECT_EQ(EDITION_NAME, VersionValue(info, L"InternalName"));
    EXPECT_EQ(std::wstring(EDITION_NAME) + L".exe", VersionValue(info, L"OriginalFilename"));
    EXPECT_EQ(L"20.00.00", VersionValue(info, L"FileVersion"));
    EXPECT_NE(std::wstring::npos, VersionValue(info, L"FileDescription").find(L"所得税(減価償却)"));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00140000u, fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
}

}  // namespace
