// The conditions dialog on a real window under Wine: opened with DoModal from template
// 130, driven with real messages and keyboard input from a timer in its own modal loop,
// with message boxes answered through the message-box seam.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/Edition.h"
#include "common/Faults.h"
#include "common/File.h"
#include "common/Ui.h"
#include "conditions/CondDlg.h"
#include "conditions/CondDlgIds.h"
#include "conditions/CondRules.h"
#include "host_standin/HostStandIn.h"
#include "support/Json.h"
#include "support/Messages.h"
#include "support/Scratch.h"
#include "support/Seams.h"

namespace velnor {
const Edition& CurrentEdition() { return kEditionPro; }
}  // namespace velnor

namespace {

// Driving the dialog ----------------------------------------------------------------------

using Step = std::function<void(ClCondDlg&)>;

struct Script {
    std::vector<Step> steps;
    size_t next = 0;
    ClCondDlg* dialog = nullptr;
    UINT_PTR timer = 0;
    bool ranOut = false;
};
Script* g_script = nullptr;
constexpr int kRanOut = 99;

// Timer messages come only when nothing else is queued, so every step sees the effects of
// the input and messages that the step before produced.
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (s == nullptr || s->dialog == nullptr) return;
    if (s->next >= s->steps.size()) {
        if (!s->ranOut) {
            s->ranOut = true;
            s->dialog->EndDialog(kRanOut);
        }
        return;
    }
    Step step = s->steps[s->next++];
    step(*s->dialog);
}

void OnModalStart(fw::CDialog& dialog) {
    g_script->dialog = static_cast<ClCondDlg*>(&dialog);
    ::SetForegroundWindow(dialog.m_hWnd);
    g_script->timer = ::SetTimer(nullptr, 0, 30, Tick);
}

INT_PTR RunDialog(ClCondDlg& dialog, std::vector<Step> steps) {
    Script script;
    script.steps = std::move(steps);
    g_script = &script;
    fw::CDialog::ModalStartHook previous = fw::CDialog::SetModalStartHook(OnModalStart);
    const INT_PTR result = dialog.DoModal();
    fw::CDialog::SetModalStartHook(previous);
    if (script.timer != 0) ::KillTimer(nullptr, script.timer);
    g_script = nullptr;
    EXPECT_EQ(script.next, script.steps.size()) << "steps left when the dialog closed";
    return result;
}

HWND Item(ClCondDlg& d, int id) { return ::GetDlgItem(d.m_hWnd, id); }

std::string Text(HWND window) {
    char buffer[1024] = {};
    ::GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

int FocusId() { return ::GetDlgCtrlID(::GetFocus()); }

void Focus(ClCondDlg& d, int id) {
    ::SendMessageA(d.m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(d, id)), TRUE);
}

void Click(ClCondDlg& d, int id) { ::SendMessageA(Item(d, id), BM_CLICK, 0, 0); }

void SetOutput(ClCondDlg& d, const std::string& text) {
    ::SetWindowTextA(Item(d, IDC_COND_OUTPUT), text.c_str());
}

// Real keyboard input: the key with modifiers held, through the system's input queue.
void Press(WORD key, std::vector<WORD> modifiers = {}) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    };
    for (WORD m : modifiers) add(m, false);
    add(key, false);
    add(key, true);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) add(*it, true);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

bool WholeTextSelected(HWND edit) {
    DWORD start = 0, end = 0;
    ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(::GetWindowTextLengthA(edit));
}

// Fixture ---------------------------------------------------------------------------------

class CondDlgTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder_.path().empty());
        envFolder_ = folder_.path() + "env\\";
        ASSERT_TRUE(::CreateDirectoryA(envFolder_.c_str(), nullptr));
        LoadHost("admin", "");
        std::memset(&data_, 0, sizeof data_);
        std::strcpy(data_.szCompanyName, "株式会社テスト商事");
        data_.nPeriodStart = 20240401;
        data_.nPeriodEnd = 20250331;
        data_.nManufacturingCost = 1;
        data_.byBusinessKinds = 3;
    }
    void TearDown() override { hoststandin::Reset(); }

    void LoadHost(const std::string& user, const std::string& folder0) {
        const std::string json =
            "{\"user\": {\"id\": " + velnor_test::JsonText(user) +
            ", \"selected\": [1, 12]}, \"appFolders\": {\"0\": " + velnor_test::JsonText(folder0) +
            ", \"1\": " + velnor_test::JsonText(envFolder_) +
            "}, \"dataSets\": [{\"id\": \"D12\", \"number\": 12, "
            "\"periodStart\": 20240401, \"periodEnd\": 20250331}]}";
        ASSERT_EQ(hoststandin::LoadFromString(json), "");
    }
    void Remember(const std::string& content) {
        ASSERT_TRUE(velnor_test::WriteFile(envFolder_ + "VelnorPro.env", content));
    }
    std::string EnvFile() { return velnor_test::ReadFile(envFolder_ + "VelnorPro.env"); }

    // Opens the dialog, runs `steps` and leaves it with Cancel when they did not end it.
    INT_PTR RunAndCancel(ClCondDlg& dialog, std::vector<Step> steps) {
        steps.push_back([](ClCondDlg& d) { Click(d, IDCANCEL); });
        return RunDialog(dialog, std::move(steps));
    }

    StDATAINFO data_;
    velnor_test::ScratchFolder folder_;
    std::string envFolder_;
    velnor_test::FileFaultsGuard faults_;
    velnor_test::MessageBoxRecorder boxes_;
};

using velnor_test::kCancelText;

// The template ------------------------------------------------------------------------------

// A reader of the DLGTEMPLATEEX resource as the resource compiler wrote it.
class TemplateReader {
  public:
    TemplateReader(const BYTE* p, size_t size) : p_(p), end_(p + size) {}
    template <typename T>
    T Get() {
        T value{};
        if (p_ + sizeof(T) <= end_) std::memcpy(&value, p_, sizeof(T));
        p_ += sizeof(T);
        return value;
    }
    // A text or an ordinal ("#n").
    std::string TextOrOrdinal() {
        if (p_ + 2 <= end_ && p_[0] == 0xFF && p_[1] == 0xFF) {
            p_ += 2;
            return "#" + std::to_string(Get<WORD>());
        }
        std::wstring wide;
        for (WCHAR c; (c = Get<WCHAR>()) != 0 && p_ <= end_;) wide.push_back(c);
        char text[512] = {};
        ::WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), text,
                              sizeof text - 1, nullptr, nullptr);
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((p_ - base) % 4 != 0) ++p_;
    }
    const BYTE* position() const { return p_; }

  private:
    const BYTE* p_;
    const BYTE* end_;
};

// The predefined classes by ordinal or by name, whichever the resource compiler wrote.
std::string ClassName(std::string kind) {
    if (kind == "#128") return "BUTTON";
    if (kind == "#129") return "EDIT";
    if (kind == "#130") return "STATIC";
    for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return kind;
}

