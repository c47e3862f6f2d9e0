// RAII guards for the program's global seams: each installs its replacement for one
// scope and always puts back what was there, also when the test fails early.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "common/Faults.h"
#include "common/Ui.h"
#include "host_standin/HostStandIn.h"

namespace velnor_test {

// SeamGuard<T, SetX>: SetX(value) for the guard's life, then SetX(previous).
template <typename T, T (*Set)(T)>
class SeamGuard {
  public:
    explicit SeamGuard(T value) : previous_(Set(value)) {}
    ~SeamGuard() { Set(previous_); }
    SeamGuard(const SeamGuard&) = delete;
    SeamGuard& operator=(const SeamGuard&) = delete;

  private:
    T previous_;
};

using MessageBoxHookGuard = SeamGuard<velnor::MessageBoxFn, &velnor::SetMessageBoxHook>;
// The host's own messages go through the stand-in's seam (in its DLL on Windows).
using HostMessageBoxHookGuard = SeamGuard<velnor::MessageBoxFn, &hoststandin::SetMessageBoxHook>;

// No planned file faults while it lives, and none left behind.
class FileFaultsGuard {
  public:
    FileFaultsGuard() { velnor::ResetFileFaults(); }
    ~FileFaultsGuard() { velnor::ResetFileFaults(); }
    FileFaultsGuard(const FileFaultsGuard&) = delete;
    FileFaultsGuard& operator=(const FileFaultsGuard&) = delete;
};

struct ShownBox {
    std::string text;
    std::string caption;
    unsigned type;
    velnor::WindowHandle owner;
};

// Records every message box the program and the host show while it lives and answers each with the
// next scripted answer; when the script has run out, a question with its safe choice, No,
// and any other box with OK.
class MessageBoxRecorder {
  public:
    explicit MessageBoxRecorder(std::vector<int> answers = {});
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void Answer(std::vector<int> answers) { answers_.assign(answers.begin(), answers.end()); }
    void Clear() { shown.clear(); }
    std::vector<std::string> Texts() const;

    std::vector<ShownBox> shown;

  private:
    static int Record(velnor::WindowHandle owner, const char* text, const char* caption,
                      unsigned type);

    std::deque<int> answers_;
    MessageBoxRecorder* outer_;
    MessageBoxHookGuard hook_;
    HostMessageBoxHookGuard hostHook_;
};

}  // namespace velnor_test
