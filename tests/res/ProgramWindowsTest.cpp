// The program's two dialog templates in a process that carries the program's manifest, on
// a display of the DPI named by VELNOR_TEST_DPI (96 when unset): the dialogs scale with
// their font, every control and its text fit inside the client area and no two controls
// overlap, apart from a group box and what it frames; the progress bars come from Common
// Controls 6.
#include <gtest/gtest.h>
#include <windows.h>
// After <windows.h>, which they need.
#include <commctrl.h>
#include <shlwapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ActivationContext.h"

namespace {

constexpr int kConditionsDialog = 130;
constexpr int kProgressWindow = 131;
constexpr int kFontPoints = 9;

int ExpectedDpi() {
    const char* value = std::getenv("VELNOR_TEST_DPI");
    return value != nullptr ? std::atoi(value) : 96;
}

INT_PTR CALLBACK KeepDefaults(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class Window {
  public:
    explicit Window(int templateId) {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        handle_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId),
                                     nullptr, KeepDefaults, 0);
    }
    ~Window() {
        if (handle_ != nullptr) DestroyWindow(handle_);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    HWND handle() const { return handle_; }

  private:
    HWND handle_ = nullptr;
};

struct Control {
    int id;
    RECT rect;  // in the dialog's client coordinates
    bool groupBox;
    bool radio;
    std::wstring text;  // as shown: without the access-key ampersand
};

std::vector<Control> Controls(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        Control c = {GetDlgCtrlID(child), {}, false, false, L""};
        GetWindowRect(child, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        wchar_t className[32] = {};
        GetClassNameW(child, className, 32);
        const LONG type = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (lstrcmpiW(className, L"Button") == 0) {
            c.groupBox = type == BS_GROUPBOX;
            c.radio = type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
        }
        if (lstrcmpiW(className, L"Edit") != 0 && lstrcmpiW(className, L"msctls_progress32") != 0) {
            wchar_t text[128] = {};
            GetWindowTextW(child, text, 128);
            for (const wchar_t* p = text; *p != L'\0'; ++p) {
                if (*p != L'&') c.text.push_back(*p);
            }
        }
        controls.push_back(c);
    }
    return controls;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

TEST(ProgramWindows, SystemAwareOnTheDisplayDpi) {
    EXPECT_TRUE(IsProcessDPIAware());
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(ExpectedDpi(), GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
}

TEST(ProgramWindows, ControlsFitAndKeepApart) {
    const int dpi = ExpectedDpi();
    for (int id : {kConditionsDialog, kProgressWindow}) {
        SCOPED_TRACE(testing::Message() << "template " << id);
        Window window(id);
        ASSERT_NE(nullptr, window.handle());
        const HWND dialog = window.handle();

        HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        LOGFONTW face = {};
        ASSERT_TRUE(GetObjectW(font, sizeof face, &face));
        EXPECT_EQ(-MulDiv(kFontPoints, dpi, 72), face.lfHeight);

        RECT client = {};
        GetClientRect(dialog, &client);
        const std::vector<Control> controls = Controls(dialog);
        ASSERT_FALSE(controls.empty());
        HDC dc = GetDC(dialog);
        HGDIOBJ previous = SelectObject(dc, font);
        // The check box glyph and its gap beside a radio button's text.
        const int glyph = GetSystemMetrics(SM_CXMENUCHECK) + MulDiv(4, dpi, 96);
        for (const Control& c : controls) {
            EXPECT_TRUE(Inside(c.rect, client)) << c.id;
            if (c.text.empty()) continue;
            SIZE extent = {};
            GetTextExtentPoint32W(dc, c.text.c_str(), static_cast<int>(c.text.size()), &extent);
            const int room = c.rect.right - c.rect.left - (c.radio ? glyph : 0);
            EXPECT_LE(extent.cx, room) << c.id;
            EXPECT_LE(extent.cy, c.rect.bottom - c.rect.top) << c.id;
        }
        SelectObject(dc, previous);
        ReleaseDC(dialog, dc);

        for (size_t i = 0; i < controls.size(); ++i) {
            for (size_t j = i + 1; j < controls.size(); ++j) {
                const Control& a = controls[i];
                const Control& b = controls[j];
                RECT common = {};
                if (!IntersectRect(&common, &a.rect, &b.rect)) continue;
                const bool framed = (a.groupBox && !b.groupBox && Inside(b.rect, a.rect)) ||
                                    (b.groupBox && !a.groupBox && Inside(a.rect, b.rect));
                EXPECT_TRUE(framed) << a.id << " overlaps " << b.id;
            }
        }
    }
}

TEST(ProgramWindows, ProgressBarsComeFromCommonControls6) {
    // The Common Controls assembly that this process's manifest brings in, version 6.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring assembly;
    for (const ActivationContext::Assembly& a : ActivationContext(self).Dependencies()) {
        if (a.identity.find(L"Microsoft.Windows.Common-Controls") == std::wstring::npos) continue;
        EXPECT_NE(std::wstring::npos, a.identity.find(L"version=\"6.")) << a.identity;
        assembly = a.directory;
    }
    ASSERT_FALSE(assembly.empty());
    Window window(kProgressWindow);
    ASSERT_NE(nullptr, window.handle());
    for (int id : {1018, 1019}) {
        HWND bar = GetDlgItem(window.handle(), id);
        ASSERT_NE(nullptr, bar);
        // The module that holds the class's window procedure.
        HMODULE module = nullptr;
        ASSERT_TRUE(GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(GetClassLongPtrW(bar, GCLP_WNDPROC)), &module));
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(module, path, MAX_PATH);
        EXPECT_NE(nullptr, StrStrIW(path, L"\\comctl32.dll")) << path;
        EXPECT_NE(nullptr, StrStrIW(path, (L"\\" + assembly + L"\\").c_str())) << path;
    }
}

}  // namespace