TEST(CondTemplate, IsExactlyAsDesigned) {
    HRSRC found = ::FindResourceExA(nullptr, MAKEINTRESOURCEA(5) /* RT_DIALOG */,
                                    MAKEINTRESOURCEA(IDD_CONDITIONS),
                                    MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    ASSERT_NE(found, nullptr);
    const BYTE* base = static_cast<const BYTE*>(::LockResource(::LoadResource(nullptr, found)));
    TemplateReader r(base, ::SizeofResource(nullptr, found));
    EXPECT_EQ(r.Get<WORD>(), 1);
    EXPECT_EQ(r.Get<WORD>(), 0xFFFF);
    r.Get<DWORD>();
    EXPECT_EQ(r.Get<DWORD>(), static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(r.Get<DWORD>(), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                 DS_MODALFRAME | WS_VISIBLE | DS_SETFONT));
    const WORD count = r.Get<WORD>();
    EXPECT_EQ(r.Get<short>(), 0);
    EXPECT_EQ(r.Get<short>(), 0);
    EXPECT_EQ(r.Get<short>(), 263);
    EXPECT_EQ(r.Get<short>(), 207);
    EXPECT_EQ(r.TextOrOrdinal(), "");  // no menu
    EXPECT_EQ(r.TextOrOrdinal(), "");  // the dialog class
    EXPECT_EQ(r.TextOrOrdinal(), "所得税(減価償却) - 集計条件");
    EXPECT_EQ(r.Get<WORD>(), 9);
    r.Get<WORD>();
    r.Get<BYTE>();
    r.Get<BYTE>();
    EXPECT_EQ(r.TextOrOrdinal(), "ＭＳ Ｐゴシック");

    const DWORD kChild = WS_CHILD | WS_VISIBLE;
    const DWORD kStatic = kChild | SS_LEFT | SS_CENTERIMAGE | WS_GROUP;
    const std::string kButton = "BUTTON", kEdit = "EDIT", kStaticClass = "STATIC";
    const struct {
        int id;
        std::string kind;
        const char* text;
        short x, y, cx, cy;
        DWORD style;
    } controls[] = {
        {1000, kStaticClass, "事業所名", 7, 7, 37, 13, kStatic},
        {1001, kStaticClass, "：", 49, 7, 8, 13, kStatic},
        {1002, kStaticClass, "XXXXXXXXXXXXXXXX", 59, 7, 179, 13, kStatic},
        {1003, kStaticClass, "会計期間", 7, 23, 37, 13, kStatic},
        {1004, kStaticClass, "：", 49, 23, 8, 13, kStatic},
        {1005, kStaticClass, "YYYY/MM/DD ～ YYYY/MM/DD", 59, 23, 179, 13, kStatic},
        {1006, kStaticClass, "製造原価", 7, 39, 37, 13, kStatic},
        {1007, kStaticClass, "：", 49, 39, 8, 13, kStatic},
        {1008, kStaticClass, "あり", 59, 39, 179, 13, kStatic},
        {1009, kButton, "事業区分", 7, 62, 249, 68, kChild | BS_GROUPBOX},
        {1010, kButton, "一般用のみ出力(&1)", 12, 75, 135, 12,
         kChild | BS_AUTORADIOBUTTON | BS_VCENTER | WS_GROUP | WS_TABSTOP},
        {1011, kButton, "不動産用のみ出力(&2)", 12, 92, 135, 12,
         kChild | BS_AUTORADIOBUTTON | BS_VCENTER},
        {1012, kButton, "一般用／不動産用ともに出力(&3)", 12, 109, 135, 12,
         kChild | BS_AUTORADIOBUTTON | BS_VCENTER},
        {1013, kButton, "出力先(&F)", 7, 135, 249, 40, kChild | BS_GROUPBOX},
        {1014, kEdit, "", 12, 152, 182, 14,
         kChild | ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP},
        {1015, kButton, "参照(&D)...", 196, 152, 54, 15, kChild | BS_PUSHBUTTON | WS_TABSTOP},
        {IDOK, kButton, "実行(F12)", 143, 185, 54, 15, kChild | BS_PUSHBUTTON | WS_TABSTOP},
        {IDCANCEL, kButton, "キャンセル(Esc)", 202, 185, 54, 15,
         kChild | BS_PUSHBUTTON | WS_TABSTOP},
    };
    ASSERT_EQ(count, sizeof controls / sizeof controls[0]);
    for (const auto& c : controls) {
        r.AlignDword(base);
        r.Get<DWORD>();
        EXPECT_EQ(r.Get<DWORD>(), 0u) << c.id;
        EXPECT_EQ(r.Get<DWORD>(), c.style) << c.id;
        EXPECT_EQ(r.Get<short>(), c.x) << c.id;
        EXPECT_EQ(r.Get<short>(), c.y) << c.id;
        EXPECT_EQ(r.Get<short>(), c.cx) << c.id;
        EXPECT_EQ(r.Get<short>(), c.cy) << c.id;
        EXPECT_EQ(r.Get<DWORD>(), static_cast<DWORD>(c.id));
        EXPECT_EQ(ClassName(r.TextOrOrdinal()), c.kind) << c.id;
        EXPECT_EQ(r.TextOrOrdinal(), c.text) << c.id;
        EXPECT_EQ(r.Get<WORD>(), 0) << c.id;
    }
}

// Opening ---------------------------------------------------------------------------------

TEST_F(CondDlgTest, ShowsTheSelectedData) {
    LoadHost("admin", folder_.path());
    ClCondDlg dialog(nullptr, &data_, nullptr);
    const INT_PTR result = RunAndCancel(
        dialog, {[&](ClCondDlg& d) {
            EXPECT_EQ(Text(d.m_hWnd), "所得税(減価償却) - 集計条件");
            EXPECT_EQ(Text(Item(d, IDC_COND_COMPANY)), "株式会社テスト商事");
            EXPECT_EQ(Text(Item(d, IDC_COND_PERIOD)), "2024/04/01～2025/03/31");
            EXPECT_EQ(Text(Item(d, IDC_COND_COST)), "あり");
            EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT_GROUP)), "出力先(&F)");
            EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), folder_.path() + "*.xml");
            EXPECT_EQ(::SendMessageA(Item(d, IDC_COND_OUTPUT), EM_GETLIMITTEXT, 0, 0), 255);
            EXPECT_TRUE(::IsWindowEnabled(Item(d, IDC_COND_OUTPUT)));
            EXPECT_TRUE(::IsWindowEnabled(Item(d, IDC_COND_BROWSE)));
            EXPECT_NE(::GetWindowLongA(d.m_hWnd, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
        }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(boxes_.Texts(), std::vector<std::string>{kCancelText});
}

