// The two program files as shipped, read back the way Windows reads them: the embedded
// application manifest through an activation context made from it, the version
// information and string 1 against the one version source.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which it needs.
#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ActivationContext.h"
#include "res/Resource.h"
#include "res/Version.h"

namespace {

const wchar_t* const kEditions[] = {L"VelnorPro", L"VelnorStd"};

std::wstring ProgramPath(const wchar_t* edition) {
    std::string dir = VELNOR_BIN_DIR;
    std::replace(dir.begin(), dir.end(), '/', '\\');
    return std::wstring(dir.begin(), dir.end()) + L"\\" + edition + L".exe";
}

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

// The program's resources, not the program: it is mapped as a data file and never runs.
class ProgramResources {
  public:
    explicit ProgramResources(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ProgramResources() {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    ProgramResources(const ProgramResources&) = delete;
    ProgramResources& operator=(const ProgramResources&) = delete;
    HMODULE module() const { return module_; }
    std::string Bytes(const wchar_t* type, int id) const {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), type);
        if (found == nullptr) return std::string();
        const char* data = static_cast<const char*>(LockResource(LoadResource(module_, found)));
        return std::string(data, SizeofResource(module_, found));
    }

  private:
    HMODULE module_;
};

struct SystemElement {
    GUID id;
    DWORD type;
};

// The compatibility entries of a context. Current systems give each entry the highest
// version tested too (32 bytes, aligned to 8); older ones 20 bytes right after the count.
std::vector<SystemElement> SystemElements(const std::vector<BYTE>& info) {
    struct WithVersion {
        GUID id;
        DWORD type;
        ULONGLONG maxVersionTested;
    };
    std::vector<SystemElement> elements;
    if (info.size() < sizeof(DWORD)) return elements;
    DWORD count = 0;
    std::memcpy(&count, info.data(), sizeof count);
    const bool withVersion = info.size() >= 8 + count * sizeof(WithVersion);
    const size_t first = withVersion ? 8 : sizeof(DWORD);
    const size_t stride = withVersion ? sizeof(WithVersion) : sizeof(COMPATIBILITY_CONTEXT_ELEMENT);
    for (DWORD i = 0; i < count && first + (i + 1) * stride <= info.size(); ++i) {
        SystemElement element;
        std::memcpy(&element.id, info.data() + first + i * stride, sizeof element.id);
        std::memcpy(&element.type, info.data() + first + i * stride + sizeof(GUID),
                    sizeof element.type);
        elements.push_back(element);
    }
    return elements;
}

TEST(ProgramFiles, ManifestAsWindowsReadsIt) {
    std::ifstream source(VELNOR_SOURCE_DIR "/res/Velnor.manifest", std::ios::binary);
    const std::string manifest((std::istreambuf_iterator<char>(source)),
                               std::istreambuf_iterator<char>());
    ASSERT_FALSE(manifest.empty());
    // Windows 7, 8, 8.1, and 10 with 11.
    const std::vector<std::wstring> kSupported = {
        L"{35138B9A-5D96-4FBD-8E2D-A2440225F93A}", L"{4A2F28E3-53B9-4441-BA9C-D69D4A4A6E38}",
        L"{1F676C76-80E1-4239-95BB-83D0F6D0DA78}", L"{8E0F7A12-BFB3-4FE8-B9A5-48FD50A15A9A}"};

    for (const wchar_t* edition : kEditions) {
        SCOPED_TRACE(testing::Message() << edition);
        const std::wstring path = ProgramPath(edition);
        {
            ProgramResources resources(path);
            ASSERT_NE(nullptr, resources.module());
            EXPECT_EQ(manifest, resources.Bytes(MAKEINTRESOURCEW(24), 1));
        }
        ActivationContext context(path);
        ASSERT_TRUE(context.valid()) << GetLastError();

        std::vector<BYTE> info;
        ASSERT_TRUE(context.Query(RunlevelInformationInActivationContext, &info));
        const auto* runLevel =
            reinterpret_cast<const ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION*>(info.data());
        EXPECT_EQ(ACTCTX_RUN_LEVEL_AS_INVOKER, runLevel->RunLevel);
        EXPECT_EQ(0u, runLevel->UiAccess);

        ASSERT_TRUE(context.Query(CompatibilityInformationInActivationContext, &info));
        std::vector<std::wstring> systems;
        for (const SystemElement& element : SystemElements(info)) {
            wchar_t text[40] = {};
            if (element.type != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
            if (StringFromGUID2(element.id, text, 40) > 0) systems.push_back(text);
        }
        EXPECT_EQ(kSupported, systems);

        EXPECT_EQ(L"true", context.Setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings",
                                           L"dpiAware"));
        EXPECT_EQ(L"system",
                  context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings",
                                  L"dpiAwareness"));

        const std::vector<ActivationContext::Assembly> dependencies = context.Dependencies();
        ASSERT_EQ(1u, dependencies.size());
        const std::wstring& identity = dependencies[0].identity;
        EXPECT_NE(std::wstring::npos, identity.find(L"Microsoft.Windows.Common-Controls"))
            << identity;
        EXPECT_NE(std::wstring::npos, identity.find(L"version=\"6.0.")) << identity;
        EXPECT_NE(std::wstring::npos, identity.find(L"publicKeyToken=\"6595b64144ccf1df\""))
            << identity;
    }
}

std::wstring VersionValue(const std::vector<BYTE>& info, const wchar_t* name) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), query.c_str(), &value, &length) || length == 0) return L"";
    return static_cast<const wchar_t*>(value);
}

TEST(ProgramFiles, VersionFromTheOneSource) {
    const std::wstring text = Widen(VELNOR_VERSION_TEXT);
    const DWORD high = MAKELONG(VELNOR_VERSION_MINOR, VELNOR_VERSION_MAJOR);
    const DWORD low = MAKELONG(VELNOR_VERSION_BUILD, VELNOR_VERSION_PATCH);
    for (const wchar_t* edition : kEditions) {
        SCOPED_TRACE(testing::Message() << edition);
        const std::wstring path = ProgramPath(edition);
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        std::vector<BYTE> info(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        EXPECT_EQ(high, fixed->dwFileVersionMS);
        EXPECT_EQ(low, fixed->dwFileVersionLS);
        EXPECT_EQ(high, fixed->dwProductVersionMS);
        EXPECT_EQ(low, fixed->dwProductVersionLS);
        EXPECT_EQ(text, VersionValue(info, L"FileVersion"));
        EXPECT_EQ(text, VersionValue(info, L"ProductVersion"));

        ProgramResources resources(path);
        wchar_t string1[32] = {};
        EXPECT_GT(LoadStringW(resources.module(), IDS_VERSION, string1, 32), 0);
        EXPECT_EQ(text, string1);
    }
}

}  // namespace
