// An activation context as Windows builds it from the application manifest embedded in a
// program file.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ActivationContext {
  public:
    // The context of manifest 1 in the program file at `path`.
    explicit ActivationContext(const std::wstring& path) {
        ACTCTXW request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1);
        handle_ = CreateActCtxW(&request);
    }
    ~ActivationContext() {
        if (valid()) ReleaseActCtx(handle_);
    }
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

    // An information class of the context (or of its assembly `assembly`) in `out`.
    bool Query(ULONG what, std::vector<BYTE>* out, DWORD assembly = 0) const {
        SIZE_T size = 0;
        void* index = assembly == 0 ? nullptr : &assembly;
        QueryActCtxW(0, handle_, index, what, nullptr, 0, &size);
        out->assign(size, 0);
        return size > 0 && QueryActCtxW(0, handle_, index, what, out->data(), size, &size);
    }

    std::wstring Setting(const wchar_t* ns, const wchar_t* name) const {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, handle_, ns, name, value, 64, &written)) return L"";
        return value;
    }

    struct Assembly {
        std::wstring identity;   // name="..." version="..." and the rest, as resolved
        std::wstring directory;  // its folder in the side-by-side store
    };
    // The assemblies the manifest depends on, as resolved; the program itself is not one.
    std::vector<Assembly> Dependencies() const {
        std::vector<Assembly> found;
        std::vector<BYTE> info;
        if (!Query(ActivationContextDetailedInformation, &info)) return found;
        const DWORD count =
            reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(info.data())
                ->ulAssemblyCount;
        for (DWORD i = 2; i <= count; ++i) {
            if (!Query(AssemblyDetailedInformationInActivationContext, &info, i)) continue;
            const auto* a =
                reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(
                    info.data());
            found.push_back(
                {a->lpAssemblyEncodedAssemblyIdentity ? a->lpAssemblyEncodedAssemblyIdentity : L"",
                 a->lpAssemblyDirectoryName ? a->lpAssemblyDirectoryName : L""});
        }
        return found;
    }

  private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};