TEST_F(CondDlgTest, CompanyNameFillingItsFieldIsCut) {
    std::memset(data_.szCompanyName, 'N', sizeof data_.szCompanyName);  // no terminator
    data_.nManufacturingCost = 0;
    ClCondDlg dialog(nullptr, &data_, nullptr);
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                     EXPECT_EQ(Text(Item(d, IDC_COND_COMPANY)), std::string(255, 'N'));
                     EXPECT_EQ(Text(Item(d, IDC_COND_COST)), "なし");
                 }});
}

TEST_F(CondDlgTest, RadioButtonsByBusinessKindsAndRememberedCategory) {
    const struct {
        uint8_t kinds;
        int remembered;  // 0: nothing remembered
        bool enabled[3];
        int checked;
    } cases[] = {
        {1, 3, {true, false, false}, IDC_COND_GENERAL},
        {2, 0, {false, true, false}, IDC_COND_REALESTATE},
        {3, 2, {true, true, true}, IDC_COND_REALESTATE},
        {3, 0, {true, true, true}, IDC_COND_GENERAL},
        {3, 3, {true, true, true}, IDC_COND_BOTH},
    };
    for (const auto& c : cases) {
        data_.byBusinessKinds = c.kinds;
        Remember(c.remembered == 0
                     ? std::string()
                     : "admin/1/12:0/0/" + std::to_string(c.remembered) + "/C:\\r.xml\n");
        ClCondDlg dialog(nullptr, &data_, nullptr);
        RunAndCancel(dialog, {[&](ClCondDlg& d) {
                         const int ids[3] = {IDC_COND_GENERAL, IDC_COND_REALESTATE, IDC_COND_BOTH};
                         for (int i = 0; i < 3; ++i) {
                             EXPECT_EQ(::IsWindowEnabled(Item(d, ids[i])) != FALSE, c.enabled[i])
                                 << int(c.kinds) << " " << ids[i];
                             EXPECT_EQ(::IsDlgButtonChecked(d.m_hWnd, ids[i]) == BST_CHECKED,
                                       ids[i] == c.checked)
                                 << int(c.kinds) << "/" << c.remembered << " " << ids[i];
                         }
                     }});
    }
}

TEST_F(CondDlgTest, DestinationPrecedence) {
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string hostFolder = folder_.path() + "host\\";
    const struct {
        const char* fixed;
        const char* remembered;
        std::string folder0;
        std::string shown;
    } cases[] = {
        {"C:\\fixed\\f.xml", "C:\\env\\r.xml", hostFolder, "C:\\fixed\\f.xml"},
        {nullptr, "C:\\env\\r.xml", hostFolder, "C:\\env\\r.xml"},
        {nullptr, nullptr, hostFolder, hostFolder + "*.xml"},
        {nullptr, nullptr, "", std::string(temp) + "*.xml"},
    };
    for (const auto& c : cases) {
        LoadHost("admin", c.folder0);
        Remember(c.remembered ? std::string("admin/1/12:0/0/1/") + c.remembered + "\n" : "");
        ClCondDlg dialog(nullptr, &data_, c.fixed);
        RunAndCancel(dialog, {[&](ClCondDlg& d) {
                         EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), c.shown);
                         const bool fixed = c.fixed != nullptr;
                         EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT_GROUP)),
                                   fixed ? "出力先" : "出力先(&F)");
                         EXPECT_EQ(::IsWindowEnabled(Item(d, IDC_COND_OUTPUT)) == FALSE, fixed);
                         EXPECT_EQ(::IsWindowEnabled(Item(d, IDC_COND_BROWSE)) == FALSE, fixed);
                     }});
    }
}

TEST_F(CondDlgTest, PastResultsDataIsRefused) {
    data_.nDataKind = kDataKindPastResults;
    ClCondDlg dialog(nullptr, &data_, nullptr);
    fw::CDialog::ModalStartHook previous =
        fw::CDialog::SetModalStartHook([](fw::CDialog&) { ADD_FAILURE() << "the dialog ran"; });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    fw::CDialog::SetModalStartHook(previous);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].text, velnor_test::kPastResultsText);
    EXPECT_EQ(boxes_.shown[0].caption, "所得税(減価償却)");
    EXPECT_EQ(boxes_.shown[0].type, velnor::kMbOk | velnor::kMbIconWarning);
    EXPECT_FALSE(velnor_test::FileExists(envFolder_ + "VelnorPro.env"));
}

// Closing ---------------------------------------------------------------------------------

TEST_F(CondDlgTest, CancelByButtonEscAndCloseBox) {
    const std::vector<Step> ways = {
        [](ClCondDlg& d) { Click(d, IDCANCEL); },
        [](ClCondDlg&) { Press(VK_ESCAPE); },
        [](ClCondDlg& d) { ::PostMessageA(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const Step& way : ways) {
        boxes_.Clear();
        ClCondDlg dialog(nullptr, &data_, nullptr);
        EXPECT_EQ(RunDialog(dialog, {way}), IDCANCEL);
        ASSERT_EQ(boxes_.shown.size(), 1u);
        EXPECT_EQ(boxes_.shown[0].text, kCancelText);
        EXPECT_EQ(boxes_.shown[0].caption, "所得税(減価償却)");
        EXPECT_EQ(boxes_.shown[0].type, velnor::kMbOk | velnor::kMbIconInformation);
    }
}

// Validation ------------------------------------------------------------------------------

TEST_F(CondDlgTest, EachCheckKeepsTheDialogOpenOnTheDestination) {
    const std::string existingFolder = folder_.path() + "sub";
    ASSERT_TRUE(::CreateDirectoryA(existingFolder.c_str(), nullptr));
    const struct {
        std::string destination;
        const char* message;
    } cases[] = {
        {"", velnor_test::kNoDestinationText},
        {folder_.path() + "*.xml", velnor_test::kBadCharsText},
        {folder_.path() + "a:b.xml", velnor_test::kBadCharsText},
        {"Q:\\out.xml", velnor_test::kBadDriveText},  // no such drive under Wine
        {"D:\\out.xml", velnor_test::kBadDriveText},  // the prefix's CD-ROM drive
        {"\\\\server", velnor_test::kBadDriveText},
        {folder_.path(), velnor_test::kNoFileNameText},
        {existingFolder, velnor_test::kNoFileNameText},  // an existing folder is no file
    };
    for (const auto& c : cases) {
        boxes_.Clear();
        ClCondDlg dialog(nullptr, &data_, nullptr);
        RunAndCancel(dialog, {
                                 [&](ClCondDlg& d) {
                                     Focus(d, IDC_COND_REALESTATE);
                                     Click(d, IDC_COND_BOTH);
                                     SetOutput(d, c.destination);
                                     Click(d, IDOK);
                                 },
                                 [&](ClCondDlg& d) {
                                     ASSERT_EQ(boxes_.Texts(), std::vector<std::string>{c.message})
                                         << c.destination;
                                     EXPECT_EQ(boxes_.shown[0].type,
                                               velnor::kMbOk | velnor::kMbIconWarning);
                                     EXPECT_EQ(FocusId(), IDC_COND_OUTPUT) << c.destination;
                                     EXPECT_TRUE(WholeTextSelected(Item(d, IDC_COND_OUTPUT)));
                                     EXPECT_EQ(d.GetBusinessKind(), 3);
                                 },
                             });
    }
}

TEST_F(CondDlgTest, MissingFolderCreatedOnRequest) {
    const std::string out = folder_.path() + "a\\b\\c\\out.xml";
    ClCondDlg dialog(nullptr, &data_, nullptr);
    boxes_.Answer({velnor::kIdYes});
    EXPECT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                            SetOutput(d, out);
                            Click(d, IDOK);
                        }}),
              IDOK);
    ASSERT_EQ(boxes_.Texts(), std::vector<std::string>{velnor_test::kCreateFolderText});
    EXPECT_EQ(boxes_.shown[0].type, velnor::kMbYesNo | velnor::kMbIconQuestion);
    EXPECT_TRUE(velnor::IsDirectoryPath((folder_.path() + "a\\b\\c").c_str()));
    EXPECT_STREQ(dialog.GetOutputPath(), out.c_str());
    EXPECT_EQ(dialog.GetBusinessKind(), 1);
    EXPECT_FALSE(velnor::PathExists(out.c_str()));  // the export writes it, not the dialog
}

TEST_F(CondDlgTest, MissingFolderRefusedShowsNothingMore) {
    ClCondDlg dialog(nullptr, &data_, nullptr);
    boxes_.Answer({velnor::kIdNo});
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                              SetOutput(d, folder_.path() + "a\\out.xml");
                              Click(d, IDOK);
                          },
                          [&](ClCondDlg& d) {
                              EXPECT_EQ(boxes_.Texts(),
                                        std::vector<std::string>{velnor_test::kCreateFolderText});
                              EXPECT_EQ(FocusId(), IDC_COND_OUTPUT);
                              EXPECT_TRUE(WholeTextSelected(Item(d, IDC_COND_OUTPUT)));
                          }});
    EXPECT_EQ(folder_.List(), std::vector<std::string>{"env\\"});
}

TEST_F(CondDlgTest, FailedFolderCreationRollsBack) {
    ASSERT_TRUE(::CreateDirectoryA((folder_.path() + "kept").c_str(), nullptr));
    ClCondDlg dialog(nullptr, &data_, nullptr);
    boxes_.Answer({velnor::kIdYes});
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                              velnor::PlanFileFault(velnor::FileOp::kMkdir, 3);
                              SetOutput(d, folder_.path() + "kept\\a\\b\\c\\out.xml");
                              Click(d, IDOK);
                          },
                          [&](ClCondDlg& d) {
                              EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{
                                                            velnor_test::kCreateFolderText,
                                                            velnor_test::kCreateFolderFailedText}));
                              EXPECT_EQ(FocusId(), IDC_COND_OUTPUT);
                              (void)d;
                          }});
    EXPECT_EQ(folder_.List(), (std::vector<std::string>{"env\\", "kept\\"}));
    EXPECT_TRUE(folder_.List("kept\\").empty());
}

TEST_F(CondDlgTest, ExistingFileNeedsConsentUnlessFixed) {
    const std::string out = folder_.path() + "out.xml";
    ASSERT_TRUE(velnor_test::WriteFile(out, "old"));
    {
        ClCondDlg dialog(nullptr, &data_, nullptr);
        boxes_.Answer({velnor::kIdNo, velnor::kIdYes});
        EXPECT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                                         SetOutput(d, out);
                                         Click(d, IDOK);
                                     },
                                     [&](ClCondDlg& d) {
                                         EXPECT_EQ(FocusId(), IDC_COND_OUTPUT);
                                         Click(d, IDOK);
                                     }}),
                  IDOK);
        EXPECT_EQ(boxes_.Texts(), (std::vector<std::string>{velnor_test::kOverwriteText,
                                                            velnor_test::kOverwriteText}));
        EXPECT_EQ(boxes_.shown[0].type, velnor::kMbYesNo | velnor::kMbIconQuestion);
    }
    boxes_.Clear();
    {
        ClCondDlg dialog(nullptr, &data_, out.c_str());
        EXPECT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) { Click(d, IDOK); }}), IDOK);
        EXPECT_TRUE(boxes_.shown.empty());
        EXPECT_STREQ(dialog.GetOutputPath(), out.c_str());
    }
}

// Keys ------------------------------------------------------------------------------------

TEST_F(CondDlgTest, EnterMovesOnFromTheEditAndTheRadioButtons) {
    ClCondDlg dialog(nullptr, &data_, nullptr);
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                              SetOutput(d, folder_.path() + "out.xml");
                              Focus(d, IDC_COND_OUTPUT);
                              Press(VK_RETURN);
                          },
                          [&](ClCondDlg& d) {
                              EXPECT_EQ(FocusId(), IDC_COND_BROWSE);
                              Focus(d, IDC_COND_GENERAL);
                              Press(VK_RETURN);
                          },
                          [&](ClCondDlg&) {
                              EXPECT_EQ(FocusId(), IDC_COND_OUTPUT);
                              EXPECT_TRUE(boxes_.shown.empty());
                          }});
}

TEST_F(CondDlgTest, F12ValidatesFromAnywhereButNotWithAModifier) {
    const std::string out = folder_.path() + "out.xml";
    ClCondDlg dialog(nullptr, &data_, nullptr);
    EXPECT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                                     SetOutput(d, out);
                                     Focus(d, IDC_COND_OUTPUT);
                                     Press(VK_F12, {VK_CONTROL});
                                 },
                                 [&](ClCondDlg&) { Press(VK_F12, {VK_SHIFT}); },
                                 [&](ClCondDlg& d) {
                                     EXPECT_TRUE(boxes_.shown.empty());
                                     Focus(d, IDC_COND_BOTH);
                                     Click(d, IDC_COND_BOTH);
                                     Press(VK_F12);
                                 }}),
              IDOK);
    EXPECT_EQ(dialog.GetBusinessKind(), 3);
    EXPECT_STREQ(dialog.GetOutputPath(), out.c_str());
}

TEST_F(CondDlgTest, AccessKeysPickTheCategory) {
    ClCondDlg dialog(nullptr, &data_, nullptr);
    EXPECT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                                     SetOutput(d, folder_.path() + "out.xml");
                                     Focus(d, IDC_COND_OUTPUT);
                                     Press('2', {VK_MENU});
                                 },
                                 [&](ClCondDlg& d) {
                                     EXPECT_EQ(::IsDlgButtonChecked(d.m_hWnd, IDC_COND_REALESTATE),
                                               BST_CHECKED);
                                     Press(VK_F12);
                                 }}),
              IDOK);
    EXPECT_EQ(dialog.GetBusinessKind(), 2);
}

// Remembered destination --------------------------------------------------------------------

TEST_F(CondDlgTest, ChoicesRememberedForTheNextRun) {
    const std::string out = folder_.path() + "first.xml";
    {
        ClCondDlg dialog(nullptr, &data_, nullptr);
        ASSERT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                                Click(d, IDC_COND_REALESTATE);
                                SetOutput(d, out);
                                Press(VK_F12);
                            }}),
                  IDOK);
        EXPECT_TRUE(dialog.WriteEnvFile(dialog.GetBusinessKind(), dialog.GetOutputPath(), 0, 0));
    }
    EXPECT_EQ(EnvFile(), "admin/1/12:0/0/2/" + out + "\n");
    {
        ClCondDlg dialog(nullptr, &data_, nullptr);
        RunAndCancel(dialog, {[&](ClCondDlg& d) {
                         EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), out);
                         EXPECT_EQ(::IsDlgButtonChecked(d.m_hWnd, IDC_COND_REALESTATE),
                                   BST_CHECKED);
                         int16_t kind = 0, r1 = -1, r2 = -1;
                         char path[261];
                         EXPECT_TRUE(d.ReadEnvFile(&kind, path, &r1, &r2));
                         EXPECT_EQ(kind, 2);
                         EXPECT_EQ(r1, 0);
                         EXPECT_EQ(r2, 0);
                         EXPECT_EQ(path, out);
                     }});
    }
}

TEST_F(CondDlgTest, HostBoundRunKeepsTheRememberedPath) {
    Remember("other/1/12:0/0/1/C:\\o.xml\nadmin/1/12:0/0/1/C:\\kept.xml\nlast/1/1:0/0/3/x\n");
    const std::string fixed = folder_.path() + "fixed.xml";
    ClCondDlg dialog(nullptr, &data_, fixed.c_str());
    ASSERT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                            EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), fixed);
                            Click(d, IDC_COND_BOTH);
                            Click(d, IDOK);
                        }}),
              IDOK);
    EXPECT_TRUE(dialog.WriteEnvFile(dialog.GetBusinessKind(), nullptr, 0, 0));
    EXPECT_EQ(EnvFile(),
              "other/1/12:0/0/1/C:\\o.xml\nlast/1/1:0/0/3/x\nadmin/1/12:0/0/3/C:\\kept.xml\n");
}

TEST_F(CondDlgTest, HostBoundRunKeepsARememberedPathItCouldNotRead) {
    Remember("admin/1/12:0/0/2/C:\\kept.xml\n");
    const std::string fixed = folder_.path() + "fixed.xml";
    ClCondDlg dialog(nullptr, &data_, fixed.c_str());
    velnor::PlanFileFault(velnor::FileOp::kRead, 1, ".env");
    ASSERT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) {
                            // Nothing was read: the default category, not the remembered one.
                            EXPECT_EQ(::IsDlgButtonChecked(d.m_hWnd, IDC_COND_GENERAL),
                                      BST_CHECKED);
                            Click(d, IDC_COND_BOTH);
                            Click(d, IDOK);
                        }}),
              IDOK);
    EXPECT_TRUE(dialog.WriteEnvFile(dialog.GetBusinessKind(), nullptr, 0, 0));
    EXPECT_EQ(EnvFile(), "admin/1/12:0/0/3/C:\\kept.xml\n");
}

TEST_F(CondDlgTest, HostBoundRunWithNothingRememberedStoresAnEmptyPath) {
    ::RemoveDirectoryA(envFolder_.c_str());
    envFolder_ = folder_.path() + "e1\\e2\\e3\\";
    LoadHost("admin", "");
    ClCondDlg dialog(nullptr, &data_, (folder_.path() + "fixed.xml").c_str());
    ASSERT_EQ(RunDialog(dialog, {[&](ClCondDlg& d) { Click(d, IDOK); }}), IDOK);
    EXPECT_TRUE(dialog.WriteEnvFile(dialog.GetBusinessKind(), nullptr, 0, 0));
    EXPECT_EQ(EnvFile(), "admin/1/12:0/0/1/\n");  // the folder was made with all its levels

    // The next normal run shows the default destination.
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, temp);
    ClCondDlg next(nullptr, &data_, nullptr);
    RunAndCancel(next, {[&](ClCondDlg& d) {
                     EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), std::string(temp) + "*.xml");
                 }});
}

TEST_F(CondDlgTest, UserIdEndingAnotherIdSeesOnlyItsOwnEntry) {
    Remember("poweruser/1/12:0/0/3/C:\\power.xml\n");
    LoadHost("user", "");
    ClCondDlg dialog(nullptr, &data_, nullptr);
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                     EXPECT_NE(Text(Item(d, IDC_COND_OUTPUT)), "C:\\power.xml");
                     EXPECT_EQ(::IsDlgButtonChecked(d.m_hWnd, IDC_COND_GENERAL), BST_CHECKED);
                 }});
    EXPECT_TRUE(dialog.WriteEnvFile(2, "C:\\user.xml", 0, 0));
    EXPECT_EQ(EnvFile(), "poweruser/1/12:0/0/3/C:\\power.xml\nuser/1/12:0/0/2/C:\\user.xml\n");
}

// Browse --------------------------------------------------------------------------------------

HWND FindSaveDialog() { return ::FindWindowA(nullptr, "保存ファイルを指定"); }

TEST_F(CondDlgTest, BrowsePicksAnExistingFile) {
    const std::string picked = folder_.path() + "picked.xml";
    ASSERT_TRUE(velnor_test::WriteFile(picked, ""));
    ClCondDlg dialog(nullptr, &data_, nullptr);
    std::string proposed;
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                              SetOutput(d, folder_.path() + "proposed.xml");
                              Click(d, IDC_COND_BROWSE);  // returns when the browse closes
                          },
                          [&](ClCondDlg&) {
                              HWND save = FindSaveDialog();
                              ASSERT_NE(save, nullptr);
                              // The file name box: a combo (edt1 in older layouts).
                              HWND name = ::GetDlgItem(save, 0x47c);
                              if (name == nullptr) name = ::GetDlgItem(save, 0x480);
                              ASSERT_NE(name, nullptr);
                              proposed = Text(name);
                              ::SetWindowTextA(name, "picked.xml");
                              ::PostMessageA(save, WM_COMMAND, IDOK, 0);
                          },
                          [&](ClCondDlg& d) {
                              EXPECT_EQ(FindSaveDialog(), nullptr);
                              EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), picked);
                              EXPECT_EQ(FocusId(), IDOK);
                          }});
    EXPECT_EQ(proposed, "proposed.xml");
}

TEST_F(CondDlgTest, BrowseCancelledChangesNothing) {
    ClCondDlg dialog(nullptr, &data_, nullptr);
    const std::string typed = folder_.path() + "typed.xml";
    RunAndCancel(dialog, {[&](ClCondDlg& d) {
                              SetOutput(d, typed);
                              Click(d, IDC_COND_BROWSE);
                          },
                          [&](ClCondDlg&) {
                              HWND save = FindSaveDialog();
                              ASSERT_NE(save, nullptr);
                              ::PostMessageA(save, WM_COMMAND, IDCANCEL, 0);
                          },
                          [&](ClCondDlg& d) {
                              EXPECT_EQ(Text(Item(d, IDC_COND_OUTPUT)), typed);
                              EXPECT_EQ(FocusId(), IDOK);
                          }});
}

}  // namespace
